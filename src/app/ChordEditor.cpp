#include "ChordEditor.h"

#include "LineHighlighter.h"
#include "LineParser.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>

namespace fw {

ChordEditor::ChordEditor(QWidget* parent)
    : QPlainTextEdit(parent)
    , m_highlighter(new LineHighlighter(document()))
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont editorFont = font();
    editorFont.setBold(true);
    setFont(editorFont);
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
    for (QTextBlock block = document()->lastBlock(); block.isValid(); block = block.previous()) {
        const QString text = block.text();
        if (!text.startsWith(u'*'))
            continue;
        TuningLineResult result = ParseTuningLine(text);
        if (result.kind == TuningLineKind::Valid) {
            m_highlighter->setTuning(result.tuning);
            return;
        }
    }
    m_highlighter->setTuning(StandardTuning());
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
    return ParseLineText(block.text(), block.blockNumber(), def, m_highlighter->tuning()).errorText;
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
    return QPlainTextEdit::viewportEvent(event);
}

} // namespace fw
