#include "CliDocument.h"

#include <QFile>
#include <QFileInfo>

namespace fw::cli {

std::optional<LoadedDocument> LoadDocumentFile(const QString& path, CliStreams& streams)
{
    if (QFileInfo(path).isDir()) {
        streams.err << "fretwerk-cli: cannot read " << path << ": it is a folder\n";
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        streams.err << "fretwerk-cli: cannot read " << path << ": " << file.errorString() << "\n";
        return std::nullopt;
    }
    return ParseDocumentBytes(file.readAll());
}

} // namespace fw::cli
