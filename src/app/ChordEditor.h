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

    // While a playback runs the list must stay as it is: no typing, no context menu.
    void setPlaybackLocked(bool locked);
    bool playbackLocked() const { return m_playbackLocked; }

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);
    void keyReleased(int key);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    LineHighlighter* m_highlighter;
    bool m_playbackLocked = false;
};

} // namespace fw
