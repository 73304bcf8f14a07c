#include "FormatRegistrations.h"
#include "MidiImport.h"
#include "TextRules.h"

namespace fw {

namespace {

    // --track N and --channel N: whole numbers within the given range.
    bool ReadNumberOption(const ConvertOptions& options, const QString& name, int low, int high,
        std::optional<int>& value, QString& error)
    {
        if (!options.contains(name))
            return true;
        const std::optional<int> number = StrToIntRule(options.value(name).trimmed());
        if (!number || *number < low || *number > high) {
            error = QStringLiteral("--%1 must be a number from %2 to %3").arg(name).arg(low).arg(high);
            return false;
        }
        value = number;
        return true;
    }

} // namespace

void RegisterMidiImportFormat(FormatRegistry& registry)
{
    ReaderFormat reader;
    reader.name = QStringLiteral("MIDI files");
    reader.extensions = QStringList { QStringLiteral("mid"), QStringLiteral("midi") };
    reader.options = {
        { QStringLiteral("track"), QStringLiteral("N"),
            QStringLiteral("the track to read, 1 the first (default: a bass sound, else the lowest track)") },
        { QStringLiteral("channel"), QStringLiteral("N"), QStringLiteral("only the notes of this channel, 1 to 16") },
        TuningFormatOption,
    };
    reader.read = [](const QByteArray& bytes, const QString& fileName, const ConvertOptions& options) {
        ReadResult result;
        MidiImportOptions midi;
        std::optional<Tuning> tuning;
        if (!ReadNumberOption(options, QStringLiteral("track"), 1, 65535, midi.track, result.error)
            || !ReadNumberOption(options, QStringLiteral("channel"), 1, 16, midi.channel, result.error)
            || !ReadTuningFormatOption(options, tuning, result.error))
            return result;
        midi.tuning = tuning.value_or(Tuning());
        const MidiImportResult imported = ImportMidiChordList(bytes, midi);
        result.report = imported.report;
        if (!imported.error.isEmpty()) {
            result.error = imported.error;
            return result;
        }
        ConvertDocument document;
        document.lines = imported.lines;
        ApplyHeaderLines(document.lines, document.header);
        document.fileName = fileName;
        result.document = document;
        return result;
    };
    registry.addReader(reader);
}

} // namespace fw
