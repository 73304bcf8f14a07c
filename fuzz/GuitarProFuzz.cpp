#include "FuzzChordLists.h"
#include "GuitarProConversion.h"
#include "GuitarProFile.h"
#include "ListCheck.h"

using namespace fw;

// Any bytes: reading never crashes or hangs, a refusal leaves nothing read, and a song read is
// converted (played out and as written) into a chord list free of errors, one text line per entry.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString error;
    const std::optional<guitarpro::Score> score = guitarpro::ReadGuitarProFile(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), error);
    if (!score) {
        if (error.isEmpty())
            fuzz::Fail(QStringLiteral("refused without a message"));
        return 0;
    }
    for (const bool asWritten : { false, true }) {
        guitarpro::ConversionOptions options;
        options.asWritten = asWritten;
        const guitarpro::Conversion converted = guitarpro::ConvertScore(*score, options);
        if (!converted.error.isEmpty()) {
            if (!converted.lines.isEmpty())
                fuzz::Fail(QStringLiteral("lines returned with an error"));
            continue;
        }
        for (qsizetype i = 0; i < converted.lines.size(); ++i) {
            if (converted.lines[i].contains(u'\n') || converted.lines[i].contains(u'\r'))
                fuzz::Fail(QStringLiteral("a line break inside line %1").arg(i + 1));
        }
        for (const LineProblem& problem : CheckLines(converted.lines, false))
            fuzz::Fail(QStringLiteral("not a valid list: ") + problem.text);
        if (converted.tempo < MinTempo || converted.tempo > MaxTempo || converted.patch < 0 || converted.patch > 127)
            fuzz::Fail(QStringLiteral("tempo or patch out of range"));
    }
    return 0;
}
