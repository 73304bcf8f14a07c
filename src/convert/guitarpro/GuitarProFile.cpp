#include "GuitarProFile.h"

#include "GpifFile.h"
#include "GuitarProBinary.h"

namespace fw::guitarpro {

std::optional<Score> ReadGuitarProFile(const QByteArray& bytes, QString& error)
{
    if (IsGpxFile(bytes))
        return ReadGpxFile(bytes, error);
    if (IsGp7File(bytes))
        return ReadGp7File(bytes, error);
    return ReadBinaryScore(bytes, error);
}

} // namespace fw::guitarpro
