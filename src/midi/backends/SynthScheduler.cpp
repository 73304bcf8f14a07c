#include "SynthScheduler.h"

#include "PlayClock.h"

#include <algorithm>

namespace fw {

namespace {

    // The weight of a new measurement of the shift grows with the time since the last one: a late
    // block and the burst that catches up after it move the shift by a fraction of a millisecond.
    constexpr std::int64_t ShiftSmoothingUs = 1000000;

} // namespace

SynthScheduler::SynthScheduler(int sampleRate, std::int64_t leadFrames, std::function<std::int64_t()> nowUs)
    : m_sampleRate(sampleRate)
    , m_leadFrames(leadFrames)
    , m_nowUs(nowUs ? std::move(nowUs) : [] { return SteadyPlayClock().nowUs(); })
{
    // The audio thread should not allocate while it holds the lock.
    m_due.reserve(256);
    m_now.reserve(64);
}

void SynthScheduler::setEventTime(std::optional<std::int64_t> timeUs)
{
    const std::lock_guard lock(m_mutex);
    if (!timeUs) {
        m_anchored = false;
        m_shiftKnown = false;
        m_shiftUs = 0;
    }
    m_eventTimeUs = timeUs;
}

void SynthScheduler::send(std::uint32_t message)
{
    const std::lock_guard lock(m_mutex);
    if (!m_eventTimeUs) {
        // No note placed ahead may start after an unscheduled message such as a stop's.
        std::erase_if(m_queue, [](const Event& e) { return (e.message & 0xF0) == 0x90; });
        m_now.push_back(message);
        return;
    }
    if (!m_anchored) {
        m_anchored = true;
        m_originUs = *m_eventTimeUs;
        const std::int64_t earliest = m_rendered + m_leadFrames;
        m_originFrame = (earliest + BlockFrames - 1) / BlockFrames * BlockFrames;
        m_queue.push_back({ m_originFrame, Reset });
    }
    // The same rounding as an offline render of the playback's times.
    const std::int64_t frame = m_originFrame + (*m_eventTimeUs - m_originUs) * m_sampleRate / 1000000;
    m_queue.push_back({ frame, message });
}

std::int64_t SynthScheduler::originFrame() const
{
    const std::lock_guard lock(m_mutex);
    return m_originFrame;
}

std::optional<std::int64_t> SynthScheduler::soundingTimeUs(std::int64_t framesInFlight) const
{
    const std::lock_guard lock(m_mutex);
    if (!m_anchored)
        return std::nullopt;
    const std::int64_t frames = m_rendered - framesInFlight - m_originFrame;
    return m_originUs + frames * 1000000 / m_sampleRate;
}

std::int64_t SynthScheduler::clockShiftUs() const
{
    const std::lock_guard lock(m_mutex);
    return m_shiftUs;
}

bool SynthScheduler::readyForBurst(std::int64_t leadFrames, std::int64_t burstFrames)
{
    const std::lock_guard lock(m_mutex);
    if (leadFrames > m_leadFrames) {
        if (m_shiftKnown)
            m_shiftUs += (leadFrames - m_leadFrames) * 1000000 / m_sampleRate;
        m_leadFrames = leadFrames;
    }
    if (!m_anchored || !m_eventTimeUs)
        return true;
    const std::int64_t sentThrough = m_originFrame + (*m_eventTimeUs - m_originUs) * m_sampleRate / 1000000;
    return sentThrough - m_rendered >= burstFrames + BlockFrames;
}

std::int64_t SynthScheduler::leadFrames() const
{
    const std::lock_guard lock(m_mutex);
    return m_leadFrames;
}

std::int64_t SynthScheduler::renderedFrames() const
{
    const std::lock_guard lock(m_mutex);
    return m_rendered;
}

void SynthScheduler::render(int frames, const std::function<void(int offset, int count)>& renderSpan,
    const std::function<void(std::uint32_t message)>& apply)
{
    std::int64_t start = 0;
    {
        const std::lock_guard lock(m_mutex);
        start = m_rendered;
        const std::int64_t end = start + frames;
        m_due.clear();
        for (std::uint32_t message : m_now)
            m_due.push_back({ start, message });
        m_now.clear();
        // Times only grow, so the due messages are at the front.
        while (!m_queue.empty() && m_queue.front().frame < end) {
            m_due.push_back(m_queue.front());
            m_queue.pop_front();
        }
        m_rendered = end;
        if (m_anchored) {
            const std::int64_t now = m_nowUs();
            const std::int64_t shift
                = m_originUs + (m_rendered + m_leadFrames - m_originFrame) * 1000000 / m_sampleRate - now;
            const std::int64_t since = now - m_shiftMeasuredUs;
            m_shiftUs = m_shiftKnown ? m_shiftUs + (shift - m_shiftUs) * since / (since + ShiftSmoothingUs) : shift;
            m_shiftKnown = true;
            m_shiftMeasuredUs = now;
        }
    }
    int done = 0;
    for (const Event& e : m_due) {
        const int offset = static_cast<int>(std::clamp<std::int64_t>(e.frame - start, done, frames));
        if (offset > done) {
            renderSpan(done, offset - done);
            done = offset;
        }
        apply(e.message);
    }
    if (done < frames)
        renderSpan(done, frames - done);
}

} // namespace fw
