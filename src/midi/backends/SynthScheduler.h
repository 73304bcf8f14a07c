#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace fw {

// Places the messages of a playback on the synthesizer's own sample clock, so that every note
// starts at the sample its playback time gives, whatever the size of the audio blocks.
//
// The player names the playback time the messages it sends now belong to (setEventTime); the
// first such time of a playback is mapped to a frame a lead ahead of what the audio output has
// rendered, rounded up to the synthesizer's internal block of 64 frames (as an offline render
// starting at frame 0 is), and every later time to that frame plus its distance in frames. The
// audio thread (render) applies each message at its exact offset inside the block it renders.
// Messages without a playback time (previews, a stop) take effect at the start of the next block;
// note-ons still waiting are dropped then, so a stop starts no note after it.
//
// The audio clock runs a little fast or slow against the player's, so with the anchor alone the
// messages of a long playback would come later and later against the audio, and at last after
// their frames were rendered. After every block, the scheduler measures how far the playback time
// due a lead ahead of the audio has moved from the player's clock (clockShiftUs), and the player
// follows it.
class SynthScheduler {
public:
    // Stands for the release of every sounding note (the end of a sounding action).
    static constexpr std::uint32_t AllNotesOff = 0xFFFFFFFFu;
    // Stands for a return of the synthesizer to the state it is made in (its effects included),
    // placed at the origin of every playback, so a playback sounds as an offline render does.
    static constexpr std::uint32_t Reset = 0xFFFFFFFEu;
    // Stands for cutting every sound at once, releases included (a stop).
    static constexpr std::uint32_t AllSoundsOff = 0xFFFFFFFDu;
    static constexpr std::int64_t BlockFrames = 64;

    // nowUs: the player's clock (the system's monotonic clock when not given).
    SynthScheduler(int sampleRate, std::int64_t leadFrames, std::function<std::int64_t()> nowUs = {});

    // Called by the sending thread.
    void setEventTime(std::optional<std::int64_t> timeUs);
    void send(std::uint32_t message);
    // The frame the first message of the running playback sounds at; -1 before one.
    std::int64_t originFrame() const;
    // The playback time of the frame leaving the audio output now, framesInFlight behind the last
    // one rendered; none while no playback is placed.
    std::optional<std::int64_t> soundingTimeUs(std::int64_t framesInFlight) const;
    // See MidiBackend::clockShiftUs; 0 until the audio thread has rendered a block of the playback.
    std::int64_t clockShiftUs() const;
    // Called by the audio thread before its output renders burstFrames more than usual at once (its
    // buffer grows): raises the lead to leadFrames, so that a running playback's shift steps by the
    // difference and the player sends that much earlier from now on, and tells whether every message
    // of the burst's frames has been sent, so that it may be rendered now. The player sends nothing
    // for a time before the one it named last.
    bool readyForBurst(std::int64_t leadFrames, std::int64_t burstFrames);
    std::int64_t leadFrames() const;

    // Called by the audio thread for each block: renderSpan(offset, count) renders count frames at
    // offset inside the block, apply(message) hands a message to the synthesizer.
    void render(int frames, const std::function<void(int offset, int count)>& renderSpan,
        const std::function<void(std::uint32_t message)>& apply);
    std::int64_t renderedFrames() const;

private:
    struct Event {
        std::int64_t frame;
        std::uint32_t message;
    };

    const int m_sampleRate;
    std::int64_t m_leadFrames;
    const std::function<std::int64_t()> m_nowUs;
    mutable std::mutex m_mutex;
    std::deque<Event> m_queue;
    std::vector<std::uint32_t> m_now;
    std::vector<Event> m_due;
    std::optional<std::int64_t> m_eventTimeUs;
    bool m_anchored = false;
    std::int64_t m_originUs = 0;
    std::int64_t m_originFrame = -1;
    std::int64_t m_rendered = 0;
    bool m_shiftKnown = false;
    std::int64_t m_shiftUs = 0;
    std::int64_t m_shiftMeasuredUs = 0;
};

} // namespace fw
