#include "TuningCommands.h"

#include "CliDocument.h"
#include "PitchRetune.h"
#include "Retune.h"

namespace fw::cli {

namespace {

    const char* const RetuneUsage = "retune FILE --tuning \"B E A D G\" [--keep pitches|frets] -o OUT.bss";

    int RetuneUsageError(CliStreams& streams)
    {
        streams.err << "usage: fretwerk-cli " << RetuneUsage << "\n";
        return ExitUnreadable;
    }

} // namespace

bool ReadTuningOption(const QString& text, std::optional<Tuning>& tuning, CliStreams& streams)
{
    const TuningLineResult result = ParseTuningNames(text);
    if (result.kind != TuningLineKind::Valid) {
        streams.err << "fretwerk-cli: --tuning \"" << text << "\": " << result.reason << "\n";
        return false;
    }
    tuning = result.tuning;
    return true;
}

int RunRetune(const QStringList& args, CliStreams& streams)
{
    QString input;
    QString output;
    QString tuningText;
    RetuneMode mode = RetuneMode::KeepPitches;
    bool tuningGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("-o") && hasValue && output.isEmpty()) {
            output = args[++i];
        } else if (arg == QLatin1String("--tuning") && hasValue && !tuningGiven) {
            tuningText = args[++i];
            tuningGiven = true;
        } else if (arg == QLatin1String("--keep") && hasValue) {
            const QString value = args[++i];
            if (value == QLatin1String("pitches"))
                mode = RetuneMode::KeepPitches;
            else if (value == QLatin1String("frets"))
                mode = RetuneMode::KeepFrets;
            else
                return RetuneUsageError(streams);
        } else if (!arg.startsWith(u'-') && input.isEmpty()) {
            input = arg;
        } else {
            return RetuneUsageError(streams);
        }
    }
    if (input.isEmpty() || output.isEmpty() || !tuningGiven)
        return RetuneUsageError(streams);
    std::optional<Tuning> tuning;
    if (!ReadTuningOption(tuningText, tuning, streams))
        return ExitUnreadable;

    const std::optional<ListFile> file = ReadListFile(input, streams);
    if (!file)
        return ExitUnreadable;
    const RetuneResult result = RetuneLines(file->lines, *tuning, mode, FingerInNewTuning);
    for (const QString& problem : result.Problems + result.Rests)
        streams.err << problem << "\n";
    if (!WriteListFile(output, *file, result.Lines, streams))
        return ExitUnreadable;
    return result.Problems.isEmpty() && result.Rests.isEmpty() ? ExitOk : ExitFindings;
}

} // namespace fw::cli
