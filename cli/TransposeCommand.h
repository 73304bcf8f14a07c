#pragma once

#include "CliCommand.h"

namespace fw::cli {

// transpose FILE --semitones N [--lines A-B] -o OUT.bss: the notes moved as Special > Transpose...
// moves them; lines in error and notes no string can play are listed on stderr (exit 1).
int RunTranspose(const QStringList& args, CliStreams& streams);

} // namespace fw::cli
