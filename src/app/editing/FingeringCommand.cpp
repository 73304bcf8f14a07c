#include "FingeringCommand.h"

#include "Refinger.h"

#include <algorithm>

namespace fw {

namespace {

    // The line holding a character offset; a line owns its characters and the line break after them.
    int LineOfPosition(const EditorLines& editor, int position)
    {
        int lineStart = 0;
        for (int line = 0; line < editor.lineCount(); ++line) {
            lineStart += static_cast<int>(editor.lineText(line).size()) + 1;
            if (position < lineStart)
                return line;
        }
        return editor.lineCount();
    }

    int LineStart(const EditorLines& editor, int line)
    {
        int start = 0;
        for (int i = 0; i < line; ++i)
            start += static_cast<int>(editor.lineText(i).size()) + 1;
        return start;
    }

} // namespace

void OptimizeFingering(ChordList& chords, EditHost& host, MessageBoxes& boxes, LineDisplay& display)
{
    if (host.isPlaying())
        return;
    EditorLines& editor = chords.editor();
    const QStringList lines = LineTexts(editor);
    const int selStart = editor.selectionStart();
    const int selLength = editor.selectionLength();
    int first = 0;
    int last = static_cast<int>(lines.size()) - 1;
    if (selLength > 0) {
        first = LineOfPosition(editor, selStart);
        last = std::min(LineOfPosition(editor, selStart + selLength - 1), last);
    }
    const RefingerResult result = RefingerLines(lines, first, last);
    if (!result.errorText.isEmpty()) {
        boxes.errorBox(result.errorText);
        editor.selectLine(result.errorLine, true);
        boxes.errorBox(FixFingeringErrorsMessage);
        host.focusEditor();
        return;
    }
    if (result.changedLines > 0) {
        host.beginEditBlock();
        for (int i = first; i <= last; ++i) {
            if (result.lines[i] != lines[i])
                editor.replaceLine(i, result.lines[i]);
        }
        host.endEditBlock();
        // The same lines stay highlighted, though their lengths may have changed.
        if (selLength > 0) {
            const int start = LineStart(editor, first);
            const int end = LineStart(editor, last) + static_cast<int>(editor.lineText(last).size());
            editor.setSelection(start, end - start);
        }
    }
    chords.ShowLineInfo(editor.currentLine());
    display.setStatusMessage(result.changedLines > 0
            ? QStringLiteral("Fingering optimized: %1 lines changed, cost %2 before, %3 after.")
                  .arg(result.changedLines)
                  .arg(result.costBefore)
                  .arg(result.costAfter)
            : QStringLiteral("The fingering is already as easy as it can be (cost %1).").arg(result.costBefore));
    host.focusEditor();
}

} // namespace fw
