#include "Fingering.h"
#include "FormatRegistrations.h"
#include "MusicXml.h"
#include "SafeFileWrite.h"

namespace fw {

namespace {

    // Notes that come without strings get the fingering that is easiest to play over the whole line.
    QList<QList<FingeredNote>> EngineFingering(const QList<QList<int>>& pitchGroups, const Tuning& tuning)
    {
        std::vector<FingeringEvent> events;
        events.reserve(pitchGroups.size());
        for (const QList<int>& group : pitchGroups)
            events.emplace_back(group.begin(), group.end());
        const Fingering fingering = FingerEvents(events, tuning);
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
    reader.options = { TuningFormatOption };
    reader.read = [](const QByteArray& bytes, const QString& fileName, const ConvertOptions& options) {
        ReadResult result;
        std::optional<Tuning> tuning;
        if (!ReadTuningFormatOption(options, tuning, result.error))
            return result;
        MusicXmlImportOptions xml;
        xml.tuning = tuning.value_or(Tuning());
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
