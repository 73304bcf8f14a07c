#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace fw {

// Reads the whole of a file the user named. Folders and anything that is not a regular file are
// refused before opening, since reading a pipe or a device can wait for ever. On failure REASON
// says why, in the system's words where it has them.
std::optional<QByteArray> ReadWholeFile(const QString& path, QString& reason);

} // namespace fw
