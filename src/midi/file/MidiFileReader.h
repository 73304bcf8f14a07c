#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace fw {

// One sounding note, times in ticks from the start of the file. Twelve bytes, as a long file holds
// millions of notes: the low words of start and end, and one word with the key in its first byte,
// the velocity in its second (where a MIDI event has them, so the reader moves both at once), the
// channel, and the high bits of both times. Times take 38 bits; the reader refuses a track that lasts
// longer. The reader writes the end on its own when the note ends.
class MidiNote {
public:
    static constexpr qint64 MaxStart = (qint64(1) << 38) - 1;

    MidiNote() = default;
    MidiNote(qint64 start, qint64 end, int key, int velocity, int channel)
        : m_startLow(quint32(start))
        , m_endLow(quint32(end))
        , m_high(quint32(key & 0x7F) | quint32(velocity & 0x7F) << 8 | quint32(channel & 0x0F) << 16
              | quint32(start >> 32) << 20 | quint32(end >> 32) << 26)
    {
    }

    // A note that starts and ends before tick 2^32, as nearly all do: no high bits to place.
    // KEY_VELOCITY_CHANNEL: the key | the velocity << 8 | the channel << 16.
    static MidiNote BeforeTick2To32(quint32 start, quint32 end, quint32 keyVelocityChannel)
    {
        MidiNote note;
        note.m_startLow = start;
        note.m_endLow = end;
        note.m_high = keyVelocityChannel;
        return note;
    }

    qint64 start() const { return qint64(m_high >> 20 & HighMask) << 32 | m_startLow; }
    qint64 end() const { return qint64(m_high >> 26) << 32 | m_endLow; }
    int key() const { return int(m_high & 0x7F); }
    int velocity() const { return int(m_high >> 8 & 0x7F); }
    int channel() const { return int(m_high >> 16 & 0x0F); }

    void setEnd(qint64 end)
    {
        m_endLow = quint32(end);
        m_high = (m_high & ~(HighMask << 26)) | quint32(end >> 32) << 26;
    }

private:
    static constexpr quint32 HighMask = 0x3F;

    // Left as they are by default construction, so that a list of notes can be sized before it is
    // written (see MidiNoteList).
    quint32 m_startLow;
    quint32 m_endLow;
    quint32 m_high;
};

// An allocator whose default construction leaves an element as it is.
template <typename T> class NoInitAllocator : public std::allocator<T> {
public:
    using value_type = T;
    template <typename U> struct rebind {
        using other = NoInitAllocator<U>;
    };
    NoInitAllocator() = default;
    template <typename U> NoInitAllocator(const NoInitAllocator<U>&) noexcept { }
    template <typename U> void construct(U* place) noexcept { ::new (static_cast<void*>(place)) U; }
    template <typename U, typename... Args> void construct(U* place, Args&&... args)
    {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

// The reader sizes the list for the notes a track can hold and then writes them, with no pass that
// zeroes megabytes first.
using MidiNoteList = std::vector<MidiNote, NoInitAllocator<MidiNote>>;

struct MidiTrack {
    int number = 0; // in the file, 1 the first
    QString name;
    // Sorted by start (the order of their note-ons).
    MidiNoteList notes;
    // The first program change of each channel, -1 for none.
    std::array<int, 16> programs;
    // Pitch-bend messages that bend away from the centre, by channel.
    std::array<int, 16> bends {};
    // Note-offs that end no sounding note, by tick and channel: files written by this program mark
    // the start and end of every rest so.
    std::vector<std::pair<qint64, int>> silentMarks;
    // Text events at the start of the track that read like chord-list comment lines ("* Tuning: ..."):
    // what files of this program carry of their list's setup. At most MaxSetupTexts.
    QStringList setupTexts;
    // The tick of the track's last event.
    qint64 endTick = 0;

    static constexpr int MaxSetupTexts = 8;

    MidiTrack() { programs.fill(-1); }
    // Notes, silent marks or a program: what a part or a conductor track may need.
    bool holdsAnything() const;
};

struct MidiTempoChange {
    qint64 tick = 0;
    quint32 microsecondsPerQuarter = 500000;
};

struct MidiTimeSignature {
    qint64 tick = 0;
    int numerator = 4;
    int denominator = 4; // the note value of a beat: 2, 4, 8, ...
};

struct MidiSong {
    int format = 0;
    int division = 0; // ticks per quarter note
    // The tracks that hold anything (MidiTrack::holdsAnything), in file order: a file of a million
    // empty tracks costs no memory for them.
    std::vector<MidiTrack> tracks;
    int trackCount = 0; // every track chunk of the file
    // Both sorted by tick, from every track (format 1 keeps them in the first track, but others do not).
    std::vector<MidiTempoChange> tempos;
    std::vector<MidiTimeSignature> timeSignatures;
    // What was odd but readable: tracks the header announced but the file lacks, notes never ended.
    QStringList warnings;
};

struct MidiReadResult {
    std::optional<MidiSong> song;
    // Empty on success; otherwise one sentence naming what is wrong and where.
    QString error;
};

// Reads a Standard MIDI File of format 0 or 1 with a division in ticks per quarter note. Running
// status, system exclusive and meta events of every kind are understood; chunks of unknown type are
// skipped. Never reads past the bytes given, whatever lengths the file claims. Linear in the bytes,
// however they are split into tracks.
MidiReadResult ReadMidiFile(QByteArrayView bytes);

} // namespace fw
