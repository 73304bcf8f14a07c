#include "TransposeCommand.h"

#include "HighlightedLines.h"
#include "Transpose.h"

namespace fw {

void TransposeNotes(
    ChordList& chords, EditHost& host, MessageBoxes& boxes, LineDisplay& display, int semitones, bool highlightedOnly)
{
    if (host.isPlaying() || semitones == 0)
        return;
    EditorLines& editor = chords.editor();
    const QStringList lines = LineTexts(editor);
    const std::optional<LineRange> highlighted = highlightedOnly ? HighlightedLines(editor) : std::nullopt;
    const LineRange range = highlighted.value_or(LineRange { 0, static_cast<int>(lines.size()) - 1 });
    const TransposeResult result = TransposeLines(lines, semitones, range.first, range.last);
    if (result.Lines != lines) {
        host.beginEditBlock();
        ApplyRewrite(editor, lines, result);
        host.endEditBlock();
        // The comments naming lost notes stand among the moved lines, so the range grows by them.
        if (highlighted)
            HighlightLines(
                editor, { highlighted->first, highlighted->last + static_cast<int>(result.InsertedLines.size()) });
    }
    chords.ShowLineInfo(editor.currentLine());
    display.setStatusMessage(
        QStringLiteral("Transposed %1 %2 %3.")
            .arg(result.MovedLines)
            .arg(result.MovedLines == 1 ? QStringLiteral("line") : QStringLiteral("lines"), SemitonesText(semitones)));
    if (const QString warning = TransposeWarning(result); !warning.isEmpty())
        boxes.warningBox(warning);
    host.focusEditor();
}

} // namespace fw
