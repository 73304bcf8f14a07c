#include "CliDocument.h"

#include <QFile>
#include <QFileInfo>

namespace fw::cli {

std::optional<LoadedDocument> LoadDocumentFile(const QString& path, CliStreams& streams)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        streams.err << "fretwerk-cli: cannot read " << path << ": it is a folder\n";
        return std::nullopt;
    }
    // Opening a pipe or a device for reading can wait for ever.
    if (info.exists() && !info.isFile()) {
        streams.err << "fretwerk-cli: cannot read " << path << ": it is not a regular file\n";
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        streams.err << "fretwerk-cli: cannot read " << path << ": " << file.errorString() << "\n";
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        streams.err << "fretwerk-cli: cannot read " << path << ": " << file.errorString() << "\n";
        return std::nullopt;
    }
    return ParseDocumentBytes(bytes);
}

} // namespace fw::cli
