#include "CliRunner.h"
#include "DocumentText.h"
#include "SmfReader.h"
#include "TestFiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace fw {
namespace {

    using test::CliRun;
    using test::FileState;
    using test::RunCli;

    struct VerbRuns {
        CliRun check;
        CliRun autoname;
        CliRun midi;
        CliRun tab;
    };

    class HostileFile : public testing::Test {
    protected:
        QString Write(const QString& name, const QByteArray& bytes)
        {
            const QString path = dir.filePath(name);
            EXPECT_TRUE(test::WriteFileBytes(path, bytes)) << path.toStdString();
            return path;
        }
        QString MidiOut() const { return dir.filePath(QStringLiteral("out.mid")); }
        QString TabOut() const { return dir.filePath(QStringLiteral("out.tab")); }

        // Every reading verb on path: each ends by itself with status 0, 1 or 2, says why when it does not
        // succeed, writes its output only on success, and leaves the input exactly as it was.
        VerbRuns RunAllVerbs(const QString& path, int limitMs = 60000)
        {
            QFile::remove(MidiOut());
            QFile::remove(TabOut());
            const FileState before = FileState::Of(path);
            VerbRuns runs;
            runs.check = RunCli({ "check", path }, limitMs);
            runs.autoname = RunCli({ "autoname", path }, limitMs);
            runs.midi = RunCli({ "midi", path, "-o", MidiOut() }, limitMs);
            runs.tab = RunCli({ "tab", path, "-o", TabOut() }, limitMs);
            EXPECT_EQ(FileState::Of(path), before) << "the input file changed";
            for (const CliRun* run : { &runs.check, &runs.autoname, &runs.midi, &runs.tab }) {
                EXPECT_FALSE(run->crashed) << run->err.toStdString();
                EXPECT_TRUE(run->exitCode >= 0 && run->exitCode <= 2) << run->exitCode;
            }
            if (runs.check.exitCode == 1) {
                EXPECT_TRUE(runs.check.out.startsWith("Line ")) << runs.check.out.left(200).toStdString();
            }
            for (const CliRun* run : { &runs.autoname, &runs.midi, &runs.tab }) {
                if (run->exitCode != 0) {
                    EXPECT_FALSE(run->err.trimmed().isEmpty()) << "a failure without a message";
                }
            }
            EXPECT_EQ(QFile::exists(MidiOut()), runs.midi.exitCode == 0);
            EXPECT_EQ(QFile::exists(TabOut()), runs.tab.exitCode == 0);
            return runs;
        }

        QTemporaryDir dir;
    };

    TEST_F(HostileFile, BinaryFilesAreChordListsFullOfErrors)
    {
        QFile program(QStringLiteral(FW_CLI_PATH));
        ASSERT_TRUE(program.open(QIODevice::ReadOnly));
        QByteArray random(64 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(7);
        for (char& c : random)
            c = static_cast<char>(generator.bounded(256));
        for (const QByteArray& bytes : { program.read(256 * 1024), random }) {
            const LoadedDocument document = ParseDocumentBytes(bytes);
            EXPECT_GT(document.lines.size(), 10);
            const VerbRuns runs = RunAllVerbs(Write(QStringLiteral("binary.bss"), bytes));
            EXPECT_EQ(runs.check.exitCode, 1);
            EXPECT_EQ(runs.autoname.exitCode, 0);
            EXPECT_EQ(runs.midi.exitCode, 1);
            EXPECT_TRUE(runs.midi.err.contains(QStringLiteral("Fix errors before creating a midi file.")));
            EXPECT_EQ(runs.tab.exitCode, 1);
            EXPECT_TRUE(runs.tab.err.contains(QStringLiteral("Fix errors before viewing tab.")));
        }
    }

    TEST_F(HostileFile, NulBytesCountAsBlanks)
    {
        static const char raw[] = "G, 3, x, x, x, Q\r\n\0\0\0\r\nE, 0\0, x, x, x, Q\r\nA\0, 0, x, x, x, H\r\n";
        const QByteArray bytes(raw, sizeof(raw) - 1);
        const LoadedDocument document = ParseDocumentBytes(bytes);
        ASSERT_EQ(document.lines.size(), 4);
        EXPECT_EQ(document.lines[1], QString(3, QChar(0)));
        const VerbRuns runs = RunAllVerbs(Write(QStringLiteral("nul.bss"), bytes));
        EXPECT_EQ(runs.check.exitCode, 0) << runs.check.out.toStdString();
        ASSERT_EQ(runs.midi.exitCode, 0) << runs.midi.err.toStdString();
        QFile midi(MidiOut());
        ASSERT_TRUE(midi.open(QIODevice::ReadOnly));
        const test::SmfSong song = test::SmfReader::Read(midi.readAll());
        EXPECT_TRUE(song.error.isEmpty()) << song.error.toStdString();
        const QList<test::SmfNote> expected { { 0, 31, 96, 127 }, { 96, 28, 96, 127 }, { 192, 28, 192, 127 } };
        EXPECT_EQ(song.notes, expected);
        EXPECT_EQ(runs.tab.exitCode, 0);
    }

    TEST_F(HostileFile, InvalidUtf8ReadsAsWindows1252)
    {
        const QByteArray bytes("* Caf\xe9 \x80 \x81\r\nG, 3, x, x, x, Q\r\n\xc3\x28, 5, x, x, x, Q\r\n");
        const LoadedDocument document = ParseDocumentBytes(bytes);
        ASSERT_EQ(document.lines.size(), 3);
        EXPECT_EQ(document.lines[0], QStringLiteral("* Caf\u00e9 \u20ac \u0081"));
        EXPECT_EQ(document.lines[2], QStringLiteral("\u00c3(, 5, x, x, x, Q"));
        const VerbRuns runs = RunAllVerbs(Write(QStringLiteral("latin.bss"), bytes));
        EXPECT_EQ(runs.check.exitCode, 0) << runs.check.out.toStdString();
        EXPECT_TRUE(QString::fromUtf8(runs.autoname.out).startsWith(QStringLiteral("* Caf\u00e9 \u20ac")));
        EXPECT_EQ(runs.midi.exitCode, 0);
    }

    TEST_F(HostileFile, TenMegabyteLines)
    {
        const QByteArray huge(10 * 1024 * 1024, 'N');
        // A chord whose name is ten megabytes long is a chord; the same length without commas is one error.
        const VerbRuns chord = RunAllVerbs(Write(QStringLiteral("longname.bss"), huge + ", 3, x, x, x, Q\r\n"));
        EXPECT_EQ(chord.check.exitCode, 0);
        EXPECT_EQ(chord.midi.exitCode, 0);
        EXPECT_EQ(chord.tab.exitCode, 0);
        EXPECT_LT(chord.autoname.out.size(), 100) << "the name is replaced, not echoed";

        const VerbRuns noCommas = RunAllVerbs(Write(QStringLiteral("nocommas.bss"), huge));
        EXPECT_EQ(noCommas.check.exitCode, 1);
        EXPECT_EQ(noCommas.check.out, "Line 1    Not enough commas.\n");
        EXPECT_EQ(noCommas.midi.exitCode, 1);

        const VerbRuns comment = RunAllVerbs(Write(QStringLiteral("comment.bss"), '*' + huge));
        EXPECT_EQ(comment.check.exitCode, 0);
        EXPECT_EQ(comment.midi.exitCode, 1);
        EXPECT_TRUE(comment.midi.err.contains(QStringLiteral("No notes defined")));
    }

    TEST_F(HostileFile, AMillionShortLines)
    {
        QByteArray bytes;
        bytes.reserve(20 * 1000 * 1000);
        for (int i = 1; i < 1000000; ++i)
            bytes += i % 4 == 0 ? "\r\n" : "E, 0, x, x, x, S\r\n";
        bytes += "oops\r\n";
        const LoadedDocument document = ParseDocumentBytes(bytes);
        EXPECT_EQ(document.lines.size(), 1000000);
        const VerbRuns runs = RunAllVerbs(Write(QStringLiteral("million.bss"), bytes), 90000);
        EXPECT_EQ(runs.check.exitCode, 1);
        EXPECT_EQ(runs.check.out, "Line 1000000    Not enough commas.\n");
        EXPECT_EQ(runs.autoname.out.count('\n'), 1000000);
        EXPECT_EQ(runs.midi.exitCode, 1);
        EXPECT_EQ(runs.tab.exitCode, 1);
    }

    TEST_F(HostileFile, CarriageReturnOnlyAndMixedLineEnds)
    {
        const LoadedDocument mixed = ParseDocumentBytes("A\r\nB\nC\rD\n\rE\r\r\nF");
        EXPECT_EQ(mixed.lines, QStringList({ "A", "B", "C", "D", "", "E", "", "F" }));

        const VerbRuns crOnly = RunAllVerbs(
            Write(QStringLiteral("cr.bss"), "*Count Off 2\rG, 3, x, x, x, Q\r\rbad line\rE, 0, x, x, x, Q\r"));
        EXPECT_EQ(crOnly.check.out, "Line 4    Not enough commas.\n");
        EXPECT_EQ(crOnly.autoname.out.count('\n'), 5);

        const VerbRuns mixedRuns = RunAllVerbs(
            Write(QStringLiteral("mixed.bss"), "G, 3, x, x, x, Q\nE, 0, x, x, x, Q\r\n\rbad\r\nE, 0, x, x, x, Q"));
        EXPECT_EQ(mixedRuns.check.out, "Line 4    Not enough commas.\n");
        QFile::remove(dir.filePath(QStringLiteral("mixed.bss")));
        const VerbRuns fixed = RunAllVerbs(
            Write(QStringLiteral("mixed.bss"), "G, 3, x, x, x, Q\nE, 0, x, x, x, Q\r\n\rA, 0, x, x, x, H\r\n"));
        ASSERT_EQ(fixed.midi.exitCode, 0);
        QFile midi(MidiOut());
        ASSERT_TRUE(midi.open(QIODevice::ReadOnly));
        const QList<test::SmfNote> expected { { 0, 31, 96, 127 }, { 96, 28, 96, 127 }, { 192, 28, 192, 127 } };
        EXPECT_EQ(test::SmfReader::Read(midi.readAll()).notes, expected);
    }

    TEST_F(HostileFile, HeaderLinesWithHugeOrNegativeNumbers)
    {
        struct Case {
            const char* patch;
            const char* tempo;
            quint32 microseconds;
            // The program change written, where the header's patch is a General MIDI program; else -1.
            int program;
        };
        // Tempos outside 1..500 are clamped; text that is no int (too large for one) gives the default 120.
        const Case cases[] { { "-5", "-120", 0xFFFFFF, -1 }, { "99999999999999999999", "100000", 120000, 33 },
            { "2147483647", "2147483647", 120000, -1 }, { "-2147483648", "-2147483648", 0xFFFFFF, -1 },
            { "1e9", "99999999999999999999", 500000, 33 }, { "", "0", 0xFFFFFF, 33 }, { "40", "300", 200000, 40 } };
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.patch) + " / " + c.tempo);
            const QByteArray bytes = QByteArray("*Info 1: x\r\n*Info 2:") + c.patch
                + "\r\n*Info 3:-99999999999\r\n*Info 4:" + c.tempo + "\r\nG, 3, x, x, x, Q\r\n";
            const LoadedDocument document = ParseDocumentBytes(bytes);
            EXPECT_EQ(document.lines, QStringList({ "G, 3, x, x, x, Q" }));
            EXPECT_GE(document.header.Tempo, MinTempo);
            EXPECT_LE(document.header.Tempo, MaxTempo);
            EXPECT_EQ(BassSoundIndexForPatch(document.header.Patch), 1);
            const VerbRuns runs = RunAllVerbs(Write(QStringLiteral("header.bss"), bytes));
            EXPECT_EQ(runs.check.exitCode, 0);
            ASSERT_EQ(runs.midi.exitCode, 0) << runs.midi.err.toStdString();
            QFile midi(MidiOut());
            ASSERT_TRUE(midi.open(QIODevice::ReadOnly));
            const test::SmfSong song = test::SmfReader::Read(midi.readAll());
            EXPECT_TRUE(song.error.isEmpty()) << song.error.toStdString();
            EXPECT_EQ(song.tempo, c.microseconds);
            ASSERT_TRUE(song.program.has_value());
            if (c.program >= 0) {
                EXPECT_EQ(*song.program, c.program);
            }
            EXPECT_EQ(song.notes.size(), 1);
        }
    }

    TEST_F(HostileFile, FilesThatCannotBeReadGiveTheReason)
    {
        const QString missing = dir.filePath(QStringLiteral("missing.bss"));
        const QString dangling = dir.filePath(QStringLiteral("dangling.bss"));
        ASSERT_TRUE(QFile::link(missing, dangling));
        const QString fifo = dir.filePath(QStringLiteral("fifo.bss"));
        ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        // Reading the process's own memory from address 0 fails with an I/O error although the file opens.
        const QString unreadable = QStringLiteral("/proc/self/mem");
        const struct {
            QString path;
            QString reason;
        } cases[] { { missing, "No such file or directory" }, { dangling, "No such file or directory" },
            { fifo, "it is not a regular file" }, { unreadable, "Input/output error" } };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.path.toStdString());
            const VerbRuns runs = RunAllVerbs(c.path, 20000);
            for (const CliRun* run : { &runs.check, &runs.autoname, &runs.midi, &runs.tab }) {
                EXPECT_EQ(run->exitCode, 2);
                EXPECT_TRUE(run->err.startsWith(QStringLiteral("fretwerk-cli: cannot read ") + c.path + u':'))
                    << run->err.toStdString();
                EXPECT_TRUE(run->err.contains(c.reason)) << run->err.toStdString();
            }
        }
    }

    TEST_F(HostileFile, APathThatIsAFolder)
    {
        QDir(dir.path()).mkdir(QStringLiteral("folder.bss"));
        const QString folder = dir.filePath(QStringLiteral("folder.bss"));
        const QString inside = Write(QStringLiteral("folder.bss/inside.bss"), "G, 3, x, x, x, Q\r\n");
        const FileState insideBefore = FileState::Of(inside);
        const VerbRuns runs = RunAllVerbs(folder);
        for (const CliRun* run : { &runs.check, &runs.autoname, &runs.midi, &runs.tab }) {
            EXPECT_EQ(run->exitCode, 2);
            EXPECT_EQ(run->err, QStringLiteral("fretwerk-cli: cannot read %1: it is a folder\n").arg(folder));
        }
        EXPECT_EQ(FileState::Of(inside), insideBefore);
        EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList({ "inside.bss" }));
    }

} // namespace
} // namespace fw
