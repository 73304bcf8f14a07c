#pragma once

#include "EditorLines.h"
#include "Tuning.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

namespace fw {

enum class RetuneMode {
    // Each note keeps its pitch; the strings and frets are chosen so that the list is easy to play.
    KeepPitches,
    // Each note keeps its string and fret, and so changes pitch with the string.
    KeepFrets,
};

// Chooses where the notes of a list's note entries are played in a new tuning, each keeping its
// pitch: gets every note entry of the list in order, parsed on the old tuning, and returns each
// entry on the new one, its marks gone with their notes. A note that no string of the new tuning
// can play is left out.
using PitchFingering = std::function<std::vector<ChordDef>(
    const std::vector<ChordDef>& entries, const Tuning& from, const Tuning& to, int fretLimit)>;

// A whole list rewritten: every line, and which of them are new.
struct ListRewrite {
    QStringList Lines;
    // The lines that are new (indexes into Lines, rising).
    std::vector<int> InsertedLines;
};

// Lines: the whole list in the new tuning. InsertedLines: the tuning line where the list had none,
// and a comment above each line that lost notes, naming them.
struct RetuneResult : ListRewrite {
    // One text per line left as it was: in error, or (keeping the frets) on a string the new tuning
    // has not. "Line N    " first, N counting the lines of the new list.
    QStringList Problems;
    // One text per line whose notes no string of the new tuning can play, so that they became rests.
    QStringList Rests;
};

// The list moved to the tuning to: its tuning line written or replaced (a new one goes after the
// title lines at the top), every chord definition rewritten for the new strings. Keeping the
// pitches, keepPitches chooses the strings and frets.
RetuneResult RetuneLines(
    const QStringList& lines, const Tuning& to, RetuneMode mode, const PitchFingering& keepPitches);

// What a retune leaves for the user to look at, empty when every line moved.
QString RetuneWarning(const RetuneResult& result);

// A warning of several parts, each a heading and its lines, the parts without lines left out.
QString SectionedWarning(const std::vector<std::pair<QString, QStringList>>& sections);

// How many slots a string moves between tunings: strings are matched so their open notes differ
// least. E A D G to B E A D G keeps the E string the E string (-1); E A D G to D A D G retunes the
// lowest string (0).
int StringShift(const Tuning& from, const Tuning& to);

// Brings the editor from lines to rewrite.Lines by replacing the changed lines and inserting the new
// ones; callers group it into one undo step.
void ApplyRewrite(EditorLines& editor, const QStringList& lines, const ListRewrite& rewrite);

// A note as messages and comments name it: "G (Low E string, fret 3)".
QString NoteWhere(const Tuning& tuning, int slot, int fret);
// The same for a note with marks: a dead note without a fret "dead note (A string)", a harmonic
// "E (A string, harmonic at 7)".
QString NoteWhere(const Tuning& tuning, int slot, int fret, const NoteMarks& marks);

} // namespace fw
