#include "AsciiTabReader.h"
#include "FuzzChordLists.h"
#include "LineParser.h"
#include "TextRules.h"

using namespace fw;

// Any bytes as a tab file, in every rhythm: the reader either refuses with a message or gives chord
// lines that all parse without error in the tuning it reports, with a report that names the tuning.
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
        // A chord line holds one fret per string of the tuning, each -1..18, and a valid duration.
        const QStringList fields = line.split(QStringLiteral(", "));
        if (fields.size() != strings + 2)
            fuzz::Fail(QStringLiteral("wrong field count: ") + line);
        for (int i = 1; i <= strings; ++i) {
            const QString& fret = fields[i];
            const int value = fret == QLatin1String("x") ? -1 : StrToIntDef(fret, 99);
            if (value < -1 || value > FretCount)
                fuzz::Fail(QStringLiteral("bad fret: ") + line);
        }
        if (DurationValue(fields.last(), 384) == 0)
            fuzz::Fail(QStringLiteral("bad duration: ") + line);
        if (strings == 4) {
            ChordDef def;
            if (!ParseLineText(line, 0, def).errorText.isEmpty())
                fuzz::Fail(QStringLiteral("does not parse: ") + line);
        }
    }
    return 0;
}
