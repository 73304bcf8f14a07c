#include "FileReading.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace fw {

namespace {

    constexpr qint64 Megabyte = qint64(1) << 20;

    QString TooLarge(qint64 size, qint64 maxBytes)
    {
        return QStringLiteral("it is %1 long, more than the %2 that can be read")
            .arg(MegabytesText(size), MegabytesText(maxBytes));
    }

} // namespace

QString MegabytesText(qint64 bytes) { return QStringLiteral("%1 MB").arg(bytes / Megabyte); }

std::optional<QByteArray> ReadWholeFile(const QString& path, QString& reason, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        reason = QStringLiteral("it is a folder");
        return std::nullopt;
    }
    if (info.exists() && !info.isFile()) {
        reason = QStringLiteral("it is not a regular file");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return std::nullopt;
    }
    if (maxBytes >= 0 && file.size() > maxBytes) {
        reason = TooLarge(file.size(), maxBytes);
        return std::nullopt;
    }
    QByteArray bytes;
    if (maxBytes < 0) {
        bytes = file.readAll();
    } else {
        // In pieces, so that a file growing while it is read is stopped at the limit.
        bytes.reserve(file.size());
        while (!file.atEnd() && file.error() == QFileDevice::NoError) {
            const QByteArray piece = file.read(std::min(Megabyte, maxBytes + 1 - bytes.size()));
            if (piece.isEmpty())
                break;
            bytes += piece;
            if (bytes.size() > maxBytes) {
                reason = TooLarge(bytes.size(), maxBytes);
                return std::nullopt;
            }
        }
    }
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

} // namespace fw
