#pragma once

#include "CliCommand.h"
#include "DocumentText.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace fw::cli {

// Reads a whole input file. On failure writes "cannot read" with the reason to streams.err and
// returns nothing.
std::optional<QByteArray> ReadInputFile(const QString& path, CliStreams& streams);

// Loads a chord-list file as the GUI opens it, without renaming lines. On failure writes a clear
// message to streams.err and returns nothing.
std::optional<LoadedDocument> LoadDocumentFile(const QString& path, CliStreams& streams);

} // namespace fw::cli
