#include "Conversion.h"

#include "FileReading.h"

#include <QDir>
#include <QFileInfo>
#include <new>

namespace fw {

namespace {

    QString ExtensionOf(const QString& fileName) { return QFileInfo(fileName).suffix().toLower(); }

    template <typename Format> const Format* FormatFor(const QList<Format>& formats, const QString& fileName)
    {
        const QString extension = ExtensionOf(fileName);
        // The last registration wins, so a later, better format for an extension replaces an earlier one.
        for (auto it = formats.crbegin(); it != formats.crend(); ++it)
            if (it->extensions.contains(extension))
                return &*it;
        return nullptr;
    }

    template <typename Format> QString Extensions(const QList<Format>& formats)
    {
        QStringList all;
        for (const Format& format : formats)
            for (const QString& extension : format.extensions)
                if (!all.contains(extension))
                    all << extension;
        return all.join(QStringLiteral(", "));
    }

} // namespace

void FormatRegistry::addReader(ReaderFormat reader) { m_readers.append(std::move(reader)); }

void FormatRegistry::addWriter(WriterFormat writer) { m_writers.append(std::move(writer)); }

const ReaderFormat* FormatRegistry::readerFor(const QString& fileName) const { return FormatFor(m_readers, fileName); }

const WriterFormat* FormatRegistry::writerFor(const QString& fileName) const { return FormatFor(m_writers, fileName); }

QString FormatRegistry::openFilter() const
{
    QStringList filters;
    QStringList everyPattern;
    for (const ReaderFormat& reader : m_readers) {
        QStringList patterns;
        for (const QString& extension : reader.extensions)
            patterns << QStringLiteral("*.") + extension;
        everyPattern << patterns;
        filters << QStringLiteral("%1 (%2)").arg(reader.name, patterns.join(u' '));
    }
    filters.prepend(QStringLiteral("All importable files (%1)").arg(everyPattern.join(u' ')));
    filters << QStringLiteral("All Files (*)");
    return filters.join(QStringLiteral(";;"));
}

QString FormatRegistry::readableExtensions() const { return Extensions(m_readers); }

QString FormatRegistry::writableExtensions() const { return Extensions(m_writers); }

std::optional<QByteArray> ReadImportBytes(const ReaderFormat& reader, const QString& fileName, QString& error)
{
    const QString shown = QDir::toNativeSeparators(fileName);
    const QFileInfo info(fileName);
    // Asked before opening, so a huge (or sparse) file costs nothing to refuse.
    if (info.isFile() && info.size() > reader.maxBytes) {
        error = QStringLiteral("Can't import \"%1\": The file is too large for %2: %3 (at most %4).")
                    .arg(shown, reader.fileKind, MegabytesText(info.size()), MegabytesText(reader.maxBytes));
        return std::nullopt;
    }
    QString reason;
    std::optional<QByteArray> bytes = ReadWholeFile(fileName, reason, reader.maxBytes);
    if (!bytes)
        error = QStringLiteral("Can't open \"%1\": %2").arg(shown, reason);
    return bytes;
}

ReadResult ReadFileAs(const FormatRegistry& registry, const QString& fileName, const ConvertOptions& options)
{
    ReadResult result;
    const ReaderFormat* reader = registry.readerFor(fileName);
    if (!reader) {
        result.error
            = QStringLiteral("Can't import \"%1\": files ending in \".%2\" cannot be read (known: %3).")
                  .arg(QDir::toNativeSeparators(fileName), ExtensionOf(fileName), registry.readableExtensions());
        return result;
    }
    try {
        const std::optional<QByteArray> bytes = ReadImportBytes(*reader, fileName, result.error);
        if (!bytes)
            return result;
        result = reader->read(*bytes, fileName, options);
    } catch (const std::bad_alloc&) {
        result = ReadResult();
        result.error = NotEnoughMemoryToImport(fileName);
        return result;
    }
    if (!result.error.isEmpty())
        result.error = QStringLiteral("Can't import \"%1\": %2").arg(QDir::toNativeSeparators(fileName), result.error);
    return result;
}

QList<ImportPart> ListFileParts(const FormatRegistry& registry, const QString& fileName, QString& error)
{
    const ReaderFormat* reader = registry.readerFor(fileName);
    if (!reader || !reader->listParts)
        return {};
    try {
        const std::optional<QByteArray> bytes = ReadImportBytes(*reader, fileName, error);
        if (!bytes)
            return {};
        QList<ImportPart> parts = reader->listParts(*bytes, error);
        if (!error.isEmpty())
            error = QStringLiteral("Can't import \"%1\": %2").arg(QDir::toNativeSeparators(fileName), error);
        return parts;
    } catch (const std::bad_alloc&) {
        error = NotEnoughMemoryToImport(fileName);
        return {};
    }
}

WriteResult WriteFileAs(
    const WriterFormat& writer, const ConvertDocument& document, const QString& path, const ConvertOptions& options)
{
    try {
        return writer.write(document, path, options);
    } catch (const std::bad_alloc&) {
        // The writers save through QSaveFile, which leaves the old file alone unless it commits.
        WriteResult result;
        result.error = NotEnoughMemoryToExport(path);
        return result;
    }
}

QString NotEnoughMemoryToImport(const QString& fileName)
{
    return QStringLiteral("There is not enough memory to import \"%1\".").arg(QDir::toNativeSeparators(fileName));
}

QString NotEnoughMemoryToExport(const QString& fileName)
{
    return QStringLiteral("There is not enough memory to export \"%1\".").arg(QDir::toNativeSeparators(fileName));
}

QStringList PartColumnTitles()
{
    return { QStringLiteral("Track"), QStringLiteral("Name"), QStringLiteral("Instrument"), QStringLiteral("Range"),
        QStringLiteral("Strings"), QStringLiteral("Notes"), QStringLiteral("Voices") };
}

QStringList PartColumns(const ImportPart& part)
{
    const auto orDash = [](const QString& text) { return text.trimmed().isEmpty() ? QStringLiteral("-") : text; };
    return { QString::number(part.number), orDash(part.name), orDash(part.instrument),
        KeyRangeText(part.lowest, part.highest), part.strings > 0 ? QString::number(part.strings) : QStringLiteral("-"),
        QString::number(part.notes), QString::number(part.voices) };
}

void SetPartOptions(ConvertOptions& options, const PartChoice& choice)
{
    if (choice.track > 0)
        options.insert(QStringLiteral("track"), QString::number(choice.track));
    if (choice.voice > 0)
        options.insert(QStringLiteral("voice"), QString::number(choice.voice));
}

QString KeyRangeText(int lowest, int highest)
{
    if (lowest < 0 || highest < 0)
        return QStringLiteral("-");
    // Scientific pitch names, sharps spelt: MIDI key 28 is E1, 60 is C4.
    static const char* const names[] = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };
    const auto name = [](int key) { return QString::fromLatin1(names[key % 12]) + QString::number(key / 12 - 1); };
    return name(lowest) + u'-' + name(highest);
}

} // namespace fw
