#pragma once

#include "ChordDef.h"
#include "Tuning.h"

#include <optional>
#include <vector>

namespace fw {

// Notes that change place (transposition, another tuning, another fingering) take their marks along.

// One struck note of a line: where it is played and its marks. Slot 0 marks a note left out.
struct MovedNote {
    int slot = 0;
    int fret = NotPlayedFret;
    NoteMarks marks;
};

// The struck notes of a line, lowest string first.
std::vector<MovedNote> StruckNotes(const ChordDef& def, const Tuning& tuning);

// A fingering places a line's fretted notes (pitched, not harmonics), lowest string first; the others
// (harmonics, dead notes without a fret) keep the string they hold unless moved on their own.
bool IsFingeredNote(const ChordDef& def, int slot);

// The note at another slot and fret; a bend keeps its interval.
MovedNote MovedTo(const MovedNote& note, int slot, int fret);

// A harmonic that sounds soundingNote (open note plus HarmonicSemitones): on preferSlot when it can,
// else on the lowest string that can, at the lowest harmonic there; none when no string can.
std::optional<MovedNote> HarmonicSounding(
    int soundingNote, const NoteMarks& marks, const Tuning& tuning, int fretLimit, int preferSlot);

// def with its struck notes replaced by notes (those with slot 0 left out), Notes following the
// tuning. The name and the per-line marks stay.
ChordDef WithNotes(const ChordDef& def, const std::vector<MovedNote>& notes, const Tuning& tuning);

// After a rewrite of some lines of a list (defs by line; ok: the line parsed; changed: it was
// rewritten): takes out every hammer-on, pull-off, slide or tie that its next note entry no longer
// completes, where either line was rewritten, and names each in reports ("Line N    <problem> It was
// left out.", N = numberOf[line] + 1). Returns the lines whose marks were taken out.
std::vector<int> DropBrokenLinks(std::vector<ChordDef>& defs, const std::vector<bool>& ok,
    const std::vector<bool>& changed, const Tuning& tuning, const std::vector<int>& numberOf, QStringList& reports);

} // namespace fw
