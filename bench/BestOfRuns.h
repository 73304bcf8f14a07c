#pragma once

#include <QElapsedTimer>
#include <algorithm>

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

} // namespace fw::bench
