#include "Pitch.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;

TEST(NoteNames, FollowOpenStringPlusFret)
{
    EXPECT_EQ(NoteName(6, 0, "keep"), "E");
    EXPECT_EQ(NoteName(6, 3, "keep"), "G");
    EXPECT_EQ(NoteName(5, 1, "keep"), "A#/Bb");
    EXPECT_EQ(NoteName(6, 12, "keep"), "E");
    EXPECT_EQ(NoteName(3, 18, "keep"), "C#/Db");
    EXPECT_EQ(NoteName(4, 24, "keep"), "D");
}

TEST(NoteNames, OutOfRangeRequestsKeepTheGivenText)
{
    EXPECT_EQ(NoteName(6, 25, "keep"), "keep");
    EXPECT_EQ(NoteName(6, -1, "keep"), "keep");
    EXPECT_EQ(NoteName(1, 3, "keep"), "keep");
    EXPECT_EQ(NoteName(2, 0, "keep"), "keep");
}

TEST(NoteValues, SpanTheBassRange)
{
    EXPECT_EQ(OpenStringNote(6), 40);
    EXPECT_EQ(OpenStringNote(3) + 18, 73);
    EXPECT_EQ(StringName(6), "Low E");
    EXPECT_EQ(StringName(1), "High E");
}

struct DurationRow {
    const char* letter;
    int whole1000[3];
    int whole384[3];
    int whole2000[3];
};

TEST(Durations, MatchTheTableForEveryLetterAndMark)
{
    const DurationRow rows[] = {
        { "W", { 1000, 1500, 333 }, { 384, 576, 128 }, { 2000, 3000, 666 } },
        { "H", { 500, 750, 166 }, { 192, 288, 64 }, { 1000, 1500, 333 } },
        { "Q", { 250, 375, 83 }, { 96, 144, 32 }, { 500, 750, 166 } },
        { "E", { 125, 187, 41 }, { 48, 72, 16 }, { 250, 375, 83 } },
        { "S", { 62, 93, 20 }, { 24, 36, 8 }, { 125, 187, 41 } },
        { "T", { 31, 46, 10 }, { 12, 18, 4 }, { 62, 93, 20 } },
        { "F", { 15, 22, 5 }, { 6, 9, 2 }, { 31, 46, 10 } },
    };
    for (const DurationRow& row : rows) {
        const QString plain = QString::fromLatin1(row.letter);
        const QString forms[3] = { plain, "." + plain, "/" + plain };
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(DurationValue(forms[i], 1000), row.whole1000[i]) << forms[i].toStdString();
            EXPECT_EQ(DurationValue(forms[i], 384), row.whole384[i]) << forms[i].toStdString();
            EXPECT_EQ(DurationValue(forms[i], 2000), row.whole2000[i]) << forms[i].toStdString();
            EXPECT_EQ(DurationValue(forms[i].toLower(), 1000), row.whole1000[i]) << "lower case";
        }
    }
}

TEST(Durations, RefuseEverythingElse)
{
    for (const char* text : { "", "QQ", "Q.", "./Q", "/.Q", "X", ". Q", " Q", "Q ", "8", "*Q" })
        EXPECT_EQ(DurationValue(QString::fromLatin1(text), 1000), 0) << text;
}

TEST(Tempo, GivesWholeNoteMilliseconds)
{
    EXPECT_EQ(WholeNoteLength(120), 2000);
    EXPECT_EQ(WholeNoteLength(100), 2400);
    EXPECT_EQ(WholeNoteLength(60), 4000);
    EXPECT_EQ(WholeNoteLength(7), 34284);
    EXPECT_EQ(WholeNoteLength(500), 480);
}
