#pragma once

#include "ChordDef.h"
#include "Fingering.h"
#include "Tuning.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace fw {

// The note values of a parsed line's played strings, lowest string first, with their placements.
FingeringEvent EventNotes(const ChordDef& def, const Tuning& tuning);
FingeredEvent EventPlacements(const ChordDef& def, const Tuning& tuning);

// A line written with new placements (unplayable ones left out) and the same duration. With
// renamed the line takes the name automatic naming gives the new frets; otherwise its name stays.
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
