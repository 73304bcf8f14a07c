#pragma once

#include "MidiFileWriter.h"
#include "ParseEveryLine.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace fw::test {

// Parses lines as the program does before an export, with note lengths in ticks.
inline ParsedLineList ParseForMidi(const QStringList& lines)
{
    ParsedLineList parsed = ParseEveryLine(lines);
    for (ChordDef& def : parsed) {
        if (IsNoteEntry(def))
            def.DurationValue = DurationValue(def.Duration, MidiWholeNoteTicks);
    }
    return parsed;
}

} // namespace fw::test
