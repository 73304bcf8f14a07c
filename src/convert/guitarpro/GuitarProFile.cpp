#include "GuitarProFile.h"

#include "GuitarProBinary.h"

namespace fw::guitarpro {

std::optional<Score> ReadGuitarProFile(const QByteArray& bytes, QString& error)
{
    return ReadBinaryScore(bytes, error);
}

} // namespace fw::guitarpro
