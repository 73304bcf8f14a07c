#include "GpifFile.h"
#include "GuitarProScoreChecks.h"

using namespace fw;

// Any bytes: reading never crashes or hangs, and gives a message or a score the conversion can take.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString error;
    const auto score
        = guitarpro::ReadGp7File(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), error);
    fuzz::CheckGuitarProScore(score, error);
    return 0;
}
