#pragma once

#include <QPlainTextEdit>

namespace fw {

class LineHighlighter;

// The chord-list editor: plain text, no wrapping, with the kind of every line shown as it is typed.
// It reports mouse presses and key releases after the caret has moved, so the window shows the
// line the caret ends on.
class ChordEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ChordEditor(QWidget* parent = nullptr);

    // The parser's message for the line at a viewport point, empty for a good line.
    QString errorTextAt(const QPoint& viewportPos) const;

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);
    void keyReleased(int key);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // Finds the list's tuning once the edits of one event are done, so typing stays quick.
    void scheduleTuningCheck();
    void checkTuning();

    LineHighlighter* m_highlighter;
    bool m_tuningCheckPending = false;
};

} // namespace fw
