#include "CliRunner.h"
#include "TestFiles.h"
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using fw::test::CliRun;
using fw::test::RunCli;

QString Data(const char* name) { return QStringLiteral(FW_SOURCE_DIR "/tests/cli/data/") + QLatin1String(name); }

QByteArray Golden(const char* name)
{
    return fw::test::ReadFileBytes(QStringLiteral(FW_SOURCE_DIR "/tests/cli/golden/") + QLatin1String(name));
}

class ExportCli : public testing::Test {
protected:
    QString Out(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

TEST_F(ExportCli, MidiMatchesGoldenWithHeaderTempoAndPatch)
{
    const QByteArray golden = Golden("walking.mid");
    ASSERT_FALSE(golden.isEmpty());
    const CliRun run = RunCli({ "midi", Data("walking.bss"), "-o", Out("w.mid") });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(fw::test::ReadFileBytes(Out("w.mid")).toHex(' '), golden.toHex(' '));

    // --tempo changes only the tempo event: 500 beats per minute is 120000 microseconds.
    ASSERT_EQ(RunCli({ "midi", Data("walking.bss"), "--tempo", "500", "-o", Out("fast.mid") }).exitCode, 0);
    QByteArray expected = golden;
    expected.replace(37, 3, QByteArray::fromHex("01d4c0"));
    EXPECT_EQ(fw::test::ReadFileBytes(Out("fast.mid")).toHex(' '), expected.toHex(' '));
}

TEST_F(ExportCli, TabMatchesGoldenAndWarnsAboutTruncation)
{
    CliRun run = RunCli({ "tab", Data("walking.bss"), "-o", Out("w.tab") });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(fw::test::ReadFileBytes(Out("w.tab")), Golden("walking.tab"));

    run = RunCli({ "tab", Data("long_bar.bss"), "-o", Out("long.tab") });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err,
        "Truncation Warning: Tablature is missing notes because there were not enough blank lines separating groups "
        "of notes (bars).\n");
    EXPECT_TRUE(fw::test::ReadFileBytes(Out("long.tab")).contains("-0--1--2--3--4--5--6--7--8--9-10-11-12-13-14-15-|"));
}

TEST_F(ExportCli, RefusalsGoToStderrAndWriteNothing)
{
    struct Case {
        const char* verb;
        const char* file;
        const char* message;
    };
    const Case cases[] = {
        { "midi", "error.bss", "Line 2    Too many commas.\nFix errors before creating a midi file.\n" },
        { "midi", "nonotes.bss", "Can't create midi file. No notes defined in editor.\n" },
        { "tab", "error.bss", "Line 2    Too many commas.\nFix errors before viewing tab.\n" },
        { "tab", "nonotes.bss", "Can't create tab. No notes defined in editor.\n" },
        { "pdf", "nonotes.bss", "Can't create tab. No notes defined in editor.\n" },
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli({ c.verb, Data(c.file), "-o", Out("out") });
        EXPECT_EQ(run.exitCode, 1) << c.verb << " " << c.file;
        EXPECT_TRUE(run.err.endsWith(QLatin1String(c.message))) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(Out("out"))) << c.verb << " " << c.file;
    }
}

TEST_F(ExportCli, BadArgumentsAndUnwritableOutput)
{
    EXPECT_EQ(RunCli({ "midi", Data("walking.bss") }).exitCode, 2);
    EXPECT_EQ(RunCli({ "midi", Data("walking.bss"), "-o", Out("a.mid"), "--tempo", "501" }).exitCode, 2);
    EXPECT_EQ(RunCli({ "pdf", Data("walking.bss"), "-o", Out("a.pdf"), "--page", "A3" }).exitCode, 2);
    EXPECT_EQ(RunCli({ "tab", Data("missing.bss"), "-o", Out("a.tab") }).exitCode, 2);
    const CliRun run = RunCli({ "tab", Data("walking.bss"), "-o", Out("no/such/dir/a.tab") });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("no/such/dir/a.tab"))) << run.err.toStdString();
}

TEST_F(ExportCli, PdfHasOnePagePerNineRows)
{
    // 19 bars are 10 rows: nine on the first page, one on the second.
    QFile many(Out("many.bss"));
    ASSERT_TRUE(many.open(QIODevice::WriteOnly));
    for (int i = 0; i < 19; ++i)
        many.write("E, 0, x, x, x, Q\n\n");
    many.close();
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    for (const char* size : { "A4", "Letter" }) {
        const CliRun run = RunCli({ "pdf", Out("many.bss"), "-o", Out("t.pdf"), "--page", size });
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString pdf = QString::fromLatin1(fw::test::ReadFileBytes(Out("t.pdf")));
        EXPECT_TRUE(pdf.startsWith(QLatin1String("%PDF")));
        EXPECT_EQ(pdf.count(page), 2) << size;
    }
}

} // namespace
