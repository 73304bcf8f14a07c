#pragma once

#include "CliCommand.h"

namespace fw::cli {

int RunCheck(const QStringList& args, CliStreams& streams);
int RunAutoname(const QStringList& args, CliStreams& streams);

} // namespace fw::cli
