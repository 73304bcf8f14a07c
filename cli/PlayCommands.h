#pragma once

#include "CliCommand.h"

namespace fw::cli {

// play FILE [--device N] [--tempo N] [--events] [--soundfont SF2], and play --list.
int RunPlay(const QStringList& args, CliStreams& streams);
// wav FILE -o OUT.wav [--tempo N] [--soundfont SF2]
int RunWav(const QStringList& args, CliStreams& streams);

} // namespace fw::cli
