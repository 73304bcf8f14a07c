#pragma once

#include "MidiFileReader.h"
#include "TimeSignature.h"

#include <QString>
#include <vector>

namespace fw {

// How the notes of one MIDI part become chord-list lines in time: which notes sound together, how
// long each line lasts, where rests and bar lines fall. Lengths are in units of a 384th of a whole
// note, where every written form is a whole number.
inline constexpr qint64 RhythmUnitsPerWhole = 384;

// Bars as time signatures lay them out: a signature takes effect at the first bar that starts at or
// after it.
class BarClock {
public:
    // times: sorted, their ticks already in units.
    explicit BarClock(std::vector<MidiTimeSignature> times);

    qint64 start() const { return m_start; }
    qint64 end() const { return m_start + m_length; }
    TimeSignature time() const { return m_time; }
    // Moves on to the bar that holds at (the bar starting there when at is a bar line).
    void advanceTo(qint64 at);

private:
    void takeSignatures();

    std::vector<MidiTimeSignature> m_times;
    size_t m_next = 0;
    qint64 m_start = 0;
    qint64 m_length = RhythmUnitsPerWhole;
    TimeSignature m_time;
};

struct RhythmInput {
    // The part's notes, sorted by start, and its silent marks (see MidiTrack), in ticks from the list's
    // start; end: where the part ends.
    std::vector<MidiNote> notes;
    std::vector<qint64> marks;
    qint64 end = 0;
    int division = 96;
    // In units (see BarClock).
    std::vector<MidiTimeSignature> times;
    // Notes that last across a bar line are cut there and tied, and a key struck twice at once counts
    // once (not for files of this program, whose notes come back as their lines were written).
    bool splitAtBars = true;
};

// One line: keys (MIDI keys; none for a rest) and a written form.
struct RhythmEntry {
    std::vector<int> keys;
    const char* form = nullptr; // "Q", ".E", "/S"
    qint64 units = 0;
    qint64 at = 0; // where it starts
    bool tied = false; // its notes are held into the next entry's
};

struct Rhythm {
    std::vector<RhythmEntry> entries;
    // Played, not written: onsets were placed on the grid named here ("sixteenth notes").
    QString grid;
    int movedOnsets = 0;
    int onsets = 0;
    int shortened = 0; // notes that sounded into the next onset
    int doubled = 0; // a key struck twice at once: taken once
    int split = 0; // notes written as tied lines
    int lengthened = 0; // shorter than the shortest form
    int cutStretches = 0; // longer than any music
    bool full = false; // the list reached its longest
};

// The lines of a part. A part whose every time lies on the grid of written lengths, with nearly
// every note one written length, was written, not played: its lengths are taken as they stand and
// every silence is a rest. A played part is placed on the grid its onsets imply (the coarsest of
// eighths, sixteenths, triplets and finer that fits them without two onsets meeting); a note let go
// shortly before the next onset (the last one before the bar line) lasts to it, and a silence is a
// rest only when it is at least an eighth note and at least as long as the note before it sounded,
// or a quarter note.
Rhythm ReadRhythm(const RhythmInput& input);

// A list longer than this is of no use in the editor; a file with absurd lengths stops here
// instead of filling the memory with rests.
inline constexpr qsizetype MaxImportLines = 1000000;

} // namespace fw
