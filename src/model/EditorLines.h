#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace fw {

// The chord list as the editor holds it. Lines are 0-based; lineCount() does not count an empty
// place after a final line break, where the caret may stand at index lineCount().
class EditorLines {
public:
    virtual ~EditorLines() = default;
    virtual int lineCount() const = 0;
    // Past the last line reads as an empty line.
    virtual QString lineText(int index) const = 0;
    virtual void replaceLine(int index, const QString& text) = 0;
    virtual void insertLine(int index, const QString& text) = 0;
    virtual void deleteLine(int index) = 0;

    virtual int selectionStart() const = 0;
    virtual int selectionLength() const = 0;
    virtual void setSelection(int start, int length) = 0;
    virtual int currentLine() const = 0;
    // Caret to the start of the line; with highlight the whole line is selected.
    virtual void selectLine(int index, bool highlight) = 0;
    // The position of the line's first character, each earlier line counting its length and one break.
    virtual int lineStart(int index) const
    {
        int position = 0;
        for (int i = 0; i < index && i < lineCount(); ++i)
            position += static_cast<int>(lineText(i).size()) + 1;
        return position;
    }
    // A number that changes with every change of the text, so what is derived from all lines can be
    // kept until then; -1 when the editor cannot tell.
    virtual long long revision() const { return -1; }
    // Hands visit every line from the last to the first until it returns false; editors that can walk
    // their lines faster than by index override it.
    virtual void visitLinesBackward(const std::function<bool(const QString&)>& visit) const
    {
        for (int i = lineCount() - 1; i >= 0; --i) {
            if (!visit(lineText(i)))
                return;
        }
    }
};

// The text of every line, first to last.
inline QStringList LineTexts(const EditorLines& editor)
{
    QStringList lines;
    const int count = editor.lineCount();
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines << editor.lineText(i);
    return lines;
}

} // namespace fw
