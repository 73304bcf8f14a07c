#pragma once

#include "Pitch.h"

#include <QString>

namespace fw {

// The time a bar should last, as a "* Time: 3/4" line sets it: beats of 1/unit of a whole note.
// Lists without a time line are in 4/4.
struct TimeSignature {
    int beats = 4; // 1..32
    int unit = 4; // 2, 4, 8 or 16

    // The length of a full bar in ticks of WholeTicks to the whole note (exact for every unit).
    int barTicks() const { return WholeTicks / unit * beats; }
    // "3/4"
    QString text() const { return QStringLiteral("%1/%2").arg(beats).arg(unit); }
    friend bool operator==(const TimeSignature&, const TimeSignature&) = default;
};

} // namespace fw
