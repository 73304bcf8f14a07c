#include "FuzzChordLists.h"
#include "LineParser.h"
#include "TextRules.h"

#include <QString>

using namespace fw;

// Any bytes, read both as UTF-8 and as Latin-1, as one editor line: the parser must classify it,
// number its message, and give a chord definition whose canonical text parses back to the same chord.
static void CheckLine(const QString& line)
{
    ChordDef def;
    const LineParseResult result = ParseLineText(line, 41, def);
    if (!result.errorText.isEmpty()) {
        if (result.kind != LineKind::ChordDefinition || !result.errorText.startsWith(QStringLiteral("Line 42    ")))
            fuzz::Fail(QStringLiteral("badly numbered or classified error: ") + result.errorText);
        return;
    }
    if (result.kind == LineKind::CountOff && (result.countOffNumber < -1 || result.countOffNumber > 8))
        fuzz::Fail(QStringLiteral("count-off number %1").arg(result.countOffNumber));
    if (result.kind != LineKind::ChordDefinition)
        return;
    for (int slot = FirstBassSlot; slot <= LastBassSlot; ++slot) {
        const int fret = def.Frets[slot];
        if (fret < NotPlayedFret || fret > FretCount)
            fuzz::Fail(QStringLiteral("fret %1 accepted").arg(fret));
        const int note = fret == NotPlayedFret ? NotPlayedNote : OpenStringNote(slot) + fret;
        if (def.Notes[slot] != note)
            fuzz::Fail(QStringLiteral("note %1 for fret %2").arg(def.Notes[slot]).arg(fret));
    }
    if (DurationValue(def.Duration, 384) <= 0)
        fuzz::Fail(QStringLiteral("duration accepted: ") + def.Duration);
    // A line that starts with a blank and then "*" is a chord whose name starts with "*": its canonical
    // text starts with "*" and so is a comment line, as the entry already counts for everything else.
    if (def.Name.startsWith(u'*')) {
        if (IsNoteEntry(def))
            fuzz::Fail(QStringLiteral("a name starting with * counts as a note entry"));
        return;
    }
    const QString canonical = BuildLine(def);
    ChordDef again;
    const LineParseResult reparsed = ParseLineText(canonical, 0, again);
    // A name is trimmed and then cut to its stored length, so a cut name may end in blanks that a
    // reparse trims (and what remains may even be a number): only the rest must then survive.
    if (TrimBlanks(def.Name) != def.Name) {
        if (reparsed.errorText.isEmpty())
            again.Name = def.Name;
        else
            return;
    }
    if (!reparsed.errorText.isEmpty() || again != def)
        fuzz::Fail(QStringLiteral("canonical text does not parse back: \"%1\" from \"%2\"").arg(canonical, line));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckLine(QString::fromUtf8(bytes));
    CheckLine(QString::fromLatin1(bytes));
    return 0;
}
