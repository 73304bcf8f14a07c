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
    SetDurationValues(parsed, MidiWholeNoteTicks);
    return parsed;
}

} // namespace fw::test
