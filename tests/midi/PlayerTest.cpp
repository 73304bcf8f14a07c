#include "PlayerTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace fw;
using namespace fw::test;
using testing::ElementsAre;

namespace {

std::vector<std::int64_t> NoteOnTimes(const QList<TimedMessage>& messages)
{
    std::vector<std::int64_t> times;
    for (const TimedMessage& m : messages) {
        if ((m.status() & 0xF0) == 0x90)
            times.push_back(m.timeUs);
    }
    return times;
}

} // namespace

TEST(PlayerSequence, AllWithCountOffSendsClicksThenNotesInSlotOrder)
{
    PlayerRig rig({ "*Count Off 2", "Chord, 0, 0, 0, 0, Q", "", "Chord, 3, 5, x, x, E" });
    rig.player.PlayToggle();

    EXPECT_TRUE(rig.window.boxes.isEmpty());
    EXPECT_THAT(Log(rig.recorder.messages),
        ElementsAre("0.000 C0 73 00", // woodblock
            "0.000 90 6C 7F", "500.000 80 6C 00", "500.000 90 6C 7F", "1000.000 80 6C 00",
            "1000.000 C0 21 00", // back to the bass
            "1000.000 C0 21 00", // start of the range
            // G, D, A, Low E strings in that order, one octave down
            "1000.000 90 2B 7F", "1000.000 90 26 7F", "1000.000 90 21 7F", "1000.000 90 1C 7F", "1500.000 80 2B 00",
            "1500.000 80 26 00", "1500.000 80 21 00", "1500.000 80 1C 00", "1500.000 90 26 7F", "1500.000 90 1F 7F",
            "1750.000 80 26 00", "1750.000 80 1F 00"));
    EXPECT_EQ(rig.recorder.openCount, 2);
    EXPECT_EQ(rig.recorder.closeCount, 2);
    EXPECT_EQ(rig.window.caption, "Play");
    EXPECT_THAT(rig.window.controls, ElementsAre(false, true));
    EXPECT_FALSE(rig.player.StopRequested);
    EXPECT_EQ(rig.window.chordName, "Blank Line"); // the caret line (count-off) is shown again afterwards
}

TEST(PlayerSequence, ChannelNineUsesDrumStatusBytes)
{
    PlayerRig rig({ "E, 0, x, x, x, Q" });
    rig.port.Channel = 9;
    rig.player.PlayToggle();
    EXPECT_THAT(Log(rig.recorder.messages),
        ElementsAre("0.000 C9 73 00", "0.000 C9 21 00", "0.000 C9 21 00", "0.000 99 1C 7F", "500.000 89 1C 00"));
}

TEST(PlayerSequence, HeldOpenPortIsNeverOpenedOrClosedByPlaying)
{
    PlayerRig rig({ "E, 0, x, x, x, Q" });
    rig.port.MidiHeldOpen = true;
    QString error;
    rig.port.OpenMidiOut(error);
    rig.player.PlayToggle();
    rig.player.soundNotes(NoNotes, 250);
    EXPECT_EQ(rig.recorder.openCount, 1);
    EXPECT_EQ(rig.recorder.closeCount, 0);
    EXPECT_EQ(rig.recorder.messages.size(), 6);
}

TEST(PlayerSequence, UnopenablePortPlaysSilentlyWithFullTiming)
{
    PlayerRig rig({ "E, 0, x, x, x, W", "E, 0, x, x, x, H" });
    rig.recorder.openResult = MidiResult::NoPort;
    rig.player.PlayToggle();
    EXPECT_TRUE(rig.recorder.messages.isEmpty());
    EXPECT_TRUE(rig.window.boxes.isEmpty());
    EXPECT_EQ(rig.clock.now, 3000000);
    EXPECT_EQ(rig.window.markers.size(), 3u); // both entries, then the caret line again
}

TEST(PlayerTiming, LengthsFollowTheTempo)
{
    struct Case {
        int tempo;
        const char* duration;
        std::int64_t ms;
    };
    const Case cases[] = { { 120, "Q", 500 }, { 120, ".Q", 750 }, { 120, "/Q", 166 }, { 120, "F", 31 },
        { 120, "/F", 10 }, { 120, "W", 2000 }, { 500, "W", 480 }, { 60, "Q", 1000 }, { 7, "Q", 8571 } };
    for (const Case& c : cases) {
        PlayerRig rig({ QStringLiteral("E, 0, x, x, x, %1").arg(QLatin1String(c.duration)) });
        rig.window.tempoValue = c.tempo;
        rig.player.PlayToggle();
        ASSERT_EQ(rig.recorder.messages.size(), 5) << c.duration;
        EXPECT_EQ(rig.recorder.messages[4].timeUs - rig.recorder.messages[3].timeUs, c.ms * 1000)
            << "tempo " << c.tempo << " " << c.duration;
    }
}

TEST(PlayerTiming, NoteStartsDoNotDriftWhenWakeUpsComeLate)
{
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("E, 0, x, x, x, %1").arg(i % 2 ? "S" : "/T");
    PlayerRig rig(lines);
    rig.clock.lateUs = 300;
    rig.player.PlayToggle();

    const std::vector<std::int64_t> starts = NoteOnTimes(rig.recorder.messages);
    ASSERT_EQ(starts.size(), 200u);
    std::int64_t idealMs = 0;
    for (size_t i = 0; i < starts.size(); ++i) {
        EXPECT_LE(std::abs(starts[i] - idealMs * 1000), 300) << "note " << i;
        idealMs += i % 2 ? 125 : 20;
    }
}

TEST(PlayerTiming, PumpingWaitsHandInputOftenAndPreviewsNever)
{
    PlayerRig rig({ "E, 0, x, x, x, Q" });
    rig.player.PlayToggle();
    // A 500 ms note in slices of at most 2 ms; the last 2 ms before the deadline are approached without pumping.
    EXPECT_GE(rig.window.pumpCount, 249);

    const int pumpsBefore = rig.window.pumpCount;
    rig.player.PreviewLine(0);
    EXPECT_EQ(rig.window.pumpCount, pumpsBefore);
}

TEST(PlayerStop, StopMidNoteSendsItsNoteOffsAndEndsPlayback)
{
    PlayerRig rig({ "Chord, 0, 0, x, x, W", "E, 0, x, x, x, W" });
    rig.pressPlayAt(700000);
    rig.player.PlayToggle();

    EXPECT_THAT(Log(rig.recorder.messages),
        ElementsAre("0.000 C0 73 00", "0.000 C0 21 00", "0.000 C0 21 00", "0.000 90 21 7F", "0.000 90 1C 7F",
            "700.000 80 21 00", "700.000 80 1C 00"));
    EXPECT_EQ(rig.window.caption, "Play");
    EXPECT_FALSE(rig.player.StopRequested);
    EXPECT_THAT(rig.window.controls, ElementsAre(false, true));
    EXPECT_EQ(rig.recorder.closeCount, 2);
    // Told to cut the sound too, where the device can (the synthesizer's releases).
    EXPECT_EQ(rig.recorder.silenceCount, 1);
}

// With a device that plays ahead on its own audio clock, an entry's name, markers and trace wait
// until the device says its sound is heard, while every message leaves at the time it leaves for a
// MIDI port.
TEST(PlayerDisplay, EntriesShowWhenTheAudioClockReachesThemWhileMessagesKeepTheirTimes)
{
    const QStringList lines { "A, x, x, 0, x, Q", "B, x, 2, x, x, /F", "C, x, 3, x, x, E", "D, x, 5, x, x, Q",
        "E, x, x, 2, x, /F" };
    // Entry times at tempo 120 (the last one ends at 1270 ms).
    const std::vector<std::pair<std::int64_t, QString>> entries { { 0, "A" }, { 500000, "B" }, { 510000, "C" },
        { 760000, "D" }, { 1260000, "E" } };
    PlayerRig port(lines);
    port.window.trace = true;
    port.player.PlayToggle();

    PlayerRig rig(lines);
    rig.window.trace = true;
    // The sound heard runs 19 ms behind the player, stands still from 770 to 900 ms (an output that
    // stalls: the entry due then is shown 100 ms late anyway), then runs 40 ms behind, so the last
    // entry is heard only after the playback's end.
    auto heardAt = [](std::int64_t now) { return now < 770000 ? now - 19000 : now < 900000 ? 751000 : now - 40000; };
    rig.recorder.audioClock = [&] { return heardAt(rig.clock.now); };
    int checks = 0;
    rig.window.onPump = [&] {
        QString expected;
        int line = 0;
        for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
            if (heardAt(rig.clock.now) >= entries[i].first || rig.clock.now - entries[i].first > Player::MaxLateUs) {
                expected = entries[i].second;
                line = i;
            }
        }
        EXPECT_EQ(rig.window.chordName, expected) << "at " << rig.clock.now << " us";
        EXPECT_EQ(rig.editor.currentLine(), line) << "at " << rig.clock.now << " us";
        ++checks;
    };
    rig.player.PlayToggle();

    EXPECT_GT(checks, 600);
    // Every entry shown in turn, the last one too, then the caret's line as after any playback.
    EXPECT_EQ(rig.window.markers, port.window.markers);
    EXPECT_EQ(rig.window.markers.size(), entries.size() + 1);
    EXPECT_EQ(rig.recorder.messages, port.recorder.messages);
    EXPECT_EQ(rig.recorder.silenceCount, 0);
}

TEST(PlayerStop, StopDuringCountOffEndsTheClicks)
{
    PlayerRig rig({ "*Count Off 4", "E, 0, x, x, x, Q" });
    rig.pressPlayAt(100000);
    rig.player.PlayToggle();
    EXPECT_THAT(Log(rig.recorder.messages),
        ElementsAre("0.000 C0 73 00", "0.000 90 6C 7F", "100.000 80 6C 00", "100.000 C0 21 00", "100.000 C0 21 00"));
}

TEST(PlayerStop, LoopRepeatsWithoutCountOffUntilStopped)
{
    PlayerRig rig({ "*Count Off 1", "E, 0, x, x, x, Q", "A, x, 0, x, x, Q" });
    rig.window.loop = true;
    rig.pressPlayAt(2700000); // count-off 500 ms, passes of 1000 ms: stops in the third pass's first note
    rig.player.PlayToggle();

    int woodblockChanges = 0;
    for (const TimedMessage& m : rig.recorder.messages)
        woodblockChanges += m.status() == 0xC0 && m.data1() == 115;
    EXPECT_EQ(woodblockChanges, 1);
    EXPECT_THAT(NoteOnTimes(rig.recorder.messages),
        ElementsAre(0, 500000, 1000000, 1500000, 2000000, 2500000)); // click, then E A E A E
    EXPECT_EQ(Log(rig.recorder.messages).back(), "2700.000 80 1C 00");
}

TEST(PlayerStop, PressWhileStoppingDoesNotStartAnotherPlayback)
{
    PlayerRig rig({ "E, 0, x, x, x, W" });
    int presses = 0;
    rig.window.onPump = [&] {
        if (rig.clock.now >= 100000 && presses == 0) {
            presses = 2;
            rig.player.PlayToggle();
            rig.player.PlayToggle();
        }
    };
    rig.player.PlayToggle();
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(NoteOnTimes(rig.recorder.messages).size(), 1u);
    EXPECT_EQ(rig.window.caption, "Play");
    EXPECT_FALSE(rig.player.StopRequested);
}

TEST(PlayerBoxes, RefusalsShowTheirTextsAndLeaveControlsAlone)
{
    struct Case {
        QStringList lines;
        int option;
        int selStart;
        int selLength;
        const char* text;
    };
    const Case cases[] = {
        { {}, PlayAll, 0, 0, "No notes to play - no lines in editor." },
        { { "* comment", "", "*Count Off 2" }, PlayAll, 0, 0, "No chords to play in editor." },
        { { "E, 0, x, x, x, Q", "* end" }, PlayFromCursor, 17, 0, "No chords to play from cursor." },
        { { "E, 0, x, x, x, Q" }, PlayHighlighted, 0, 0,
            "Play Highlighted option is selected with no lines highlighted." },
        { { "E, 0, x, x, x, Q", "* a", "* b" }, PlayHighlighted, 17, 5, "No chords to play in highlighted lines." },
        { { "* comment", "E, 0, x, x, x, Q" }, PlayCurrentLine, 0, 0,
            "Play Current Line option is selected and current line is not a chord definition." },
    };
    for (const Case& c : cases) {
        PlayerRig rig(c.lines);
        rig.window.option = c.option;
        rig.editor.setSelection(c.selStart, c.selLength);
        rig.player.PlayToggle();
        EXPECT_EQ(rig.window.boxes, QStringList { QString::fromLatin1(c.text) }) << c.text;
        EXPECT_TRUE(rig.window.controls.empty()) << c.text;
        EXPECT_TRUE(rig.recorder.messages.isEmpty()) << c.text;
        EXPECT_EQ(rig.window.caption, "Play");
    }
}

TEST(PlayerBoxes, ParseErrorStopsBeforeAnythingPlaysAndHighlightsTheLine)
{
    PlayerRig rig({ "E, 0, x, x, x, Q", "Bad, 0, x, x, Q" });
    rig.player.PlayToggle();
    EXPECT_EQ(rig.window.boxes, QStringList { "Line 2    Not enough commas." });
    EXPECT_TRUE(rig.recorder.messages.isEmpty());
    EXPECT_EQ(rig.recorder.openCount, 0);
    EXPECT_EQ(rig.editor.currentLine(), 1);
    EXPECT_EQ(rig.editor.selectionLength(), 15);
    EXPECT_EQ(rig.window.caption, "Play");
}

TEST(PlayerOptions, CurrentLinePlaysOnlyTheCaretLineWithoutCountOff)
{
    PlayerRig rig({ "*Count Off 4", "E, 0, x, x, x, Q", "A, x, 0, x, x, H" });
    rig.window.option = PlayCurrentLine;
    rig.editor.selectLine(2, false);
    rig.player.PlayToggle();
    EXPECT_THAT(Log(rig.recorder.messages), ElementsAre("0.000 C0 21 00", "0.000 90 21 7F", "1000.000 80 21 00"));
    EXPECT_THAT(rig.window.controls, ElementsAre(false, true));
    // No selection before: the caret is left at the line's start, unhighlighted.
    EXPECT_EQ(rig.editor.currentLine(), 2);
    EXPECT_EQ(rig.editor.selectionLength(), 0);
}

TEST(PlayerOptions, FromCursorAndHighlightedPlayTheirRangesAndRestoreTheSelection)
{
    const QStringList lines { "E, 0, x, x, x, Q", "A, x, 0, x, x, Q", "D, x, x, 0, x, Q", "G, x, x, x, 0, Q" };
    {
        PlayerRig rig(lines);
        rig.window.option = PlayFromCursor;
        rig.editor.selectLine(2, false);
        rig.player.PlayToggle();
        EXPECT_EQ(NoteOnTimes(rig.recorder.messages).size(), 2u);
        EXPECT_EQ(rig.recorder.messages[3].data1(), 0x26);
    }
    {
        PlayerRig rig(lines);
        rig.window.option = PlayHighlighted;
        rig.editor.setSelection(17, 20); // from line 1 into line 2
        rig.player.PlayToggle();
        EXPECT_EQ(NoteOnTimes(rig.recorder.messages).size(), 2u);
        EXPECT_EQ(rig.recorder.messages[3].data1(), 0x21);
        EXPECT_EQ(rig.editor.selectionStart(), 17);
        EXPECT_EQ(rig.editor.selectionLength(), 20);
    }
}

TEST(PlayerOptions, TraceMovesTheSelectionOnlyWhenChecked)
{
    const QStringList lines { "E, 0, x, x, x, Q", "", "A, x, 0, x, x, Q" };
    for (bool trace : { false, true }) {
        PlayerRig rig(lines);
        rig.window.trace = trace;
        std::vector<int> linesSeen;
        rig.window.onPump = [&] {
            if (linesSeen.empty() || linesSeen.back() != rig.editor.currentLine())
                linesSeen.push_back(rig.editor.currentLine());
        };
        rig.player.PlayToggle();
        if (trace)
            EXPECT_THAT(linesSeen, ElementsAre(0, 2));
        else
            EXPECT_THAT(linesSeen, ElementsAre(0));
        // Markers and the chord name follow the playback either way.
        ASSERT_GE(rig.window.markers.size(), 2u);
        EXPECT_EQ(rig.window.markers[rig.window.markers.size() - 2][5], 0);
    }
}

TEST(PlayerEditorLines, SelectionEndLineSkipsBackOverAnEmptyLastLine)
{
    // Lines start at 0, 17, 18, 35 and 36.
    PlayerRig rig({ "E, 0, x, x, x, Q", "", "A, x, 0, x, x, Q", "", "" });
    struct Case {
        int start;
        int length;
        int expected;
    };
    const Case cases[] = {
        { 0, 17, 0 }, // up to the line break of line 0
        { 0, 18, 1 }, // into empty line 1: index 1 is kept
        { 0, 20, 2 },
        { 18, 18, 2 }, // into empty line 3: the line before it
        { 18, 19, 3 }, // into empty line 4: one step back only
        { 5, 1, 0 },
    };
    for (const Case& c : cases) {
        rig.editor.setSelection(c.start, c.length);
        EXPECT_EQ(rig.player.SelectionEndLine(), c.expected) << c.start << "+" << c.length;
    }
}

TEST(PlayerStep, ForwardPreviewsEachLineAndHighlightsTheNext)
{
    PlayerRig rig({ "* intro", "E, 0, x, x, x, W", "", "A, x, 0, x, x, Q" });
    rig.player.StepForward();
    EXPECT_THAT(Log(rig.recorder.messages), ElementsAre("0.000 C0 21 00", "0.000 90 1C 7F", "250.000 80 1C 00"));
    EXPECT_EQ(rig.editor.currentLine(), 3);
    EXPECT_EQ(rig.editor.selectionLength(), 16);
    EXPECT_EQ(rig.window.chordName, "A");

    rig.recorder.messages.clear();
    rig.player.StepForward(); // last playable line: plays and stays highlighted
    rig.player.StepForward();
    EXPECT_EQ(NoteOnTimes(rig.recorder.messages).size(), 2u);
    EXPECT_EQ(rig.recorder.messages[1].data1(), 0x21);
    EXPECT_EQ(rig.recorder.messages[4].data1(), 0x21);
    EXPECT_EQ(rig.editor.currentLine(), 3);
    EXPECT_TRUE(rig.window.boxes.isEmpty());
    EXPECT_EQ(rig.recorder.openCount, 3);
    EXPECT_EQ(rig.recorder.closeCount, 3);
}

TEST(PlayerStep, BackMirrorsForward)
{
    PlayerRig rig({ "E, 0, x, x, x, W", "* mid", "A, x, 0, x, x, Q", "" });
    rig.editor.selectLine(3, false);
    rig.player.StepBack();
    EXPECT_EQ(rig.recorder.messages[1].data1(), 0x21);
    EXPECT_EQ(rig.editor.currentLine(), 0);
    EXPECT_EQ(rig.editor.selectionLength(), 16);
    rig.player.StepBack();
    EXPECT_EQ(rig.recorder.messages[4].data1(), 0x1C);
    EXPECT_EQ(rig.editor.currentLine(), 0);
}

TEST(PlayerStep, RefusesWhenNoLineToStepTo)
{
    PlayerRig rig({ "E, 0, x, x, x, W", "* end", "" });
    rig.editor.selectLine(1, false);
    rig.player.StepForward();
    EXPECT_EQ(rig.window.boxes, QStringList { "Can't step forward from this line" });

    PlayerRig back({ "* start", "", "E, 0, x, x, x, W" });
    back.editor.selectLine(1, false);
    back.player.StepBack();
    EXPECT_EQ(back.window.boxes, QStringList { "Can't step back from this line" });
    EXPECT_TRUE(rig.recorder.messages.isEmpty());
    EXPECT_TRUE(back.recorder.messages.isEmpty());
}

TEST(PlayerStep, LineInErrorIsShownButNotSounded)
{
    PlayerRig rig({ "Bad, 0, x, x, Q" });
    rig.player.StepForward();
    EXPECT_EQ(rig.window.boxes, QStringList { "Line 1    Not enough commas." });
    EXPECT_TRUE(rig.recorder.messages.isEmpty());
}

TEST(PlayerSounder, SoundNotesOpensSelectsPlaysAndClosesWithoutPumping)
{
    PlayerRig rig({});
    rig.window.patchValue = 37;
    NoteArray notes = NoNotes;
    notes[6] = 40;
    notes[3] = 60;
    rig.player.soundNotes(notes, 250);
    EXPECT_THAT(Log(rig.recorder.messages),
        ElementsAre("0.000 C0 25 00", "0.000 90 30 7F", "0.000 90 1C 7F", "250.000 80 30 00", "250.000 80 1C 00"));
    EXPECT_EQ(rig.recorder.openCount, 1);
    EXPECT_EQ(rig.recorder.closeCount, 1);
    EXPECT_EQ(rig.window.pumpCount, 0);
}
