#include "SynthScheduler.h"
#include "PlayClock.h"

#include <gtest/gtest.h>
#include <ostream>
#include <vector>

using namespace fw;

namespace {

struct Applied {
    std::int64_t frame;
    std::uint32_t message;
    friend bool operator==(const Applied&, const Applied&) = default;
    friend void PrintTo(const Applied& a, std::ostream* os)
    {
        *os << a.frame << ":" << std::hex << a.message << std::dec;
    }
};

// Renders frames in blocks of the given size and notes the frame each message is applied at.
class FakeSynth {
public:
    FakeSynth(SynthScheduler& scheduler, int blockFrames)
        : m_scheduler(scheduler)
        , m_block(blockFrames)
    {
    }
    void renderBlocks(int count)
    {
        for (int i = 0; i < count; ++i) {
            std::int64_t position = m_start;
            m_scheduler.render(
                m_block, [&](int offset, int frames) { position = m_start + offset + frames; },
                [&](std::uint32_t message) {
                    applied.push_back({ position, message });
                });
            m_start += m_block;
        }
    }
    std::vector<Applied> applied;

private:
    SynthScheduler& m_scheduler;
    int m_block;
    std::int64_t m_start = 0;
};

constexpr std::uint32_t On = 0x7F1C90, Off = 0x1C80, Program = 0x21C0;

// Every note-on sent (at these times from the first) was applied at the frame its time gives, after
// the reset at the origin, and more than atLeast of them; the last ones may still wait for their frames.
void ExpectEveryNoteAtItsFrame(
    const SynthScheduler& scheduler, const FakeSynth& synth, const std::vector<std::int64_t>& sentUs, size_t atLeast)
{
    const std::int64_t origin = scheduler.originFrame();
    std::vector<Applied> expected { { origin, SynthScheduler::Reset } };
    for (std::int64_t timeUs : sentUs)
        expected.push_back({ origin + timeUs * 44100 / 1'000'000, On });
    std::vector<Applied> applied = synth.applied;
    applied.resize(std::min(applied.size(), expected.size()));
    expected.resize(applied.size());
    EXPECT_GT(expected.size(), atLeast);
    EXPECT_EQ(applied, expected);
}

} // namespace

// Whatever the audio block size, a playback's messages land at the frames its times give, counted
// from a block-aligned origin one lead ahead of the audio, where the synthesizer is reset first.
TEST(SynthScheduler, PlacesEveryMessageAtItsOwnFrameWhateverTheBlockSize)
{
    for (const int block : { 37, 64, 128, 1000 }) {
        SCOPED_TRACE(block);
        SynthScheduler scheduler(44100, 441);
        FakeSynth synth(scheduler, block);
        synth.renderBlocks(3);
        const std::int64_t rendered = scheduler.renderedFrames();
        const std::int64_t startUs = 5'000'123;
        scheduler.setEventTime(startUs);
        scheduler.send(Program);
        scheduler.send(On);
        scheduler.setEventTime(startUs + 125'000); // a thirty-second at tempo 60
        scheduler.send(Off);
        scheduler.send(On);
        scheduler.setEventTime(startUs + 1'000'001);
        scheduler.send(Off);
        scheduler.setEventTime(std::nullopt);
        const std::int64_t origin = scheduler.originFrame();
        EXPECT_EQ(origin % 64, 0);
        EXPECT_GE(origin, rendered + 441);
        EXPECT_LT(origin, rendered + 441 + 64);
        synth.renderBlocks(60000 / block + 1);
        const std::vector<Applied> expected { { origin, SynthScheduler::Reset }, { origin, Program }, { origin, On },
            { origin + 5512, Off }, { origin + 5512, On }, { origin + 44100, Off } };
        EXPECT_EQ(synth.applied, expected);
    }
}

// A stop sends its note-offs without a time: they act at the next block, and a note placed ahead
// that has not started yet never starts.
TEST(SynthScheduler, UntimedMessagesActAtOnceAndCancelNotesPlacedAhead)
{
    SynthScheduler scheduler(44100, 4410);
    FakeSynth synth(scheduler, 100);
    scheduler.setEventTime(0);
    scheduler.send(On);
    synth.renderBlocks(50); // past the first note's frame, 4416
    // The frame heard now, 584 frames behind the last one rendered, is the one placed for time 0.
    EXPECT_EQ(scheduler.soundingTimeUs(584), 0);
    EXPECT_EQ(scheduler.soundingTimeUs(0), 13242);
    scheduler.setEventTime(200'000);
    scheduler.send(Off);
    scheduler.send(On);
    scheduler.setEventTime(std::nullopt);
    scheduler.send(Off);
    synth.renderBlocks(200);
    // Nothing is placed once a stop has ended the playback's times.
    EXPECT_EQ(scheduler.soundingTimeUs(0), std::nullopt);
    const std::vector<Applied> expected { { 4416, SynthScheduler::Reset }, { 4416, On }, { 5000, Off },
        { 4416 + 8820, Off } };
    EXPECT_EQ(synth.applied, expected);
}

// An audio clock 0.3% fast or slow against the player's drifts 180 ms from it in a minute: a player
// that follows the scheduler's shift still sends every note before its frame is rendered, so the
// last note starts at its own frame as the first does.
TEST(SynthScheduler, APlayerFollowingTheShiftKeepsAheadOfAnAudioClockThatDrifts)
{
    for (const int ppm : { -3000, 0, 3000 }) {
        SCOPED_TRACE(ppm);
        InstantPlayClock wall;
        SynthScheduler scheduler(44100, 441, [&wall] { return wall.nowUs(); });
        ShiftedPlayClock player(wall, [&scheduler] { return scheduler.clockShiftUs(); });
        FakeSynth synth(scheduler, 128);
        synth.renderBlocks(10);
        EXPECT_EQ(scheduler.clockShiftUs(), 0);
        const std::int64_t stepUs = 250'000;
        std::int64_t nextUs = player.nowUs();
        const std::int64_t startUs = nextUs;
        std::vector<std::int64_t> sent;
        // The player wakes up for its deadlines within the blocks of the audio, each a block long
        // on the audio clock and a little longer or shorter on the player's.
        for (int block = 0; block < 60 * 44100 / 128; ++block) {
            while (player.nowUs() >= nextUs) {
                scheduler.setEventTime(nextUs);
                scheduler.send(On);
                sent.push_back(nextUs - startUs);
                nextUs += stepUs;
            }
            synth.renderBlocks(1);
            wall.sleepUntil((block + 1) * 128LL * (1'000'000 - ppm) / 44100);
        }
        ExpectEveryNoteAtItsFrame(scheduler, synth, sent, 230);
        // The player's clock has moved by the drift, as it was about a second ago (the smoothing),
        // give or take a block (measured as each block is done).
        EXPECT_NEAR(player.nowUs() - wall.nowUs(), ppm * 59, 4000);
    }
}

// After underruns the output's buffer grows by three periods at a time, and each growth renders the
// extra periods at once: more than the lead here, and more than the time between two notes. Every
// note still starts at its own frame: the lead grows with the buffer, the player moves ahead at
// once, and the burst waits until the player has sent everything it renders.
TEST(SynthScheduler, ABufferThatGrowsDuringAPlaybackRendersOnlyWhatThePlayerHasSent)
{
    constexpr int Period = 128, Lead = 100;
    InstantPlayClock wall;
    SynthScheduler scheduler(44100, Lead, [&wall] { return wall.nowUs(); });
    ShiftedPlayClock player(wall, [&scheduler] { return scheduler.clockShiftUs(); });
    FakeSynth synth(scheduler, Period);
    synth.renderBlocks(3);
    int buffer = 3 * Period;
    int wanted = buffer;
    int growths = 0;
    const std::int64_t stepUs = 5000;
    std::int64_t nextUs = player.nowUs();
    const std::int64_t startUs = nextUs;
    std::vector<std::int64_t> sent;
    for (int block = 0; block < 10 * 44100 / Period; ++block) {
        // The player sends what is due, then names the deadline it waits for.
        while (player.nowUs() >= nextUs) {
            scheduler.setEventTime(nextUs);
            scheduler.send(On);
            sent.push_back(nextUs - startUs);
            nextUs += stepUs;
            scheduler.setEventTime(nextUs);
        }
        // An underrun every second, until the buffer holds 14 periods.
        if (block % 344 == 100 && wanted == buffer)
            wanted = std::min(buffer + 3 * Period, 14 * Period);
        if (wanted > buffer && scheduler.readyForBurst(Lead + wanted - 3 * Period, wanted - buffer)) {
            synth.renderBlocks((wanted - buffer) / Period);
            buffer = wanted;
            ++growths;
        }
        synth.renderBlocks(1);
        // The audio is heard a buffer behind what was rendered.
        wall.sleepUntil((scheduler.renderedFrames() - buffer) * 1'000'000 / 44100);
    }
    EXPECT_EQ(growths, 4);
    EXPECT_EQ(buffer, 14 * Period);
    EXPECT_EQ(scheduler.leadFrames(), Lead + 11 * Period);
    ExpectEveryNoteAtItsFrame(scheduler, synth, sent, 1900);
}
