#include "FileAssociation.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
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

    class XdgAssociation : public ::testing::Test {
    protected:
        void SetUp() override { ASSERT_TRUE(m_home.isValid()); }
        QString desktopPath() const { return m_home.filePath(QStringLiteral("applications/fretwerk-bass.desktop")); }
        QString mimePath() const { return m_home.filePath(QStringLiteral("mime/packages/fretwerk-bass-mime.xml")); }
        void associate(const QString& dataHome, const QString& program)
        {
            XdgFileTypeRegistrar registrar(dataHome);
            registrar.refreshCache = [this](const QString& folder) { refreshed << folder; };
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

    TEST_F(XdgAssociation, ExistingEntriesAreNotRewritten)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(desktopPath()).absolutePath()));
        QFile own(desktopPath());
        ASSERT_TRUE(own.open(QIODevice::WriteOnly));
        own.write("[Desktop Entry]\nName=Mine\n");
        own.close();
        associate(m_home.path(), Program);
        EXPECT_EQ(ReadAll(desktopPath()), QStringLiteral("[Desktop Entry]\nName=Mine\n"));
        EXPECT_TRUE(QFile::exists(mimePath()));
        EXPECT_EQ(refreshed, QStringList({ m_home.filePath(QStringLiteral("mime")) }));

        refreshed.clear();
        const QString mimeBefore = ReadAll(mimePath());
        associate(m_home.path(), QStringLiteral("/elsewhere/fretwerk-bass"));
        EXPECT_EQ(ReadAll(mimePath()), mimeBefore);
        EXPECT_TRUE(refreshed.isEmpty());
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
    }

} // namespace
} // namespace fw
