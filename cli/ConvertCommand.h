#pragma once

#include "CliCommand.h"

namespace fw {
class FormatRegistry;
}

namespace fw::cli {

// fretwerk-cli convert IN -o OUT [options]: both formats chosen by extension through the
// conversion layer; what the reader dropped or guessed goes to stderr. convert IN --list-tracks
// prints the parts of a file instead.
int RunConvert(const QStringList& args, CliStreams& streams);
// The same with other formats than the program's, for tests.
int RunConvertWith(const FormatRegistry& formats, const QStringList& args, CliStreams& streams);

// Whether the output format draws (PDF), so the program must start with a QGuiApplication.
bool ConvertNeedsGui(int argc, char** argv);

} // namespace fw::cli
