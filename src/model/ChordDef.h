#pragma once

#include "Marks.h"
#include "Pitch.h"
#include "TimeSignature.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace fw {

using FretArray = std::array<int, 7>; // indexed by string slot 1..6; [0] unused
using NoteArray = std::array<unsigned char, 7>;

inline constexpr FretArray NoFrets { -1, -1, -1, -1, -1, -1, -1 };
inline constexpr NoteArray NoNotes { 255, 255, 255, 255, 255, 255, 255 };

// One parsed chord-list line.
struct ChordDef {
    QString Name;
    FretArray Frets = NoFrets;
    NoteArray Notes = NoNotes;
    QString Duration;
    int DurationValue = 0;
    // Chord definitions: the playing techniques of each string's note (Marks.h) and of the whole line.
    MarkArray Marks {};
    LineMarks Technique {};
    // A valid time line ("* Time: 3/4"), which is a comment line: the time it sets. See BarsOf.
    std::optional<TimeSignature> Time;

    friend bool operator==(const ChordDef&, const ChordDef&) = default;
};

// Only note entries sound, take time or make tab columns: not a comment, not blank, not a count-off line.
bool IsNoteEntry(const ChordDef& def);
// No string struck: no fret and no dead note.
bool IsRest(const ChordDef& def);
// The slot's string is struck: a fret, or a dead note without one.
inline bool IsStruck(const ChordDef& def, int slot)
{
    return def.Frets[slot] != NotPlayedFret || def.Marks[slot].kind == NoteKind::Dead;
}

using ParsedLineList = QList<ChordDef>;

// Gives every note entry its length in the units of WHOLE per whole note.
void SetDurationValues(ParsedLineList& parsed, int whole);

} // namespace fw
