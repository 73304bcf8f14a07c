#pragma once

#include "EditorLines.h"
#include "Tuning.h"

#include <QString>
#include <QStringList>

namespace fw {

enum class RetuneMode {
    // Each note keeps its pitch: on its own string where it fits on the neck, else on the nearest
    // free string that can play it.
    KeepPitches,
    // Each note keeps its string and fret, and so changes pitch with the string.
    KeepFrets,
};

struct RetuneResult {
    // The whole list in the new tuning.
    QStringList Lines;
    // Where the tuning line was inserted, or -1 when an existing one was replaced (or none is needed).
    int InsertedLine = -1;
    // One text per line left unchanged because a note of it has no place in the new tuning (or the
    // line is in error), "Line N    " first.
    QStringList Problems;
};

// The list moved to the tuning to: its tuning line written or replaced (a new one goes after the
// title lines at the top), every chord definition rewritten for the new strings. Lines whose notes
// cannot all be placed are left as they were and named in Problems.
RetuneResult RetuneLines(const QStringList& lines, const Tuning& to, RetuneMode mode);

// Brings the editor from lines to result.Lines by replacing the changed lines and inserting the
// tuning line; callers group it into one undo step.
void ApplyRetune(EditorLines& editor, const QStringList& lines, const RetuneResult& result);

} // namespace fw
