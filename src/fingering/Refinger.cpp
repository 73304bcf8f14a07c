#include "Refinger.h"

#include "LineParser.h"
#include "NoteMoves.h"
#include "SpecialLines.h"

#include <algorithm>

namespace fw {

FingeringEvent EventNotes(const ChordDef& def, const Tuning& tuning)
{
    FingeringEvent notes;
    for (int slot = 6; slot >= tuning.firstSlot(); --slot) {
        if (IsFingeredNote(def, slot))
            notes.push_back(tuning.openNote(slot) + def.Frets[slot]);
    }
    return notes;
}

FingeredEvent EventPlacements(const ChordDef& def, const Tuning& tuning)
{
    FingeredEvent placements;
    for (int slot = 6; slot >= tuning.firstSlot(); --slot) {
        if (IsFingeredNote(def, slot))
            placements.push_back({ slot, def.Frets[slot] });
    }
    return placements;
}

unsigned HeldStrings(const ChordDef& def, const Tuning& tuning)
{
    unsigned held = 0;
    for (int slot = 6; slot >= tuning.firstSlot(); --slot) {
        if (IsStruck(def, slot) && !IsFingeredNote(def, slot))
            held |= 1u << tuning.stringOfSlot(slot);
    }
    return held;
}

std::vector<StringLink> LinksBetween(const ChordDef& before, const ChordDef& after, const Tuning& tuning)
{
    std::vector<StringLink> links;
    int from = 0;
    for (int slot = 6; slot >= tuning.firstSlot(); --slot) {
        if (!IsFingeredNote(before, slot))
            continue;
        if (before.Marks[slot].joinsNext() && IsFingeredNote(after, slot)) {
            int to = 0;
            for (int other = 6; other > slot; --other)
                to += IsFingeredNote(after, other) ? 1 : 0;
            links.push_back({ from, to });
        }
        ++from;
    }
    return links;
}

FingeringRules RulesFor(const std::vector<ChordDef>& entries, const Tuning& tuning, int fretLimit)
{
    FingeringRules rules;
    rules.fretLimit = fretLimit;
    rules.links.resize(entries.size());
    rules.heldStrings.resize(entries.size());
    for (size_t e = 0; e < entries.size(); ++e) {
        rules.heldStrings[e] = HeldStrings(entries[e], tuning);
        if (e > 0)
            rules.links[e] = LinksBetween(entries[e - 1], entries[e], tuning);
    }
    return rules;
}

std::vector<MovedNote> HeldNotesOf(const ChordDef& def, const Tuning& tuning)
{
    std::vector<MovedNote> held;
    for (const MovedNote& note : StruckNotes(def, tuning)) {
        if (!IsFingeredNote(def, note.slot))
            held.push_back(note);
    }
    return held;
}

ChordDef Replaced(const ChordDef& def, const Tuning& from, const FingeredEvent& placements,
    const std::vector<MovedNote>& held, const Tuning& to)
{
    std::vector<MovedNote> notes = held;
    size_t n = 0;
    for (const MovedNote& note : StruckNotes(def, from)) {
        if (!IsFingeredNote(def, note.slot))
            continue;
        const Placement placement = n < placements.size() ? placements[n] : Placement {};
        ++n;
        if (placement.playable())
            notes.push_back(MovedTo(note, placement.slot, placement.fret));
    }
    return WithNotes(def, notes, to);
}

QString RewrittenLine(const ChordDef& def, const FingeredEvent& placements, const Tuning& tuning, bool renamed)
{
    ChordDef written = Replaced(def, tuning, placements, HeldNotesOf(def, tuning), tuning);
    if (renamed)
        written.Name = AutomaticName(written, tuning);
    return tuning.isStandard() ? BuildLine(written) : BuildLine(written, tuning);
}

RefingerResult RefingerLines(const QStringList& lines, int first, int last)
{
    RefingerResult result;
    result.lines = lines;
    const Tuning tuning = TuningOfLines(lines);
    const int fretLimit = FretLimitOfLines(lines);
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(lines.size()) - 1);
    std::vector<int> lineOf;
    std::vector<ChordDef> defs;
    std::vector<FingeringEvent> events;
    std::vector<FingeredEvent> before;
    for (int i = first; i <= last; ++i) {
        ChordDef def;
        const QString error = ParseLineText(lines[i], i, def, tuning, fretLimit).errorText;
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
    const FingeringRules rules = RulesFor(defs, tuning, fretLimit);
    const Fingering fingering = FingerEvents(events, tuning, rules);
    result.costBefore = FingeringCost(before, tuning, rules);
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
