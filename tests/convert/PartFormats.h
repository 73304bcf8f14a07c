#pragma once

#include "Conversion.h"
#include "FormatRegistrations.h"

#include <new>

namespace fw::test {

// A format of several parts for the chooser and --list-tracks, standing in for the readers of real
// multi-part files: each line of a ".parts" file is one part,
//   name;instrument;lowest key;highest key;strings;1 when it is the default;chord line of voice 1[;voice 2...]
// and the import of a part and voice is a comment naming them and that voice's chord line. With
// outOfMemory, reading and listing run out of memory as a file too large for the machine would.
inline FormatRegistry PartFormats(bool outOfMemory = false)
{
    struct Part {
        ImportPart listed;
        QStringList voices;
    };
    const auto partsOf = [](const QByteArray& bytes) {
        QList<Part> parts;
        for (const QString& line : QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList fields = line.trimmed().split(u';');
            Part part;
            part.listed.number = static_cast<int>(parts.size()) + 1;
            part.listed.name = fields.value(0);
            part.listed.instrument = fields.value(1);
            part.listed.lowest = fields.value(2).toInt();
            part.listed.highest = fields.value(3).toInt();
            part.listed.strings = fields.value(4).toInt();
            part.listed.chosen = fields.value(5) == QLatin1String("1");
            part.voices = fields.mid(6);
            part.listed.voices = static_cast<int>(part.voices.size());
            part.listed.notes = part.listed.voices;
            parts << part;
        }
        return parts;
    };
    ReaderFormat reader;
    reader.name = QStringLiteral("Part files");
    reader.extensions = { QStringLiteral("parts") };
    reader.options = { TrackFormatOption, VoiceFormatOption };
    reader.listParts = [=](const QByteArray& bytes, QString&) {
        if (outOfMemory)
            throw std::bad_alloc();
        QList<ImportPart> listed;
        for (const Part& part : partsOf(bytes))
            listed << part.listed;
        return listed;
    };
    reader.read = [=](const QByteArray& bytes, const QString& fileName, const ConvertOptions& options) {
        if (outOfMemory)
            throw std::bad_alloc();
        ReadResult result;
        const QList<Part> parts = partsOf(bytes);
        PartChoice choice;
        if (!ReadPartOptions(options, choice, result.error))
            return result;
        for (const Part& part : parts)
            if (choice.track == 0 && part.listed.chosen)
                choice.track = part.listed.number;
        if (choice.track > parts.size() || choice.voice > parts.value(choice.track - 1).voices.size()) {
            result.error = QStringLiteral("the file has no such part or voice");
            return result;
        }
        const Part& part = parts[choice.track - 1];
        const int voice = std::max(choice.voice, 1);
        result.document = ConvertDocument {
            { QStringLiteral("* %1, voice %2").arg(part.listed.name).arg(voice), part.voices[voice - 1] }, {}, fileName
        };
        return result;
    };
    FormatRegistry formats;
    formats.addReader(reader);
    for (const WriterFormat& writer : Formats().writers()) {
        WriterFormat copy = writer;
        if (outOfMemory)
            copy.write = [](const ConvertDocument&, const QString&, const ConvertOptions&) -> WriteResult {
                throw std::bad_alloc();
            };
        formats.addWriter(copy);
    }
    return formats;
}

// A guitar before the bass, as scores often have it, and a continuo part of two voices after it; the
// bass is the default part.
inline const QByteArray ThreePartFile = "Guitar;Acoustic Guitar (steel);40;76;6;0;D, x, 5, x, x, Q\n"
                                        "Bass;Electric Bass (finger);28;55;4;1;E, 0, x, x, x, H\n"
                                        "Continuo;Cello;36;62;0;0;C, x, 3, x, x, W;G, x, x, 5, x, W\n";

} // namespace fw::test
