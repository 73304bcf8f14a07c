#pragma once

#include "GuitarProScore.h"

#include <QList>
#include <QString>
#include <QStringView>

// The values score.gpif writes as text: lists of numbers, harmonic kinds, note values.

namespace fw::guitarpro {

// Whole numbers separated by white space; false for anything else or more than limit of them.
bool Numbers(QStringView text, qsizetype limit, QList<int>& numbers);

// "Natural", "Artificial", "Pinch"...; Harmonic::None for anything else.
Harmonic HarmonicOf(const QString& type);

// "Quarter" 4, "16th" 16...; 0 for no note value the model holds ("DoubleWhole" among them).
int NoteValueOf(const QString& name);

} // namespace fw::guitarpro
