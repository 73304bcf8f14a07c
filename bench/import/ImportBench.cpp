// Reading ASCII tab: 10 MB must take at most 12 times what 1 MB takes, and 1 MB at most 300 ms, in
// processor time of the reading thread.
#include "AsciiTabReader.h"
#include "BestOfRuns.h"

#include <QString>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Tab as sites write it: a title, sections, labelled systems of two bars with techniques, counts,
// chord names and repeat marks, until the text has the given size.
QString MakeTab(qsizetype bytes)
{
    QString text = QStringLiteral("Benchmark Song - The Testers\nTuning: E A D G\n\n");
    text.reserve(bytes + 1024);
    for (int system = 0; text.size() < bytes; ++system) {
        if (system % 8 == 0)
            text += QStringLiteral("[Verse %1]\n   Am          G\n").arg(system / 8 + 1);
        const int f = system % 12;
        text += QStringLiteral("G|-----------------|--------%1-------|\n").arg(f % 10);
        text += QStringLiteral("D|--------%1h%2-----|-----%3-----%4---|\n")
                    .arg(f % 7)
                    .arg(f % 7 + 2)
                    .arg(f % 5)
                    .arg(f % 9);
        text += QStringLiteral("A|-----%1------%2---|--%3--------------|\n").arg(f % 8).arg(f % 6).arg(f % 10);
        text += QStringLiteral("E|--%1-----------%2-|-----------%3-----|  x2\n")
                    .arg(f % 10)
                    .arg((f + 3) % 10)
                    .arg(f % 4);
        text += QStringLiteral("  1 & 2 & 3 & 4 &\n\n");
    }
    return text;
}

double TimeImport(const QString& text, fw::TabRhythm rhythm, int runs, qsizetype& lines)
{
    fw::TabImportOptions options;
    options.rhythm = rhythm;
    return fw::bench::BestCpuMilliseconds(runs, [&] { lines = fw::ImportAsciiTabText(text, options).lines.size(); });
}

} // namespace

// The growth figure is the median of rounds of one 1 MB figure (best of three) next to one 10 MB
// run: on a shared machine the speed drifts from minute to minute, and figures taken side by side
// drift together.
constexpr int Rounds = 5;

int main()
{
    const QString small = MakeTab(1024 * 1024);
    const QString large = MakeTab(10 * 1024 * 1024);
    bool ok = true;
    qsizetype smallLines = 0;
    qsizetype largeLines = 0;
    for (const auto& [name, rhythm] : { std::pair { "uniform", fw::TabRhythm::Uniform },
             std::pair { "grid", fw::TabRhythm::Grid }, std::pair { "proportional", fw::TabRhythm::Proportional } }) {
        // One untimed import first, so the first round does not pay for growing the heap.
        TimeImport(large, rhythm, 1, largeLines);
        double smallMs = 1e300;
        std::vector<double> ratios;
        for (int round = 0; round < Rounds; ++round) {
            const double roundSmallMs = TimeImport(small, rhythm, 3, smallLines);
            ratios.push_back(TimeImport(large, rhythm, 1, largeLines) / roundSmallMs);
            smallMs = std::min(smallMs, roundSmallMs);
        }
        std::fprintf(stderr, "%s: 1 MB %lld chord-list lines, 10 MB %lld; ratios", name,
            static_cast<long long>(smallLines), static_cast<long long>(largeLines));
        for (double ratio : ratios)
            std::fprintf(stderr, " %.2f", ratio);
        std::fprintf(stderr, "\n");
        fw::bench::PrintFigure(
            qPrintable(QStringLiteral("tab import 1 MB (%1)").arg(QLatin1String(name))), smallMs, " ms", "<=", 300, ok);
        fw::bench::PrintFigure(qPrintable(QStringLiteral("tab import 10 MB / 1 MB (%1)").arg(QLatin1String(name))),
            fw::bench::Median(ratios), "", "<=", 12, ok);
    }
    return ok ? 0 : 1;
}
