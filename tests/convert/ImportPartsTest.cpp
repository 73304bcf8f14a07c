#include "CliRunner.h"
#include "ConvertCommand.h"
#include "PartFormats.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace fw;

namespace {

struct CliOutput {
    int exitCode = -1;
    QString out;
    QString err;
};

// fretwerk-cli convert ARGS run in this process, through formats of the test's own.
CliOutput Convert(const FormatRegistry& formats, const QStringList& args)
{
    CliOutput result;
    {
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        cli::CliStreams streams { out, err };
        result.exitCode = cli::RunConvertWith(formats, args, streams);
    }
    return result;
}

} // namespace

// --list-tracks prints every part with the columns the chooser shows and marks the one an import
// takes; --track and --voice read another; what the file has not is the reader's error.
TEST(ListTracks, PrintsThePartsAndTrackAndVoiceChooseOne)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("trio.parts"));
    ASSERT_TRUE(test::WriteFileBytes(in, test::ThreePartFile));
    const FormatRegistry formats = test::PartFormats();

    const CliOutput listed = Convert(formats, { in, QStringLiteral("--list-tracks") });
    EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out,
        QDir::toNativeSeparators(in)
            + QStringLiteral(" holds 3 parts:\n"
                             "   Track  Name      Instrument               Range  Strings  Notes  Voices\n"
                             "   1      Guitar    Acoustic Guitar (steel)  E2-E5  6        1      1\n"
                             "*  2      Bass      Electric Bass (finger)   E1-G3  4        1      1\n"
                             "   3      Continuo  Cello                    C2-D4  -        2      2\n"
                             "* the part an import reads without --track\n"));

    struct Case {
        QStringList options;
        int exitCode;
        QString firstLine; // of the written list, or of the error
    };
    const Case cases[] = {
        { {}, 0, "* Bass, voice 1" },
        { { "--track", "1" }, 0, "* Guitar, voice 1" },
        { { "--track", "3", "--voice", "2" }, 0, "* Continuo, voice 2" },
        { { "--track", "4" }, 2, "the file has no such part or voice" },
        { { "--voice", "none" }, 2, "--voice must be a whole number from 1" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(u' ').toStdString());
        const QString out = dir.filePath(QStringLiteral("out.bss"));
        QFile::remove(out);
        const CliOutput run = Convert(formats, QStringList { in, QStringLiteral("-o"), out } + c.options);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        if (c.exitCode == 0)
            EXPECT_TRUE(QString::fromUtf8(test::ReadFileBytes(out)).contains(c.firstLine)) << c.firstLine.toStdString();
        else
            EXPECT_TRUE(run.err.contains(c.firstLine)) << run.err.toStdString();
    }

    // The program's own formats: a tab is one part, and the help names the options.
    const QString tab = dir.filePath(QStringLiteral("riff.tab"));
    ASSERT_TRUE(test::WriteFileBytes(tab, "G|-----|\nD|-----|\nA|--3--|\nE|-----|\n"));
    const test::CliRun single = test::RunCli({ "convert", tab, "--list-tracks" });
    EXPECT_EQ(single.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(single.out),
        QDir::toNativeSeparators(tab) + QStringLiteral(" holds one part: Tab files have no tracks to choose from.\n"));
    const test::CliRun help = test::RunCli({ "--help" });
    EXPECT_TRUE(help.out.contains("convert IN --list-tracks")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("[--track N] [--voice N]")) << help.out.toStdString();
}

// Running out of memory in a reader, a part list or a writer is an error with the file's name; the
// file that was there before an export stays as it was.
TEST(NeverAbort, OutOfMemoryIsAnErrorAndLeavesFilesAlone)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("trio.parts"));
    const QString out = dir.filePath(QStringLiteral("kept.bss"));
    ASSERT_TRUE(test::WriteFileBytes(in, test::ThreePartFile));
    ASSERT_TRUE(test::WriteFileBytes(out, "G, 3, x, x, x, Q\r\n"));
    const FormatRegistry starved = test::PartFormats(true);
    const QString importError
        = QStringLiteral("There is not enough memory to import \"%1\".").arg(QDir::toNativeSeparators(in));

    for (const QStringList& args : { QStringList { in, "-o", out }, QStringList { in, "--list-tracks" } }) {
        const CliOutput run = Convert(starved, args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(importError)) << run.err.toStdString();
    }
    // Reading works; the writer runs out.
    FormatRegistry writing = test::PartFormats();
    for (const WriterFormat& writer : starved.writers())
        writing.addWriter(writer);
    const CliOutput written = Convert(writing, { in, "-o", out });
    EXPECT_EQ(written.exitCode, 2);
    EXPECT_TRUE(written.err.contains(
        QStringLiteral("There is not enough memory to export \"%1\".").arg(QDir::toNativeSeparators(out))))
        << written.err.toStdString();
    EXPECT_EQ(test::ReadFileBytes(out), QByteArray("G, 3, x, x, x, Q\r\n"));
}

// The real program with too little memory for a list of a million lines: it says so and exits, as
// it does for any other failure, instead of aborting, and the score that was there stays.
TEST(NeverAbort, TheToolSaysWhenMemoryRunsOut)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit this test sets";
#else
    QTemporaryDir dir;
    QByteArray list = "*Count Off 4\r\n";
    for (int bar = 0; bar < 250'000; ++bar)
        list += "G, 3, x, x, x, Q\r\nB, x, 2, x, x, Q\r\nD, x, 5, x, x, Q\r\n\r\n";
    const QString in = dir.filePath(QStringLiteral("million.bss"));
    const QString out = dir.filePath(QStringLiteral("million.musicxml"));
    ASSERT_TRUE(test::WriteFileBytes(in, list));
    ASSERT_TRUE(test::WriteFileBytes(out, "kept"));

    QProcess process;
    // 256 MB of address space: the program starts in less than 100 MB; the list needs more than 500.
    process.setChildProcessModifier([] {
        const rlimit limit { rlim_t(256) << 20, rlim_t(256) << 20 };
        setrlimit(RLIMIT_AS, &limit);
    });
    process.start(QStringLiteral(FW_CLI_PATH), { "convert", in, "-o", out });
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << err.toStdString();
    EXPECT_EQ(process.exitCode(), 2) << err.toStdString();
    EXPECT_TRUE(err.contains(QLatin1String("There is not enough memory to"))) << err.toStdString();
    EXPECT_EQ(test::ReadFileBytes(out), QByteArray("kept"));
#endif
}

// A 3 GB file (sparse: it takes no disk) is refused from its size before anything is read: the tool
// never holds more than a few megabytes.
TEST(ImportLimits, AHugeFileIsRefusedFromItsSize)
{
    QTemporaryDir dir;
    QFile huge(dir.filePath(QStringLiteral("huge.tab")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(3) << 30));
    huge.close();
    const test::CliRun run = test::RunCli({ "convert", huge.fileName(), "-o", dir.filePath(QStringLiteral("x.bss")) });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Can't import \"%1\": The file is too large for a tab: 3072 MB (at "
                                                "most 64 MB).")
                                     .arg(QDir::toNativeSeparators(huge.fileName()))))
        << run.err.toStdString();
    rusage children {};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &children), 0);
    EXPECT_LT(children.ru_maxrss, 512L * 1024) << "kB at the most in any tool this test ran";
}
