#pragma once

#include "EditorLines.h"

#include <optional>

namespace fw {

struct LineRange {
    int first = 0;
    int last = -1;
};

// The lines the editor's selection touches, whole or in part; nothing when no text is selected.
std::optional<LineRange> HighlightedLines(const EditorLines& editor);

// Selects lines first..last from the start of the first to the end of the last, so that a command
// that rewrote them leaves the same lines highlighted, whatever their new lengths.
void HighlightLines(EditorLines& editor, LineRange range);

} // namespace fw
