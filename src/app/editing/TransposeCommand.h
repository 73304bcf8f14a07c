#pragma once

#include "ChordList.h"
#include "EditHost.h"
#include "LineDisplay.h"
#include "MessageBoxes.h"

namespace fw {

// Special > Transpose...: moves the notes of the highlighted lines (of the whole list when
// highlightedOnly is false or nothing is highlighted) by semitones, in one undo step, and leaves the
// same lines highlighted. Notes that no string can play and lines in error are listed in a warning
// box; the status bar tells how many lines moved.
void TransposeNotes(
    ChordList& chords, EditHost& host, MessageBoxes& boxes, LineDisplay& display, int semitones, bool highlightedOnly);

} // namespace fw
