// fretwerk-cli transpose, run as the user runs it.
#include "CliRunner.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using fw::test::CliRun;
using fw::test::RunCli;

TEST(TransposeCli, MovesTheFileKeepsItsHeaderAndRefusesBadArguments)
{
    QTemporaryDir dir;
    const QString input = dir.filePath("in.bss");
    const QString output = dir.filePath("out.bss");
    const QByteArray header = "*Info 1: Fretwerk Bass Version 1.0 File Information\r\n*Info 2:33\r\n*Info 3:555555\r\n"
                              "*Info 4:100\r\n";
    ASSERT_TRUE(fw::test::WriteFileBytes(
        input, header + "* Title: Song\r\nG, 3, x, x, x, Q\r\nA, x, 0, x, x, Q\r\nSolo, x, x, x, 5, Q\r\n"));

    // A negative number moves down; the open A leaves the nut for the E string.
    const CliRun down = RunCli({ "transpose", input, "--semitones", "-2", "-o", output });
    EXPECT_EQ(down.exitCode, 0) << down.err.toStdString();
    EXPECT_EQ(down.out, "lines moved: 3\n");
    EXPECT_EQ(fw::test::ReadFileBytes(output),
        header + "* Title: Song\r\nF, 1, x, x, x, Q\r\nG, 3, x, x, x, Q\r\nSolo, x, x, x, 3, Q\r\n");

    // --lines counts as the editor does, from the first line after the header.
    const CliRun one = RunCli({ "transpose", input, "--semitones", "+12", "--lines", "2-2", "-o", output });
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_EQ(fw::test::ReadFileBytes(output),
        header + "* Title: Song\r\nG, 15, x, x, x, Q\r\nA, x, 0, x, x, Q\r\nSolo, x, x, x, 5, Q\r\n");

    // A note no string can play and a line in error are written as the window writes them and listed.
    const QString broken = dir.filePath("broken.bss");
    ASSERT_TRUE(fw::test::WriteFileBytes(broken, "E, 0, x, x, x, Q\nG, 3, x, x, Q\n"));
    const CliRun lost = RunCli({ "transpose", broken, "--semitones", "-1", "-o", output });
    EXPECT_EQ(lost.exitCode, 1);
    EXPECT_EQ(lost.err,
        "Line 3    Not enough commas.\n"
        "Line 2    E (Low E string, fret 0): no string can play it 1 semitone down.\n");
    EXPECT_EQ(fw::test::ReadFileBytes(output),
        "* Not playable 1 semitone down: E (Low E string, fret 0)\r\nRest, x, x, x, x, Q\r\nG, 3, x, x, Q\r\n");

    const fw::test::FileState before = fw::test::FileState::Of(output);
    const struct {
        QStringList args;
        QString err;
    } refusals[] = {
        { { "transpose", input, "--semitones", "2" },
            "usage: fretwerk-cli transpose FILE --semitones N [--lines A-B] -o OUT.bss\n" },
        { { "transpose", input, "--semitones", "two", "-o", output },
            "fretwerk-cli: --semitones \"two\": a whole number from -24 to 24, not 0.\n" },
        { { "transpose", input, "--semitones", "0", "-o", output },
            "fretwerk-cli: --semitones \"0\": a whole number from -24 to 24, not 0.\n" },
        { { "transpose", input, "--semitones", "25", "-o", output },
            "fretwerk-cli: --semitones \"25\": a whole number from -24 to 24, not 0.\n" },
        { { "transpose", input, "--semitones", "1", "--lines", "4-2", "-o", output },
            "fretwerk-cli: --lines \"4-2\": a line number or a range such as 3-10.\n" },
    };
    for (const auto& refusal : refusals) {
        const CliRun run = RunCli(refusal.args);
        EXPECT_EQ(run.exitCode, 2) << refusal.args.join(u' ').toStdString();
        EXPECT_EQ(run.err, refusal.err);
    }
    EXPECT_EQ(fw::test::FileState::Of(output), before) << "a refused command writes nothing";
    EXPECT_TRUE(QString::fromUtf8(RunCli({ "--help" }).out).contains("transpose FILE --semitones N [--lines A-B]"));
}

} // namespace
