#include "AsciiTabFormat.h"
#include "AsciiTab.h"
#include "AsciiTabReader.h"
#include "FormatRegistrations.h"
#include "TabTitles.h"

namespace fw {

std::optional<TabImportOptions> TabImportOptionsFrom(const ConvertOptions& options, QString& error)
{
    TabImportOptions tab;
    if (options.contains(QStringLiteral("rhythm"))) {
        const auto rhythm = TabRhythmFromName(options.value(QStringLiteral("rhythm")));
        if (!rhythm) {
            error = QStringLiteral("--rhythm must be uniform, grid, proportional or line");
            return std::nullopt;
        }
        tab.rhythm = *rhythm;
    }
    if (options.contains(QStringLiteral("unit"))) {
        tab.unit = options.value(QStringLiteral("unit")).trimmed();
        if (DurationValue(tab.unit, 384) == 0) {
            error = QStringLiteral("--unit must be a duration: W, H, Q, E, S, T or F, with \".\" or \"/\" in front for "
                                   "dotted or triplet notes");
            return std::nullopt;
        }
    }
    if (!ReadTuningFormatOption(options, tab.tuning, error))
        return std::nullopt;
    return tab;
}

void RegisterAsciiTabFormat(FormatRegistry& registry)
{
    ReaderFormat reader;
    reader.name = QStringLiteral("Tab files");
    reader.extensions = QStringList { QStringLiteral("tab"), QStringLiteral("txt") };
    reader.reviewedAsText = true;
    reader.maxBytes = MaxTabFileBytes;
    reader.fileKind = QStringLiteral("a tab");
    reader.options = {
        { QStringLiteral("rhythm"), QStringLiteral("uniform|grid|proportional|line"),
            QStringLiteral("how notes get durations (default uniform)") },
        { QStringLiteral("unit"), QStringLiteral("DURATION"),
            QStringLiteral("the note of uniform, the character of grid (default E)") },
        TuningFormatOption,
    };
    reader.read = [](const QByteArray& bytes, const QString& fileName, const ConvertOptions& options) {
        ReadResult result;
        const auto tabOptions = TabImportOptionsFrom(options, result.error);
        if (!tabOptions)
            return result;
        const TabImport imported = ImportAsciiTabBytes(bytes, *tabOptions);
        result.report = imported.report;
        if (!imported.error.isEmpty()) {
            result.error = imported.error;
            return result;
        }
        ConvertDocument document;
        document.lines = imported.lines;
        document.header.Tempo = imported.tempo.value_or(DefaultTempo);
        document.fileName = fileName;
        result.document = document;
        return result;
    };
    registry.addReader(reader);

    WriterFormat writer;
    writer.name = QStringLiteral("Tab files");
    writer.extensions = reader.extensions;
    writer.options = { { QStringLiteral("rhythm-line"), QString(),
        QStringLiteral("a line of durations above each line group, which --rhythm line reads back") } };
    writer.write = [](const ConvertDocument& document, const QString& path, const ConvertOptions& options) {
        WriteResult result;
        const auto parsed = ParseForExport(document.lines, FixTabErrorsMessage, NoTabNotesMessage, result);
        if (!parsed)
            return result;
        const TabTitles titles = TitlesFromDocument(document.lines, document.fileName);
        const Tablature tab = Tablature::Build(*parsed, TuningOfLines(document.lines));
        const AsciiTab ascii
            = BuildAsciiTab(tab, titles.Title, titles.Subtitle, options.contains(QStringLiteral("rhythm-line")));
        if (ascii.Truncated)
            result.report << TruncationWarningMessage;
        SaveAsciiTab(path, ascii.Lines, &result.error);
        return result;
    };
    registry.addWriter(writer);
}

} // namespace fw
