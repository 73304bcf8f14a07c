#include "QtPrinters.h"
#include "TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun RunCli(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(FW_CLI_PATH), args);
    process.waitForFinished(30000);
    return { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
        QString::fromUtf8(process.readAllStandardError()) };
}

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

TEST_F(CheckCommand, ExamplesAreValid)
{
    for (const char* name : { "walking-in-g.bss", "twelve-bar-blues.bss", "sixteenth-street-funk.bss" }) {
        const CliRun run = RunCli({ "check", QStringLiteral(FW_SOURCE_DIR "/examples/") + name });
        EXPECT_EQ(run.exitCode, 0) << name << run.out.toStdString();
    }
}

using AutonameCommand = CliFixture;

TEST_F(AutonameCommand, PrintsEveryLineAsOpeningWithAutoCorrectionShowsIt)
{
    const QString path = write("raw.bss", "x,x,2,4,x,q\r\nfoo, 3, x, x, x, E\r\n* keep, 1\r\n\r\nbad\r\nR,x,x,x,x,w");
    const CliRun run = RunCli({ "autoname", path });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "Chord, x, 2, 4, x, q\nG, 3, x, x, x, E\n* keep, 1\n\nbad\nRest, x, x, x, x, w\n");
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
