#include "Refinger.h"

#include "LineParser.h"

#include <algorithm>

namespace fw {

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

QString RewrittenLine(const ChordDef& def, const FingeredEvent& placements, const Tuning& tuning, bool renamed)
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
    if (renamed)
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
        const QString error = ParseLineText(lines[i], i, def, tuning).errorText;
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
        // A name that automatic naming would give the old frets is given again for the new ones.
        const bool renamed = defs[e].Name == AutomaticName(defs[e], tuning);
        result.lines[lineOf[e]] = RewrittenLine(defs[e], fingering.events[e], tuning, renamed);
        ++result.changedLines;
    }
    return result;
}

} // namespace fw
