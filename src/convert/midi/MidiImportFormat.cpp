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
    reader.fileKind = QStringLiteral("a MIDI file");
    reader.options = {
        TrackFormatOption,
        { QStringLiteral("channel"), QStringLiteral("N"), QStringLiteral("only the notes of this channel, 1 to 16") },
        TuningFormatOption,
        FoldOctavesFormatOption,
    };
    reader.read = [](const QByteArray& bytes, const QString& fileName, const ConvertOptions& options) {
        ReadResult result;
        MidiImportOptions midi;
        PartChoice part;
        if (!ReadPartOptions(options, part, result.error)
            || !ReadNumberOption(options, QStringLiteral("channel"), 1, 16, midi.channel, result.error)
            || !ReadTuningFormatOption(options, midi.tuning, result.error))
            return result;
        if (part.voice > 1) {
            result.error = QStringLiteral("A MIDI part has one voice; there is no voice %1.").arg(part.voice);
            return result;
        }
        if (part.track > 0)
            midi.track = part.track;
        midi.foldOctaves = FoldOctavesOption(options);
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
    reader.listParts = [](const QByteArray& bytes, QString& error) {
        const MidiPartList list = ListMidiParts(bytes);
        error = list.error;
        QList<ImportPart> parts;
        for (size_t i = 0; i < list.parts.size(); ++i) {
            const MidiPart& midi = list.parts[i];
            ImportPart part;
            part.number = midi.number;
            part.name = midi.name;
            part.instrument = midi.instrument();
            part.lowest = midi.lowest;
            part.highest = midi.highest;
            part.notes = midi.notes;
            part.chosen = static_cast<int>(i) == list.chosen;
            parts << part;
        }
        return parts;
    };
    registry.addReader(reader);
}

} // namespace fw
