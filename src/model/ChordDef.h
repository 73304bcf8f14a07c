#pragma once

#include "Pitch.h"

#include <QList>
#include <QString>
#include <array>

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

    friend bool operator==(const ChordDef&, const ChordDef&) = default;
};

// Only note entries sound, take time or make tab columns: not a comment, not blank, not a count-off line.
bool IsNoteEntry(const ChordDef& def);
bool IsRest(const ChordDef& def);

using ParsedLineList = QList<ChordDef>;

// Gives every note entry its length in the units of WHOLE per whole note.
void SetDurationValues(ParsedLineList& parsed, int whole);

} // namespace fw
