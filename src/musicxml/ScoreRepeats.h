#pragma once

#include "ScoreReader.h"

#include <QStringList>
#include <vector>

namespace fw::musicxml {

// One measure of a part as a list holds it: the comment lines before its notes and after them.
struct PlayedMeasure {
    int measure = 0;
    QStringList before;
    QStringList after;
};

// What the repeats of a part became.
struct RepeatCount {
    int sections = 0; // repeated sections
    int endings = 0; // alternate endings
};

// The measures of part in the order a player plays them: each repeated section once per pass, each
// pass marked by a comment, alternate endings only on their passes. asWritten: every measure once,
// in the file's order, the repeat signs as comments. Jumps (da capo, dal segno) are not followed.
// No more than limit measures are given.
std::vector<PlayedMeasure> PlayOrder(const ReadPart& part, bool asWritten, qsizetype limit, RepeatCount& count);

} // namespace fw::musicxml
