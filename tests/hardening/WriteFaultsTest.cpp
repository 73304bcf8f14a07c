#include "CliRunner.h"

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

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
        ASSERT_TRUE(test::WriteBytes(plain, "keep"));
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
            ASSERT_TRUE(test::WriteBytes(inside, "keep"));
            const FileState before = FileState::Of(inside);
            ExpectRefused(RunCli({ e.verb, Input, "-o", folder }), folder, QStringLiteral("directory"));
            EXPECT_TRUE(QFileInfo(folder).isDir());
            EXPECT_EQ(FileState::Of(inside), before);
            EXPECT_EQ(Entries(folder), QStringList({ "inside.txt" }));
        }
        EXPECT_EQ(Entries(dir.path()), QStringList({ "song.mid", "song.tab" }));
    }

    // A small tmpfs of our own: the only way to make a full or read-only file system for a root process.
    class SmallFileSystem : public testing::Test {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(dir.isValid());
            mountPoint = dir.filePath(QStringLiteral("fs"));
            ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("fs")));
            if (mount("fw-test", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=64k") != 0)
                GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
            mounted = true;
        }
        void TearDown() override
        {
            if (mounted)
                umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
        }

        // A previous version of each output, as a user's earlier export would have left it.
        void WritePreviousFiles()
        {
            for (const Export& e : Exports)
                ASSERT_TRUE(test::WriteBytes(Path(e.name), QByteArray("previous ") + e.name));
        }
        QString Path(const char* name) const { return mountPoint + u'/' + QLatin1String(name); }

        void ExpectPreviousFilesIntact(const QStringList& others)
        {
            for (const Export& e : Exports)
                EXPECT_EQ(FileState::Of(Path(e.name)).bytes, QByteArray("previous ") + e.name);
            QStringList expected = others + QStringList { "song.mid", "song.tab" };
            expected.sort();
            EXPECT_EQ(Entries(mountPoint), expected) << "a temporary file was left behind";
        }

        QTemporaryDir dir;
        QString mountPoint;
        bool mounted = false;
    };

    TEST_F(SmallFileSystem, FullFileSystem)
    {
        WritePreviousFiles();
        QFile filler(Path("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) { }
        filler.close();
        for (const Export& e : Exports) {
            SCOPED_TRACE(e.verb);
            ExpectRefused(
                RunCli({ e.verb, Input, "-o", Path(e.name) }), Path(e.name), QStringLiteral("No space left on device"));
        }
        ExpectPreviousFilesIntact({ "filler" });
    }

    TEST_F(SmallFileSystem, ReadOnlyFileSystem)
    {
        WritePreviousFiles();
        ASSERT_EQ(
            mount(nullptr, QFile::encodeName(mountPoint).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
            << std::strerror(errno);
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
