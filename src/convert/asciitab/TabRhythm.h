#pragma once

#include "Pitch.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

namespace fw::asciitab {

// Lengths are counted in WholeTicks (384) to the whole note, where every duration form is a whole number.
inline constexpr int BarTicks = WholeTicks; // a bar of 4/4

// The length of a duration text ("Q", ".E", "/S"); 0 when it is none.
int FormTicks(QStringView text);
bool IsTripletForm(QStringView text);

// A length as the note's duration followed by rests, largest first: triplet forms only when
// triplets is true, so a plain grid never turns into triplets. What no form can hold is dropped.
QStringList SplitLength(int ticks, bool triplets);

// The durations, one per span, that fill one 4/4 bar and come nearest to the spans' proportions
// (spans in any unit). Nothing when no such durations exist.
std::optional<QStringList> FitBar(const std::vector<double>& spans);

// "4 beats", "3 1/2 beats", "1/3 beat": a length in quarter-note beats for the report.
QString DescribeBeats(int ticks);

} // namespace fw::asciitab
