#include "CliDocument.h"

#include "FileReading.h"

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

} // namespace fw::cli
