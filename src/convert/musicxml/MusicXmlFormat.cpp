#include "Fingering.h"
#include "FormatRegistrations.h"
#include "MusicXml.h"
#include "SafeFileWrite.h"

namespace fw {

namespace {

    // Notes that come without strings get the fingering that is easiest to play over the whole line.
    QList<QList<FingeredNote>> EngineFingering(
        const QList<QList<int>>& pitchGroups, const Tuning& tuning, int fretLimit)
    {
        std::vector<FingeringEvent> events;
        events.reserve(pitchGroups.size());
        for (const QList<int>& group : pitchGroups)
            events.emplace_back(group.begin(), group.end());
        FingeringRules rules;
        rules.fretLimit = fretLimit;
        const Fingering fingering = FingerEvents(events, tuning, rules);
        QList<QList<FingeredNote>> result;
        result.reserve(pitchGroups.size());
        for (const FingeredEvent& event : fingering.events) {
            QList<FingeredNote> notes;
            for (const Placement& placement : event)
                notes.append({ placement.slot, placement.fret });
            result.append(notes);
        }
        return result;
    }

} // namespace

void RegisterMusicXmlFormat(FormatRegistry& registry)
{
    ReaderFormat reader;
    reader.name = QStringLiteral("MusicXML files");
    reader.extensions = QStringList { QStringLiteral("musicxml"), QStringLiteral("mxl"), QStringLiteral("xml") };
    reader.maxBytes = MaxMusicXmlBytes;
    reader.fileKind = QStringLiteral("a score");
    reader.options
        = { TuningFormatOption, TrackFormatOption, VoiceFormatOption, FoldOctavesFormatOption, AsWrittenFormatOption };
    reader.read = [](const QByteArray& bytes, const QString& fileName, const ConvertOptions& options) {
        ReadResult result;
        std::optional<Tuning> tuning;
        PartChoice choice;
        if (!ReadTuningFormatOption(options, tuning, result.error) || !ReadPartOptions(options, choice, result.error))
            return result;
        MusicXmlImportOptions xml;
        xml.tuning = tuning.value_or(Tuning());
        // A list whose file names no tuning gets the one that plays its notes.
        xml.chooseTuning = !tuning;
        xml.foldOctaves = FoldOctavesOption(options);
        xml.track = choice.track;
        xml.voice = choice.voice;
        xml.asWritten = AsWrittenOption(options);
        xml.fingering = EngineFingering;
        const MusicXmlImport imported = ImportMusicXml(bytes, xml);
        result.report = imported.report;
        if (!imported.error.isEmpty()) {
            result.error = imported.error;
            return result;
        }
        result.document = ConvertDocument { imported.lines, imported.header, fileName };
        return result;
    };
    reader.listParts = [](const QByteArray& bytes, QString& error) {
        QList<ImportPart> parts;
        const auto listed = ListMusicXmlParts(bytes, MaxMusicXmlBytes, error);
        if (!listed)
            return parts;
        for (const MusicXmlPart& part : *listed) {
            ImportPart entry;
            entry.number = static_cast<int>(parts.size()) + 1;
            entry.name = part.name;
            entry.instrument = part.instrument;
            entry.lowest = part.lowest;
            entry.highest = part.highest;
            entry.strings = part.strings;
            entry.notes = part.notes;
            entry.voices = std::max(part.voices, 1);
            entry.chosen = part.chosen;
            parts.append(entry);
        }
        return parts;
    };
    registry.addReader(reader);

    WriterFormat writer;
    writer.name = QStringLiteral("MusicXML files");
    writer.extensions = QStringList { QStringLiteral("musicxml"), QStringLiteral("mxl") };
    writer.write = [](const ConvertDocument& document, const QString& path, const ConvertOptions&) {
        WriteResult result;
        const MusicXmlExport exported
            = ExportMusicXml(document.lines, document.header, MusicXmlContainerForFileName(path));
        if (!exported.error.isEmpty()) {
            result.error = exported.error;
            result.listErrors = true;
            return result;
        }
        result.error = WriteFileSafely(path, exported.bytes);
        return result;
    };
    registry.addWriter(writer);
}

} // namespace fw
