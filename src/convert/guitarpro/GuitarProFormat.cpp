#include "FormatRegistrations.h"
#include "GuitarProConversion.h"
#include "GuitarProFile.h"
#include "TextRules.h"

namespace fw {

namespace {

    using namespace guitarpro;

    // A whole number from low to high; value stays empty when the option is not given.
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

    // --track, --voice and --as-written as the conversion takes them.
    bool ReadConversionOptions(const ConvertOptions& options, ConversionOptions& conversion, QString& error)
    {
        std::optional<int> track;
        std::optional<int> voice;
        if (!ReadNumberOption(options, QStringLiteral("track"), 1, MaxTracks, track, error)
            || !ReadNumberOption(options, QStringLiteral("voice"), 1, 4, voice, error))
            return false;
        conversion.track = track.value_or(0);
        conversion.voice = voice.value_or(0);
        conversion.asWritten = options.contains(QStringLiteral("as-written"));
        return true;
    }

} // namespace

void RegisterGuitarProFormat(FormatRegistry& registry)
{
    ReaderFormat reader;
    reader.name = QStringLiteral("Guitar Pro files");
    reader.extensions = QStringList { QStringLiteral("gp3"), QStringLiteral("gp4"), QStringLiteral("gp5") };
    reader.options = {
        { QStringLiteral("track"), QStringLiteral("N"),
            QStringLiteral("the track to read, 1 the first (default: the bass; --list-tracks lists them)") },
        { QStringLiteral("voice"), QStringLiteral("N"), QStringLiteral("the voice of the track to read (default: 1)") },
        { QStringLiteral("as-written"), QString(),
            QStringLiteral("each measure once, repeat signs as comments (default: repeats played out)") },
    };
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
