#pragma once

#include <cstdint>
#include <functional>

namespace fw {

// Monotonic time for the player, in microseconds from an arbitrary origin.
class PlayClock {
public:
    // How close to a deadline a coarse nap may aim: kernel wake-ups on a virtual machine now and then
    // come a millisecond or more late, and the rest of the way to a note is spun.
    static constexpr std::int64_t ApproachUs = 2000;

    virtual ~PlayClock() = default;
    virtual std::int64_t nowUs() = 0;
    // Returns at deadlineUs or soon after; returns at once when it has passed.
    virtual void sleepUntil(std::int64_t deadlineUs) = 0;
    // Like sleepUntil where being late by a fraction of a millisecond does not matter.
    virtual void napUntil(std::int64_t untilUs) { sleepUntil(untilUs); }
};

// The system's monotonic clock. Sleeps in the kernel until ApproachUs before a deadline and spins
// the rest, so a note starts on time without burning a core.
class SteadyPlayClock : public PlayClock {
public:
    std::int64_t nowUs() override;
    void sleepUntil(std::int64_t deadlineUs) override;
    void napUntil(std::int64_t untilUs) override;
};

// A clock that jumps straight to each deadline: plays a chord list in no time, with the times
// the real clock would have given. Rendering and tests use it.
class InstantPlayClock : public PlayClock {
public:
    std::int64_t nowUs() override { return m_now; }
    void sleepUntil(std::int64_t deadlineUs) override
    {
        if (deadlineUs > m_now)
            m_now = deadlineUs;
    }

private:
    std::int64_t m_now = 0;
};

// Another clock moved by a shift that may change at any time: the player's clock during a playback
// on a device with its own audio clock, which runs a little fast or slow against the system's
// (hundreds of parts per million are common): following it, the player sends every message the
// same lead ahead of the audio from the first note to the last, however long the playback.
class ShiftedPlayClock : public PlayClock {
public:
    ShiftedPlayClock(PlayClock& base, std::function<std::int64_t()> shiftUs)
        : m_base(base)
        , m_shiftUs(std::move(shiftUs))
    {
    }
    std::int64_t nowUs() override { return m_base.nowUs() + m_shiftUs(); }
    void sleepUntil(std::int64_t deadlineUs) override { m_base.sleepUntil(deadlineUs - m_shiftUs()); }
    void napUntil(std::int64_t untilUs) override { m_base.napUntil(untilUs - m_shiftUs()); }

private:
    PlayClock& m_base;
    std::function<std::int64_t()> m_shiftUs;
};

} // namespace fw
