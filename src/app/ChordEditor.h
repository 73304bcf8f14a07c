#pragma once

#include <QPlainTextEdit>

class QKeyEvent;

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

    // Keys whose commands belong to the Edit and File menus; the editor leaves them to the menus.
    static bool isMenuKey(const QKeyEvent& event);
    // Since the last key press: whether the text changed, and whether an undo or a redo ran.
    bool editedSinceKeyPress() const { return m_edited; }
    bool undoneSinceKeyPress() const { return m_undone; }
    // Undo, remembered as such until the next key press.
    void undoEdit();
    void redoEdit();
    // A change just joined to the undo step of the last key keeps that step open for more typing.
    void extendTypingStep();
    // While a playback runs the list must stay as it is: no typing, no context menu.
    void setPlaybackLocked(bool locked);
    bool playbackLocked() const { return m_playbackLocked; }

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);
    void keyReleased(int key);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void startKeyPress(const QKeyEvent& event);
    // Finds the list's tuning and fret limit once the edits of one event are done, so typing stays
    // quick, and marks again the note line before the change, whose marks may lead into it.
    void scheduleTuningCheck();
    void checkTuning();

    LineHighlighter* m_highlighter;
    bool m_tuningCheckPending = false;
    // The first position changed since the last check, -1 when none.
    int m_changedAt = -1;
    bool m_edited = false;
    bool m_undone = false;
    // Characters typed one after another make one undo step, as in any editor.
    bool m_typing = false;
    int m_typingSteps = -1;
    bool m_playbackLocked = false;
};

} // namespace fw
