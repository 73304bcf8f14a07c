#include "EditingHarness.h"

using namespace fw;
using namespace fw::testing_support;

namespace {

struct NeckPress : testing_support::EditingHarness { };

TEST_F(NeckPress, LeftPressOnBlankLineWritesTheNoteSoundsItAndShowsIt)
{
    setText({ "", "G, 3, x, x, x, Q" }, 0);
    commands.Shape1MouseDown(Qt::LeftButton, A, 3);

    EXPECT_EQ(text(), QStringList({ "C, x, 3, x, x, Q", "G, 3, x, x, x, Q" }));
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].notes, single(A, 3));
    EXPECT_EQ(sounds[0].milliseconds, 250);
    EXPECT_FALSE(stopRequested);
    EXPECT_TRUE(grid.isShown(A, 3));
    EXPECT_EQ(caption, "C");
    EXPECT_EQ(caretLine(), 0);
    expectOneUndoStep();
}

TEST_F(NeckPress, NewLinesTakeTheCurrentNewLineDuration)
{
    duration = " .E";
    setText({ "" }, 0);
    commands.Shape1MouseDown(Qt::LeftButton, D, 0);
    EXPECT_EQ(text(), QStringList({ "D, x, x, 0, x, .E" }));
}

TEST_F(NeckPress, AutoLineAdvanceGrowsTheListOneLinePerNote)
{
    autoAdvanceBox = true;
    setText({}, 0);

    commands.Shape1MouseDown(Qt::LeftButton, A, 3);
    EXPECT_EQ(text(), QStringList({ "C, x, 3, x, x, Q", "" }));
    EXPECT_EQ(caretLine(), 1);

    commands.Shape1MouseDown(Qt::LeftButton, D, 2);
    EXPECT_EQ(text(), QStringList({ "C, x, 3, x, x, Q", "E, x, x, 2, x, Q", "" }));
    EXPECT_EQ(caretLine(), 2);

    commands.Shape1MouseDown(Qt::LeftButton, E, 0);
    EXPECT_EQ(text().size(), 4);
    EXPECT_EQ(text()[2], "E, 0, x, x, x, Q");
    EXPECT_EQ(blocksBegun, 3);
    EXPECT_EQ(blocksEnded, 3);
}

TEST_F(NeckPress, AutoLineAdvanceOnlyFollowsAPressThatCreatedTheLine)
{
    autoAdvanceBox = true;
    setText({ "G, 3, x, x, x, Q", "B, x, 2, x, x, Q" }, 0);
    commands.Shape1MouseDown(Qt::LeftButton, A, 5);
    EXPECT_EQ(text(), QStringList({ "D, x, 5, x, x, Q", "B, x, 2, x, x, Q" }));
    EXPECT_EQ(caretLine(), 0);
}

TEST_F(NeckPress, PressOnCommentInsertsALineAfterItNamedAfterTheNote)
{
    setText({ "* intro", "G, 3, x, x, x, Q" }, 0);
    commands.Shape1MouseDown(Qt::LeftButton, E, 5);
    EXPECT_EQ(text(), QStringList({ "* intro", "A, 5, x, x, x, Q", "G, 3, x, x, x, Q" }));
    EXPECT_EQ(caretLine(), 1);
    expectOneUndoStep();
}

TEST_F(NeckPress, PressOnLineInErrorReplacesItSilentlyAndWritesTheNote)
{
    setText({ "G, 3, x, x, Q", "B, x, 2, x, x, Q" }, 0);
    commands.Shape1MouseDown(Qt::LeftButton, G, 2);
    EXPECT_EQ(text(), QStringList({ "A, x, x, x, 2, Q", "B, x, 2, x, x, Q" }));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(caretLine(), 0);
}

TEST_F(NeckPress, ChordEntryModeBuildsAChordAndReplacesAStringsFret)
{
    chordModeBox = true;
    setText({ "" }, 0);
    commands.Shape1MouseDown(Qt::LeftButton, E, 3);
    commands.Shape1MouseDown(Qt::LeftButton, A, 5);
    EXPECT_EQ(text(), QStringList({ "D, 3, 5, x, x, Q" }));
    commands.Shape1MouseDown(Qt::LeftButton, D, 5);
    EXPECT_EQ(text(), QStringList({ "G, 3, 5, 5, x, Q" }));
    commands.Shape1MouseDown(Qt::LeftButton, A, 7);
    EXPECT_EQ(text(), QStringList({ "E, 3, 7, 5, x, Q" }));
    EXPECT_TRUE(grid.isShown(A, 7));
    EXPECT_FALSE(grid.isShown(A, 5));
}

TEST_F(NeckPress, WithoutChordEntryModeAPressReplacesTheLinesNotes)
{
    setText({ "Chord, 3, 5, x, x, H" }, 0);
    commands.Shape1MouseDown(Qt::LeftButton, G, 0);
    EXPECT_EQ(text(), QStringList({ "G, x, x, x, 0, H" }));
}

TEST_F(NeckPress, LeftPressOnShownMarkerSoundsAndRemovesIt)
{
    setText({ "G, 3, x, x, x, Q" }, 0);
    chords.ShowLineInfo(0);
    ASSERT_TRUE(grid.isShown(E, 3));

    commands.Shape1MouseDown(Qt::LeftButton, E, 3);
    EXPECT_EQ(text(), QStringList({ "G, x, x, x, x, Q" }));
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].notes, single(E, 3));
    EXPECT_FALSE(grid.isShown(E, 3));
    expectOneUndoStep();
}

TEST_F(NeckPress, LeftPressOnShownMarkerInChordModeKeepsTheOtherStrings)
{
    chordModeBox = true;
    setText({ "Chord, 3, 5, x, x, Q" }, 0);
    chords.ShowLineInfo(0);
    commands.Shape1MouseDown(Qt::LeftButton, A, 5);
    EXPECT_EQ(text(), QStringList({ "D, 3, x, x, x, Q" }));
}

TEST_F(NeckPress, MiddlePressRemovesAShownMarkerSilently)
{
    chordModeBox = true;
    setText({ "Chord, 3, 5, x, x, Q" }, 0);
    chords.ShowLineInfo(0);
    commands.Shape1MouseDown(Qt::MiddleButton, E, 3);
    EXPECT_EQ(text(), QStringList({ "Chord, x, 5, x, x, Q" }));
    EXPECT_TRUE(sounds.empty());
}

TEST_F(NeckPress, MiddlePressOnEmptyCellWritesNothingButShowsTheCell)
{
    setText({ "G, 3, x, x, x, Q" }, 0);
    chords.ShowLineInfo(0);
    commands.Shape1MouseDown(Qt::MiddleButton, A, 2);
    EXPECT_EQ(text(), QStringList({ "G, 3, x, x, x, Q" }));
    EXPECT_TRUE(sounds.empty());
    EXPECT_TRUE(grid.isShown(A, 2));
    EXPECT_TRUE(grid.isShown(E, 3));
}

TEST_F(NeckPress, MiddlePressOnBlankLineStillCreatesTheLine)
{
    setText({ "" }, 0);
    commands.Shape1MouseDown(Qt::MiddleButton, A, 2);
    EXPECT_EQ(text(), QStringList({ "New , x, x, x, x, Q" }));
    EXPECT_TRUE(sounds.empty());
}

TEST_F(NeckPress, RightPressAndPressDuringPlaybackDoNothing)
{
    setText({ "G, 3, x, x, x, Q", "" }, 1);
    commands.Shape1MouseDown(Qt::RightButton, A, 3);
    playing = true;
    commands.Shape1MouseDown(Qt::LeftButton, A, 3);
    commands.Shape1MouseDown(Qt::MiddleButton, A, 3);

    EXPECT_EQ(text(), QStringList({ "G, 3, x, x, x, Q", "" }));
    EXPECT_TRUE(sounds.empty());
    EXPECT_FALSE(grid.isShown(A, 3));
    EXPECT_EQ(blocksBegun, 0);
    EXPECT_TRUE(stopRequested);
}

TEST_F(NeckPress, CellsOutsideTheBassStringsAndFretsAreIgnored)
{
    setText({ "" }, 0);
    commands.Shape1MouseDown(Qt::LeftButton, 2, 3);
    commands.Shape1MouseDown(Qt::LeftButton, A, FretCount + 1);
    EXPECT_EQ(text(), QStringList({ "" }));
    EXPECT_TRUE(sounds.empty());
}

TEST_F(NeckPress, PressOnEmptyPlaceAfterLastLineAppendsTheLine)
{
    setText({ "G, 3, x, x, x, Q" }, 1);
    commands.Shape1MouseDown(Qt::LeftButton, G, 5);
    EXPECT_EQ(text(), QStringList({ "G, 3, x, x, x, Q", "C, x, x, x, 5, Q" }));
    EXPECT_EQ(caretLine(), 1);
}

TEST_F(NeckPress, InsertChordLineGoesAfterTheCaretLineOrAtTheEmptyPlace)
{
    setText({ "A, 5, x, x, x, Q", "B, 7, x, x, x, Q" }, 0);
    commands.InsertChordLine("Rest");
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, Q", "Rest , x, x, x, x, Q", "B, 7, x, x, x, Q" }));
    EXPECT_EQ(caretLine(), 1);
    EXPECT_EQ(lines.selectionLength(), 20);

    setText({ "A, 5, x, x, x, Q" }, 1);
    commands.InsertChordLine("Rest");
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, Q", "Rest , x, x, x, x, Q" }));
    EXPECT_EQ(caretLine(), 1);
}

} // namespace
