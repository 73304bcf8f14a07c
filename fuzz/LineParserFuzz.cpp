#include "FuzzChordLists.h"
#include "LineParser.h"
#include "ListCheck.h"
#include "MarkDescription.h"
#include "TextRules.h"

#include <QString>

using namespace fw;

// The marks of a parsed note keep their promises (Marks.h) whatever the text was.
static void CheckMarks(const ChordDef& def, int slot)
{
    const NoteMarks& marks = def.Marks[slot];
    const int fret = def.Frets[slot];
    if (marks.kind == NoteKind::Harmonic
        && (HarmonicSemitones(marks.harmonicNode) == 0 || fret != HarmonicFret(marks.harmonicNode)))
        fuzz::Fail(QStringLiteral("harmonic at %1 on fret %2").arg(marks.harmonicNode).arg(fret));
    if (marks.kind != NoteKind::Harmonic && marks.harmonicNode != 0)
        fuzz::Fail(QStringLiteral("a node on a note that is no harmonic"));
    if (fret == NotPlayedFret && marks.any() && marks != NoteMarks { NoteKind::Dead })
        fuzz::Fail(QStringLiteral("marks on a string not played"));
    if (marks.hasBend() && (marks.bendTarget <= fret || marks.bendTarget > fret + MaxBendFrets))
        fuzz::Fail(QStringLiteral("bend from %1 to %2").arg(fret).arg(marks.bendTarget));
}

// Any bytes, read both as UTF-8 and as Latin-1, as one editor line: the parser must classify it,
// number its message, and give a chord definition whose canonical text parses back to the same chord,
// for the standard neck and for the longest a frets line allows.
static void CheckLine(const QString& line, int fretLimit)
{
    ChordDef def;
    const LineParseResult result = ParseLineText(line, 41, def, StandardTuning(), fretLimit);
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
        if (fret < NotPlayedFret || fret > fretLimit)
            fuzz::Fail(QStringLiteral("fret %1 accepted").arg(fret));
        CheckMarks(def, slot);
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
    // Marks that need a partner are checked and described against the line itself and the list's end.
    LinkProblem(def, &def, StandardTuning());
    LinkProblem(def, nullptr, StandardTuning());
    DescribeMarks(def, &def, StandardTuning());
    const QString canonical = BuildLine(def);
    ChordDef again;
    const LineParseResult reparsed = ParseLineText(canonical, 0, again, StandardTuning(), fretLimit);
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
    for (const int fretLimit : { FretCount, MaxFretLimit }) {
        CheckLine(QString::fromUtf8(bytes), fretLimit);
        CheckLine(QString::fromLatin1(bytes), fretLimit);
    }
    return 0;
}
