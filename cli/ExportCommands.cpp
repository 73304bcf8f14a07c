#include "ExportCommands.h"

#include "AsciiTab.h"
#include "ChordList.h"
#include "CliDocument.h"
#include "MidiFileWriter.h"
#include "SilentHost.h"
#include "StringListLines.h"
#include "TabPainter.h"
#include "TabTitles.h"
#include "TextRules.h"
#include "TuningCommands.h"

#include <QPageSize>
#include <algorithm>
#include <optional>

namespace fw::cli {

namespace {

    // Error boxes become lines on stderr; everything else a window would show stays silent.
    class StderrHost : public SilentHost {
    public:
        explicit StderrHost(QTextStream& err)
            : m_err(err)
        {
        }
        void errorBox(const QString& text) override { m_err << text << "\n"; }

    private:
        QTextStream& m_err;
    };

    struct ExportArgs {
        QString input;
        QString output;
        QString optionValue;
        std::optional<Tuning> tuning;
    };

    // FILE -o OUT [--tuning NAMES], with at most one further option taking a value (option may be empty for none).
    std::optional<ExportArgs> ParseExportArgs(
        const QStringList& args, const QString& option, const char* usage, CliStreams& streams)
    {
        ExportArgs parsed;
        bool ok = true;
        for (qsizetype i = 0; i < args.size() && ok; ++i) {
            const QString& arg = args[i];
            const bool hasValue = i + 1 < args.size();
            if (arg == QLatin1String("-o") && hasValue && parsed.output.isEmpty())
                parsed.output = args[++i];
            else if (!option.isEmpty() && arg == option && hasValue && parsed.optionValue.isEmpty())
                parsed.optionValue = args[++i];
            else if (arg == QLatin1String("--tuning") && hasValue && !parsed.tuning) {
                if (!ReadTuningOption(args[++i], parsed.tuning, streams))
                    return std::nullopt;
            } else if (!arg.startsWith(u'-') && parsed.input.isEmpty())
                parsed.input = arg;
            else
                ok = false;
        }
        if (!ok || parsed.input.isEmpty() || parsed.output.isEmpty()) {
            streams.err << "usage: fretwerk-cli " << usage << "\n";
            return std::nullopt;
        }
        return parsed;
    }

    // A loaded and parsed chord list, or the exit status when it cannot be used.
    struct ParsedDocument {
        LoadedDocument document;
        ParsedLineList parsed;
        Tuning tuning;
    };

    // tuning, when given, replaces the file's own.
    std::optional<ParsedDocument> LoadAndParse(const QString& path, const QString& fixMessage,
        const QString& noNotesMessage, CliStreams& streams, int& exitStatus, const std::optional<Tuning>& tuning)
    {
        auto document = LoadDocumentFile(path, streams);
        if (!document) {
            exitStatus = ExitUnreadable;
            return std::nullopt;
        }
        StringListLines editor(document->lines);
        StderrHost host(streams.err);
        ChordList chordList(editor, host, host);
        chordList.OverrideTuning(tuning);
        if (!chordList.ParseAllLines(fixMessage, true)) {
            exitStatus = ExitFindings;
            return std::nullopt;
        }
        if (!std::any_of(chordList.ParsedLines.begin(), chordList.ParsedLines.end(), IsNoteEntry)) {
            streams.err << noNotesMessage << "\n";
            exitStatus = ExitFindings;
            return std::nullopt;
        }
        return ParsedDocument { *document, chordList.ParsedLines, chordList.tuning() };
    }

    int ReportWriteFailure(const QString& errorText, CliStreams& streams)
    {
        streams.err << "fretwerk-cli: " << errorText << "\n";
        return ExitUnreadable;
    }

} // namespace

int RunMidi(const QStringList& args, CliStreams& streams)
{
    const auto options = ParseExportArgs(
        args, QStringLiteral("--tempo"), "midi FILE -o OUT.mid [--tempo N] [--tuning NAMES]", streams);
    if (!options)
        return ExitUnreadable;
    std::optional<int> tempo;
    if (!options->optionValue.isEmpty()) {
        const std::optional<int> value = StrToIntRule(options->optionValue);
        if (!value || *value < MinTempo || *value > MaxTempo) {
            streams.err << "fretwerk-cli: --tempo must be a number from " << MinTempo << " to " << MaxTempo << "\n";
            return ExitUnreadable;
        }
        tempo = value;
    }
    int status = ExitOk;
    auto doc = LoadAndParse(options->input, FixMidiErrorsMessage, NoMidiNotesMessage, streams, status, options->tuning);
    if (!doc)
        return status;
    SetDurationValues(doc->parsed, MidiWholeNoteTicks);
    QString error;
    if (!WriteMidiFile(options->output, doc->parsed, tempo.value_or(doc->document.header.Tempo),
            doc->document.header.Patch, &error, doc->tuning, MidiListSetupOf(doc->document.lines)))
        return ReportWriteFailure(error, streams);
    return ExitOk;
}

int RunTab(const QStringList& args, CliStreams& streams)
{
    QStringList rest = args;
    const bool rhythmLine = rest.removeAll(QStringLiteral("--rhythm-line")) > 0;
    const auto options
        = ParseExportArgs(rest, QString(), "tab FILE -o OUT.tab [--tuning NAMES] [--rhythm-line]", streams);
    if (!options)
        return ExitUnreadable;
    int status = ExitOk;
    const auto doc
        = LoadAndParse(options->input, FixTabErrorsMessage, NoTabNotesMessage, streams, status, options->tuning);
    if (!doc)
        return status;
    const TabTitles titles = TitlesFromDocument(doc->document.lines, options->input);
    const Tablature tab = Tablature::Build(doc->parsed, doc->tuning);
    const AsciiTab ascii = BuildAsciiTab(tab, titles.Title, titles.Subtitle, rhythmLine);
    if (ascii.Truncated)
        streams.err << TruncationWarningMessage << "\n";
    QString error;
    if (!SaveAsciiTab(options->output, ascii.Lines, &error))
        return ReportWriteFailure(error, streams);
    return ExitOk;
}

int RunPdf(const QStringList& args, CliStreams& streams)
{
    const auto options = ParseExportArgs(
        args, QStringLiteral("--page"), "pdf FILE -o OUT.pdf [--page A4|Letter] [--tuning NAMES]", streams);
    if (!options)
        return ExitUnreadable;
    QPageSize pageSize(QPageSize::A4);
    if (options->optionValue.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0) {
        pageSize = QPageSize(QPageSize::Letter);
    } else if (!options->optionValue.isEmpty()
        && options->optionValue.compare(QLatin1String("A4"), Qt::CaseInsensitive) != 0) {
        streams.err << "fretwerk-cli: --page must be A4 or Letter\n";
        return ExitUnreadable;
    }
    int status = ExitOk;
    const auto doc
        = LoadAndParse(options->input, FixTabErrorsMessage, NoTabNotesMessage, streams, status, options->tuning);
    if (!doc)
        return status;
    const TabTitles titles = TitlesFromDocument(doc->document.lines, options->input);
    const Tablature tab = Tablature::Build(doc->parsed, doc->tuning);
    if (tab.HasTruncatedBar())
        streams.err << TruncationWarningMessage << "\n";
    QString error;
    if (!WriteTablaturePdf(options->output, tab, titles.Title, titles.Subtitle, false, pageSize, &error))
        return ReportWriteFailure(error, streams);
    return ExitOk;
}

} // namespace fw::cli
