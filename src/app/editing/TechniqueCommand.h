#pragma once

#include "ChordList.h"
#include "EditHost.h"
#include "LineDisplay.h"
#include "MarkEditing.h"

namespace fw {

// Special > Technique: sets or clears a mark on the caret line in one undo step: a note mark on
// every note of the line that can take it, a line mark on the line. The caret stays where it was.
// Comment, blank and count-off lines and lines in error are left alone; when no note can take the
// mark, the status bar says why.
void ApplyTechnique(ChordList& chords, EditHost& host, LineDisplay& display, Technique technique);

// Whether the caret line carries the mark, for the menu's check marks.
bool CaretLineHas(ChordList& chords, Technique technique);

} // namespace fw
