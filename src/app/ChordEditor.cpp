#include "ChordEditor.h"

#include "LineHighlighter.h"
#include "LineParser.h"
#include "ListSetup.h"
#include "TextRules.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

namespace fw {

ChordEditor::ChordEditor(QWidget* parent)
    : QPlainTextEdit(parent)
    , m_highlighter(new LineHighlighter(document()))
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A tab character has no use in a chord list; Tab and Shift+Tab move on to the other controls.
    setTabChangesFocus(true);
    QFont editorFont = font();
    editorFont.setBold(true);
    setFont(editorFont);
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int removed, int added) {
        if (removed != 0 || added != 0)
            m_edited = true;
        m_changedAt = m_changedAt < 0 ? position : std::min(m_changedAt, position);
    });
    connect(document(), &QTextDocument::contentsChanged, this, &ChordEditor::scheduleTuningCheck);
}

void ChordEditor::scheduleTuningCheck()
{
    if (m_tuningCheckPending)
        return;
    m_tuningCheckPending = true;
    QTimer::singleShot(0, this, &ChordEditor::checkTuning);
}

void ChordEditor::checkTuning()
{
    m_tuningCheckPending = false;
    // A line whose marks lead into the next note entry is judged again when the lines after it change:
    // the note line before the first changed line, and that line itself (a line break typed at its end
    // changes it and starts its next line).
    const QTextBlock changed = document()->findBlock(std::max(m_changedAt, 0));
    m_changedAt = -1;
    m_highlighter->rehighlightBlock(changed);
    for (QTextBlock block = changed.previous(); block.isValid(); block = block.previous()) {
        const QString text = block.text();
        if (IsCommentLine(text) || TrimBlanks(text).isEmpty())
            continue;
        m_highlighter->rehighlightBlock(block);
        break;
    }
    // The last tuning line and the last frets line count.
    SpecialLineSeen found;
    for (QTextBlock block = document()->lastBlock(); block.isValid() && !found.complete(); block = block.previous()) {
        const QString text = block.text();
        if (text.startsWith(u'*'))
            found.noteEarlier(text);
    }
    m_highlighter->setReading(found.tuning.value_or(StandardTuning()), found.fretLimit.value_or(FretCount));
}

bool ChordEditor::isMenuKey(const QKeyEvent& event)
{
    static const QKeyCombination menuKeys[] = {
        Qt::CTRL | Qt::Key_Z,
        Qt::CTRL | Qt::Key_Y,
        Qt::CTRL | Qt::SHIFT | Qt::Key_Z,
        Qt::CTRL | Qt::SHIFT | Qt::Key_A,
        Qt::CTRL | Qt::Key_X,
        Qt::CTRL | Qt::Key_C,
        Qt::CTRL | Qt::Key_V,
        Qt::CTRL | Qt::Key_Delete,
        Qt::CTRL | Qt::Key_A,
        Qt::SHIFT | Qt::Key_Insert,
        Qt::SHIFT | Qt::Key_Delete,
        Qt::CTRL | Qt::Key_Insert,
    };
    const QKeyCombination pressed(event.modifiers() & ~Qt::KeypadModifier, static_cast<Qt::Key>(event.key()));
    return std::find(std::begin(menuKeys), std::end(menuKeys), pressed) != std::end(menuKeys);
}

void ChordEditor::undoEdit()
{
    m_undone = true;
    undo();
}

void ChordEditor::redoEdit()
{
    m_undone = true;
    redo();
}

void ChordEditor::startKeyPress(const QKeyEvent& event)
{
    if (event.isAutoRepeat())
        return;
    m_edited = false;
    m_undone = false;
}

bool ChordEditor::event(QEvent* event)
{
    // Every key press asks the focus widget first whether it wants the key over a shortcut; the
    // menu's keys go to the menu, so Paste inserts and Ctrl+A saves as the menus say.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        startKeyPress(*key);
        if (isMenuKey(*key)) {
            event->ignore();
            return true;
        }
    }
    // The menu key asks here; a menu opened during playback would hold the playback up.
    if (event->type() == QEvent::ContextMenu && m_playbackLocked) {
        event->accept();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void ChordEditor::keyPressEvent(QKeyEvent* event)
{
    startKeyPress(*event);
    // A menu key whose menu item is greyed does nothing, rather than the editor's own command.
    if (isMenuKey(*event)) {
        event->accept();
        return;
    }
    // The desktop's own undo and redo keys, where they differ from the menu's, do what the menu does.
    if (event->matches(QKeySequence::Redo) || event->matches(QKeySequence::Undo)) {
        m_undone = true;
        m_typing = false;
        if (event->matches(QKeySequence::Undo))
            undo();
        else
            redo();
        event->accept();
        return;
    }
    // Shift and the other modifiers change nothing by themselves and do not end a typed run.
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
        QPlainTextEdit::keyPressEvent(event);
        return;
    default:
        break;
    }
    // What a key changes is one undo step of its own, so the rename on its release can join it.
    const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint();
    QTextCursor step = textCursor();
    if (typing && m_typing && m_typingSteps == document()->availableUndoSteps())
        step.joinPreviousEditBlock();
    else
        step.beginEditBlock();
    QPlainTextEdit::keyPressEvent(event);
    step.endEditBlock();
    m_typing = typing;
    m_typingSteps = document()->availableUndoSteps();
}

void ChordEditor::extendTypingStep() { m_typingSteps = document()->availableUndoSteps(); }

QString ChordEditor::errorTextAt(const QPoint& viewportPos) const
{
    const QTextBlock block = cursorForPosition(viewportPos).block();
    if (!block.isValid())
        return QString();
    // Only a point over the line's own text counts, not the empty space to its right.
    const QRectF lineRect = blockBoundingGeometry(block).translated(contentOffset());
    if (!lineRect.contains(viewportPos))
        return QString();
    return m_highlighter->errorOf(block);
}

void ChordEditor::setPlaybackLocked(bool locked)
{
    m_playbackLocked = locked;
    setReadOnly(locked);
}

void ChordEditor::mousePressEvent(QMouseEvent* event)
{
    m_typing = false;
    QPlainTextEdit::mousePressEvent(event);
    Q_EMIT mousePressed(event->button());
}

void ChordEditor::keyReleaseEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        Q_EMIT keyReleased(event->key());
}

bool ChordEditor::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString errorText = errorTextAt(help->pos());
        if (errorText.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), errorText, viewport());
        return true;
    }
    if (event->type() == QEvent::ContextMenu && m_playbackLocked) {
        event->accept();
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

} // namespace fw
