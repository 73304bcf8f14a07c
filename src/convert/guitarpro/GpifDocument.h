#pragma once

#include "GuitarProScore.h"

#include <QHash>
#include <QList>
#include <QString>

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

struct GpifDocument {
    Score score; // title, album... and lyrics and jumps as counted; measures and tracks come later
    QList<GpifTrack> tracks;
    QList<GpifMasterBar> masterBars;
    QList<GpifTempo> tempos;
    QHash<int, QList<int>> bars; // bar -> its voices, -1 for an unused one
    QHash<int, QList<int>> voices; // voice -> its beats
    QHash<int, GpifBeat> beats;
    QHash<int, GpifNote> notes;
    QHash<int, GpifRhythm> rhythms;
};

} // namespace fw::guitarpro
