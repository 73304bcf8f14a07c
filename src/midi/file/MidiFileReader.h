#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace fw {

// One sounding note, times in ticks from the start of the file.
struct MidiNote {
    qint64 start = 0;
    qint64 end = 0;
    quint8 key = 0;
    quint8 velocity = 0;
    quint8 channel = 0; // 0..15
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
