#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace fw::test {

// The whole content of a file, or nothing when it cannot be read.
inline QByteArray ReadFileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes BYTES as the whole file; false when any of it could not be written.
inline bool WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace fw::test
