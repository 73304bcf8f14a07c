#pragma once

#include "EditorLines.h"
#include "TimeSignature.h"
#include "Tuning.h"

#include <optional>
#include <utility>
#include <vector>

namespace fw {

// What a list's special comment lines set for all its lines: the tuning (its last tuning line), the
// fret limit (its last frets line) and where its time lines stand.
struct ListSetup {
    Tuning tuning;
    int fretLimit = FretCount;
    // Valid time lines by editor line index, rising.
    std::vector<std::pair<int, TimeSignature>> timeLines;

    // The time of the last time line before line; 4/4 without one.
    TimeSignature timeBefore(int line) const;
    // Tuning and fret limit are what parsing depends on.
    bool readsLike(const ListSetup& other) const { return tuning == other.tuning && fretLimit == other.fretLimit; }
};

// Notes what the tuning and frets lines set, as lines come in.
struct SpecialLineSeen {
    std::optional<Tuning> tuning;
    std::optional<int> fretLimit;
    // Walking forward: a later line wins. False when the line is no valid tuning or frets line.
    bool note(const QString& line);
    // Walking backward: only what is not known yet is taken. True once both are known.
    bool noteEarlier(const QString& line);
    bool complete() const { return tuning && fretLimit; }
};

// The setup of the editor's lines in one backward walk.
ListSetup ScanListSetup(const EditorLines& editor);

} // namespace fw
