#include "ChordEditor.h"

#include "LineHighlighter.h"
#include "LineParser.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QToolTip>

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
}

QString ChordEditor::errorTextAt(const QPoint& viewportPos) const
{
    const QTextBlock block = cursorForPosition(viewportPos).block();
    if (!block.isValid())
        return QString();
    // Only a point over the line's own text counts, not the empty space to its right.
    const QRectF lineRect = blockBoundingGeometry(block).translated(contentOffset());
    if (!lineRect.contains(viewportPos))
        return QString();
    ChordDef def;
    return ParseLineText(block.text(), block.blockNumber(), def).errorText;
}

void ChordEditor::setPlaybackLocked(bool locked)
{
    m_playbackLocked = locked;
    setReadOnly(locked);
}

bool ChordEditor::event(QEvent* event)
{
    // The menu key asks here; a menu opened during playback would hold the playback up.
    if (event->type() == QEvent::ContextMenu && m_playbackLocked) {
        event->accept();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void ChordEditor::mousePressEvent(QMouseEvent* event)
{
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
