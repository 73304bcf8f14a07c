#include "Performance.h"
#include "PlayerTestSupport.h"
#include "WavRender.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace fw;
using namespace fw::test;
using testing::ElementsAreArray;

namespace {

// What Play "All" sends for the lines at tempo 120 (a quarter is 500 ms), after the program changes
// every playback starts with: the messages play --events lists and the WAV render sounds.
std::vector<std::string> Played(const QStringList& lines)
{
    const RecordedPlayback playback = RecordPlayback(lines, 120, 33);
    EXPECT_TRUE(playback.errors.isEmpty()) << playback.errors.join(QLatin1Char('\n')).toStdString();
    std::vector<std::string> log = Log(playback.messages);
    return std::vector<std::string>(log.begin() + std::min<size_t>(3, log.size()), log.end());
}

// Pitch-bend sensitivity of 24 semitones on a channel, as a string's own channel starts.
std::vector<std::string> BendRange(const char* channel)
{
    std::vector<std::string> lines;
    for (const char* data : { "65 00", "64 00", "06 18", "26 00", "65 7F", "64 7F" })
        lines.push_back(std::string("0.000 B") + channel + " " + data);
    return lines;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Bend {
    double ms;
    int value;
};

// The pitch bends of a playback on a channel, in order.
std::vector<Bend> Bends(const QStringList& lines, unsigned char status)
{
    std::vector<Bend> bends;
    for (const TimedMessage& m : RecordPlayback(lines, 120, 33).messages) {
        if (m.status() == status)
            bends.push_back({ m.timeUs / 1000.0, m.data1() | m.data2() << 7 });
    }
    return bends;
}

} // namespace

// Keys are an octave below the note values: the open E string sounds 1C, the A string 21.
TEST(MarkedPlayback, EachMarkSoundsWithItsVelocityLengthKeyAndChannel)
{
    const struct {
        const char* what;
        QStringList lines;
        std::vector<std::string> heard;
    } cases[] = {
        { "ghost notes soft, dead notes short and muted at the open string's key",
            { "A, x, (5), x, x, Q", "X, m, x, x, x, Q", "X, x, 3m, x, x, Q" },
            { "0.000 90 26 2D", "500.000 80 26 00", "500.000 90 1C 46", "560.000 80 1C 00", "1000.000 90 24 46",
                "1060.000 80 24 00" } },
        { "accents at full velocity over the other notes at 100", { "E, 0, x, x, x, Q, accent", "E, 0, x, x, x, Q" },
            { "0.000 90 1C 7F", "500.000 80 1C 00", "500.000 90 1C 64", "1000.000 80 1C 00" } },
        { "palm mute softer and half as long, staccato half as long, tap softer",
            { "E, 0, x, x, x, Q, pm", "E, 0, x, x, x, Q, staccato", "E, 0, x, x, x, Q, tap" },
            { "0.000 90 1C 5F", "250.000 80 1C 00", "500.000 90 1C 7F", "750.000 80 1C 00", "1000.000 90 1C 65",
                "1500.000 80 1C 00" } },
        { "harmonics at their sounding pitch: an octave at 12, an octave and a fifth at 7", { "H, <12>, x, x, <7>, Q" },
            { "0.000 90 3E 7F", "0.000 90 28 7F", "500.000 80 3E 00", "500.000 80 28 00" } },
        { "let ring holds the E string over the A string's note until the E string plays again",
            { "E, 0, x, x, x, E, lr", "B, x, 2, x, x, E", "G, 3, x, x, x, Q" },
            { "0.000 90 1C 7F", "250.000 90 23 7F", "500.000 80 23 00", "500.000 80 1C 00", "500.000 90 1F 7F",
                "1000.000 80 1F 00" } },
        { "a tie across a bar line is one note for both lengths", { "G, 3_, x, x, x, Q", "", "G, 3, x, x, x, H" },
            { "0.000 90 1F 7F", "1500.000 80 1F 00" } },
        { "slap and pop on Slap Bass 1 and 2, each on a channel of its own; the chosen sound stays",
            { "E, 0, x, x, x, Q, slap", "E, x, x, 2, x, Q, pop", "E, 0, x, x, x, Q" },
            { "0.000 C1 24 00", "0.000 E1 00 40", "0.000 B1 01 00", "0.000 B1 44 00", "0.000 C2 25 00",
                "0.000 E2 00 40", "0.000 B2 01 00", "0.000 B2 44 00", "0.000 91 1C 7F", "500.000 81 1C 00",
                "500.000 92 28 7F", "1000.000 82 28 00", "1000.000 90 1C 7F", "1500.000 80 1C 00" } },
        { "a hammer-on starts the next note before the first ends, legato on the string's own channel",
            { "A, x, 0h, x, x, E", "B, x, 2, x, x, E" },
            BendRange("1")
                + std::vector<std::string> { "0.000 B1 44 7F", "0.000 C1 21 00", "0.000 E1 00 40", "0.000 B1 01 00",
                    "0.000 91 21 7F", "250.000 91 23 65", "250.000 81 21 00", "500.000 81 23 00" } },
        { "vibrato is the modulation wheel over the note; plain notes stay on the base channel",
            { "Chord, 0, 5~, x, x, Q" },
            BendRange("1")
                + std::vector<std::string> { "0.000 B1 44 00", "0.000 C1 21 00", "0.000 E1 00 40", "0.000 B1 01 40",
                    "0.000 91 26 7F", "0.000 90 1C 7F", "500.000 81 26 00", "500.000 80 1C 00" } },
    };
    for (const auto& c : cases)
        EXPECT_THAT(Played(c.lines), ElementsAreArray(c.heard)) << c.what;
}

// Slides and bends are pitch-bend ramps on the string's channel: up to the next fret's pitch over
// the end of the note, which then sounds without a new attack; from 3 semitones below; off the note
// by 5 semitones as it ends; up a whole tone over the first half of the note.
TEST(MarkedPlayback, SlidesAndBendsRampThePitchBend)
{
    const int centre = sound::BendCentre;
    {
        const std::vector<Bend> slide = Bends({ "A, x, 5/, x, x, Q", "B, x, 7, x, x, Q" }, 0xE1);
        ASSERT_GE(slide.size(), 10u);
        EXPECT_EQ(slide.front().value, centre);
        for (size_t i = 2; i + 1 < slide.size(); ++i) {
            EXPECT_GT(slide[i].value, slide[i - 1].value);
            EXPECT_GE(slide[i].ms, 300.0);
        }
        EXPECT_LT(slide[slide.size() - 2].value, PitchBendValue(2));
        EXPECT_GT(slide[slide.size() - 2].value, PitchBendValue(1.8));
        EXPECT_EQ(slide.back().ms, 500.0);
        EXPECT_EQ(slide.back().value, centre);
        EXPECT_THAT(Played({ "A, x, 5/, x, x, Q", "B, x, 7, x, x, Q" }),
            testing::IsSupersetOf({ "500.000 91 28 65", "500.000 81 26 00", "1000.000 81 28 00" }));
    }
    {
        const std::vector<Bend> in = Bends({ "A, x, /5, x, x, Q" }, 0xE1);
        ASSERT_GE(in.size(), 2u);
        EXPECT_EQ(in.front().ms, 0.0);
        EXPECT_EQ(in.front().value, PitchBendValue(-3));
        EXPECT_EQ(in.back().ms, 100.0);
        EXPECT_EQ(in.back().value, centre);
    }
    {
        const std::vector<Bend> out = Bends({ "A, x, 5\\, x, x, Q" }, 0xE1);
        ASSERT_GE(out.size(), 2u);
        EXPECT_EQ(out[1].ms, 310.0);
        EXPECT_EQ(out.back().ms, 500.0);
        EXPECT_EQ(out.back().value, PitchBendValue(-5));
    }
    {
        const std::vector<Bend> bend = Bends({ "A, x, 5b7, x, x, Q" }, 0xE1);
        ASSERT_GE(bend.size(), 2u);
        EXPECT_EQ(bend.back().ms, 250.0);
        EXPECT_EQ(bend.back().value, PitchBendValue(2));
    }
}
