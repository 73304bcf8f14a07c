#include "MusicXmlCommand.h"

#include "CliDocument.h"
#include "MusicXml.h"
#include "SafeFileWrite.h"

namespace fw::cli {

int RunMusicXml(const QStringList& args, CliStreams& streams)
{
    const qsizetype o = args.indexOf(QStringLiteral("-o"));
    if (args.size() != 3 || o < 0 || o == 2) {
        streams.err << "usage: fretwerk-cli musicxml FILE.bss -o OUT.musicxml|OUT.mxl, or SCORE -o OUT.bss\n";
        return ExitUnreadable;
    }
    const QString input = args[o == 0 ? 2 : 0];
    const QString output = args[o + 1];
    QByteArray bytes;
    if (input.endsWith(QLatin1String(".bss"), Qt::CaseInsensitive)) {
        const auto document = LoadDocumentFile(input, streams);
        if (!document)
            return ExitUnreadable;
        const MusicXmlExport exported
            = ExportMusicXml(document->lines, document->header, MusicXmlContainerForFileName(output));
        if (!exported.error.isEmpty()) {
            streams.err << exported.error << "\n";
            return ExitFindings;
        }
        bytes = exported.bytes;
    } else {
        const auto score = ReadInputFile(input, streams);
        if (!score)
            return ExitUnreadable;
        // As convert reads a score: the tuning that plays its notes when it names none.
        MusicXmlImportOptions options;
        options.chooseTuning = true;
        const MusicXmlImport imported = ImportMusicXml(*score, options);
        if (!imported.error.isEmpty()) {
            streams.err << "fretwerk-cli: " << input << ": " << imported.error << "\n";
            return ExitUnreadable;
        }
        for (const QString& line : imported.report)
            streams.err << line << "\n";
        bytes = EncodeDocumentText(JoinDocumentLines(HeaderLines(imported.header) + imported.lines));
    }
    const QString error = WriteFileSafely(output, bytes);
    if (!error.isEmpty()) {
        streams.err << "fretwerk-cli: " << error << "\n";
        return ExitUnreadable;
    }
    return ExitOk;
}

} // namespace fw::cli
