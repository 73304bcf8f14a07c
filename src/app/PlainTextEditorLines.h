#pragma once

#include "EditorLines.h"

#include <QMetaObject>

class QPlainTextEdit;

namespace fw {

// The chord-list lines as held by the GUI editor. A text ending in a line break has an empty
// place after its last line, which is not counted as a line.
class PlainTextEditorLines : public EditorLines {
public:
    explicit PlainTextEditorLines(QPlainTextEdit& editor);
    ~PlainTextEditorLines() override;
    PlainTextEditorLines(const PlainTextEditorLines&) = delete;
    PlainTextEditorLines& operator=(const PlainTextEditorLines&) = delete;

    int lineCount() const override;
    QString lineText(int index) const override;
    void replaceLine(int index, const QString& text) override;
    void insertLine(int index, const QString& text) override;
    void deleteLine(int index) override;
    int selectionStart() const override;
    int selectionLength() const override;
    void setSelection(int start, int length) override;
    int currentLine() const override;
    void selectLine(int index, bool highlight) override;
    int lineStart(int index) const override;
    long long revision() const override { return m_revision; }
    void visitLinesBackward(const std::function<bool(const QString&)>& visit) const override;

    // Groups every change between the two calls into one undo step.
    void beginEditBlock();
    void endEditBlock();
    // Changes between these calls that change nothing leave no undo step and signal no change;
    // others make one undo step, which is the step of the edit before them when joinPrevious is set.
    void beginQuietBlock(bool joinPrevious);
    void endQuietBlock();

private:
    void openQuietBlock();

    enum class Quiet { Off, Pending, PendingJoin, Open };
    QPlainTextEdit& m_editor;
    Quiet m_quiet = Quiet::Off;
    long long m_revision = 0;
    QMetaObject::Connection m_changes;
};

} // namespace fw
