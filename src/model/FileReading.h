#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace fw {

// Reads the whole of a file the user named. Folders and anything that is not a regular file are
// refused before opening, since reading a pipe or a device can wait for ever. On failure REASON
// says why, in the system's words where it has them. With maxBytes (not negative), a larger file is
// refused from its size before anything is read, and a file that grows past it while being read is
// refused as soon as it does, so no more than maxBytes are ever held.
std::optional<QByteArray> ReadWholeFile(const QString& path, QString& reason, qint64 maxBytes = -1);

// "3072 MB": a file size as refusals give it, in whole megabytes.
QString MegabytesText(qint64 bytes);

} // namespace fw
