#pragma once

#include "ChordDef.h"
#include "Tuning.h"

#include <QString>

namespace fw {

// A line's marks in words, short enough for a screen reader to read with the line's name:
// "hammer-on to B", "ghost note, slap", "Low E string dead note; A string tied over". next is the
// next note entry (null when there is none), which names where a hammer-on or slide goes. Empty
// for a line without marks.
QString DescribeMarks(const ChordDef& def, const ChordDef* next, const Tuning& tuning);

} // namespace fw
