#pragma once

#include "ChordDef.h"
#include "LineParser.h"
#include "Tuning.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace fw::test {

// Parses lines as the export and tablature commands do: every line, then the closing blank entry.
// A line in error fails the test.
inline ParsedLineList ParseEveryLine(const QStringList& lines, const Tuning& tuning = StandardTuning())
{
    ParsedLineList parsed;
    ChordDef def;
    for (int i = 0; i <= lines.size(); ++i) {
        const LineParseResult result = ParseLineText(i < lines.size() ? lines[i] : QString(), i, def, tuning);
        if (!result.errorText.isEmpty()) {
            ADD_FAILURE() << result.errorText.toStdString();
            return {};
        }
        parsed.append(def);
    }
    return parsed;
}

} // namespace fw::test
