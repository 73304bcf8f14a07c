#pragma once

#include "GuitarProScore.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace fw::guitarpro {

// Guitar Pro 6 (.gpx) and Guitar Pro 7 and 8 (.gp) files: containers of a score.gpif document, told
// apart by their first bytes.

bool IsGpxFile(const QByteArray& bytes); // "BCFZ" or "BCFS"
bool IsGp7File(const QByteArray& bytes); // a ZIP archive

// The score of a .gpx file. Nothing, with error saying why, for a file that is not one, is damaged
// or would unpack to more than MaxGpifBytes.
std::optional<Score> ReadGpxFile(const QByteArray& bytes, QString& error);

// The score of a .gp file, from its Content/score.gpif. Nothing, with error saying why, for a file
// that is not one, whose score is encrypted, is damaged or would unpack to more than MaxGpifBytes.
std::optional<Score> ReadGp7File(const QByteArray& bytes, QString& error);

} // namespace fw::guitarpro
