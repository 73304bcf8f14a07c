#pragma once

#include "GuitarProScore.h"

#include <QList>
#include <QString>
#include <vector>

namespace fw::guitarpro {

// The lengths of a measure's beats in the chord list's ticks (WholeTicks to the whole note).

// A whole measure of this time signature.
long long MeterTicks(int numerator, int denominator);

struct BeatTicks {
    // Where each beat starts, and after the last where the last ends: beats.size() + 1 values.
    std::vector<long long> starts;
    // Some beat did not fall on a tick, or lasted a length no duration forms fill: every beat was
    // placed on the nearest even tick instead (a 192nd of a whole note), so every length has forms.
    bool rounded = false;
};
// Grace beats take no time.
BeatTicks PlaceBeats(const QList<Beat>& beats);

} // namespace fw::guitarpro
