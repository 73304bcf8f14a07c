#include "CliDocument.h"

#include "FileReading.h"

namespace fw::cli {

std::optional<LoadedDocument> LoadDocumentFile(const QString& path, CliStreams& streams)
{
    QString reason;
    const std::optional<QByteArray> bytes = ReadWholeFile(path, reason);
    if (!bytes) {
        streams.err << "fretwerk-cli: cannot read " << path << ": " << reason << "\n";
        return std::nullopt;
    }
    return ParseDocumentBytes(*bytes);
}

} // namespace fw::cli
