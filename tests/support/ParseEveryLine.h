#pragma once

#include "ChordDef.h"
#include "LineParser.h"
#include "SpecialLines.h"
#include "Tuning.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace fw::test {

// Parses lines as the export and tablature commands do: every line (up to the list's fret limit),
// then the closing blank entry. A line in error fails the test.
inline ParsedLineList ParseEveryLine(const QStringList& lines, const Tuning& tuning = StandardTuning())
{
    ParsedLineList parsed;
    ChordDef def;
    const int fretLimit = FretLimitOfLines(lines);
    for (int i = 0; i <= lines.size(); ++i) {
        const LineParseResult result
            = ParseLineText(i < lines.size() ? lines[i] : QString(), i, def, tuning, fretLimit);
        if (!result.errorText.isEmpty()) {
            ADD_FAILURE() << result.errorText.toStdString();
            return {};
        }
        parsed.append(def);
    }
    return parsed;
}

} // namespace fw::test
