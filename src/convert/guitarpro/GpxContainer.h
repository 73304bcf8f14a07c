#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace fw::guitarpro {

// Guitar Pro 6 files (.gpx) hold a small file system ("BCFS": sectors of 4096 bytes, each file an
// entry naming the sectors of its data), mostly compressed as a whole ("BCFZ": the unpacked size,
// then a bit stream of literal bytes and copies of earlier output).

// The file starts as a GPX container does, compressed or not.
bool IsGpxContainer(const QByteArray& bytes);

// The bytes of the named file ("score.gpif") in a GPX container. Nothing, with error saying why,
// for a file that is not a container, that is cut short or damaged, that does not hold the file,
// or that would unpack to more than maxBytes: the size a compressed container declares is checked
// before anything is unpacked, and what it unpacks to is counted as it goes.
std::optional<QByteArray> UnpackGpxFile(const QByteArray& bytes, const QString& name, qint64 maxBytes, QString& error);

} // namespace fw::guitarpro
