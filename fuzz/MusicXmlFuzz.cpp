#include "ChordDef.h"
#include "FuzzChordLists.h"
#include "LineParser.h"
#include "ListCheck.h"
#include "MusicXml.h"

using namespace fw;

// Any bytes, plain or packed: reading never crashes or hangs, and what it gives is a chord list the
// program can use: one text line per entry, every chord line with a fret field per string of its tuning,
// and the whole list free of errors (every line, every mark that joins a note to the next).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MusicXmlImportOptions options;
    options.maxBytes = 1 << 20;
    const MusicXmlImport imported
        = ImportMusicXml(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), options);
    if (!imported.error.isEmpty()) {
        if (!imported.lines.isEmpty())
            fuzz::Fail(QStringLiteral("lines returned with an error"));
        return 0;
    }
    const Tuning tuning = TuningOfLines(imported.lines);
    for (qsizetype i = 0; i < imported.lines.size(); ++i) {
        const QString& line = imported.lines[i];
        if (line.contains(u'\n') || line.contains(u'\r'))
            fuzz::Fail(QStringLiteral("a line break inside line %1").arg(i + 1));
        if (line.isEmpty() || line.startsWith(u'*'))
            continue;
        // One more field for a line's words ("slap pm").
        const qsizetype commas = line.count(u',');
        if (commas != tuning.stringCount() + 1 && commas != tuning.stringCount() + 2)
            fuzz::Fail(QStringLiteral("line %1 has the wrong field count: %2").arg(i + 1).arg(line));
    }
    for (const LineProblem& problem : CheckLines(imported.lines, false))
        fuzz::Fail(QStringLiteral("not a valid list: ") + problem.text);
    if (imported.header.Tempo < MinTempo || imported.header.Tempo > MaxTempo || imported.header.Patch < 0
        || imported.header.Patch > 127)
        fuzz::Fail(QStringLiteral("tempo or patch out of range"));
    return 0;
}
