#include "ChordDocument.h"

#include "EditorLines.h"
#include "FileDialogs.h"
#include "FileReading.h"
#include "MessageBoxes.h"
#include "SafeFileWrite.h"
#include "Settings.h"
#include "Tuning.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace fw {

namespace {

    const QString UntitledName = QStringLiteral("Untitled.bss");

    QString WithChordListExtension(const QString& chosen)
    {
        const QFileInfo info(chosen);
        return info.dir().filePath(info.completeBaseName() + QStringLiteral(".bss"));
    }

    bool HasChordListExtension(const QFileInfo& info)
    {
        return info.suffix().compare(QLatin1String("bss"), Qt::CaseInsensitive) == 0;
    }

} // namespace

QString ChordListFileFor(const QString& chosen)
{
    const QString name = WithChordListExtension(chosen);
    const QFileInfo wanted(name);
    if (wanted.isFile())
        return name;
    // On a case-sensitive file system "SONG.BSS" is not "SONG.bss"; the file that is there counts.
    const QFileInfo asChosen(chosen);
    if (asChosen.isFile() && HasChordListExtension(asChosen))
        return chosen;
    const QDir folder = wanted.dir();
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (entry.completeBaseName() == wanted.completeBaseName() && HasChordListExtension(entry))
            return folder.filePath(entry.fileName());
    }
    return name;
}

ChordDocument::ChordDocument(
    EditorLines& lines, DocumentHost& host, MessageBoxes& boxes, FileDialogs& dialogs, Settings& settings)
    : m_lines(lines)
    , m_host(host)
    , m_boxes(boxes)
    , m_dialogs(dialogs)
    , m_settings(settings)
    , m_name(UntitledName)
{
}

void ChordDocument::setName(const QString& fileName)
{
    m_name = fileName;
    m_host.showDocumentName(fileName);
}

void ChordDocument::ResetDocumentState()
{
    m_host.resetDocumentState();
    Info3Value = DefaultInfo3Value;
    m_host.setModified(false);
}

void ChordDocument::ResetDocument()
{
    m_host.setEditorText(QString());
    setName(UntitledName);
    ResetDocumentState();
}

std::optional<QByteArray> ChordDocument::readFile(const QString& fileName)
{
    QString reason;
    std::optional<QByteArray> bytes = ReadWholeFile(fileName, reason);
    if (!bytes)
        m_boxes.errorBox(QStringLiteral("Can't open \"%1\": %2").arg(QDir::toNativeSeparators(fileName), reason));
    return bytes;
}

bool ChordDocument::LoadChordList(const QString& fileName)
{
    const std::optional<QByteArray> bytes = readFile(fileName);
    if (!bytes)
        return false;
    showBytes(*bytes);
    return true;
}

void ChordDocument::showBytes(const QByteArray& bytes)
{
    const QString text = DecodeDocumentBytes(bytes);
    QStringList lines = SplitDocumentLines(text);
    DocumentHeader header = m_host.headerValues();
    header.Info3Value = Info3Value;
    ApplyHeaderLines(lines, header);
    Info3Value = header.Info3Value;
    m_host.applyHeaderValues(header);

    // Renaming happens before the text reaches the editor: the same result as renaming each
    // editor line, in one step and fast for long files.
    if (m_settings.AutoCorrect)
        lines = m_host.autoNameLines(lines);
    const bool endsWithBreak = text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
    QString editorText = lines.join(QLatin1Char('\n'));
    if (endsWithBreak && !lines.isEmpty())
        editorText += QLatin1Char('\n');
    m_host.setEditorText(editorText);
}

bool ChordDocument::SaveChordList(const QString& fileName)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DocumentHeader header = m_host.headerValues();
    header.Info3Value = Info3Value;
    const QStringList lines = HeaderLines(header) + LineTexts(m_lines);
    const QString error = WriteFileSafely(fileName, EncodeDocumentText(JoinDocumentLines(lines)));
    QApplication::restoreOverrideCursor();
    // The previous file stays as it was: nothing replaces it unless the whole text was written.
    if (!error.isEmpty()) {
        m_boxes.errorBox(error);
        return false;
    }
    return true;
}

bool ChordDocument::SaveDocument()
{
    if (!SaveChordList(m_name))
        return false;
    setName(m_name);
    m_host.setModified(false);
    return true;
}

bool ChordDocument::ConfirmDiscard()
{
    if (!m_settings.Prompts)
        return true;
    const QString name = QFileInfo(m_name).fileName();
    switch (m_boxes.askYesNoCancel(QStringLiteral(" Save changes to \"%1\"?").arg(name))) {
    case MessageBoxes::Answer::Yes:
        // A failed save must not let the caller throw the changes away.
        return SaveDocument();
    case MessageBoxes::Answer::No:
        return true;
    case MessageBoxes::Answer::Cancel:
        break;
    }
    return false;
}

void ChordDocument::AddRecentFile(const QString& fileName)
{
    m_settings.RecentFile2 = m_settings.RecentFile1;
    m_settings.RecentFile1 = m_settings.RecentFile0;
    m_settings.RecentFile0 = fileName;
    ShowRecentFiles();
}

void ChordDocument::ShowRecentFiles()
{
    m_host.showRecentFiles({ m_settings.RecentFile0, m_settings.RecentFile1, m_settings.RecentFile2 });
}

bool ChordDocument::openFile(const QString& fileName)
{
    // A file that cannot be read leaves the current document as it is.
    const std::optional<QByteArray> bytes = readFile(fileName);
    if (!bytes)
        return false;
    ResetDocumentState();
    showBytes(*bytes);
    setName(fileName);
    m_host.showFirstLine();
    m_host.setModified(false);
    return true;
}

void ChordDocument::OpenRecentFile(const QString& fileName)
{
    if (m_host.modified() && !ConfirmDiscard())
        return;
    if (!QFileInfo::exists(fileName)) {
        m_boxes.errorBox(fileName + QStringLiteral(" doesn't exist!"));
        return;
    }
    openFile(fileName);
    m_host.focusEditor();
}

void ChordDocument::OpenCommandLineFile(const QStringList& arguments)
{
    const QString joined = arguments.mid(1, 5).join(QLatin1Char(' ')).trimmed();
    if (joined.isEmpty())
        return;
    const QFileInfo info(joined);
    if (!info.isFile() || !HasChordListExtension(info))
        return;
    // Only a file that was read is a recent file.
    if (openFile(info.absoluteFilePath()))
        AddRecentFile(info.absoluteFilePath());
}

void ChordDocument::OpenDroppedFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile() || !HasChordListExtension(info))
        return;
    if (m_host.modified() && !ConfirmDiscard())
        return;
    if (m_host.isPlaying())
        return;
    if (!openFile(info.absoluteFilePath()))
        return;
    AddRecentFile(info.absoluteFilePath());
    m_host.focusEditor();
}

void ChordDocument::OpenImported(const QStringList& lines, const DocumentHeader& header, const QString& name)
{
    ResetDocumentState();
    // The file's own road: header values, automatic names and the editor text.
    showBytes(EncodeDocumentText(JoinDocumentLines(HeaderLines(header) + lines)));
    setName(name);
    m_host.showFirstLine();
    m_host.setModified(true);
}

void ChordDocument::New1Click()
{
    if (m_host.modified() && !ConfirmDiscard())
        return;
    ResetDocument();
    if (const QStringList lines = NewDocumentLines(m_settings.NewTuning); !lines.isEmpty())
        m_host.setEditorText(lines.join(u'\n'));
    m_host.showFirstLine();
    m_host.focusEditor();
    m_host.setModified(false);
}

void ChordDocument::Open1Click()
{
    if (m_host.modified() && !ConfirmDiscard())
        return;
    const QString folder = QFileInfo(m_settings.LastDir).isDir() ? m_settings.LastDir : QString();
    const QString chosen = m_dialogs.openFileName(
        QStringLiteral("Open"), folder, QStringLiteral("Fretwerk Bass Files (*.bss);;All Files (*)"));
    if (chosen.isEmpty()) {
        m_host.focusEditor();
        return;
    }
    const QString name = ChordListFileFor(chosen);
    if (!QFileInfo(name).isFile()) {
        m_boxes.errorBox(QDir::toNativeSeparators(name) + QStringLiteral(" doesn't exist!"));
        return;
    }
    if (!openFile(name))
        return;
    m_settings.LastDir = QFileInfo(name).absolutePath();
    AddRecentFile(name);
    m_host.focusEditor();
}

void ChordDocument::Save1Click()
{
    SaveDocument();
    m_host.focusEditor();
}

void ChordDocument::SaveAs1Click()
{
    const QString proposed
        = m_settings.LastDir.isEmpty() ? m_name : QDir(m_settings.LastDir).filePath(QFileInfo(m_name).fileName());
    // The dialog cannot know the ".bss" that follows, so the question about replacing a file
    // is asked here, about the file that will really be written.
    const QString chosen = m_dialogs.saveFileNameUnchecked(
        QStringLiteral("Save As"), proposed, QStringLiteral("Fretwerk Bass files (*.bss);;All Files (*)"));
    if (chosen.isEmpty()) {
        m_host.focusEditor();
        return;
    }
    const QString name = WithChordListExtension(chosen);
    if (QFileInfo(name).isFile() && !m_dialogs.confirmOverwrite(name)) {
        m_host.focusEditor();
        return;
    }
    // The document takes the new name only once it has been written there.
    if (!SaveChordList(name))
        return;
    setName(name);
    m_host.setModified(false);
    m_settings.LastDir = QFileInfo(name).absolutePath();
    m_host.focusEditor();
}

} // namespace fw
