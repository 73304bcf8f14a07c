#pragma once

#include "ChordList.h"
#include "EditHost.h"
#include "LineDisplay.h"
#include "MessageBoxes.h"

#include <QString>

namespace fw {

inline const QString FixFingeringErrorsMessage = QStringLiteral("Fix errors before optimizing the fingering.");

// Special > Optimize Fingering: easier strings and frets for the highlighted lines, or for the whole
// list when nothing is highlighted, in one undo step. Pitches, durations, names and comments stay.
// A line in error is shown and highlighted, and nothing changes. The status bar tells the cost
// before and after.
void OptimizeFingering(ChordList& chords, EditHost& host, MessageBoxes& boxes, LineDisplay& display);

} // namespace fw
