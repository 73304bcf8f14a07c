// ASCII tablature of long chord lists: building must grow linearly with the list.
#include "AsciiTab.h"
#include "BestOfRuns.h"
#include "LineParser.h"

#include <QStringList>
#include <cstdio>
#include <vector>

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

// Building the column list, the ASCII text and the file bytes, best of RUNS, in milliseconds of this
// thread's processor time.
double TimeAsciiTab(const fw::ParsedLineList& parsed, int runs, qsizetype& fileBytes)
{
    return fw::bench::BestCpuMilliseconds(runs, [&] {
        const fw::AsciiTab tab = fw::BuildAsciiTab(fw::Tablature::Build(parsed), QStringLiteral("Bench"), QString());
        fileBytes = fw::AsciiTabFileBytes(tab.Lines).size();
    });
}

constexpr int Rounds = 9;

} // namespace

// The growth figure is the median of rounds that time the 10,000-line list (best of three) next to
// one run of the 100,000-line list: on a shared machine the speed drifts from minute to minute, and
// figures taken side by side drift together.
int main()
{
    const fw::ParsedLineList small = MakeChordList(10000);
    const fw::ParsedLineList large = MakeChordList(100000);
    qsizetype smallBytes = 0;
    qsizetype largeBytes = 0;
    // One untimed run first, so the first round does not pay for growing the heap.
    TimeAsciiTab(large, 1, largeBytes);
    std::vector<double> largeTimes, ratios;
    for (int round = 0; round < Rounds; ++round) {
        const double smallMs = TimeAsciiTab(small, 3, smallBytes);
        largeTimes.push_back(TimeAsciiTab(large, 1, largeBytes));
        ratios.push_back(largeTimes.back() / smallMs);
    }
    std::fprintf(stderr, "10,000 lines: %lld bytes, 100,000 lines: %lld bytes; ratios",
        static_cast<long long>(smallBytes), static_cast<long long>(largeBytes));
    for (double ratio : ratios)
        std::fprintf(stderr, " %.2f", ratio);
    std::fprintf(stderr, "\n");
    bool ok = true;
    fw::bench::PrintFigure("ascii tab 100,000 lines", fw::bench::Median(largeTimes), " ms", "<=", 300, ok);
    fw::bench::PrintFigure("ascii tab growth 10k -> 100k lines", fw::bench::Median(ratios), "", "<=", 12, ok);
    return ok ? 0 : 1;
}
