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

// A chord list read by a verb that rewrites it: its lines as the editor shows them, without the four
// header lines, which WriteListFile puts back in front, so the output opens like the input.
struct ListFile {
    QStringList lines;
    bool hadHeader = false;
    DocumentHeader header;
};
std::optional<ListFile> ReadListFile(const QString& path, CliStreams& streams);
// Writes lines with the header lines of file safely; on failure tells streams.err and returns false.
bool WriteListFile(const QString& path, const ListFile& file, const QStringList& lines, CliStreams& streams);

} // namespace fw::cli
