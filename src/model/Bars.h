#pragma once

#include "ChordDef.h"

#include <QString>
#include <vector>

namespace fw {

// One bar of a parsed list: a run of note entries closed by a blank line (or the list's end). Bars
// without a note entry are not counted, as the tablature and the score count them.
struct Bar {
    int number = 0; // from 1
    // Indexes into the parsed list of the bar's first and last note entries.
    int firstEntry = 0;
    int lastEntry = 0;
    // The time of the last valid time line before firstEntry; 4/4 when there is none.
    TimeSignature time;
    // A time line stands before this bar (the list sets its time); false means 4/4 by default.
    bool timeSet = false;
    // The first bar with timeSet, or a bar whose time differs from the bar before: where a MIDI
    // file or a score writes a time signature. Never true in a list without a time line.
    bool timeChanges = false;
    // Where the bar starts and how long its note entries last, in WholeTicks to the whole note.
    long long startTicks = 0;
    long long ticks = 0;

    bool addsUp() const { return ticks == time.barTicks(); }
};

// The bars of a parsed list (ChordList::ParsedLines, or the entries of every line in order); the
// time lines are the comment entries whose Time is set.
std::vector<Bar> BarsOf(const ParsedLineList& parsed);

// A length in ticks as a fraction of the whole note, over the time's unit where it divides evenly:
// 5/4, 7/8, 1/3.
QString BarLengthText(long long ticks, const TimeSignature& time);
// "Bar 3 lasts 5/4, not 3/4." for a bar that does not add up ("This bar ..." for a bar numbered 0);
// empty when it adds up.
QString BarLengthProblem(const Bar& bar);

} // namespace fw
