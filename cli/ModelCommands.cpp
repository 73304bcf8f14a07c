#include "ModelCommands.h"
#include "CliDocument.h"

#include "ChordList.h"
#include "LineParser.h"

namespace fw::cli {

int RunCheck(const QStringList& args, CliStreams& streams)
{
    if (args.size() != 1) {
        streams.err << "usage: fretwerk-cli check FILE\n";
        return ExitUnreadable;
    }
    const auto document = LoadDocumentFile(args[0], streams);
    if (!document)
        return ExitUnreadable;
    bool anyError = false;
    ChordDef def;
    const Tuning tuning = TuningOfLines(document->lines);
    for (int i = 0; i < document->lines.size(); ++i) {
        const LineParseResult result = ParseLineText(document->lines[i], i, def, tuning);
        if (!result.errorText.isEmpty()) {
            streams.out << result.errorText << "\n";
            anyError = true;
        }
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
