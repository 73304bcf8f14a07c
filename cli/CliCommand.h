#pragma once

#include <QStringList>
#include <QTextStream>

namespace fw::cli {

// Exit statuses shared by every verb.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFindings = 1;
inline constexpr int ExitUnreadable = 2;

struct CliStreams {
    QTextStream& out;
    QTextStream& err;
};

// One verb of fretwerk-cli: args excludes the program name and the verb itself.
struct CliCommand {
    const char* name;
    const char* synopsis;
    int (*run)(const QStringList& args, CliStreams& streams);
};

} // namespace fw::cli
