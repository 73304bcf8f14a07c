#pragma once

#include "CliCommand.h"

namespace fw::cli {

// refinger FILE -o OUT.bss: the whole list with new strings and frets; prints the cost before and after.
int RunRefinger(const QStringList& args, CliStreams& streams);

} // namespace fw::cli
