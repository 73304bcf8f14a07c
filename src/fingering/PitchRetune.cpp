#include "PitchRetune.h"

#include "Fingering.h"
#include "NoteMoves.h"
#include "Refinger.h"
#include "Retune.h"

namespace fw {

namespace {

    // The notes no fingering places, moved on their own: a harmonic to where it sounds the same, a
    // dead note without a fret to the string that takes its string's place.
    std::vector<MovedNote> HeldNotes(
        const ChordDef& def, const Tuning& from, const Tuning& to, int fretLimit, int shift, bool& allStay)
    {
        std::vector<MovedNote> held;
        for (const MovedNote& note : StruckNotes(def, from)) {
            if (IsFingeredNote(def, note.slot))
                continue;
            const int slot = note.slot + shift;
            if (note.marks.kind == NoteKind::Harmonic) {
                const int sounding = from.openNote(note.slot) + HarmonicSemitones(note.marks.harmonicNode);
                const auto moved = HarmonicSounding(sounding, note.marks, to, fretLimit, slot);
                allStay = allStay && moved && moved->slot == slot && moved->fret == note.fret;
                if (moved)
                    held.push_back(*moved);
            } else if (to.hasSlot(slot)) {
                held.push_back(MovedTo(note, slot, note.fret));
            } else {
                allStay = false;
            }
        }
        return held;
    }

} // namespace

std::vector<ChordDef> FingerInNewTuning(
    const std::vector<ChordDef>& entries, const Tuning& from, const Tuning& to, int fretLimit)
{
    const int shift = StringShift(from, to);
    std::vector<FingeringEvent> events;
    std::vector<FingeredEvent> ownStrings;
    std::vector<std::vector<MovedNote>> held;
    std::vector<ChordDef> placedHeld;
    events.reserve(entries.size());
    ownStrings.reserve(entries.size());
    bool allFit = true;
    for (const ChordDef& def : entries) {
        events.push_back(EventNotes(def, from));
        FingeredEvent placements;
        for (const Placement& old : EventPlacements(def, from)) {
            const int slot = old.slot + shift;
            const int fret = from.openNote(old.slot) + old.fret - to.openNote(slot);
            allFit = allFit && to.hasSlot(slot) && fret >= 0 && fret <= fretLimit;
            placements.push_back({ slot, fret });
        }
        ownStrings.push_back(std::move(placements));
        held.push_back(HeldNotes(def, from, to, fretLimit, shift, allFit));
        placedHeld.push_back(WithNotes(def, held.back(), to));
    }
    // The links and held strings as they stand in the new tuning.
    FingeringRules rules = RulesFor(placedHeld, to, fretLimit);
    for (size_t e = 1; e < entries.size(); ++e)
        rules.links[e] = LinksBetween(entries[e - 1], entries[e], from);
    const Fingering best = FingerEvents(events, to, rules);
    // The same tuning moves nothing: the list stays as the user fingered it.
    const bool keep
        = allFit && (from == to || best.unplayableNotes > 0 || FingeringCost(ownStrings, to, rules) <= best.cost);
    const std::vector<FingeredEvent>& chosen = keep ? ownStrings : best.events;
    std::vector<ChordDef> moved;
    moved.reserve(entries.size());
    for (size_t e = 0; e < entries.size(); ++e)
        moved.push_back(Replaced(entries[e], from, chosen[e], held[e], to));
    return moved;
}

} // namespace fw
