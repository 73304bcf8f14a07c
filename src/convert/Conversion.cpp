#include "Conversion.h"

#include "FileReading.h"

#include <QDir>
#include <QFileInfo>

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
    QString reason;
    const std::optional<QByteArray> bytes = ReadWholeFile(fileName, reason);
    if (!bytes) {
        result.error = QStringLiteral("Can't open \"%1\": %2").arg(QDir::toNativeSeparators(fileName), reason);
        return result;
    }
    result = reader->read(*bytes, fileName, options);
    if (!result.error.isEmpty())
        result.error = QStringLiteral("Can't import \"%1\": %2").arg(QDir::toNativeSeparators(fileName), result.error);
    return result;
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
