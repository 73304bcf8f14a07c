#pragma once

#include "ChordDef.h"
#include "Tuning.h"

#include <vector>

namespace fw {

// Where a list's note entries are played in a new tuning, each note keeping its pitch: the easiest
// fingering of the whole list, as Optimize Fingering finds it. Where every note fits on its own
// string (the one that takes its place in the new tuning) and that is no harder, or the tuning is the
// same, the strings stay. Notes joined by a tie, hammer-on, pull-off or legato slide stay on one
// string; marks go with their notes; a harmonic finds a string and node that sound its pitch.
// Notes no string can play are left out. Fits RetuneLines' keepPitches.
std::vector<ChordDef> FingerInNewTuning(
    const std::vector<ChordDef>& entries, const Tuning& from, const Tuning& to, int fretLimit);

} // namespace fw
