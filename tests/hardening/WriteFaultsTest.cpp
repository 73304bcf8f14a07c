#include "CliRunner.h"
#include "ScratchFileSystem.h"
#include "SoundFont.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

namespace fw {
namespace {

    using test::CliRun;
    using test::FileState;
    using test::RunCli;

    const QString Input = QStringLiteral(FW_SOURCE_DIR "/examples/twelve-bar-blues.bss");

    // The tools' two writers, each with its output name.
    struct Export {
        const char* verb;
        const char* name;
    };
    constexpr Export Exports[] { { "midi", "song.mid" }, { "tab", "song.tab" } };

    // A refused write names the file and says why, with the status for a file that cannot be written.
    void ExpectRefused(const CliRun& run, const QString& target, const QString& reason)
    {
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(QStringLiteral("Cannot write \"%1\": ").arg(target))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(reason)) << run.err.toStdString();
    }

    QStringList Entries(const QString& folder)
    {
        return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden, QDir::Name);
    }

    TEST(WriteFaults, ParentIsAFileOrTheNameIsTooLong)
    {
        QTemporaryDir dir;
        const QString plain = dir.filePath(QStringLiteral("plain.txt"));
        ASSERT_TRUE(test::WriteFileBytes(plain, "keep"));
        for (const Export& e : Exports) {
            SCOPED_TRACE(e.verb);
            const QString underFile = plain + u'/' + QLatin1String(e.name);
            ExpectRefused(RunCli({ e.verb, Input, "-o", underFile }), underFile, QStringLiteral("Not a directory"));
            const QString tooLong = dir.filePath(QString(300, u'n') + QLatin1String(e.name));
            ExpectRefused(RunCli({ e.verb, Input, "-o", tooLong }), tooLong, QStringLiteral("File name too long"));
        }
        EXPECT_EQ(Entries(dir.path()), QStringList({ "plain.txt" }));
        EXPECT_EQ(FileState::Of(plain).bytes, "keep");
    }

    TEST(WriteFaults, OverAPathThatIsAFolder)
    {
        QTemporaryDir dir;
        for (const Export& e : Exports) {
            SCOPED_TRACE(e.verb);
            const QString folder = dir.filePath(QLatin1String(e.name));
            ASSERT_TRUE(QDir(dir.path()).mkdir(QLatin1String(e.name)));
            const QString inside = folder + QStringLiteral("/inside.txt");
            ASSERT_TRUE(test::WriteFileBytes(inside, "keep"));
            const FileState before = FileState::Of(inside);
            ExpectRefused(RunCli({ e.verb, Input, "-o", folder }), folder, QStringLiteral("directory"));
            EXPECT_TRUE(QFileInfo(folder).isDir());
            EXPECT_EQ(FileState::Of(inside), before);
            EXPECT_EQ(Entries(folder), QStringList({ "inside.txt" }));
        }
        EXPECT_EQ(Entries(dir.path()), QStringList({ "song.mid", "song.tab" }));
    }

    // A small file system holding the previous version of each output, as a user's earlier export left it.
    class SmallFileSystem : public testing::Test {
    protected:
        void SetUp() override
        {
            if (!fs.Mounted())
                GTEST_SKIP() << "cannot mount a small file system here: " << fs.Error();
            for (const Export& e : Exports)
                ASSERT_TRUE(test::WriteFileBytes(Path(e.name), QByteArray("previous ") + e.name));
        }

        QString Path(const char* name) const { return fs.Path(QLatin1String(name)); }

        void ExpectPreviousFilesIntact(const QStringList& others)
        {
            for (const Export& e : Exports)
                EXPECT_EQ(FileState::Of(Path(e.name)).bytes, QByteArray("previous ") + e.name);
            QStringList expected = others + QStringList { "song.mid", "song.tab" };
            expected.sort();
            EXPECT_EQ(Entries(fs.Root()), expected) << "a temporary file was left behind";
        }

        test::ScratchFileSystem fs { "64k" };
    };

    TEST_F(SmallFileSystem, FullFileSystem)
    {
        ASSERT_TRUE(fs.Fill());
        for (const Export& e : Exports) {
            SCOPED_TRACE(e.verb);
            ExpectRefused(
                RunCli({ e.verb, Input, "-o", Path(e.name) }), Path(e.name), QStringLiteral("No space left on device"));
        }
        ExpectPreviousFilesIntact({ "filler" });
    }

    // Room for only part of a file: the write stops part way, where Qt itself reports "Unknown error".
    TEST_F(SmallFileSystem, RoomForOnlyPartOfTheFile)
    {
        ASSERT_TRUE(test::WriteFileBytes(Path("filler"), QByteArray(52 * 1024, 'f')));
        const bool soundFont = !FindSoundFont().isEmpty();
        for (const Export& e : { Export { "musicxml", "song.musicxml" }, Export { "pdf", "song.pdf" },
                 Export { "convert", "converted.musicxml" }, Export { "wav", "song.wav" } }) {
            SCOPED_TRACE(e.verb);
            if (QLatin1String(e.verb) == QLatin1String("wav") && !soundFont)
                continue;
            ExpectRefused(
                RunCli({ e.verb, Input, "-o", Path(e.name) }), Path(e.name), QStringLiteral("No space left on device"));
            EXPECT_FALSE(QFileInfo::exists(Path(e.name)));
        }
        ExpectPreviousFilesIntact({ "filler" });
    }

    TEST_F(SmallFileSystem, ReadOnlyFileSystem)
    {
        ASSERT_TRUE(fs.RemountReadOnly()) << fs.Error();
        // An existing file is refused as not writable, a new one for the read-only file system.
        for (const Export& e : Exports) {
            SCOPED_TRACE(e.verb);
            ExpectRefused(
                RunCli({ e.verb, Input, "-o", Path(e.name) }), Path(e.name), QStringLiteral("is not writable"));
            const QString fresh = Path("fresh.out");
            ExpectRefused(RunCli({ e.verb, Input, "-o", fresh }), fresh, QStringLiteral("Read-only file system"));
        }
        ExpectPreviousFilesIntact({});
    }

} // namespace
} // namespace fw
