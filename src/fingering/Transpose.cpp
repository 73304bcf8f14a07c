#include "Transpose.h"

#include "Fingering.h"
#include "LineParser.h"
#include "NoteMoves.h"
#include "Refinger.h"
#include "SpecialLines.h"
#include "TextRules.h"

#include <algorithm>

namespace fw {

namespace {

    // The notes a fingering does not place, moved on their own: a harmonic to a string and node that
    // sound the new pitch, a dead note without a fret where it is. What finds no place goes to lost.
    std::vector<MovedNote> MovedHeldNotes(
        const ChordDef& def, int semitones, const Tuning& tuning, int fretLimit, QStringList& lost)
    {
        std::vector<MovedNote> held = HeldNotesOf(def, tuning);
        std::vector<MovedNote> placed;
        for (const MovedNote& note : held) {
            if (note.marks.kind != NoteKind::Harmonic) {
                placed.push_back(note);
                continue;
            }
            const int sounding = tuning.openNote(note.slot) + HarmonicSemitones(note.marks.harmonicNode) + semitones;
            if (const auto moved = HarmonicSounding(sounding, note.marks, tuning, fretLimit, note.slot))
                placed.push_back(*moved);
            else
                lost << NoteWhere(tuning, note.slot, note.fret, note.marks);
        }
        return placed;
    }

    unsigned StringsOf(const std::vector<MovedNote>& notes, const Tuning& tuning)
    {
        unsigned strings = 0;
        for (const MovedNote& note : notes)
            strings |= 1u << tuning.stringOfSlot(note.slot);
        return strings;
    }

} // namespace

TransposeResult TransposeLines(const QStringList& lines, int semitones, int first, int last)
{
    TransposeResult result;
    const Tuning tuning = TuningOfLines(lines);
    const int fretLimit = FretLimitOfLines(lines);
    const int count = static_cast<int>(lines.size());
    first = std::max(first, 0);
    last = std::min(last, count - 1);

    // Every note entry of the list takes part in the fingering, so that a chord that must find new
    // strings is fingered with its neighbours in view. The lines outside the range, and the moved
    // lines whose notes all still fit their strings, keep their strings.
    std::vector<ChordDef> defs(count);
    std::vector<QString> errors(count);
    std::vector<int> entryOf(count, -1);
    std::vector<std::vector<MovedNote>> held(count);
    std::vector<QStringList> lost(count);
    std::vector<FingeringEvent> events;
    std::vector<FingeredEvent> kept;
    FingeringRules rules;
    rules.fretLimit = fretLimit;
    int previousEntry = -1; // the last note entry's line, -1 after a line in error
    for (int i = 0; i < count; ++i) {
        errors[i] = ParseLineText(lines[i], i, defs[i], tuning, fretLimit).errorText;
        const bool moves = i >= first && i <= last;
        if (!errors[i].isEmpty()) {
            previousEntry = -1;
            continue;
        }
        if (!IsNoteEntry(defs[i]))
            continue;
        const int before = previousEntry;
        previousEntry = i;
        if (IsRest(defs[i]))
            continue;
        held[i] = moves ? MovedHeldNotes(defs[i], semitones, tuning, fretLimit, lost[i]) : HeldNotesOf(defs[i], tuning);
        FingeringEvent notes = EventNotes(defs[i], tuning);
        FingeredEvent placements = EventPlacements(defs[i], tuning);
        const unsigned heldStrings = StringsOf(held[i], tuning);
        if (moves) {
            bool fits = true;
            for (int& note : notes)
                note += semitones;
            for (Placement& placement : placements) {
                placement.fret += semitones;
                fits = fits && placement.fret >= 0 && placement.fret <= fretLimit
                    && !(heldStrings & (1u << tuning.stringOfSlot(placement.slot)));
            }
            if (!fits)
                placements.clear();
        }
        // Notes joined to the entry just before stay on one string with it.
        rules.links.push_back(before >= 0 && entryOf[before] >= 0 ? LinksBetween(defs[before], defs[i], tuning)
                                                                  : std::vector<StringLink> {});
        rules.heldStrings.push_back(heldStrings);
        entryOf[i] = static_cast<int>(events.size());
        events.push_back(std::move(notes));
        kept.push_back(std::move(placements));
    }
    // Joined notes move as one: when one of them must find new strings, so do the others.
    for (bool spread = true; spread;) {
        spread = false;
        for (size_t e = 1; e < events.size(); ++e) {
            if (rules.links[e].empty() || kept[e].empty() == kept[e - 1].empty())
                continue;
            kept[e].clear();
            kept[e - 1].clear();
            spread = true;
        }
    }
    const Fingering fingering = FingerAround(events, kept, tuning, rules);

    std::vector<ChordDef> moved = defs;
    std::vector<bool> ok(count);
    std::vector<bool> changed(count);
    std::vector<int> numberOf(count);
    int number = 0;
    for (int i = 0; i < count; ++i) {
        ok[i] = errors[i].isEmpty();
        changed[i] = i >= first && i <= last && entryOf[i] >= 0;
        if (changed[i]) {
            const FingeredEvent& placements = fingering.events[entryOf[i]];
            const FingeredEvent before = EventPlacements(defs[i], tuning);
            for (size_t n = 0; n < placements.size(); ++n) {
                if (!placements[n].playable())
                    lost[i] << NoteWhere(tuning, before[n].slot, before[n].fret, defs[i].Marks[before[n].slot]);
            }
            moved[i] = Replaced(defs[i], tuning, placements, held[i], tuning);
            // A name the program gives follows the new notes; the user's own names stay.
            if (IsProgramName(defs[i].Name))
                moved[i].Name = AutomaticName(moved[i], tuning);
        }
        number += lost[i].isEmpty() ? 0 : 1;
        numberOf[i] = number++;
    }
    // A hammer-on, pull-off, slide or tie whose partner can no longer follow is named, not kept wrong.
    const std::vector<int> unlinked = DropBrokenLinks(moved, ok, changed, tuning, numberOf, result.DroppedMarks);

    // Messages count the lines of the new list, which the user sees afterwards.
    const auto prefix = [&result] { return QStringLiteral("Line %1    ").arg(result.Lines.size() + 1); };
    for (int i = 0; i < count; ++i) {
        if (i >= first && i <= last && !errors[i].isEmpty()) {
            ChordDef ignored;
            result.Problems
                << ParseLineText(lines[i], static_cast<int>(result.Lines.size()), ignored, tuning, fretLimit).errorText;
        }
        if (!changed[i] && std::find(unlinked.begin(), unlinked.end(), i) == unlinked.end()) {
            result.Lines << lines[i];
            continue;
        }
        if (!lost[i].isEmpty()) {
            result.InsertedLines.push_back(static_cast<int>(result.Lines.size()));
            result.Lines << QStringLiteral("* Not playable %1: %2")
                                .arg(SemitonesText(semitones), lost[i].join(QStringLiteral(", ")));
            result.Lost << prefix() + lost[i].join(QStringLiteral(", "))
                    + (lost[i].size() == 1 ? QStringLiteral(": no string can play it %1.")
                                           : QStringLiteral(": no string can play them %1."))
                          .arg(SemitonesText(semitones));
        }
        result.Lines << (tuning.isStandard() ? BuildLine(moved[i]) : BuildLine(moved[i], tuning));
        result.MovedLines += changed[i] ? 1 : 0;
    }
    return result;
}

QString TransposeWarning(const TransposeResult& result)
{
    return SectionedWarning({ { QStringLiteral("These lines have errors and were not moved:"), result.Problems },
        { QStringLiteral("These notes have no place on the neck after the move; they were left out, each named in a "
                         "comment above its line:"),
            result.Lost },
        { QStringLiteral("These marks no longer join their notes after the move:"), result.DroppedMarks } });
}

} // namespace fw
