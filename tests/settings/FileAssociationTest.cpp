#include "FileAssociation.h"
#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <functional>
#include <gtest/gtest.h>

namespace fw {
namespace {

    struct FakeRegistrar : FileTypeRegistrar {
        QList<FileTypeEntry> entries;
        void registerFileType(const FileTypeEntry& entry) override { entries << entry; }
    };

    QString ReadAll(const QString& path) { return QString::fromUtf8(test::ReadFileBytes(path)); }

    const QString Program = QStringLiteral("/opt/fretwerk/fretwerk-bass");

    TEST(AssociateFileType, BuildsTheEntriesOfTheExtension)
    {
        FakeRegistrar registrar;
        AssociateFileType(
            QStringLiteral(".bss"), QString(), QStringLiteral("Fretwerk Bass File"), QString(), Program, registrar);
        ASSERT_EQ(registrar.entries.size(), 1);
        const FileTypeEntry& e = registrar.entries.front();
        EXPECT_EQ(e.extension, QStringLiteral(".bss"));
        EXPECT_EQ(e.typeName, QStringLiteral("bss_auto_file"));
        EXPECT_EQ(e.description, QStringLiteral("Fretwerk Bass File"));
        EXPECT_EQ(e.icon, QString());
        EXPECT_EQ(e.openCommand(), Program + QStringLiteral(" %1"));
    }

    TEST(AssociateFileType, DotsAnywhereGiveTheSameKeyAndEmptyPartsDoNothing)
    {
        FakeRegistrar registrar;
        for (const char* ext : { "bss", ".bss", "..bss", ".b.ss." })
            AssociateFileType(QString::fromLatin1(ext), QString(), QString(), QString(), Program, registrar);
        ASSERT_EQ(registrar.entries.size(), 4);
        for (const FileTypeEntry& e : registrar.entries) {
            EXPECT_EQ(e.extension, QStringLiteral(".bss"));
            EXPECT_EQ(e.typeName, QStringLiteral("bss_auto_file"));
        }

        registrar.entries.clear();
        AssociateFileType(QString(), QString(), QString(), QString(), Program, registrar);
        AssociateFileType(QStringLiteral("..."), QString(), QString(), QString(), Program, registrar);
        AssociateFileType(QStringLiteral("bss"), QString(), QString(), QString(), QString(), registrar);
        EXPECT_TRUE(registrar.entries.isEmpty());

        AssociateFileType(QStringLiteral("bss"), QStringLiteral("FretwerkBass.Document"), QString(),
            QStringLiteral("icon.ico"), Program, registrar);
        ASSERT_EQ(registrar.entries.size(), 1);
        EXPECT_EQ(registrar.entries.front().typeName, QStringLiteral("FretwerkBass.Document"));
        EXPECT_EQ(registrar.entries.front().icon, QStringLiteral("icon.ico"));
    }

    void WriteText(const QString& path, const QString& text, bool executable = false)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }

    // Everything below a folder, as paths relative to it with their contents.
    QMap<QString, QString> Tree(const QString& root)
    {
        QMap<QString, QString> files;
        QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files.insert(QDir(root).relativeFilePath(path), ReadAll(path));
        }
        return files;
    }

    class XdgAssociation : public ::testing::Test {
    protected:
        void SetUp() override { ASSERT_TRUE(m_home.isValid()); }
        QString desktopPath() const { return m_home.filePath(QStringLiteral("applications/fretwerk-bass.desktop")); }
        QString mimePath() const { return m_home.filePath(QStringLiteral("mime/packages/fretwerk-bass-mime.xml")); }
        void associate(const QString& dataHome, const QString& program, const QStringList& systemDirs = {},
            const QStringList& searchPaths = {})
        {
            XdgFileTypeRegistrar registrar(dataHome, systemDirs);
            registrar.refreshCache = [this](const QString& folder) { refreshed << folder; };
            registrar.programSearchPaths = searchPaths;
            AssociateFileType(
                QStringLiteral(".bss"), QString(), QStringLiteral("Fretwerk Bass File"), QString(), program, registrar);
        }
        QTemporaryDir m_home;
        QStringList refreshed;
    };

    TEST_F(XdgAssociation, WritesDesktopEntryAndMimePackageIntoTheDataHome)
    {
        associate(m_home.path(), Program);
        const QString desktop = ReadAll(desktopPath());
        EXPECT_TRUE(desktop.startsWith(QStringLiteral("[Desktop Entry]\n")));
        EXPECT_TRUE(desktop.contains(QStringLiteral("\nExec=/opt/fretwerk/fretwerk-bass %f\n")));
        EXPECT_TRUE(desktop.contains(QStringLiteral("\nMimeType=application/x-fretwerk-bass;\n")));
        EXPECT_TRUE(desktop.contains(QStringLiteral("\nType=Application\n")));

        QXmlStreamReader xml(ReadAll(mimePath()));
        QString type, comment, glob;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("mime-type"))
                type = xml.attributes().value(QLatin1String("type")).toString();
            else if (xml.name() == QLatin1String("comment"))
                comment = xml.readElementText();
            else if (xml.name() == QLatin1String("glob"))
                glob = xml.attributes().value(QLatin1String("pattern")).toString();
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_EQ(type, QStringLiteral("application/x-fretwerk-bass"));
        EXPECT_EQ(comment, QStringLiteral("Fretwerk Bass File"));
        EXPECT_EQ(glob, QStringLiteral("*.bss"));
        EXPECT_EQ(refreshed,
            QStringList({ m_home.filePath(QStringLiteral("applications")), m_home.filePath(QStringLiteral("mime")) }));
    }

    TEST_F(XdgAssociation, ProgramPathWithBlanksIsQuotedInExec)
    {
        associate(m_home.path(), QStringLiteral("/home/a b/100%/fretwerk-bass"));
        EXPECT_TRUE(ReadAll(desktopPath()).contains(QStringLiteral("\nExec=\"/home/a b/100%%/fretwerk-bass\" %f\n")));
    }

    TEST(DesktopEntryProgram, ReadsBackTheProgramOfEveryWrittenEntry)
    {
        for (const char* path : { "/opt/fretwerk/fretwerk-bass", "/home/a b/100%/fretwerk-bass",
                 "/home/\"q\" $HOME `x` \\/fret;werk", "fretwerk-bass" }) {
            const QString program = QString::fromUtf8(path);
            const FileTypeEntry entry { QStringLiteral(".bss"), QString(), QString(), QString(), program };
            EXPECT_EQ(DesktopEntryProgram(XdgFileTypeRegistrar::desktopEntryText(entry)), program) << path;
        }
        // Only the main group counts; blanks around "=" and string escapes are allowed.
        EXPECT_EQ(DesktopEntryProgram(QStringLiteral("[Desktop Action New]\nExec=/other %f\n[Desktop Entry]\n"
                                                     "Name=X\nExec = \"/usr/bin/fret\\swerk\" --new %f\n")),
            QStringLiteral("/usr/bin/fret werk"));
        EXPECT_EQ(DesktopEntryProgram(QStringLiteral("[Desktop Entry]\nName=Mine\n")), QString());
    }

    // The user's own entry is rewritten exactly when it starts another program than the running one.
    TEST_F(XdgAssociation, UsersEntryIsRewrittenWhenItStartsAnotherProgram)
    {
        QTemporaryDir scratch;
        const QString program = scratch.filePath(QStringLiteral("bin/fretwerk-bass"));
        WriteText(program, QString(), true);
        ASSERT_TRUE(QFile::link(scratch.filePath(QStringLiteral("bin")), scratch.filePath(QStringLiteral("link"))));
        const QString mimeOfMine = QStringLiteral("<mime-info/>\n");
        const struct {
            const char* name;
            QString exec;
            bool rewritten;
        } cases[] = {
            { "this program", QStringLiteral("Exec=") + program + QStringLiteral(" %f\n"), false },
            { "this program by name", QStringLiteral("Exec=fretwerk-bass %f\n"), false },
            { "this program through a link",
                QStringLiteral("Exec=") + scratch.filePath(QStringLiteral("link/../link/fretwerk-bass"))
                    + QStringLiteral(" %f\n"),
                false },
            { "a moved program", QStringLiteral("Exec=/old/place/fretwerk-bass %f\n"), true },
            { "a program by name not found", QStringLiteral("Exec=fretwerk-bass-old %f\n"), true },
            { "no program", QString(), true },
        };
        for (const auto& c : cases) {
            const QString mine = QStringLiteral("[Desktop Entry]\nName=Mine\n") + c.exec;
            WriteText(desktopPath(), mine);
            WriteText(mimePath(), mimeOfMine);
            refreshed.clear();
            associate(m_home.path(), program, {}, { scratch.filePath(QStringLiteral("bin")) });
            const FileTypeEntry written { QStringLiteral(".bss"), QString(), QStringLiteral("Fretwerk Bass File"),
                QString(), program };
            EXPECT_EQ(ReadAll(desktopPath()), c.rewritten ? XdgFileTypeRegistrar::desktopEntryText(written) : mine)
                << c.name;
            EXPECT_EQ(ReadAll(mimePath()), c.rewritten ? XdgFileTypeRegistrar::mimePackageText(written) : mimeOfMine)
                << c.name;
            EXPECT_EQ(refreshed.size(), c.rewritten ? 2 : 0) << c.name;
        }

        // A current entry whose MIME package is gone gets the package back, and only that.
        ASSERT_TRUE(QFile::remove(mimePath()));
        const QString desktopBefore = ReadAll(desktopPath());
        refreshed.clear();
        associate(m_home.path(), program, {}, { scratch.filePath(QStringLiteral("bin")) });
        EXPECT_EQ(ReadAll(desktopPath()), desktopBefore);
        EXPECT_TRUE(QFile::exists(mimePath()));
        EXPECT_EQ(refreshed, QStringList({ m_home.filePath(QStringLiteral("mime")) }));
    }

    // A program started from where the package put it leaves the user's folders to the installed files.
    TEST_F(XdgAssociation, InstalledEntryOfTheRunningProgramKeepsTheUsersFoldersFree)
    {
        QTemporaryDir root;
        const QString usr = root.filePath(QStringLiteral("usr/share"));
        const QString local = root.filePath(QStringLiteral("usr/local/share"));
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        const QString installed = bin + QStringLiteral("/fretwerk-bass");
        const QString built = root.filePath(QStringLiteral("build/bin/fretwerk-bass"));
        WriteText(installed, QString(), true);
        WriteText(built, QString(), true);
        const QString packaging = QStringLiteral(FW_SOURCE_DIR "/packaging/");
        WriteText(usr + QStringLiteral("/applications/fretwerk-bass.desktop"),
            ReadAll(packaging + QStringLiteral("fretwerk-bass.desktop")));
        WriteText(usr + QStringLiteral("/mime/packages/fretwerk-bass-mime.xml"),
            ReadAll(packaging + QStringLiteral("fretwerk-bass-mime.xml")));
        const QStringList systemDirs { local, usr };
        const QString stale = QStringLiteral("[Desktop Entry]\nExec=/old/place/fretwerk-bass %f\n");

        // Installed, started from there, with a clean home: nothing at all is written.
        associate(m_home.path(), installed, systemDirs, { bin });
        EXPECT_TRUE(Tree(m_home.path()).isEmpty());
        EXPECT_TRUE(refreshed.isEmpty());

        // A per-user entry of another program would hide the installed one: it goes, with its package.
        WriteText(desktopPath(), stale);
        WriteText(mimePath(), QStringLiteral("<mime-info/>\n"));
        associate(m_home.path(), installed, systemDirs, { bin });
        EXPECT_TRUE(Tree(m_home.path()).isEmpty());
        EXPECT_EQ(refreshed.size(), 2);

        // A per-user entry of this very program is left as it is.
        const QString own = QStringLiteral("[Desktop Entry]\nExec=") + installed + QStringLiteral(" %f\n");
        WriteText(desktopPath(), own);
        refreshed.clear();
        associate(m_home.path(), installed, systemDirs, { bin });
        EXPECT_EQ(Tree(m_home.path()),
            (QMap<QString, QString> { { QStringLiteral("applications/fretwerk-bass.desktop"), own } }));
        EXPECT_TRUE(refreshed.isEmpty());
        ASSERT_TRUE(QFile::remove(desktopPath()));

        // Started from a build folder, or when the installed association is incomplete or hidden by
        // an earlier folder's entry of another program, the user's own files are written.
        const struct {
            const char* name;
            QString program;
            std::function<void()> arrange;
        } cases[] = {
            { "started from a build folder", built, [] {} },
            { "installed MIME package missing", installed,
                [&] { QFile::remove(usr + QStringLiteral("/mime/packages/fretwerk-bass-mime.xml")); } },
            { "earlier folder names another program", installed,
                [&] {
                    WriteText(usr + QStringLiteral("/mime/packages/fretwerk-bass-mime.xml"),
                        ReadAll(packaging + QStringLiteral("fretwerk-bass-mime.xml")));
                    WriteText(local + QStringLiteral("/applications/fretwerk-bass.desktop"), stale);
                } },
        };
        for (const auto& c : cases) {
            QDir(m_home.path()).removeRecursively();
            c.arrange();
            associate(m_home.path(), c.program, systemDirs, { bin });
            EXPECT_TRUE(
                ReadAll(desktopPath()).contains(QStringLiteral("\nExec=") + c.program + QStringLiteral(" %f\n")))
                << c.name;
            EXPECT_TRUE(QFile::exists(mimePath())) << c.name;
        }
    }

    TEST_F(XdgAssociation, UnwritableDataHomeIsSkippedSilently)
    {
        // A plain file where the folder should be: nothing can be created below it, even by root.
        const QString blocker = m_home.filePath(QStringLiteral("blocker"));
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        associate(blocker + QStringLiteral("/share"), Program);
        EXPECT_TRUE(refreshed.isEmpty());
        EXPECT_EQ(QFileInfo(blocker).size(), 0);
    }

    TEST(UserDataHome, FollowsAnAbsoluteXdgDataHomeElseTheHomeFolder)
    {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", "/tmp/fw-data");
        EXPECT_EQ(UserDataHome(), QStringLiteral("/tmp/fw-data"));
        qputenv("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(UserDataHome(), QDir::homePath() + QStringLiteral("/.local/share"));
        qunsetenv("XDG_DATA_HOME");
        EXPECT_EQ(UserDataHome(), QDir::homePath() + QStringLiteral("/.local/share"));
        if (!saved.isNull())
            qputenv("XDG_DATA_HOME", saved);
    }

    // The files installed by cmake --install say the same as the ones written at start.
    TEST(Packaging, InstalledFilesMatchTheWrittenOnes)
    {
        const FileTypeEntry entry { QStringLiteral(".bss"), QStringLiteral("bss_auto_file"),
            QStringLiteral("Fretwerk Bass File"), QString(), QStringLiteral("fretwerk-bass") };
        const QString packaging = QStringLiteral(FW_SOURCE_DIR "/packaging/");
        EXPECT_EQ(ReadAll(packaging + QStringLiteral("fretwerk-bass.desktop")),
            XdgFileTypeRegistrar::desktopEntryText(entry));
        EXPECT_EQ(ReadAll(packaging + QStringLiteral("fretwerk-bass-mime.xml")),
            XdgFileTypeRegistrar::mimePackageText(entry));

        // The AppStream data names the same desktop entry and file type, so software centres link them.
        QXmlStreamReader xml(ReadAll(packaging + QStringLiteral("org.fretwerk.bass.metainfo.xml")));
        QString launchable, mediatype;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("launchable"))
                launchable = xml.readElementText();
            else if (xml.name() == QLatin1String("mediatype"))
                mediatype = xml.readElementText();
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_EQ(launchable, XdgFileTypeRegistrar::DesktopFileName);
        EXPECT_EQ(mediatype, XdgFileTypeRegistrar::MimeType);
    }

} // namespace
} // namespace fw
