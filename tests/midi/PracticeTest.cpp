#include "Practice.h"
#include "PlayerTestSupport.h"

#include <gtest/gtest.h>

using namespace fw;
using namespace fw::test;

namespace {

constexpr unsigned char ClickKey = Player::CountOffNote - 12;

struct Heard {
    std::vector<int> bassOnsMs;
    std::vector<std::pair<int, int>> clickOnsMs; // time and velocity
    int lastMs = 0;
    int sounding = 0;
};

Heard Listen(const QList<TimedMessage>& messages)
{
    Heard heard;
    for (const TimedMessage& m : messages) {
        const int ms = static_cast<int>(m.timeUs / 1000);
        if ((m.status() & 0xF0) == 0x90) {
            ++heard.sounding;
            if (m.data1() == ClickKey)
                heard.clickOnsMs.emplace_back(ms, m.data2());
            else
                heard.bassOnsMs.push_back(ms);
        } else if ((m.status() & 0xF0) == 0x80) {
            --heard.sounding;
        }
        heard.lastMs = ms;
    }
    return heard;
}

} // namespace

TEST(PracticePlan, PassTemposRiseByTheStepToTheTargetRoundedDown)
{
    struct Case {
        PracticePlan plan;
        int tempo;
        std::vector<int> tempos;
    };
    const Case cases[] {
        { { 60, 5, 1, 100, false }, 120, { 72, 78, 84, 90, 96, 102, 108, 114, 120 } },
        { { 50, 30, 2, 100, false }, 97, { 48, 48, 77, 77, 97, 97 } }, // the last raise stops at the target
        { { 100, 5, 3, 100, false }, 120, { 120, 120, 120 } },
        { { 150, 50, 1, 400, false }, 200, { 300, 400, 500, 500, 500, 500 } }, // never above the fastest tempo
        { { 1, 1, 1, 1, false }, 50, { 1 } }, // never below the slowest
        { { 80, 5, 2, 70, false }, 120, {} }, // start above the target: refused
        { { 60, 0, 2, 100, false }, 120, {} },
        { { 60, 5, 0, 100, false }, 120, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.plan.startPercent << ":" << c.plan.stepPercent << ":" << c.plan.passes
                                        << ":" << c.plan.targetPercent);
        EXPECT_EQ(PassTempos(c.plan, c.tempo), c.tempos);
        EXPECT_EQ(PracticePlanError(c.plan).isEmpty(), !c.tempos.empty());
    }
    EXPECT_EQ(ParsePracticePlan(QStringLiteral("60:5:2:100")), (PracticePlan { 60, 5, 2, 100, false }));
    EXPECT_FALSE(ParsePracticePlan(QStringLiteral("60:5:2")));
    EXPECT_FALSE(ParsePracticePlan(QStringLiteral("60:5:x:100")));
}

// One count-off at the first pass's tempo, then every pass at its tempo, each quarter clicked and
// the first of each bar of four louder; the document's tempo is shown again at the end.
TEST(PracticeRun, PassesFollowThePlanWithOneCountOffAndMetronomeClicks)
{
    PlayerRig rig({ "*Count Off 2", "G, 3, x, x, x, Q", "", "B, x, 2, x, x, H" });
    rig.player.PlayPractice({ 50, 25, 2, 100, true });
    EXPECT_TRUE(rig.window.boxes.isEmpty());
    EXPECT_EQ(rig.window.practiceTempos, (std::vector<int> { 60, 60, 90, 90, 120, 120, 120 }));
    EXPECT_EQ(rig.window.controls, (std::vector<bool> { false, true }));
    EXPECT_EQ(rig.window.caption, QStringLiteral("Play"));
    EXPECT_EQ(rig.editor.lineText(1), QStringLiteral("G, 3, x, x, x, Q"));

    // Quarters: 1000 ms at 60, 666 at 90, 500 at 120; each pass is a quarter and a half.
    const Heard heard = Listen(rig.recorder.messages);
    EXPECT_EQ(heard.bassOnsMs,
        (std::vector<int> { 2000, 3000, 5000, 6000, 8000, 8666, 9998, 10664, 11996, 12496, 13496, 13996 }));
    const std::vector<std::pair<int, int>> clicks { { 0, 127 }, { 1000, 127 }, // the count-off
        { 2000, 127 }, { 3000, 80 }, { 4000, 80 }, { 5000, 127 }, { 6000, 80 }, { 7000, 80 }, { 8000, 127 },
        { 8666, 80 }, { 9332, 80 }, { 9998, 127 }, { 10664, 80 }, { 11330, 80 }, { 11996, 127 }, { 12496, 80 },
        { 12996, 80 }, { 13496, 127 }, { 13996, 80 }, { 14496, 80 } };
    EXPECT_EQ(heard.clickOnsMs, clicks);
    EXPECT_EQ(heard.lastMs, 14996);
    EXPECT_EQ(heard.sounding, 0);
}

TEST(PracticeRun, StopEndsTheRunAtOnceWithEveryNoteEnded)
{
    PlayerRig rig({ "G, 3, x, x, x, Q", "B, x, 2, x, x, H", "C, x, 3, x, x, Q", "D, x, 5, x, x, Q" });
    rig.editor.setSelection(0, 34); // the first two lines
    rig.pressPlayAt(6'500'000);
    rig.player.PlayPractice({ 50, 10, 3, 100, true });
    const Heard heard = Listen(rig.recorder.messages);
    EXPECT_EQ(heard.sounding, 0);
    EXPECT_EQ(heard.lastMs, 6500);
    // The highlighted lines only: G and B, three passes of 3000 ms at tempo 60.
    EXPECT_EQ(heard.bassOnsMs, (std::vector<int> { 0, 1000, 3000, 4000, 6000 }));
    EXPECT_EQ(rig.window.practiceTempos, (std::vector<int> { 60, 60, 60, 120 }));
    EXPECT_EQ(rig.window.caption, QStringLiteral("Play"));
    EXPECT_FALSE(rig.player.IsPlaying());
    EXPECT_EQ(rig.editor.selectionLength(), 34);
}

// With a time line the metronome counts each bar in its own time from the bar's start, its first
// beat louder: 3/4 in quarters, 6/8 in two dotted quarters. The count-off clicks the first bar's beat.
TEST(PracticeRun, MetronomeAndCountOffCountTheBarsTime)
{
    const struct {
        QStringList lines;
        std::vector<std::pair<int, int>> clicks;
    } cases[] = {
        { { "* Time: 3/4", "*Count Off 2", "G, 3, x, x, x, .H", "", "* Time: 6/8", "E, 0, x, x, x, .H" },
            { { 0, 127 }, { 500, 127 }, { 1000, 127 }, { 1500, 80 }, { 2000, 80 }, { 2500, 127 }, { 3250, 80 } } },
        { { "* Time: 6/8", "*Count Off 2", "E, 0, x, x, x, .Q", "E, 0, x, x, x, .Q", "", "E, 0, x, x, x, .Q" },
            { { 0, 127 }, { 750, 127 }, { 1500, 127 }, { 2250, 80 }, { 3000, 127 } } },
    };
    for (const auto& c : cases) {
        PlayerRig rig(c.lines);
        rig.player.PlayPractice({ 100, 5, 1, 100, true });
        EXPECT_TRUE(rig.window.boxes.isEmpty());
        const Heard heard = Listen(rig.recorder.messages);
        EXPECT_EQ(heard.clickOnsMs, c.clicks) << c.lines.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(heard.sounding, 0);
    }
}

// The speed trainer sounds every string of the tuning: the high G of a five-string bass sits in slot 2.
TEST(PracticeRun, EveryStringOfAFiveStringBassSounds)
{
    PlayerRig rig({ "* Tuning: B E A D G", "Chord, 0, x, x, x, 0, Q" });
    rig.player.PlayPractice({ 100, 5, 1, 100, false });
    EXPECT_TRUE(rig.window.boxes.isEmpty());
    // Low B (35) and the G string (55), an octave down.
    EXPECT_EQ(Log(rig.recorder.messages),
        (std::vector<std::string> { "0.000 C0 73 00", "0.000 C0 21 00", "0.000 90 2B 7F", "0.000 90 17 7F",
            "500.000 80 2B 00", "500.000 80 17 00" }));
}
