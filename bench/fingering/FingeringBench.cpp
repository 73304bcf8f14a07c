// The fingering of a long line on a six-string bass: the time for 100,000 notes and how it grows
// from 10,000 to 100,000.
#include "BestOfRuns.h"
#include "Fingering.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>

using fw::bench::BestCpuMilliseconds;

namespace {

// A bass line of single notes and a few two- and three-note chords, random but reproducible, over
// the whole range of a six-string bass (B E A D G C).
std::vector<fw::FingeringEvent> MakeLine(int notes)
{
    std::mt19937 random(15);
    std::uniform_int_distribution<int> pitch(35, 78);
    std::uniform_int_distribution<int> kind(0, 19);
    std::vector<fw::FingeringEvent> events;
    int count = 0;
    while (count < notes) {
        const int root = pitch(random);
        const int which = kind(random);
        if (which == 0 && root + 12 <= 78)
            events.push_back({ root, root + 7, root + 12 });
        else if (which == 1 && root + 7 <= 78)
            events.push_back({ root, root + 7 });
        else
            events.push_back({ root });
        count += static_cast<int>(events.back().size());
    }
    return events;
}

} // namespace

int main()
{
    const fw::Tuning tuning = fw::ParseTuningNames(QStringLiteral("B E A D G C")).tuning;
    const auto small = MakeLine(10000);
    const auto large = MakeLine(100000);
    long long checksum = 0;
    const double smallMs = BestCpuMilliseconds(5, [&] { checksum += fw::FingerEvents(small, tuning).cost; });
    const double largeMs = BestCpuMilliseconds(5, [&] { checksum += fw::FingerEvents(large, tuning).cost; });
    const double largeWallMs
        = fw::bench::BestMilliseconds(3, [&] { checksum += fw::FingerEvents(large, tuning).cost; });
    const double growth = largeMs / smallMs;
    std::printf("fingering 10,000 notes, six strings      %.1f ms cpu\n", smallMs);
    std::printf("fingering 100,000 notes (wall clock)     %.1f ms\n", largeWallMs);
    std::printf("fingering 100,000 notes, six strings     %.1f ms  target <= 200 ms  %s\n", largeMs,
        largeMs <= 200.0 ? "PASS" : "FAIL");
    std::printf(
        "growth 10k -> 100k notes                 %.2f  target <= 12  %s\n", growth, growth <= 12.0 ? "PASS" : "FAIL");
    std::printf("(checksum %lld)\n", checksum);
    return largeMs <= 200.0 && growth <= 12.0 ? 0 : 1;
}
