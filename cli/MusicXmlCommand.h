#pragma once

#include "CliCommand.h"

namespace fw::cli {

// fretwerk-cli musicxml IN -o OUT: a chord list (.bss) to a score (.musicxml, .mxl), or a score to a
// chord list; what the reading dropped goes to stderr.
int RunMusicXml(const QStringList& args, CliStreams& streams);

} // namespace fw::cli
