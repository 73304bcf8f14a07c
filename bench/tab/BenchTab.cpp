// ASCII tablature of long chord lists: building must grow linearly with the list.
#include "AsciiTab.h"
#include "BestOfRuns.h"
#include "LineParser.h"

#include <QStringList>
#include <cstdio>

namespace {

// A chord list of lineCount lines: bars of four chord lines, one blank line, with comments now and then.
fw::ParsedLineList MakeChordList(int lineCount)
{
    fw::ParsedLineList parsed;
    parsed.reserve(lineCount + 1);
    fw::ChordDef def;
    for (int i = 0; i < lineCount; ++i) {
        QString line;
        if (i % 5 == 4)
            line = QString();
        else if (i % 97 == 0)
            line = QStringLiteral("* verse");
        else
            line = QStringLiteral("Chord, %1, %2, x, %3, Q").arg(i % 19).arg((i * 7) % 19).arg((i * 3) % 19);
        fw::ParseLineText(line, i, def);
        parsed.append(def);
    }
    fw::ParseLineText(QString(), lineCount, def);
    parsed.append(def);
    return parsed;
}

// Building the column list, the ASCII text and the file bytes, best of RUNS, in milliseconds.
double TimeAsciiTab(const fw::ParsedLineList& parsed, int runs, qsizetype& fileBytes)
{
    return fw::bench::BestMilliseconds(runs, [&] {
        const fw::AsciiTab tab = fw::BuildAsciiTab(fw::Tablature::Build(parsed), QStringLiteral("Bench"), QString());
        fileBytes = fw::AsciiTabFileBytes(tab.Lines).size();
    });
}

} // namespace

int main()
{
    const fw::ParsedLineList small = MakeChordList(10000);
    const fw::ParsedLineList large = MakeChordList(100000);
    qsizetype smallBytes = 0;
    qsizetype largeBytes = 0;
    const double smallMs = TimeAsciiTab(small, 30, smallBytes);
    const double largeMs = TimeAsciiTab(large, 10, largeBytes);
    const double ratio = largeMs / smallMs;
    std::printf("ascii tab  10000 lines: %8.2f ms (%lld bytes)\n", smallMs, static_cast<long long>(smallBytes));
    std::printf("ascii tab 100000 lines: %8.2f ms (%lld bytes)\n", largeMs, static_cast<long long>(largeBytes));
    std::printf("ratio: %.2f (limit 12), larger limit 300 ms\n", ratio);
    const bool ok = ratio <= 12.0 && largeMs <= 300.0;
    std::printf("%s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
