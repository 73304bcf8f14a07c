#pragma once

#include "ChordDef.h"
#include "LineParser.h"
#include "MidiFileWriter.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace fw::test {

// Parses lines as the program does before an export: every line, then the closing blank entry, and
// note lengths in ticks.
inline ParsedLineList ParseForMidi(const QStringList& lines)
{
    ParsedLineList parsed;
    ChordDef def;
    for (int i = 0; i <= lines.size(); ++i) {
        const LineParseResult result = ParseLineText(i < lines.size() ? lines[i] : QString(), i, def);
        if (!result.errorText.isEmpty()) {
            ADD_FAILURE() << result.errorText.toStdString();
            return {};
        }
        if (IsNoteEntry(def))
            def.DurationValue = DurationValue(def.Duration, MidiWholeNoteTicks);
        parsed.append(def);
    }
    return parsed;
}

} // namespace fw::test
