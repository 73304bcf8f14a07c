#pragma once

#include "TabBuilder.h"

#include <QStringList>

namespace fw {

// The ASCII tablature with one more line above each line group: every shown column's duration
// text (Q, .E, /S, ...) at the column of its cell, so the rhythm can be read back exactly.
// asciiLines is the text BuildAsciiTab made for tab.
QStringList WithRhythmLines(const QStringList& asciiLines, const Tablature& tab);

} // namespace fw
