// The choice of tuning for an import, next to the fingering of the same notes that every import
// does: the choice may add at most a tenth. Lines down to the low D are the dearest case, where
// drop D and D standard both fit and the effort of the notes decides between them.
#include "BestOfRuns.h"
#include "ImportTuning.h"

#include <cstdio>
#include <random>

namespace {

// A bass line of single notes and a few fifths from the lowest note up two octaves.
std::vector<fw::FingeringEvent> MakeLine(int notes, int lowest)
{
    std::mt19937 random(25);
    std::uniform_int_distribution<int> pitch(lowest, lowest + 24);
    std::uniform_int_distribution<int> kind(0, 9);
    std::vector<fw::FingeringEvent> events;
    events.push_back({ lowest });
    while (static_cast<int>(events.size()) < notes) {
        const int root = pitch(random);
        events.push_back(kind(random) == 0 ? fw::FingeringEvent { root, root + 7 } : fw::FingeringEvent { root });
    }
    return events;
}

} // namespace

int main()
{
    bool ok = true;
    long long checksum = 0;
    for (const int notes : { 300, 100000 }) {
        for (const auto& [lowest, what] : { std::pair(40, "down to E"), std::pair(38, "down to D") }) {
            const auto line = MakeLine(notes, lowest);
            const fw::TuningChoice choice = fw::ChooseImportTuning(line);
            fw::FingeringRules rules;
            rules.fretLimit = choice.fretLimit;
            const int runs = notes < 1000 ? 200 : 5;
            const double fingerMs = fw::bench::BestCpuMilliseconds(
                runs, [&] { checksum += fw::FingerEvents(line, choice.tuning, rules).cost; });
            const double chooseMs
                = fw::bench::BestCpuMilliseconds(runs, [&] { checksum += fw::ChooseImportTuning(line).fretLimit; });
            char figure[80];
            std::snprintf(figure, sizeof figure, "tuning choice, %d notes %s", notes, what);
            std::printf("%-40s  %.3f ms (fingering %.3f ms, %s)\n", figure, chooseMs, fingerMs,
                qPrintable(choice.tuning.namesText()));
            std::snprintf(figure, sizeof figure, "share of the fingering, %d %s", notes, what);
            fw::bench::PrintFigure(figure, 100.0 * chooseMs / fingerMs, "%", "<=", 10, ok);
        }
    }
    std::printf("(checksum %lld)\n", checksum);
    return ok ? 0 : 1;
}
