#pragma once

#include "GuitarProScore.h"

#include <QList>
#include <QStringList>
#include <optional>

namespace fw::guitarpro {

// A measure as the chord list holds it, with the comment lines that go before its notes (where a
// repeat pass or an alternate ending starts) and after them (where a repeat ends, as written).
struct PlayedMeasure {
    int measure = 0; // index into Score::measures
    QStringList before;
    QStringList after;
};

// The measures in the order they sound: each repeat played as often as its end says, on each pass
// only the alternate endings of that pass, with the comments of RepeatComments.h where a pass or an
// ending starts. With asWritten, each measure once in file order, its repeat signs as those
// comments. Nothing when the measures played out would be more than maxMeasures.
std::optional<QList<PlayedMeasure>> MeasureOrder(
    const QList<MeasureHeader>& measures, bool asWritten, qsizetype maxMeasures);

} // namespace fw::guitarpro
