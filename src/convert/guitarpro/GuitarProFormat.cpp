#include "FormatRegistrations.h"
#include "GuitarProConversion.h"
#include "GuitarProFile.h"

namespace fw {

namespace {

    using namespace guitarpro;

    // The largest songs are a few megabytes.
    constexpr qint64 MaxFileBytes = qint64(64) << 20;

    // --track, --voice and --as-written as the conversion takes them.
    bool ReadConversionOptions(const ConvertOptions& options, ConversionOptions& conversion, QString& error)
    {
        PartChoice choice;
        if (!ReadPartOptions(options, choice, error))
            return false;
        conversion.track = choice.track;
        conversion.voice = choice.voice;
        conversion.asWritten = AsWrittenOption(options);
        return true;
    }

} // namespace

void RegisterGuitarProFormat(FormatRegistry& registry)
{
    ReaderFormat reader;
    reader.name = QStringLiteral("Guitar Pro files");
    reader.extensions = QStringList { QStringLiteral("gp3"), QStringLiteral("gp4"), QStringLiteral("gp5"),
        QStringLiteral("gpx"), QStringLiteral("gp") };
    reader.maxBytes = MaxFileBytes;
    reader.fileKind = QStringLiteral("a Guitar Pro file");
    reader.options = { TrackFormatOption, VoiceFormatOption, AsWrittenFormatOption };
    reader.read = [](const QByteArray& bytes, const QString& fileName, const ConvertOptions& options) {
        ReadResult result;
        ConversionOptions conversion;
        if (!ReadConversionOptions(options, conversion, result.error))
            return result;
        const std::optional<Score> score = ReadGuitarProFile(bytes, result.error);
        if (!score)
            return result;
        Conversion converted = ConvertScore(*score, conversion);
        if (!converted.error.isEmpty()) {
            result.error = converted.error;
            return result;
        }
        ConvertDocument document;
        document.lines = std::move(converted.lines);
        document.header.Tempo = converted.tempo;
        document.header.Patch = converted.patch;
        document.fileName = fileName;
        result.document = std::move(document);
        result.report = converted.report;
        return result;
    };
    reader.listParts = [](const QByteArray& bytes, QString& error) {
        QList<ImportPart> parts;
        const std::optional<Score> score = ReadGuitarProFile(bytes, error);
        if (!score)
            return parts;
        for (const TrackSummary& track : SummariseTracks(*score)) {
            ImportPart part;
            part.number = track.number;
            part.name = track.name;
            part.instrument = track.instrument;
            part.lowest = track.lowest;
            part.highest = track.highest;
            part.strings = track.strings;
            part.notes = track.notes;
            part.voices = track.voices;
            part.chosen = track.chosen;
            parts.append(part);
        }
        return parts;
    };
    registry.addReader(reader);
}

} // namespace fw
