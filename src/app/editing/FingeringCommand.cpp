#include "FingeringCommand.h"

#include "HighlightedLines.h"
#include "Refinger.h"

namespace fw {

void OptimizeFingering(ChordList& chords, EditHost& host, MessageBoxes& boxes, LineDisplay& display)
{
    if (host.isPlaying())
        return;
    EditorLines& editor = chords.editor();
    const QStringList lines = LineTexts(editor);
    const std::optional<LineRange> highlighted = HighlightedLines(editor);
    const int first = highlighted ? highlighted->first : 0;
    const int last = highlighted ? highlighted->last : static_cast<int>(lines.size()) - 1;
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
        if (highlighted)
            HighlightLines(editor, *highlighted);
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
