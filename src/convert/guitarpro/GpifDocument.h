#pragma once

#include "GuitarProScore.h"

#include <QHash>
#include <QList>
#include <QString>
#include <algorithm>
#include <vector>

// A score.gpif document as it is written: tracks and master bars in order, and pools of bars,
// voices, beats, notes and rhythms that refer to one another by number. GpifParser fills it from
// the XML; GpifReader lays it out as a Score.

namespace fw::guitarpro {

struct GpifTrack {
    Track track;
    QList<int> pitches; // the open strings' MIDI keys, the lowest string first, as the file lists them
    int staves = 1; // the bars of a track with several staves are listed staff by staff
};

struct GpifMasterBar {
    MeasureHeader header;
    bool hasTime = false;
    QList<int> bars; // one per staff of every track
};

struct GpifRhythm {
    NoteValue value;
    bool doubleWhole = false; // twice a whole note, which the model holds as two tied wholes
};

struct GpifBeat {
    Beat beat; // its notes come from `notes`
    int rhythm = -1;
    QList<int> notes;
    bool tremoloPicking = false;
    bool vibrato = false; // a vibrato of the whole beat, made with the tremolo bar
};

struct GpifNote {
    Note note;
    int string = -1; // 0 the lowest string, as the file counts them; -1 when it names none
    int key = 0; // a drum's MIDI key
    bool tapped = false;
};

struct GpifTempo {
    int bar = 0;
    double position = 0; // within the bar, 0 its start
    int bpm = 0;
};

// Elements of one kind by their numbers. Files number them 0, 1, 2... in the order they come, so
// once all are read they are found through a table; numbers far apart go through a hash instead.
template <typename T> class GpifPool {
public:
    void insert(int id, T item) { m_items.append({ id, std::move(item) }); }

    // Call once every element is in; a number given twice means the last.
    void index()
    {
        int highest = -1;
        for (const auto& item : std::as_const(m_items))
            highest = std::max(highest, item.first);
        const bool dense = highest < 4 * m_items.size() + 1024;
        if (dense)
            m_table.assign(static_cast<size_t>(highest + 1), -1);
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            if (m_items[i].first < 0)
                continue;
            if (dense)
                m_table[static_cast<size_t>(m_items[i].first)] = i;
            else
                m_hash.insert(m_items[i].first, i);
        }
    }

    // The element of that number; null when there is none.
    const T* find(int id) const
    {
        qsizetype at = -1;
        if (id >= 0 && static_cast<size_t>(id) < m_table.size())
            at = m_table[static_cast<size_t>(id)];
        else if (!m_hash.isEmpty())
            at = m_hash.value(id, -1);
        return at < 0 ? nullptr : &m_items[at].second;
    }

private:
    QList<std::pair<int, T>> m_items;
    std::vector<qsizetype> m_table;
    QHash<int, qsizetype> m_hash;
};

struct GpifDocument {
    Score score; // title, album... and lyrics and jumps as counted; measures and tracks come later
    QList<GpifTrack> tracks;
    QList<GpifMasterBar> masterBars;
    QList<GpifTempo> tempos;
    GpifPool<QList<int>> bars; // bar -> its voices, -1 for an unused one
    GpifPool<QList<int>> voices; // voice -> its beats
    GpifPool<GpifBeat> beats;
    GpifPool<GpifNote> notes;
    GpifPool<GpifRhythm> rhythms;
};

} // namespace fw::guitarpro
