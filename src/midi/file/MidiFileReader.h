#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace fw {

// One sounding note, times in ticks from the start of the file. Two words, as a long file holds
// millions of notes: the start with key and velocity, the end with the channel; the reader refuses
// a track too long for 48-bit ticks.
class MidiNote {
public:
    MidiNote() = default;
    MidiNote(qint64 start, qint64 end, int key, int velocity, int channel)
        : m_startKeyVelocity(Tick(start) | quint64(key & 0xFF) << 48 | quint64(velocity & 0xFF) << 56)
        , m_endChannel(Tick(end) | quint64(channel & 0xFF) << 48)
    {
    }

    qint64 start() const { return qint64(m_startKeyVelocity & TickMask); }
    qint64 end() const { return qint64(m_endChannel & TickMask); }
    int key() const { return int(m_startKeyVelocity >> 48 & 0xFF); }
    int velocity() const { return int(m_startKeyVelocity >> 56); }
    int channel() const { return int(m_endChannel >> 48 & 0xFF); } // 0..15

    void setEnd(qint64 end) { m_endChannel = (m_endChannel & ~TickMask) | Tick(end); }

private:
    static constexpr quint64 TickMask = (quint64(1) << 48) - 1;
    static quint64 Tick(qint64 tick) { return quint64(tick) & TickMask; }

    quint64 m_startKeyVelocity = 0;
    quint64 m_endChannel = 0;
};

struct MidiTrack {
    QString name;
    // Sorted by start (the order of their note-ons).
    std::vector<MidiNote> notes;
    // The first program change of each channel, -1 for none.
    std::array<int, 16> programs;
    // Note-offs that end no sounding note, by tick and channel: files written by this program mark
    // the start and end of every rest so.
    std::vector<std::pair<qint64, int>> silentMarks;
    // The tick of the track's last event.
    qint64 endTick = 0;

    MidiTrack() { programs.fill(-1); }
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
    std::vector<MidiTrack> tracks;
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
// skipped. Never reads past the bytes given, whatever lengths the file claims.
MidiReadResult ReadMidiFile(QByteArrayView bytes);

} // namespace fw
