#pragma once

#include "Tuning.h"

#include <QString>
#include <vector>

namespace fw {

// The tuning an import gives a list whose file names none: among the tunings bass players use, the
// one that plays every note, or the most of them.
struct TuningChoice {
    Tuning tuning;
    // 18, or 24 when a note needs the frets above the 18th.
    int fretLimit = 18;
    // Notes that no string of the tuning reaches, even at fret 24.
    int outOfRange = 0;
    // "Tuning B E A D G (five strings), the one that plays every note."
    QString report;
};

// The candidates, in the order of preference when several play every note: E A D G, D A D G,
// Eb Ab Db Gb, D G C F, B E A D G, B E A D G C.
const std::vector<Tuning>& ImportTuningCandidates();

// notes: note values as a chord list stores them (the open Low E string is 40, one octave above
// its sound), one per note of the file, repeats included.
TuningChoice ChooseImportTuning(const std::vector<int>& notes);

} // namespace fw
