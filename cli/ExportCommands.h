#pragma once

#include "CliCommand.h"

namespace fw::cli {

// fretwerk-cli midi FILE -o OUT.mid [--tempo N]
int RunMidi(const QStringList& args, CliStreams& streams);
// fretwerk-cli tab FILE -o OUT.tab
int RunTab(const QStringList& args, CliStreams& streams);
// fretwerk-cli pdf FILE -o OUT.pdf [--page A4|Letter]; needs a QGuiApplication.
int RunPdf(const QStringList& args, CliStreams& streams);

} // namespace fw::cli
