#include "Refinger.h"

#include "LineParser.h"
#include "TextRules.h"

#include <algorithm>
#include <limits>

namespace fw {

namespace {

    constexpr int NotAnInteger = std::numeric_limits<int>::max();

    QString LinePrefix(int lineIndex) { return QStringLiteral("Line %1    ").arg(lineIndex + 1); }

    // A chord definition with a fret field per string of a tuning other than the standard one, by the
    // rules of the line parser (names, fret numbers, durations).
    QString ReadTunedChordLine(QStringView line, int lineIndex, const Tuning& tuning, ChordDef& def)
    {
        def = ChordDef {};
        const QList<QStringView> fields = line.split(u',');
        const int wanted = tuning.stringCount() + 2;
        if (fields.size() != wanted)
            return LinePrefix(lineIndex)
                + (fields.size() < wanted ? QStringLiteral("Not enough commas.") : QStringLiteral("Too many commas."));
        def.Name = TrimBlanks(fields[0]).left(79).toString();
        if (def.Name.isEmpty())
            return LinePrefix(lineIndex) + QStringLiteral("Note name required.");
        if (StrToIntDef(def.Name, NotAnInteger) != NotAnInteger)
            return LinePrefix(lineIndex) + QStringLiteral("Number not allowed for note name.");
        for (int string = 0; string < tuning.stringCount(); ++string) {
            const int slot = tuning.slotOfString(string);
            const QStringView field = TrimBlanks(fields[1 + string]);
            const bool x = field.size() == 1 && (field[0] == u'x' || field[0] == u'X');
            const int fret = x ? NotPlayedFret : StrToIntDef(field, NotAnInteger);
            if (fret == NotAnInteger || fret < NotPlayedFret || fret > FretCount)
                return LinePrefix(lineIndex) + QStringLiteral("Fret number for ") + tuning.stringName(slot)
                    + QStringLiteral(" string (\"") + field.toString() + QStringLiteral("\") is not a fret 0 to 18.");
            def.Frets[slot] = fret;
            def.Notes[slot]
                = fret == NotPlayedFret ? NotPlayedNote : static_cast<unsigned char>(tuning.openNote(slot) + fret);
        }
        def.Duration = TrimBlanks(fields.back()).left(5).toString();
        if (DurationValue(def.Duration, 1000) == 0)
            return LinePrefix(lineIndex) + QStringLiteral("\"") + def.Duration
                + QStringLiteral("\" invalid. (W)hole,(H)alf,Q,E,S,T,F");
        def.Duration.truncate(4);
        return QString();
    }

} // namespace

QString ReadChordLine(const QString& line, int lineIndex, const Tuning& tuning, ChordDef& def)
{
    if (tuning.isStandard() || IsCommentLine(line) || TrimBlanks(line).isEmpty())
        return ParseLineText(line, lineIndex, def).errorText;
    return ReadTunedChordLine(line, lineIndex, tuning, def);
}

FingeringEvent EventNotes(const ChordDef& def, const Tuning& tuning)
{
    FingeringEvent notes;
    for (int slot = 6; slot >= tuning.firstSlot(); --slot) {
        if (def.Frets[slot] != NotPlayedFret)
            notes.push_back(tuning.openNote(slot) + def.Frets[slot]);
    }
    return notes;
}

FingeredEvent EventPlacements(const ChordDef& def, const Tuning& tuning)
{
    FingeredEvent placements;
    for (int slot = 6; slot >= tuning.firstSlot(); --slot) {
        if (def.Frets[slot] != NotPlayedFret)
            placements.push_back({ slot, def.Frets[slot] });
    }
    return placements;
}

QString RewrittenLine(const ChordDef& def, const FingeredEvent& placements, const Tuning& tuning)
{
    ChordDef written = def;
    written.Frets = NoFrets;
    written.Notes = NoNotes;
    for (const Placement& placement : placements) {
        if (!placement.playable())
            continue;
        written.Frets[placement.slot] = placement.fret;
        written.Notes[placement.slot] = static_cast<unsigned char>(tuning.openNote(placement.slot) + placement.fret);
    }
    if (def.Name == AutomaticName(def, tuning))
        written.Name = AutomaticName(written, tuning);
    return tuning.isStandard() ? BuildLine(written) : BuildLine(written, tuning);
}

RefingerResult RefingerLines(const QStringList& lines, int first, int last)
{
    RefingerResult result;
    result.lines = lines;
    const Tuning tuning = TuningOfLines(lines);
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(lines.size()) - 1);
    std::vector<int> lineOf;
    std::vector<ChordDef> defs;
    std::vector<FingeringEvent> events;
    std::vector<FingeredEvent> before;
    for (int i = first; i <= last; ++i) {
        ChordDef def;
        const QString error = ReadChordLine(lines[i], i, tuning, def);
        if (!error.isEmpty()) {
            result.errorText = error;
            result.errorLine = i;
            return result;
        }
        if (!IsNoteEntry(def))
            continue;
        lineOf.push_back(i);
        events.push_back(EventNotes(def, tuning));
        before.push_back(EventPlacements(def, tuning));
        defs.push_back(std::move(def));
    }
    const Fingering fingering = FingerEvents(events, tuning);
    result.costBefore = FingeringCost(before, tuning);
    result.costAfter = fingering.cost;
    // The old fingering is kept when the new one is no easier: equal costs leave the list as it is.
    if (result.costAfter >= result.costBefore || fingering.unplayableNotes > 0) {
        result.costAfter = result.costBefore;
        return result;
    }
    for (size_t e = 0; e < events.size(); ++e) {
        if (fingering.events[e] == before[e])
            continue;
        result.lines[lineOf[e]] = RewrittenLine(defs[e], fingering.events[e], tuning);
        ++result.changedLines;
    }
    return result;
}

} // namespace fw
