#include "EditingHarness.h"

using namespace fw;
using namespace fw::testing_support;

namespace {

struct Transpose : testing_support::EditingHarness { };
struct Durations : testing_support::EditingHarness { };
struct LineCommands : testing_support::EditingHarness { };
struct EntryModes : testing_support::EditingHarness { };

TEST_F(Transpose, UpRenamesAfterTheNoteAndKeepsTheDuration)
{
    setText({ "G, 3, x, x, x, Q" }, 0);
    commands.btnShiftRightClick();
    EXPECT_EQ(text(), QStringList({ "G#/Ab, 4, x, x, x, Q" }));
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].notes, single(E, 4));
    EXPECT_EQ(sounds[0].milliseconds, 250);
    EXPECT_TRUE(grid.isShown(E, 4));
    EXPECT_EQ(focusCount, 1);
    expectOneUndoStep();
}

TEST_F(Transpose, DownOffTheNutTurnsTheStringToXWhileOtherStringsMove)
{
    setText({ "Chord, 0, 5, x, x, .E" }, 0);
    commands.btnShiftLeftClick();
    EXPECT_EQ(text(), QStringList({ "C#/Db, x, 4, x, x, .E" }));
}

TEST_F(Transpose, UpOffTheNeckTurnsTheStringToXWhileOtherStringsMove)
{
    chordModeBox = true;
    setText({ "Chord, 18, 10, x, 2, Q" }, 0);
    commands.btnShiftRightClick();
    EXPECT_EQ(text(), QStringList({ "G#/Ab, x, 11, x, 3, Q" }));
}

TEST_F(Transpose, MovesEveryStringWhateverTheEntryMode)
{
    for (const bool chordMode : { false, true }) {
        chordModeBox = chordMode;
        setText({ "Chord, 3, 5, x, x, Q" }, 0);
        commands.btnShiftRightClick();
        EXPECT_EQ(text(), QStringList({ "G#/Ab, 4, 6, x, x, Q" })) << "chord mode " << chordMode;
    }
}

// Marks go with their notes; a note falling off takes its marks along; a harmonic stays at its node.
TEST_F(Transpose, MarksMoveWithTheirNotes)
{
    setText({ "Riff, 0h, 7b9~, x, <12>, Q, slap" }, 0);
    commands.btnShiftRightClick();
    EXPECT_EQ(text(), QStringList({ "F, 1h, 8b10~, x, <12>, Q, slap" }));
    setText({ "Riff, 0h, (7)_, x, x, Q" }, 0);
    commands.btnShiftLeftClick();
    EXPECT_EQ(text(), QStringList({ "D#/Eb, x, (6)_, x, x, Q" }));
}

TEST_F(Transpose, LastNoteFallingOffKeepsTheOldName)
{
    setText({ "Low, 0, x, x, x, W" }, 0);
    commands.btnShiftLeftClick();
    EXPECT_EQ(text(), QStringList({ "Low, x, x, x, x, W" }));
}

TEST_F(Transpose, CommentBlankAndErrorLinesAreLeftAloneSilently)
{
    for (const QString& line : { QStringLiteral("* verse"), QStringLiteral("   "), QStringLiteral("G, 3, x, x, Q") }) {
        setText({ line }, 0);
        commands.btnShiftRightClick();
        commands.btnShiftLeftClick();
        EXPECT_EQ(text(), QStringList({ line }));
    }
    EXPECT_TRUE(sounds.empty());
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(focusCount, 0);
}

TEST_F(Durations, ButtonRewritesTheDurationKeepingTheLineAsTyped)
{
    setText({ "A,5,x,x,x,Q" }, 0);
    commands.DurationClick(u"btnHalfNote");
    EXPECT_EQ(text(), QStringList({ "A,5,x,x,x, H" }));
    EXPECT_EQ(duration, " H");
    EXPECT_EQ(focusCount, 1);
    expectOneUndoStep();
}

TEST_F(Durations, EveryButtonHasItsLetterAndTheFlagsAddTheirMark)
{
    const QStringList names { "btnWholeNote", "btnHalfNote", "btnQuarterNote", "btnEighthNote", "btnSixteenthNote",
        "btnThirtySecondNote", "btnSixtyFourthNote" };
    const QString letters = "WHQESTF";
    setText({ "A, 5, x, x, x, Q" }, 0);
    for (int i = 0; i < names.size(); ++i) {
        dottedBox = false;
        commands.DurationClick(names[i]);
        EXPECT_EQ(duration, QString(" ") + letters[i]);
        dottedBox = true;
        commands.DurationClick(names[i]);
        EXPECT_EQ(text()[0], QString("A, 5, x, x, x, .") + letters[i]);
    }
    dottedBox = true;
    tripletBox = true;
    commands.DurationClick(u"btnQuarterNote");
    EXPECT_EQ(duration, " /Q");
    EXPECT_TRUE(LineEditCommands::durationLetter(u"btnRest").isNull());
}

TEST_F(Durations, OnCommentBlankOrErrorLineOnlyTheNewLineDurationChanges)
{
    for (const QString& line : { QStringLiteral("* verse"), QString(), QStringLiteral("G, 3, x, x, Q") }) {
        setText({ line }, 0);
        commands.DurationClick(u"btnEighthNote");
        EXPECT_EQ(text(), QStringList({ line }));
    }
    EXPECT_EQ(duration, " E");
    setText({ "* verse" }, 0);
    commands.btnRestClick();
    EXPECT_EQ(text()[1], "Rest , x, x, x, x, E");
}

TEST_F(Durations, CheckingTripletsWritesTheWholeNewLineDuration)
{
    setText({ "A, 5, x, x, x, H" }, 0);
    tripletBox = true;
    commands.chkTripletClick();
    EXPECT_EQ(duration, " /Q");
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, /Q" }));
}

TEST_F(Durations, DottedAndTripletsAreNeverBothChecked)
{
    setText({ "A, 5, x, x, x, Q" }, 0);
    tripletBox = true;
    commands.chkTripletClick();
    ASSERT_EQ(duration, " /Q");

    blocksBegun = blocksEnded = maxOpenBlocks = 0;
    dottedBox = true;
    commands.chkDottedClick();
    EXPECT_FALSE(tripletBox);
    EXPECT_EQ(duration, " .Q");
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, .Q" }));
    expectOneUndoStep();

    dottedBox = false;
    commands.chkDottedClick();
    EXPECT_EQ(duration, " Q");
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, Q" }));
}

TEST_F(Durations, UncheckingABoxLeavesTheOtherMarkAlone)
{
    duration = " /E";
    setText({ "" }, 0);
    dottedBox = false;
    commands.chkDottedClick();
    EXPECT_EQ(duration, " /E");
}

TEST_F(LineCommands, NewChordInTheMiddleOpensAnEmptyLineBelow)
{
    setText({ "A, 5, x, x, x, Q", "B, 7, x, x, x, Q" }, 0);
    commands.btnNewChordClick();
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, Q", "", "B, 7, x, x, x, Q" }));
    EXPECT_EQ(caretLine(), 1);
    EXPECT_EQ(lines.selectionLength(), 0);
    EXPECT_EQ(caption, "Blank Line");
    EXPECT_EQ(focusCount, 1);
}

TEST_F(LineCommands, NewChordAtTheEndLeavesABlankLineAboveTheCaret)
{
    setText({ "A, 5, x, x, x, Q" }, 1);
    commands.btnNewChordClick();
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, Q", "" }));
    EXPECT_EQ(caretLine(), 2);
}

TEST_F(LineCommands, RestAtTheEmptyPlaceAfterTheLastLineAppendsIt)
{
    setText({ "A, 5, x, x, x, Q" }, 1);
    commands.btnRestClick();
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, Q", "Rest , x, x, x, x, Q" }));
    EXPECT_EQ(caretLine(), 1);
    EXPECT_EQ(caption, "Rest");
    expectOneUndoStep();
}

TEST_F(LineCommands, DuplicateKeepsTheTypedSpacingAndSelectsTheLowerCopy)
{
    setText({ "A,5, x,x ,x,Q", "B, 7, x, x, x, Q" }, 0);
    commands.btnDupClick();
    EXPECT_EQ(text(), QStringList({ "A,5, x,x ,x,Q", "A,5, x,x ,x,Q", "B, 7, x, x, x, Q" }));
    EXPECT_EQ(caretLine(), 1);
    EXPECT_EQ(lines.selectionLength(), 13);
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].notes, single(E, 5));
    expectOneUndoStep();

    commands.btnDupClick();
    EXPECT_EQ(text().size(), 4);
    EXPECT_EQ(caretLine(), 2);
}

TEST_F(LineCommands, DuplicateReportsALineInErrorOnceAndChangesNothing)
{
    setText({ "G, 3, x, x, Q" }, 0);
    commands.btnDupClick();
    EXPECT_EQ(text(), QStringList({ "G, 3, x, x, Q" }));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_TRUE(sounds.empty());
}

TEST_F(LineCommands, DuplicateIgnoresCommentAndBlankLines)
{
    setText({ "* a", "" }, 0);
    commands.btnDupClick();
    lines.selectLine(1, false);
    commands.btnDupClick();
    EXPECT_EQ(text(), QStringList({ "* a", "" }));
}

TEST_F(LineCommands, ClearEmptiesTheStringsAndAutoCorrectNamesItRest)
{
    setText({ "Chord, 3, 5, x, x, .E" }, 0);
    commands.btnClearClick();
    EXPECT_EQ(text(), QStringList({ "Rest, x, x, x, x, .E" }));
    expectOneUndoStep();

    autoCorrectOn = false;
    setText({ "  Chord , 3, 5, x, x, .E" }, 0);
    commands.btnClearClick();
    EXPECT_EQ(text(), QStringList({ "Chord, x, x, x, x, .E" }));
}

TEST_F(LineCommands, ClearReportsALineInErrorOnceAndLeavesIt)
{
    setText({ "G, 3, x, x, Q" }, 0);
    commands.btnClearClick();
    EXPECT_EQ(text(), QStringList({ "G, 3, x, x, Q" }));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(focusCount, 1);
}

TEST_F(LineCommands, DeleteRemovesAnyLineAndShowsTheFollowingOne)
{
    setText({ "* comment", "", "A, 5, x, x, x, Q" }, 0);
    commands.btnDeleteClick();
    EXPECT_EQ(text(), QStringList({ "", "A, 5, x, x, x, Q" }));
    commands.btnDeleteClick();
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, Q" }));
    EXPECT_EQ(caretLine(), 0);
    EXPECT_EQ(caption, "A");
    EXPECT_TRUE(grid.isShown(E, 5));
}

TEST_F(LineCommands, DeleteOnTheLastLineLeavesTheCaretAfterTheList)
{
    setText({ "A, 5, x, x, x, Q", "B, 7, x, x, x, Q" }, 1);
    lines.setSelection(lines.lineStart(1) + 4, 3);
    commands.btnDeleteClick();
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, Q" }));
    EXPECT_EQ(caretLine(), 1);
    EXPECT_EQ(caption, "Blank Line");
    EXPECT_EQ(grid.shownFret(E), -1);

    commands.btnDeleteClick();
    EXPECT_EQ(text(), QStringList({ "A, 5, x, x, x, Q" }));
}

TEST_F(EntryModes, AutoLineAdvanceDisablesTransposeAndChordModeEnablesIt)
{
    autoAdvanceBox = true;
    commands.chkAutoNewLineClick();
    EXPECT_FALSE(transposeEnabled);
    EXPECT_EQ(storedAutoAdvance, std::vector<bool>({ true }));

    chordModeBox = true;
    commands.chkChordEntryModeClick();
    EXPECT_FALSE(autoAdvanceBox);
    EXPECT_TRUE(transposeEnabled);
    EXPECT_EQ(storedChordMode, std::vector<bool>({ true }));
    EXPECT_EQ(storedAutoAdvance, std::vector<bool>({ true, false }));

    autoAdvanceBox = true;
    commands.chkAutoNewLineClick();
    EXPECT_FALSE(chordModeBox);
    EXPECT_FALSE(transposeEnabled);
    EXPECT_EQ(storedChordMode, std::vector<bool>({ true, false }));

    autoAdvanceBox = false;
    commands.chkAutoNewLineClick();
    EXPECT_TRUE(transposeEnabled);
    EXPECT_FALSE(chordModeBox);
}

TEST_F(EntryModes, StartUpFromSettingsLetsChordEntryModeWin)
{
    commands.startUp(true, true);
    EXPECT_TRUE(chordModeBox);
    EXPECT_FALSE(autoAdvanceBox);
    EXPECT_TRUE(transposeEnabled);
    ASSERT_FALSE(storedAutoAdvance.empty());
    EXPECT_FALSE(storedAutoAdvance.back());
}

TEST_F(EntryModes, StartUpWithAutoLineAdvanceDisablesTranspose)
{
    commands.startUp(true, false);
    EXPECT_TRUE(autoAdvanceBox);
    EXPECT_FALSE(chordModeBox);
    EXPECT_FALSE(transposeEnabled);

    autoAdvanceBox = true;
    transposeEnabled = true;
    commands.startUp(false, false);
    EXPECT_FALSE(autoAdvanceBox);
    EXPECT_TRUE(transposeEnabled);
}

TEST_F(EntryModes, DocumentDefaultsResetDurationAndFlags)
{
    duration = " .E";
    dottedBox = true;
    commands.resetDocumentDefaults();
    EXPECT_EQ(duration, " Q");
    EXPECT_FALSE(dottedBox);
    EXPECT_FALSE(tripletBox);
}

} // namespace
