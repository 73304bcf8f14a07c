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

// Notes what a special line sets, as lines come in; later lines win.
struct SpecialLineSeen {
    std::optional<Tuning> tuning;
    std::optional<int> fretLimit;
    // Reads a line starting with "*"; false when it is no valid tuning or frets line.
    bool note(const QString& line);
};

// The setup of the editor's lines in one backward walk.
ListSetup ScanListSetup(const EditorLines& editor);

} // namespace fw
