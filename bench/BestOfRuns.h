#pragma once

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace fw::bench {

// The fastest of several runs of WORK, in milliseconds: the machine is shared, so the best run is
// the one least disturbed by everything else.
template <typename Work> double BestMilliseconds(int runs, Work&& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// The same in milliseconds of this thread's processor time: on a shared machine, wall time measures
// the other work as much as this.
template <typename Work> double BestCpuMilliseconds(int runs, Work&& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        timespec start {}, end {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        work();
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        best = std::min(best, (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6);
    }
    return best;
}

// One line of bench/run.sh's table: "figure  value unit  target <= limit unit  PASS"; ok turns false on a miss.
inline void PrintFigure(
    const char* figure, double value, const char* unit, const char* comparison, double limit, bool& ok)
{
    const bool pass = comparison[0] == '<' ? value <= limit : value >= limit;
    ok = ok && pass;
    std::printf(
        "%-40s  %.2f%s  target %s %g%s  %s\n", figure, value, unit, comparison, limit, unit, pass ? "PASS" : "FAIL");
}

// The middle one of several figures taken in rounds side by side: on a shared machine the speed
// drifts from minute to minute, and one disturbed round should not decide.
inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace fw::bench
