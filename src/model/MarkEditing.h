#pragma once

#include "ChordDef.h"
#include "Tuning.h"

#include <QString>

namespace fw {

// The marks the Special > Technique menu sets and clears.
enum class Technique {
    // On every note of the line that can take it:
    HammerOn,
    PullOff,
    SlideUp,
    SlideDown,
    SlideInFromBelow,
    SlideInFromAbove,
    Tie,
    Ghost,
    Dead,
    Harmonic, // at the note's fret, where that fret is a node
    Bend, // a whole step: to the fret two above
    Vibrato,
    // For the whole line:
    Slap,
    Pop,
    Tap,
    Accent,
    Staccato,
    PalmMute,
    LetRing,
    // Every mark of the line.
    ClearAll,
};

// Whether the line carries the mark: on every note that can take it (at least one), or on the line.
bool HasTechnique(const ChordDef& def, Technique technique, const Tuning& tuning);

// Sets the mark, or clears it when the line carries it already. A mark that does not go with another
// replaces it (a hammer-on replaces a tie, palm mute replaces let ring; a note made dead loses its
// other marks). Returns why nothing could change (a rest, no note that can take the mark), else empty.
QString ToggleTechnique(ChordDef& def, Technique technique, const Tuning& tuning);

} // namespace fw
