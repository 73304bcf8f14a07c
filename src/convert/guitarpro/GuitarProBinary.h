#pragma once

#include "GuitarProScore.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace fw::guitarpro {

// The version of a GP3, GP4 or GP5 file from the text it starts with ("FICHIER GUITAR PRO v5.10"):
// 300, 400, 406, 500 or 510; 0 for anything else.
int BinaryVersion(const QByteArray& bytes);

// Reads a GP3, GP4 or GP5 file whole. Nothing, with error saying why, for a file that is not one of
// them, that is truncated or damaged, or whose counts are beyond the limits of GuitarProScore.h.
std::optional<Score> ReadBinaryScore(const QByteArray& bytes, QString& error);

} // namespace fw::guitarpro
