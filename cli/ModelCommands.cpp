#include "ModelCommands.h"
#include "CliDocument.h"

#include "ChordList.h"
#include "LineParser.h"
#include "SilentHost.h"
#include "StringListLines.h"

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
    for (int i = 0; i < document->lines.size(); ++i) {
        const LineParseResult result = ParseLineText(document->lines[i], i, def);
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
    StringListLines editor(document->lines);
    SilentHost host;
    ChordList chordList(editor, host, host);
    for (int i = 0; i <= editor.lineCount(); ++i)
        chordList.AutoNameLine(i);
    for (const QString& line : editor.lines())
        streams.out << line << "\n";
    return ExitOk;
}

} // namespace fw::cli
