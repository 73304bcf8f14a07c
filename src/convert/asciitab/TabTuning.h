#pragma once

#include "Tuning.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace fw::asciitab {

// The tuning most basses of this many strings have: E A D G, B E A D G, B E A D G C.
Tuning StandardTuning(int strings);

// The tuning a "Tuning:" line's text names for a bass of this many strings: note names lowest or
// highest first, or a common phrase ("Drop D", "half step down", "Eb standard").
std::optional<Tuning> TuningFromText(const QString& text, int strings);

// The tuning string labels name, written highest first as tabs are ("G D A E").
std::optional<Tuning> TuningFromLabels(const QStringList& labelsTopDown);

// The chord-list slot of each line of a block (top line first), or 0 for a line the tuning has no
// string for. byLabels says whether labels matched the tuning's string names.
std::vector<int> SlotsOfBlock(const QStringList& labelsTopDown, const Tuning& tuning, bool& byLabels);

} // namespace fw::asciitab
