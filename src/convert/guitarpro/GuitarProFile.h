#pragma once

#include "GuitarProScore.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace fw::guitarpro {

// A Guitar Pro file of any version this program reads, told apart by its bytes, not its name.
// Nothing, with error saying why, for anything else.
std::optional<Score> ReadGuitarProFile(const QByteArray& bytes, QString& error);

} // namespace fw::guitarpro
