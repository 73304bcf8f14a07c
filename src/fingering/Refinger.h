#pragma once

#include "ChordDef.h"
#include "Fingering.h"
#include "NoteMoves.h"
#include "Tuning.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace fw {

// The note values of a parsed line's fingered notes (IsFingeredNote: fretted, not harmonics), lowest
// string first, with their placements.
FingeringEvent EventNotes(const ChordDef& def, const Tuning& tuning);
FingeredEvent EventPlacements(const ChordDef& def, const Tuning& tuning);
// The strings a line's other struck notes hold (harmonics, dead notes without a fret).
unsigned HeldStrings(const ChordDef& def, const Tuning& tuning);
// The notes of after that a hammer-on, pull-off, legato slide or tie of before joins, as fingering links.
std::vector<StringLink> LinksBetween(const ChordDef& before, const ChordDef& after, const Tuning& tuning);
// The rules for fingering consecutive note entries of a list: links, held strings and the fret limit.
FingeringRules RulesFor(const std::vector<ChordDef>& entries, const Tuning& tuning, int fretLimit);

// A line's struck notes that no fingering places (harmonics, dead notes without a fret).
std::vector<MovedNote> HeldNotesOf(const ChordDef& def, const Tuning& tuning);
// A line (on tuning from) with its fingered notes at new placements (one per EventNotes note;
// unplayable ones left out), each taking its marks along, and held in place of its other notes; on
// tuning to. The name, the duration and the per-line marks stay.
ChordDef Replaced(const ChordDef& def, const Tuning& from, const FingeredEvent& placements,
    const std::vector<MovedNote>& held, const Tuning& to);
// Replaced, written as a line. With renamed the line takes the name automatic naming gives the new
// frets; otherwise its name stays.
QString RewrittenLine(const ChordDef& def, const FingeredEvent& placements, const Tuning& tuning, bool renamed);

struct RefingerResult {
    // Every line of the list; lines first..last with new strings and frets where that is easier.
    QStringList lines;
    long long costBefore = 0;
    long long costAfter = 0;
    int changedLines = 0;
    // The first line of the range that does not parse: nothing is changed then.
    QString errorText;
    int errorLine = -1;
};

// Chooses new strings and frets for the chord definitions among lines first..last (0-based,
// inclusive) of a chord list on its own tuning (its tuning line, else E A D G). Pitches, durations,
// names, comments, blank and count-off lines stay; lines whose fingering does not change keep their
// text exactly.
RefingerResult RefingerLines(const QStringList& lines, int first, int last);

} // namespace fw
