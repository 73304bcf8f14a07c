#include "AsciiTabReader.h"
#include "FuzzChordLists.h"
#include "LineParser.h"
#include "ListCheck.h"
#include "TextRules.h"

using namespace fw;

// Any bytes as a tab file, in every rhythm, repeats played out or as written: the reader either refuses with a message
// or gives chord lines that all parse without error in the tuning it reports, marks and all, with a report that names
// the tuning.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const TabRhythm rhythms[]
        = { TabRhythm::Uniform, TabRhythm::Grid, TabRhythm::Proportional, TabRhythm::Line };
    static const char* const units[] = { "E", "S", "/E", ".Q" };
    TabImportOptions options;
    options.rhythm = rhythms[data[0] % 4];
    options.unit = QString::fromLatin1(units[(data[0] / 4) % 4]);
    options.asWritten = (data[0] & 0x10) != 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    const TabImport result = ImportAsciiTabBytes(bytes, options);
    if (!result.error.isEmpty()) {
        if (!result.lines.isEmpty())
            fuzz::Fail(QStringLiteral("lines next to the error: ") + result.error);
        return 0;
    }
    if (result.report.size() < 3 || !result.report[1].startsWith(QLatin1String("Tuning ")))
        fuzz::Fail(QStringLiteral("report without its tuning sentence"));
    const int strings = result.tuning.stringCount();
    for (const QString& line : result.lines) {
        if (line.isEmpty() || IsCommentLine(line))
            continue;
        // A chord line holds one fret field per string of the tuning, a valid duration and maybe
        // the line's words.
        const QStringList fields = line.split(QStringLiteral(", "));
        if (fields.size() != strings + 2 && fields.size() != strings + 3)
            fuzz::Fail(QStringLiteral("wrong field count: ") + line);
        if (DurationValue(fields[strings + 1], 384) == 0)
            fuzz::Fail(QStringLiteral("bad duration: ") + line);
    }
    // Every line and every mark that joins a note to the next, with the tuning and frets the list names.
    QStringList lines = result.lines;
    if (!result.tuning.isStandard() && !lines.contains(result.tuning.lineText()))
        lines.prepend(result.tuning.lineText());
    for (const LineProblem& problem : CheckLines(lines, false))
        fuzz::Fail(QStringLiteral("not a valid list: ") + problem.text);
    return 0;
}
