#include "ModelCommands.h"
#include "CliDocument.h"

#include "ChordList.h"
#include "ListCheck.h"

namespace fw::cli {

int RunCheck(const QStringList& args, CliStreams& streams)
{
    QStringList files = args;
    const bool warnings = files.removeAll(QStringLiteral("--warnings")) > 0;
    if (files.size() != 1) {
        streams.err << "usage: fretwerk-cli check FILE [--warnings]\n";
        return ExitUnreadable;
    }
    const auto document = LoadDocumentFile(files[0], streams);
    if (!document)
        return ExitUnreadable;
    bool anyError = false;
    for (const LineProblem& problem : CheckLines(document->lines, warnings)) {
        streams.out << problem.text << "\n";
        anyError = anyError || !problem.warning;
    }
    return anyError ? ExitFindings : ExitOk;
}

int RunAutoname(const QStringList& args, CliStreams& streams)
{
    if (args.size() != 1) {
        streams.err << "usage: fretwerk-cli autoname FILE\n";
        return ExitUnreadable;
    }
    const auto document = LoadDocumentFile(args[0], streams);
    if (!document)
        return ExitUnreadable;
    for (const QString& line : AutoNameLines(document->lines))
        streams.out << line << "\n";
    return ExitOk;
}

} // namespace fw::cli
