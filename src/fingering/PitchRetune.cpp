#include "PitchRetune.h"

#include "Fingering.h"
#include "Refinger.h"
#include "Retune.h"

namespace fw {

std::vector<FretArray> FingerInNewTuning(const std::vector<ChordDef>& entries, const Tuning& from, const Tuning& to)
{
    const int shift = StringShift(from, to);
    std::vector<FingeringEvent> events;
    std::vector<FingeredEvent> ownStrings;
    events.reserve(entries.size());
    ownStrings.reserve(entries.size());
    bool allFit = true;
    for (const ChordDef& def : entries) {
        events.push_back(EventNotes(def, from));
        FingeredEvent placements;
        for (const Placement& old : EventPlacements(def, from)) {
            const int slot = old.slot + shift;
            const int fret = from.openNote(old.slot) + old.fret - to.openNote(slot);
            allFit = allFit && to.hasSlot(slot) && fret >= 0 && fret <= FretCount;
            placements.push_back({ slot, fret });
        }
        ownStrings.push_back(std::move(placements));
    }
    const Fingering best = FingerEvents(events, to);
    // The same tuning moves nothing: the list stays as the user fingered it.
    const bool keep = allFit && (from == to || best.unplayableNotes > 0 || FingeringCost(ownStrings, to) <= best.cost);
    const std::vector<FingeredEvent>& chosen = keep ? ownStrings : best.events;
    std::vector<FretArray> frets(entries.size(), NoFrets);
    for (size_t e = 0; e < chosen.size(); ++e) {
        for (const Placement& placement : chosen[e]) {
            if (placement.playable())
                frets[e][placement.slot] = placement.fret;
        }
    }
    return frets;
}

} // namespace fw
