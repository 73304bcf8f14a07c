#include "PlayClock.h"

#include <cerrno>
#include <time.h>

namespace fw {

namespace {

    std::int64_t MonotonicUs()
    {
        timespec ts {};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
    }

} // namespace

std::int64_t SteadyPlayClock::nowUs() { return MonotonicUs(); }

void SteadyPlayClock::napUntil(std::int64_t untilUs)
{
    if (untilUs <= MonotonicUs())
        return;
    timespec wake {};
    wake.tv_sec = static_cast<time_t>(untilUs / 1000000);
    wake.tv_nsec = static_cast<long>(untilUs % 1000000) * 1000;
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) { }
}

void SteadyPlayClock::sleepUntil(std::int64_t deadlineUs)
{
    napUntil(deadlineUs - ApproachUs);
    while (MonotonicUs() < deadlineUs) { }
}

} // namespace fw
