#include "ImportWiring.h"

#include "ChordEditor.h"
#include "MainWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>

namespace fw {

ImportWiring::ImportWiring(TfrmMain& window, FileDialogs& dialogs, MessageBoxes& boxes)
    : m_window(window)
    , m_commands(*this, dialogs, boxes, *this, *this)
{
}

QWidget* ImportWiring::dialogParent() { return &m_window; }

bool ImportWiring::confirmDiscard() { return !m_window.Modified || m_window.ConfirmDiscard(); }

bool ImportWiring::isPlaying() const { return m_window.IsPlaying(); }

void ImportWiring::openImportedDocument(const QStringList& lines, const DocumentHeader& header, const QString& name)
{
    m_window.openImportedDocument(lines, header, name);
}

void ImportWiring::insertLinesAtCaret(const QStringList& lines)
{
    QPlainTextEdit& editor = *m_window.RichEdit1;
    QTextCursor cursor = editor.textCursor();
    const int firstLine = cursor.blockNumber();
    // One edit block: a single Undo takes the whole paste back.
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.insertText(lines.join(u'\n') + u'\n');
    cursor.endEditBlock();
    editor.setTextCursor(cursor);
    m_window.SelectLine(firstLine, false);
    m_window.ShowCurrentLine();
    editor.setFocus();
}

QString ImportWiring::clipboardText() const { return QGuiApplication::clipboard()->text(); }

QStringList ImportWiring::documentLines() const { return m_window.RichEdit1->toPlainText().split(u'\n'); }

DocumentHeader ImportWiring::documentHeader() const { return m_window.documentHeader(); }

QString ImportWiring::documentName() const { return m_window.documentName(); }

QString ImportWiring::lastFolder() const { return m_window.settings().LastDir; }

void ImportWiring::setLastFolder(const QString& folder) { m_window.settings().LastDir = folder; }

QString ImportWiring::soundFontSetting() const { return m_window.settings().SoundFont; }

std::optional<TabImport> ImportWiring::ask(
    QWidget* parent, const QString& title, const QString& text, const TabImportOptions& options)
{
    return m_prompt->ask(parent, title, text, options);
}

std::optional<PartChoice> ImportWiring::choose(QWidget* parent, const QString& fileName, const QList<ImportPart>& parts)
{
    return m_partPrompt->choose(parent, fileName, parts);
}

} // namespace fw
