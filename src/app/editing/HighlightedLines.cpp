#include "HighlightedLines.h"

#include <algorithm>

namespace fw {

namespace {

    // The line holding a character offset; a line owns its characters and the line break after them.
    int LineOfPosition(const EditorLines& editor, int position)
    {
        int lineEnd = 0;
        for (int line = 0; line < editor.lineCount(); ++line) {
            lineEnd += static_cast<int>(editor.lineText(line).size()) + 1;
            if (position < lineEnd)
                return line;
        }
        return editor.lineCount();
    }

} // namespace

std::optional<LineRange> HighlightedLines(const EditorLines& editor)
{
    const int length = editor.selectionLength();
    if (length <= 0)
        return std::nullopt;
    const int start = editor.selectionStart();
    return LineRange { LineOfPosition(editor, start),
        std::min(LineOfPosition(editor, start + length - 1), editor.lineCount() - 1) };
}

void HighlightLines(EditorLines& editor, LineRange range)
{
    const int start = editor.lineStart(range.first);
    const int end = editor.lineStart(range.last) + static_cast<int>(editor.lineText(range.last).size());
    editor.setSelection(start, end - start);
}

} // namespace fw
