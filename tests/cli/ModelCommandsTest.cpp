#include "CliRunner.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using fw::test::CliRun;
using fw::test::RunCli;

struct CliFixture : testing::Test {
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(fw::test::WriteFileBytes(path, bytes));
        return path;
    }
};

} // namespace

using CheckCommand = CliFixture;

TEST_F(CheckCommand, PrintsEveryErrorInLineOrderAfterTheHeader)
{
    const QString path = write("song.bss",
        "*Info 1: Fretwerk Bass Version 1.0 File Information\r\n*Info 2:33\r\n*Info 3:555555\r\n*Info 4:120\r\n"
        "G, 3, x, x, x, Q\nG,7, 3, x, x, x, Q\r*Count Off 12\r\nG, 3, x, x, 19, Q\r\nCaf\xe9, 3, x, x, x, Z\r\n");
    const CliRun run = RunCli({ "check", path });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out,
        QString::fromUtf8("Line 2    Too many commas.\n"
                          "Line 4    Fret Number for G string (\"19\") must be lower than 19.\n"
                          "Line 5    \"Z\" invalid. (W)hole,(H)alf,Q,E,S,T,F\n"));
}

TEST_F(CheckCommand, ExitsZeroForAGoodFileAndTwoForAnUnreadableOne)
{
    EXPECT_EQ(RunCli({ "check", write("good.bss", "* Title: ok\r\n\r\nRest, x, x, x, x, W\r\n") }).exitCode, 0);
    const CliRun missing = RunCli({ "check", dir.filePath("missing.bss") });
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("missing.bss"));
    const CliRun folder = RunCli({ "check", dir.path() });
    EXPECT_EQ(folder.exitCode, 2);
    EXPECT_TRUE(folder.err.contains("folder"));
    EXPECT_EQ(RunCli({ "check" }).exitCode, 2);
}

TEST_F(CheckCommand, NamesMarksWithoutTheirPartnerAndWithWarningsOddBarsAndLookAlikeComments)
{
    const QString path = write("marks.bss",
        "* Time: 3/4\r\n* Tuning: D A D Gx\r\nA, x, 0h, x, x, Q\r\nB, x, 2, x, x, H, slap\r\n\r\n"
        "G, 3_, x, x, x, H\r\n\r\nG, 5, x, x, x, Q\r\n");
    const CliRun plain = RunCli({ "check", path });
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_EQ(plain.out, "Line 6    Tie on the Low E string must go to the same fret, not to fret 5.\n");
    const CliRun warned = RunCli({ "check", "--warnings", path });
    EXPECT_EQ(warned.exitCode, 1);
    EXPECT_EQ(warned.out,
        "Line 2    Warning: Not a tuning line: \"Gx\" is not a note name.\n"
        "Line 6    Tie on the Low E string must go to the same fret, not to fret 5.\n");
    // Warnings alone leave the exit code at 0; the bars are checked once no line has an error.
    const QString odd = write("odd.bss", "* Time: 3/4\r\nA, x, 0h, x, x, Q\r\nB, x, 2, x, x, Q\r\n");
    const CliRun oddRun = RunCli({ "check", odd, "--warnings" });
    EXPECT_EQ(oddRun.exitCode, 0);
    EXPECT_EQ(oddRun.out, "Line 2    Warning: Bar 1 lasts 2/4, not 3/4.\n");
    EXPECT_EQ(RunCli({ "check", odd }).out, "");
}

TEST_F(CheckCommand, ExamplesAreValid)
{
    for (const char* name : { "walking-in-g.bss", "twelve-bar-blues.bss", "sixteenth-street-funk.bss",
             "slap-and-ghosts.bss", "slides-and-ties.bss" }) {
        const CliRun run = RunCli({ "check", QStringLiteral(FW_SOURCE_DIR "/examples/") + name });
        EXPECT_EQ(run.exitCode, 0) << name << run.out.toStdString();
    }
}

using AutonameCommand = CliFixture;

TEST_F(AutonameCommand, PrintsEveryLineAsOpeningWithAutoCorrectionShowsIt)
{
    const QString path = write("raw.bss", "x,x,2,4,x,q\r\nfoo, 3, x, x, x, E\r\n* keep, 1\r\n\r\nbad\r\nNew,x,x,x,x,w");
    const CliRun run = RunCli({ "autoname", path });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "Chord, x, 2, 4, x, q\nfoo, 3, x, x, x, E\n* keep, 1\n\nbad\nRest, x, x, x, x, w\n");
}

TEST(CliOptions, HelpAndVersion)
{
    const CliRun help = RunCli({ "--help" });
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("check FILE"));
    EXPECT_TRUE(help.out.contains("autoname FILE"));
    const CliRun version = RunCli({ "--version" });
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "fretwerk-cli 1.0.0\n");
    EXPECT_EQ(RunCli({ "frobnicate" }).exitCode, 2);
}

using RefingerCommand = CliFixture;

// A five-string list written on the low B string alone: the header, tuning, count-off, bar, rest,
// durations and the typed name "Outro" stay; only strings and frets change, pitch for pitch.
TEST_F(RefingerCommand, RewritesStringsAndFretsAndPrintsTheCosts)
{
    const QByteArray head = "*Info 1: Fretwerk Bass Version 1.0 File Information\r\n*Info 2:34\r\n*Info 3:555555\r\n"
                            "*Info 4:90\r\n* Tuning: B E A D G\r\n*Count Off 2\r\n";
    const QString path = write("low-b.bss",
        head
            + "B, 0, x, x, x, x, Q\r\nC#/Db, 2, x, x, x, x, E\r\nD, 3, x, x, x, x, E\r\nE, 5, x, x, x, x, Q\r\n\r\n"
              "F#/Gb, 7, x, x, x, x, /E\r\nRest, x, x, x, x, x, Q\r\nChord, 5, 7, x, x, x, H\r\nOutro, 8, x, x, x, x, "
              "W\r\n");
    const QString out = dir.filePath("out.bss");
    const CliRun run = RunCli({ "refinger", path, "-o", out });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "cost before: 13\ncost after: 6\nlines changed: 4\n");
    EXPECT_EQ(fw::test::ReadFileBytes(out),
        head
            + "B, 0, x, x, x, x, Q\r\nC#/Db, 2, x, x, x, x, E\r\nD, 3, x, x, x, x, E\r\nE, x, 0, x, x, x, Q\r\n\r\n"
              "F#/Gb, x, 2, x, x, x, /E\r\nRest, x, x, x, x, x, Q\r\nChord, x, 0, 2, x, x, H\r\nOutro, x, 3, x, x, x, "
              "W\r\n");

    // Lines count as the editor shows them, after the header.
    const QString bad = write("bad.bss",
        "*Info 1: Fretwerk Bass Version 1.0 File Information\r\n*Info 2:33\r\n*Info 3:555555\r\n*Info 4:100\r\n"
        "G, 3, x, x, x, Q\r\nG, 3, x, x, Q\r\n");
    const CliRun refused = RunCli({ "refinger", bad, "-o", out });
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "Line 2    Not enough commas.\nFix errors before optimizing the fingering.\n");
}
