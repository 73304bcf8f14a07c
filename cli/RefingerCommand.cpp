#include "RefingerCommand.h"

#include "CliDocument.h"
#include "Refinger.h"

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
    // Without the header lines, so that messages count the lines as the editor shows them.
    const std::optional<ListFile> file = ReadListFile(input, streams);
    if (!file)
        return ExitUnreadable;
    const RefingerResult result = RefingerLines(file->lines, 0, static_cast<int>(file->lines.size()) - 1);
    if (!result.errorText.isEmpty()) {
        streams.err << result.errorText << "\n"
                    << "Fix errors before optimizing the fingering.\n";
        return ExitFindings;
    }
    if (!WriteListFile(output, *file, result.lines, streams))
        return ExitUnreadable;
    streams.out << "cost before: " << result.costBefore << "\n"
                << "cost after: " << result.costAfter << "\n"
                << "lines changed: " << result.changedLines << "\n";
    return ExitOk;
}

} // namespace fw::cli
