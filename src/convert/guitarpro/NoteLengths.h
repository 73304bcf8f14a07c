#pragma once

#include "GuitarProScore.h"

#include <QList>
#include <QString>
#include <vector>

namespace fw::guitarpro {

// The lengths of a measure's beats in the chord list's ticks (WholeTicks to the whole note).

// A duration form of the chord list ("Q", ".E", "/Q") and its length in ticks.
struct NoteForm {
    QString text;
    int ticks = 0;
};

// The forms that fill a length exactly, the longest first (the first is the note, the others
// rests). Lengths of 1, 3, 5 and 7 ticks have no such forms: nothing for them.
QList<const NoteForm*> SplitLength(long long ticks);

// A whole measure of this time signature.
long long MeterTicks(int numerator, int denominator);

struct BeatTicks {
    // Where each beat starts, and after the last where the last ends: beats.size() + 1 values.
    std::vector<long long> starts;
    // Some beat did not fall on a tick, or lasted a length no forms fill: every beat was placed on
    // the nearest even tick instead (a 192nd of a whole note), so every length has forms.
    bool rounded = false;
};
// Grace beats take no time.
BeatTicks PlaceBeats(const QList<Beat>& beats);

} // namespace fw::guitarpro
