#include "FileReading.h"

#include <QFile>
#include <QFileInfo>

namespace fw {

std::optional<QByteArray> ReadWholeFile(const QString& path, QString& reason)
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
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

} // namespace fw
