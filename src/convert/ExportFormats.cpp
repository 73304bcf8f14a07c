// The writers the program had before the conversion layer, reached through it: each adapter
// parses the list as the menu command does and calls the same writer, so the bytes are the same.
#include "AsciiTab.h"
#include "ChordList.h"
#include "FormatRegistrations.h"
#include "MidiFileWriter.h"
#include "SafeFileWrite.h"
#include "SilentHost.h"
#include "SoundFont.h"
#include "StringListLines.h"
#include "TabPainter.h"
#include "TabTitles.h"
#include "TextRules.h"
#include "Tuning.h"
#include "WavRender.h"

#include <QPageSize>
#include <algorithm>

namespace fw {

namespace {

    // Error boxes become the result's error text, one box a line.
    class CollectingHost : public SilentHost {
    public:
        void errorBox(const QString& text) override { errors << text; }
        QStringList errors;
    };

    // The header tempo unless the options name another; nothing after an error in result.
    std::optional<int> TempoOption(const ConvertDocument& document, const ConvertOptions& options, WriteResult& result)
    {
        if (!options.contains(QStringLiteral("tempo")))
            return document.header.Tempo;
        const std::optional<int> value = StrToIntRule(options.value(QStringLiteral("tempo")));
        if (!value || *value < MinTempo || *value > MaxTempo) {
            result.error = QStringLiteral("--tempo must be a number from %1 to %2").arg(MinTempo).arg(MaxTempo);
            return std::nullopt;
        }
        return value;
    }

    const FormatOption TempoFormatOption { QStringLiteral("tempo"), QStringLiteral("N"),
        QStringLiteral("tempo in beats per minute instead of the list's") };

} // namespace

const FormatOption TuningFormatOption { QStringLiteral("tuning"), QStringLiteral("\"B E A D G\""),
    QStringLiteral("the strings, lowest first, instead of what the file says") };

bool ReadTuningFormatOption(const ConvertOptions& options, std::optional<Tuning>& tuning, QString& error)
{
    if (!options.contains(QStringLiteral("tuning")))
        return true;
    const TuningLineResult parsed = ParseTuningNames(options.value(QStringLiteral("tuning")));
    if (parsed.kind != TuningLineKind::Valid) {
        error = QStringLiteral("--tuning: ") + parsed.reason;
        return false;
    }
    tuning = parsed.tuning;
    return true;
}

const FormatOption TrackFormatOption { QStringLiteral("track"), QStringLiteral("N"),
    QStringLiteral("the part (track) to read, 1 the first; --list-tracks shows them (default: the bass part)") };

const FormatOption VoiceFormatOption { QStringLiteral("voice"), QStringLiteral("N"),
    QStringLiteral("the voice of the part to read, 1 the first (default: the lowest)") };

const FormatOption FoldOctavesFormatOption { QStringLiteral("fold-octaves"), QString(),
    QStringLiteral("move notes that no string reaches by octaves into the tuning's range (default: rests)") };

const FormatOption AsWrittenFormatOption { QStringLiteral("as-written"), QString(),
    QStringLiteral("keep each repeated bar once, with its repeat marks as comments (default: repeats played out)") };

bool ReadPartOptions(const ConvertOptions& options, PartChoice& choice, QString& error)
{
    for (const auto& [name, value] :
        { std::pair(QStringLiteral("track"), &choice.track), std::pair(QStringLiteral("voice"), &choice.voice) }) {
        if (!options.contains(name))
            continue;
        const std::optional<int> number = StrToIntRule(options.value(name).trimmed());
        if (!number || *number < 1) {
            error = QStringLiteral("--%1 must be a whole number from 1").arg(name);
            return false;
        }
        *value = *number;
    }
    return true;
}

bool FoldOctavesOption(const ConvertOptions& options) { return options.contains(QStringLiteral("fold-octaves")); }

bool AsWrittenOption(const ConvertOptions& options) { return options.contains(QStringLiteral("as-written")); }

std::optional<ParsedLineList> ParseForExport(
    const QStringList& lines, const QString& fixMessage, const QString& noNotesMessage, WriteResult& result)
{
    StringListLines editor(lines);
    CollectingHost host;
    ChordList chordList(editor, host, host);
    if (!chordList.ParseAllLines(fixMessage, true)) {
        result.error = host.errors.join(u'\n');
        result.listErrors = true;
        return std::nullopt;
    }
    if (!std::any_of(chordList.ParsedLines.begin(), chordList.ParsedLines.end(), IsNoteEntry)) {
        result.error = noNotesMessage;
        result.listErrors = true;
        return std::nullopt;
    }
    return chordList.ParsedLines;
}

void RegisterChordListFormat(FormatRegistry& registry)
{
    ReaderFormat reader;
    reader.name = QStringLiteral("Fretwerk Bass files");
    reader.extensions = QStringList { QStringLiteral("bss") };
    reader.read = [](const QByteArray& bytes, const QString& fileName, const ConvertOptions&) {
        ReadResult result;
        const LoadedDocument loaded = ParseDocumentBytes(bytes);
        result.document = ConvertDocument { loaded.lines, loaded.header, fileName };
        return result;
    };
    registry.addReader(reader);

    WriterFormat writer;
    writer.name = reader.name;
    writer.extensions = reader.extensions;
    writer.write = [](const ConvertDocument& document, const QString& path, const ConvertOptions&) {
        WriteResult result;
        const QStringList lines = HeaderLines(document.header) + document.lines;
        result.error = WriteFileSafely(path, EncodeDocumentText(JoinDocumentLines(lines)));
        return result;
    };
    registry.addWriter(writer);
}

void RegisterMidiFileFormat(FormatRegistry& registry)
{
    WriterFormat writer;
    writer.name = QStringLiteral("MIDI files");
    writer.extensions = QStringList { QStringLiteral("mid"), QStringLiteral("midi") };
    writer.options = { TempoFormatOption };
    writer.write = [](const ConvertDocument& document, const QString& path, const ConvertOptions& options) {
        WriteResult result;
        const std::optional<int> tempo = TempoOption(document, options, result);
        if (!tempo)
            return result;
        auto parsed = ParseForExport(document.lines, FixMidiErrorsMessage, NoMidiNotesMessage, result);
        if (!parsed)
            return result;
        SetDurationValues(*parsed, MidiWholeNoteTicks);
        WriteMidiFile(path, *parsed, *tempo, document.header.Patch, &result.error, TuningOfLines(document.lines),
            MidiListSetupOf(document.lines));
        return result;
    };
    registry.addWriter(writer);
}

void RegisterPdfFormat(FormatRegistry& registry)
{
    WriterFormat writer;
    writer.name = QStringLiteral("PDF files");
    writer.extensions = QStringList { QStringLiteral("pdf") };
    writer.options = { { QStringLiteral("page"), QStringLiteral("A4|Letter"), QStringLiteral("paper size") } };
    writer.needsGui = true;
    writer.write = [](const ConvertDocument& document, const QString& path, const ConvertOptions& options) {
        WriteResult result;
        const QString page = options.value(QStringLiteral("page"));
        QPageSize pageSize(QPageSize::A4);
        if (page.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0) {
            pageSize = QPageSize(QPageSize::Letter);
        } else if (!page.isEmpty() && page.compare(QLatin1String("A4"), Qt::CaseInsensitive) != 0) {
            result.error = QStringLiteral("--page must be A4 or Letter");
            return result;
        }
        const auto parsed = ParseForExport(document.lines, FixTabErrorsMessage, NoTabNotesMessage, result);
        if (!parsed)
            return result;
        const TabTitles titles = TitlesFromDocument(document.lines, document.fileName);
        const Tablature tab = Tablature::Build(*parsed, TuningOfLines(document.lines));
        if (tab.HasTruncatedBar())
            result.report << TruncationWarningMessage;
        WriteTablaturePdf(path, tab, titles.Title, titles.Subtitle, false, pageSize, &result.error);
        return result;
    };
    registry.addWriter(writer);
}

void RegisterWavFormat(FormatRegistry& registry)
{
    WriterFormat writer;
    writer.name = QStringLiteral("WAV audio files");
    writer.extensions = QStringList { QStringLiteral("wav") };
    writer.options = { TempoFormatOption,
        { QStringLiteral("soundfont"), QStringLiteral("SF2"), QStringLiteral("the General MIDI SoundFont to play") } };
    writer.write = [](const ConvertDocument& document, const QString& path, const ConvertOptions& options) {
        WriteResult result;
        const std::optional<int> tempo = TempoOption(document, options, result);
        if (!tempo)
            return result;
        const QString named = options.value(QStringLiteral("soundfont"));
        const SoundFontChoice soundFont = ChooseSoundFont(named);
        if (!soundFont.problem.isEmpty()) {
            result.error = named.isEmpty() ? NoSoundFontAdvice() : soundFont.problem;
            return result;
        }
        const RecordedPlayback playback
            = RecordPlayback(document.lines, *tempo, static_cast<unsigned char>(document.header.Patch));
        if (!playback.errors.isEmpty()) {
            result.error = playback.errors.join(u'\n');
            result.listErrors = true;
            return result;
        }
        result.error = RenderMessagesToWav(playback.messages, soundFont.path, path);
        return result;
    };
    registry.addWriter(writer);
}

} // namespace fw
