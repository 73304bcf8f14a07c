#include "ImportCommands.h"

#include "AsciiTabReader.h"
#include "Conversion.h"
#include "FileDialogs.h"
#include "FileReading.h"
#include "ImportPartsDialog.h"
#include "ImportTabDialog.h"
#include "MessageBoxes.h"

#include <QDir>
#include <QFileInfo>
#include <new>

namespace fw {

ImportCommands::ImportCommands(
    ImportHost& host, FileDialogs& dialogs, MessageBoxes& boxes, TabImportPrompt& prompt, ImportPartPrompt& partPrompt)
    : m_host(host)
    , m_dialogs(dialogs)
    , m_boxes(boxes)
    , m_prompt(prompt)
    , m_partPrompt(partPrompt)
    , m_formats(&Formats())
{
}

void ImportCommands::setFormats(const FormatRegistry* formats) { m_formats = formats ? formats : &Formats(); }

QString ImportCommands::ImportedDocumentName(const QString& importedFile)
{
    const QFileInfo info(importedFile);
    const QDir folder = info.dir();
    QString name = folder.filePath(info.completeBaseName() + QStringLiteral(".bss"));
    for (int number = 2; QFileInfo::exists(name); ++number)
        name = folder.filePath(QStringLiteral("%1 %2.bss").arg(info.completeBaseName()).arg(number));
    return name;
}

void ImportCommands::importFile()
{
    if (m_host.isPlaying() || !m_host.confirmDiscard())
        return;
    const QString folder = QFileInfo(m_host.lastFolder()).isDir() ? m_host.lastFolder() : QString();
    const QString chosen = m_dialogs.openFileName(QStringLiteral("Import"), folder, m_formats->openFilter());
    if (chosen.isEmpty())
        return;
    try {
        if (!importChosenFile(chosen))
            return;
    } catch (const std::bad_alloc&) {
        // Reading and the chooser catch their own; this is opening a list too large to hold.
        m_boxes.errorBox(NotEnoughMemoryToImport(chosen));
        return;
    }
    m_host.setLastFolder(QFileInfo(chosen).absolutePath());
}

bool ImportCommands::importChosenFile(const QString& chosen)
{
    const ReaderFormat* reader = m_formats->readerFor(chosen);
    if (reader && reader->reviewedAsText) {
        QString error;
        // A file far too long is refused from its size, before it is read.
        const std::optional<QByteArray> bytes = ReadImportBytes(*reader, chosen, error);
        if (!bytes) {
            m_boxes.errorBox(error);
            return false;
        }
        // A file that is no text at all is refused before the dialog shows it.
        if (bytes->contains('\0')) {
            m_boxes.errorBox(QStringLiteral("Can't import \"%1\": %2")
                                 .arg(QDir::toNativeSeparators(chosen), ImportAsciiTabBytes(*bytes, {}).error));
            return false;
        }
        const auto imported = m_prompt.ask(m_host.dialogParent(),
            QStringLiteral("Import Tab - %1").arg(QFileInfo(chosen).fileName()), DecodeDocumentBytes(*bytes), {});
        if (!imported)
            return false;
        DocumentHeader header;
        header.Tempo = imported->tempo.value_or(DefaultTempo);
        m_host.openImportedDocument(imported->lines, header, ImportedDocumentName(chosen));
        return true;
    }
    ConvertOptions options;
    if (reader && reader->listParts) {
        QString error;
        const QList<ImportPart> parts = ListFileParts(*m_formats, chosen, error);
        if (!error.isEmpty()) {
            m_boxes.errorBox(error);
            return false;
        }
        if (parts.size() > 1) {
            const std::optional<PartChoice> part = m_partPrompt.choose(m_host.dialogParent(), chosen, parts);
            if (!part)
                return false;
            SetPartOptions(options, *part);
        }
    }
    const ReadResult read = ReadFileAs(*m_formats, chosen, options);
    if (!read.document) {
        m_boxes.errorBox(read.error);
        return false;
    }
    m_host.openImportedDocument(read.document->lines, read.document->header, ImportedDocumentName(chosen));
    if (!read.report.isEmpty())
        m_boxes.informationBox(read.report.join(u'\n'));
    return true;
}

void ImportCommands::exportAs(const WriterFormat& writer)
{
    if (m_host.isPlaying())
        return;
    const QString extension = writer.extensions.value(0);
    const QFileInfo document(m_host.documentName());
    const QString folder = QFileInfo(m_host.lastFolder()).isDir() ? m_host.lastFolder() : document.absolutePath();
    const QString proposed = QDir(folder).filePath(document.completeBaseName() + u'.' + extension);
    QStringList patterns;
    for (const QString& known : writer.extensions)
        patterns << QStringLiteral("*.") + known;
    const QString filter = QStringLiteral("%1 (%2);;All Files (*)").arg(writer.name, patterns.join(u' '));
    QString chosen = m_dialogs.saveFileName(QStringLiteral("Export %1").arg(writer.name), proposed, filter);
    if (chosen.isEmpty())
        return;
    if (!writer.extensions.contains(QFileInfo(chosen).suffix().toLower()))
        chosen += u'.' + extension;
    ConvertOptions options;
    if (!m_host.soundFontSetting().isEmpty())
        options.insert(QStringLiteral("soundfont"), m_host.soundFontSetting());
    WriteResult written;
    try {
        const ConvertDocument converted { m_host.documentLines(), m_host.documentHeader(), m_host.documentName() };
        written = WriteFileAs(writer, converted, chosen, options);
    } catch (const std::bad_alloc&) {
        written.error = NotEnoughMemoryToExport(chosen);
    }
    if (!written.error.isEmpty()) {
        m_boxes.errorBox(written.error);
        return;
    }
    if (!written.report.isEmpty())
        m_boxes.warningBox(written.report.join(u'\n'));
    m_host.setLastFolder(QFileInfo(chosen).absolutePath());
}

void ImportCommands::pasteTab()
{
    if (m_host.isPlaying())
        return;
    const QString text = m_host.clipboardText();
    if (text.trimmed().isEmpty()) {
        m_boxes.informationBox(QStringLiteral("The Clipboard holds no text to read as tab."));
        return;
    }
    // The pasted lines join this list, so they are read in its tuning and bring no tuning line.
    TabImportOptions options;
    options.tuning = TuningOfLines(m_host.documentLines());
    options.writeTuningLine = false;
    const auto imported = m_prompt.ask(m_host.dialogParent(), QStringLiteral("Paste Tab"), text, options);
    if (!imported)
        return;
    m_host.insertLinesAtCaret(imported->lines);
}

} // namespace fw
