#pragma once

#include "Fingering.h"
#include "Tuning.h"

#include <QString>
#include <vector>

namespace fw {

// The tuning an import gives a list whose file names none: among the tunings bass players use, the
// one that plays every note, or the most of them.
struct TuningChoice {
    Tuning tuning;
    // 18, or 24 when a note needs the frets above the 18th.
    int fretLimit = FretCount;
    // Notes that no string of the tuning reaches, even at fret 24.
    int outOfRange = 0;
    // Those notes are moved by whole octaves into the tuning's range (see fit) rather than left as rests.
    bool foldOctaves = false;
    // "Tuning B E A D G (5 strings), the one that plays every note."
    QString report;

    // The note a reader places: with foldOctaves, a note out of range moved by whole octaves to the
    // nearest note the tuning plays; otherwise the note itself.
    int fit(int note) const;
};

// The candidates, in the order of preference when several play every note equally easily: E A D G,
// D A D G, Eb Ab Db Gb, D G C F, B E A D G, B E A D G C.
const std::vector<Tuning>& ImportTuningCandidates();

// events: the notes of the part being imported, in playing order, as note values as a chord list
// stores them (the open Low E string is 40, one octave above its sound); each event the notes struck
// together. The choice prefers, in this order: the fewest notes out of range, the fewest strings, an
// 18-fret neck over a 24-fret one, the lowest string closest below the lowest note (a line down to
// E is in standard tuning, one down to E flat half a step down), then the least effort of the
// fretting hand (the fingering engine's weights for each note, open strings free), then the order of
// the candidates. The time is linear in the notes and small beside their fingering.
TuningChoice ChooseImportTuning(const std::vector<FingeringEvent>& events, bool foldOctaves = false);
// The same for notes without their grouping into chords: each note an event of its own.
TuningChoice ChooseImportTuning(const std::vector<int>& notes, bool foldOctaves = false);

} // namespace fw
