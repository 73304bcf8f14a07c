#include "CliDocument.h"

#include "FileReading.h"
#include "SafeFileWrite.h"

namespace fw::cli {

std::optional<QByteArray> ReadInputFile(const QString& path, CliStreams& streams)
{
    QString reason;
    std::optional<QByteArray> bytes = ReadWholeFile(path, reason);
    if (!bytes)
        streams.err << "fretwerk-cli: cannot read " << path << ": " << reason << "\n";
    return bytes;
}

std::optional<LoadedDocument> LoadDocumentFile(const QString& path, CliStreams& streams)
{
    const std::optional<QByteArray> bytes = ReadInputFile(path, streams);
    if (!bytes)
        return std::nullopt;
    return ParseDocumentBytes(*bytes);
}

std::optional<ListFile> ReadListFile(const QString& path, CliStreams& streams)
{
    const std::optional<QByteArray> bytes = ReadInputFile(path, streams);
    if (!bytes)
        return std::nullopt;
    ListFile file;
    file.lines = SplitDocumentLines(DecodeDocumentBytes(*bytes));
    file.hadHeader = ApplyHeaderLines(file.lines, file.header);
    return file;
}

bool WriteListFile(const QString& path, const ListFile& file, const QStringList& lines, CliStreams& streams)
{
    const QStringList written = file.hadHeader ? HeaderLines(file.header) + lines : lines;
    const QString error = WriteFileSafely(path, EncodeDocumentText(JoinDocumentLines(written)));
    if (!error.isEmpty())
        streams.err << "fretwerk-cli: " << error << "\n";
    return error.isEmpty();
}

} // namespace fw::cli
