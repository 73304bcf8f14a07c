#include "RefingerCommand.h"

#include "CliDocument.h"
#include "DocumentText.h"
#include "Refinger.h"
#include "SafeFileWrite.h"

namespace fw::cli {

int RunRefinger(const QStringList& args, CliStreams& streams)
{
    QString input;
    QString output;
    bool ok = true;
    for (qsizetype i = 0; i < args.size() && ok; ++i) {
        if (args[i] == QLatin1String("-o") && i + 1 < args.size() && output.isEmpty())
            output = args[++i];
        else if (!args[i].startsWith(u'-') && input.isEmpty())
            input = args[i];
        else
            ok = false;
    }
    if (!ok || input.isEmpty() || output.isEmpty()) {
        streams.err << "usage: fretwerk-cli refinger FILE -o OUT.bss\n";
        return ExitUnreadable;
    }
    const std::optional<QByteArray> bytes = ReadInputFile(input, streams);
    if (!bytes)
        return ExitUnreadable;
    // The header lines are comment lines to the re-fingering, so they pass through unchanged.
    const QStringList lines = SplitDocumentLines(DecodeDocumentBytes(*bytes));
    const RefingerResult result = RefingerLines(lines, 0, static_cast<int>(lines.size()) - 1);
    if (!result.errorText.isEmpty()) {
        streams.err << result.errorText << "\n"
                    << "Fix errors before optimizing the fingering.\n";
        return ExitFindings;
    }
    const QString error = WriteFileSafely(output, EncodeDocumentText(JoinDocumentLines(result.lines)));
    if (!error.isEmpty()) {
        streams.err << "fretwerk-cli: " << error << "\n";
        return ExitUnreadable;
    }
    streams.out << "cost before: " << result.costBefore << "\n"
                << "cost after: " << result.costAfter << "\n"
                << "lines changed: " << result.changedLines << "\n";
    return ExitOk;
}

} // namespace fw::cli
