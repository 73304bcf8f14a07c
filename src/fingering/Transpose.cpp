#include "Transpose.h"

#include "Fingering.h"
#include "LineParser.h"
#include "Refinger.h"
#include "TextRules.h"

#include <algorithm>

namespace fw {

TransposeResult TransposeLines(const QStringList& lines, int semitones, int first, int last)
{
    TransposeResult result;
    const Tuning tuning = TuningOfLines(lines);
    const int count = static_cast<int>(lines.size());
    first = std::max(first, 0);
    last = std::min(last, count - 1);

    // Every note entry of the list takes part in the fingering, so that a chord that must find new
    // strings is fingered with its neighbours in view. The lines outside the range, and the moved
    // lines whose notes all still fit their strings, keep their strings.
    std::vector<ChordDef> defs(count);
    std::vector<QString> errors(count);
    std::vector<int> entryOf(count, -1);
    std::vector<FingeringEvent> events;
    std::vector<FingeredEvent> kept;
    for (int i = 0; i < count; ++i) {
        errors[i] = ParseLineText(lines[i], i, defs[i], tuning).errorText;
        if (!errors[i].isEmpty() || !IsNoteEntry(defs[i]) || IsRest(defs[i]))
            continue;
        FingeringEvent notes = EventNotes(defs[i], tuning);
        FingeredEvent placements = EventPlacements(defs[i], tuning);
        if (i >= first && i <= last) {
            bool fits = true;
            for (int& note : notes)
                note += semitones;
            for (Placement& placement : placements) {
                placement.fret += semitones;
                fits = fits && placement.fret >= 0 && placement.fret <= FretCount;
            }
            if (!fits)
                placements.clear();
        }
        entryOf[i] = static_cast<int>(events.size());
        events.push_back(std::move(notes));
        kept.push_back(std::move(placements));
    }
    const Fingering fingering = FingerAround(events, kept, tuning);

    // Messages count the lines of the new list, which the user sees afterwards.
    const auto prefix = [&result] { return QStringLiteral("Line %1    ").arg(result.Lines.size() + 1); };
    for (int i = 0; i < count; ++i) {
        const bool moves = i >= first && i <= last;
        if (moves && !errors[i].isEmpty()) {
            ChordDef ignored;
            result.Problems
                << ParseLineText(lines[i], static_cast<int>(result.Lines.size()), ignored, tuning).errorText;
        }
        if (!moves || entryOf[i] < 0) {
            result.Lines << lines[i];
            continue;
        }
        const FingeredEvent& placements = fingering.events[entryOf[i]];
        const FingeredEvent before = EventPlacements(defs[i], tuning);
        QStringList lost;
        for (size_t n = 0; n < placements.size(); ++n) {
            if (!placements[n].playable())
                lost << NoteWhere(tuning, before[n].slot, before[n].fret);
        }
        if (!lost.isEmpty()) {
            result.InsertedLines.push_back(static_cast<int>(result.Lines.size()));
            result.Lines << QStringLiteral("* Not playable %1: %2")
                                .arg(SemitonesText(semitones), lost.join(QStringLiteral(", ")));
            result.Lost << prefix() + lost.join(QStringLiteral(", "))
                    + (lost.size() == 1 ? QStringLiteral(": no string can play it %1.")
                                        : QStringLiteral(": no string can play them %1."))
                          .arg(SemitonesText(semitones));
        }
        result.Lines << RewrittenLine(defs[i], placements, tuning, IsProgramName(defs[i].Name));
        ++result.MovedLines;
    }
    return result;
}

QString TransposeWarning(const TransposeResult& result)
{
    return SectionedWarning({ { QStringLiteral("These lines have errors and were not moved:"), result.Problems },
        { QStringLiteral("These notes have no place on the neck after the move; they were left out, each named in a "
                         "comment above its line:"),
            result.Lost } });
}

} // namespace fw
