#include "PlainTextEditorLines.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace fw {

PlainTextEditorLines::PlainTextEditorLines(QPlainTextEdit& editor)
    : m_editor(editor)
{
    m_changes = QObject::connect(m_editor.document(), &QTextDocument::contentsChanged, [this] { ++m_revision; });
}

PlainTextEditorLines::~PlainTextEditorLines() { QObject::disconnect(m_changes); }

void PlainTextEditorLines::visitLinesBackward(const std::function<bool(const QString&)>& visit) const
{
    // The empty place after a final line break is no line.
    QTextBlock block = m_editor.document()->findBlockByNumber(lineCount() - 1);
    for (; block.isValid(); block = block.previous()) {
        if (!visit(block.text()))
            return;
    }
}

int PlainTextEditorLines::lineCount() const
{
    const QTextDocument* document = m_editor.document();
    const int blocks = document->blockCount();
    return document->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

QString PlainTextEditorLines::lineText(int index) const
{
    if (index < 0 || index >= lineCount())
        return QString();
    return m_editor.document()->findBlockByNumber(index).text();
}

void PlainTextEditorLines::replaceLine(int index, const QString& text)
{
    openQuietBlock();
    QTextDocument* document = m_editor.document();
    if (index < 0)
        return;
    QTextCursor cursor(document);
    if (index < document->blockCount()) {
        const QTextBlock block = document->findBlockByNumber(index);
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.insertText(text);
    } else {
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("\n") + text);
    }
}

void PlainTextEditorLines::insertLine(int index, const QString& text)
{
    openQuietBlock();
    QTextDocument* document = m_editor.document();
    QTextCursor cursor(document);
    // Like the editor's own line list: before an existing line (the empty place after a final break
    // counts as one), else as a new last line that gets no break of its own.
    if (index >= 0 && index < document->blockCount()) {
        cursor.setPosition(document->findBlockByNumber(index).position());
        cursor.insertText(text + QStringLiteral("\n"));
        return;
    }
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\n") + text);
}

void PlainTextEditorLines::deleteLine(int index)
{
    QTextDocument* document = m_editor.document();
    if (index < 0 || index >= lineCount())
        return;
    openQuietBlock();
    const QTextBlock block = document->findBlockByNumber(index);
    QTextCursor cursor(document);
    cursor.setPosition(block.position());
    const QTextBlock next = block.next();
    if (next.isValid())
        cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
    else
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

int PlainTextEditorLines::selectionStart() const { return m_editor.textCursor().selectionStart(); }

int PlainTextEditorLines::selectionLength() const
{
    const QTextCursor cursor = m_editor.textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void PlainTextEditorLines::setSelection(int start, int length)
{
    const int end = m_editor.document()->characterCount() - 1;
    QTextCursor cursor = m_editor.textCursor();
    cursor.setPosition(std::clamp(start, 0, end));
    cursor.setPosition(std::clamp(start + length, 0, end), QTextCursor::KeepAnchor);
    m_editor.setTextCursor(cursor);
}

int PlainTextEditorLines::currentLine() const { return m_editor.document()->findBlock(selectionStart()).blockNumber(); }

void PlainTextEditorLines::selectLine(int index, bool highlight)
{
    const QTextDocument* document = m_editor.document();
    const QTextBlock block = document->findBlockByNumber(std::clamp(index, 0, document->blockCount() - 1));
    QTextCursor cursor = m_editor.textCursor();
    cursor.setPosition(block.position());
    if (highlight)
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    m_editor.setTextCursor(cursor);
    m_editor.setFocus();
}

int PlainTextEditorLines::lineStart(int index) const
{
    const QTextDocument* document = m_editor.document();
    if (index >= document->blockCount())
        return document->characterCount();
    return document->findBlockByNumber(std::max(0, index)).position();
}

void PlainTextEditorLines::beginEditBlock() { m_editor.textCursor().beginEditBlock(); }

void PlainTextEditorLines::endEditBlock() { m_editor.textCursor().endEditBlock(); }

void PlainTextEditorLines::beginQuietBlock(bool joinPrevious)
{
    m_quiet = joinPrevious ? Quiet::PendingJoin : Quiet::Pending;
}

void PlainTextEditorLines::openQuietBlock()
{
    if (m_quiet == Quiet::Pending)
        m_editor.textCursor().beginEditBlock();
    else if (m_quiet == Quiet::PendingJoin)
        m_editor.textCursor().joinPreviousEditBlock();
    else
        return;
    m_quiet = Quiet::Open;
}

void PlainTextEditorLines::endQuietBlock()
{
    if (m_quiet == Quiet::Open)
        m_editor.textCursor().endEditBlock();
    m_quiet = Quiet::Off;
}

} // namespace fw
