#pragma once

#include "CliCommand.h"
#include "Tuning.h"

#include <optional>

namespace fw::cli {

// Reads the value of --tuning ("B E A D G"); on a mistake writes why to streams.err and returns false.
bool ReadTuningOption(const QString& text, std::optional<Tuning>& tuning, CliStreams& streams);

// retune FILE --tuning "B E A D G" [--keep pitches|frets] -o OUT.bss
int RunRetune(const QStringList& args, CliStreams& streams);

} // namespace fw::cli
