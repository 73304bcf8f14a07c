#include "TransposeCommand.h"

#include "CliDocument.h"
#include "Pitch.h"
#include "Transpose.h"

#include <QRegularExpression>
#include <utility>

namespace fw::cli {

namespace {

    int TransposeUsageError(CliStreams& streams)
    {
        streams.err << "usage: fretwerk-cli transpose FILE --semitones N [--lines A-B] -o OUT.bss\n";
        return ExitUnreadable;
    }

    // "A-B" or "A", counting from 1 as the editor's messages do; the end may lie past the last line.
    bool ReadLineRange(const QString& text, int& first, int& last)
    {
        static const QRegularExpression form(QStringLiteral("^([0-9]+)(?:-([0-9]+))?$"));
        const QRegularExpressionMatch match = form.match(text);
        if (!match.hasMatch())
            return false;
        bool firstOk = false;
        bool lastOk = false;
        first = match.captured(1).toInt(&firstOk);
        const QString end = match.captured(2);
        last = end.isEmpty() ? first : end.toInt(&lastOk);
        return firstOk && (end.isEmpty() || lastOk) && first >= 1 && last >= first;
    }

} // namespace

int RunTranspose(const QStringList& args, CliStreams& streams)
{
    QString input;
    QString output;
    QString semitonesText;
    QString linesText;
    bool semitonesGiven = false;
    bool linesGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("-o") && hasValue && output.isEmpty())
            output = args[++i];
        else if (arg == QLatin1String("--semitones") && hasValue && !std::exchange(semitonesGiven, true))
            semitonesText = args[++i];
        else if (arg == QLatin1String("--lines") && hasValue && !std::exchange(linesGiven, true))
            linesText = args[++i];
        else if (!arg.startsWith(u'-') && input.isEmpty())
            input = arg;
        else
            return TransposeUsageError(streams);
    }
    if (input.isEmpty() || output.isEmpty() || !semitonesGiven)
        return TransposeUsageError(streams);
    bool isNumber = false;
    const int semitones = semitonesText.toInt(&isNumber);
    if (!isNumber || semitones == 0 || semitones < -MaxTransposeSemitones || semitones > MaxTransposeSemitones) {
        streams.err << "fretwerk-cli: --semitones \"" << semitonesText << "\": a whole number from "
                    << -MaxTransposeSemitones << " to " << MaxTransposeSemitones << ", not 0.\n";
        return ExitUnreadable;
    }
    int first = 1;
    int last = -1;
    if (linesGiven && !ReadLineRange(linesText, first, last)) {
        streams.err << "fretwerk-cli: --lines \"" << linesText << "\": a line number or a range such as 3-10.\n";
        return ExitUnreadable;
    }

    const std::optional<ListFile> file = ReadListFile(input, streams);
    if (!file)
        return ExitUnreadable;
    if (!linesGiven)
        last = static_cast<int>(file->lines.size());
    const TransposeResult result = TransposeLines(file->lines, semitones, first - 1, last - 1);
    for (const QString& problem : result.Problems + result.Lost)
        streams.err << problem << "\n";
    if (!WriteListFile(output, *file, result.Lines, streams))
        return ExitUnreadable;
    streams.out << "lines moved: " << result.MovedLines << "\n";
    return result.Problems.isEmpty() && result.Lost.isEmpty() ? ExitOk : ExitFindings;
}

} // namespace fw::cli
