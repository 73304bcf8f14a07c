#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace fw {
namespace {

    struct FakeStore : KeyValueStore {
        QMap<QString, QString> values; // "Section/Name"
        std::optional<QString> read(const QString& section, const QString& name) const override
        {
            const auto it = values.find(section + QLatin1Char('/') + name);
            return it == values.end() ? std::nullopt : std::optional<QString>(*it);
        }
        void write(const QString& section, const QString& name, const QString& value) override
        {
            values[section + QLatin1Char('/') + name] = value;
        }
    };

    Settings Unusual(const QString& existingFolder)
    {
        Settings s;
        s.Prompts = false;
        s.TabPrompt = false;
        s.TabFont = true;
        s.ShowChordName = true;
        s.ShowFretNumbers = false;
        s.CursorPlays = true;
        s.LastDir = existingFolder;
        s.InstallDir = existingFolder;
        s.MarkerColor = 0x0000FF;
        s.MarkerShape = 1;
        s.NewTuning = QStringLiteral("B E A D G");
        s.AutoCorrect = false;
        s.ChordEntryMode = true;
        s.AutoLineAdvance = false;
        s.ExternalMIDI = true;
        s.Device = 2;
        s.Octave = 0;
        s.Channel = 9;
        s.Patch = 35;
        s.SoundFont = QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2");
        s.RecentFile0 = QStringLiteral("/home/a/one, two.bss");
        s.RecentFile1 = QStringLiteral("/home/a/b=c;d.bss");
        s.RecentFile2 = QString::fromUtf8("/home/a/caf\u00e9 \"x\".bss");
        s.Welcomed = true;
        return s;
    }

    TEST(ParseSettingInt, AcceptsDecimalHexAndSignsOnly)
    {
        EXPECT_EQ(ParseSettingInt(QStringLiteral("12")), 12);
        EXPECT_EQ(ParseSettingInt(QStringLiteral("  -3")), -3);
        EXPECT_EQ(ParseSettingInt(QStringLiteral("+4")), 4);
        EXPECT_EQ(ParseSettingInt(QStringLiteral("0x00FFFF00")), 16776960);
        EXPECT_EQ(ParseSettingInt(QStringLiteral("0Xff")), 255);
        EXPECT_EQ(ParseSettingInt(QStringLiteral("$10")), 16);
        EXPECT_EQ(ParseSettingInt(QStringLiteral("0xFFFFFFFF")), -1);
        EXPECT_EQ(ParseSettingInt(QStringLiteral("-2147483648")), std::numeric_limits<int>::min());
        for (const char* bad :
            { "", " ", "-", "0x", "$", "12a", "1 ", "1.5", "2147483648", "0x100000000", "ff", "0x-1" })
            EXPECT_FALSE(ParseSettingInt(QString::fromLatin1(bad)).has_value()) << bad;
    }

    TEST(LoadSettings, EmptyStoreGivesEveryDefault)
    {
        const FakeStore empty;
        const Settings s = LoadSettings(empty);
        EXPECT_TRUE(s.Prompts);
        EXPECT_TRUE(s.TabPrompt);
        EXPECT_FALSE(s.TabFont);
        EXPECT_FALSE(s.ShowChordName);
        EXPECT_TRUE(s.ShowFretNumbers);
        EXPECT_FALSE(s.CursorPlays);
        EXPECT_EQ(s.LastDir, QString());
        EXPECT_EQ(s.InstallDir, QDir::currentPath());
        EXPECT_EQ(s.MarkerColor, 16776960);
        EXPECT_EQ(s.MarkerShape, 5);
        EXPECT_TRUE(s.AutoCorrect);
        EXPECT_FALSE(s.ChordEntryMode);
        EXPECT_TRUE(s.AutoLineAdvance);
        EXPECT_FALSE(s.ExternalMIDI);
        EXPECT_EQ(s.Device, -1);
        EXPECT_EQ(s.Octave, -12);
        EXPECT_EQ(s.Channel, 0);
        EXPECT_EQ(s.Patch, 33);
        EXPECT_EQ(s.SoundFont, QString());
        EXPECT_EQ(s.RecentFile0, QString());
        EXPECT_EQ(s.RecentFile1, QString());
        EXPECT_EQ(s.RecentFile2, QString());
        EXPECT_FALSE(s.Welcomed);
    }

    TEST(LoadSettings, ReadsNumbersHexAndBooleansFromText)
    {
        FakeStore store;
        store.values[QStringLiteral("Options/MarkerColor")] = QStringLiteral("0x00FF00FF");
        store.values[QStringLiteral("Options/Prompts")] = QStringLiteral("0");
        store.values[QStringLiteral("Options/TabFont")] = QStringLiteral("2");
        store.values[QStringLiteral("Options/CursorPlays")] = QStringLiteral("0x1");
        store.values[QStringLiteral("Midi/Device")] = QStringLiteral(" 3");
        store.values[QStringLiteral("Midi/Octave")] = QStringLiteral("-24");
        const Settings s = LoadSettings(store);
        EXPECT_EQ(s.MarkerColor, 0x00FF00FF);
        EXPECT_FALSE(s.Prompts);
        EXPECT_TRUE(s.TabFont);
        EXPECT_TRUE(s.CursorPlays);
        EXPECT_EQ(s.Device, 3);
        EXPECT_EQ(s.Octave, -24);
    }

    TEST(LoadSettings, UnparsableAndOutOfRangeValuesGiveTheDefault)
    {
        FakeStore store;
        store.values[QStringLiteral("Options/Prompts")] = QStringLiteral("yes");
        store.values[QStringLiteral("Options/TabFont")] = QStringLiteral("true");
        store.values[QStringLiteral("Options/MarkerColor")] = QStringLiteral("cyan");
        store.values[QStringLiteral("Options/MarkerShape")] = QStringLiteral("9");
        store.values[QStringLiteral("Midi/Device")] = QStringLiteral("");
        store.values[QStringLiteral("Midi/Channel")] = QStringLiteral("16");
        store.values[QStringLiteral("Midi/Patch")] = QStringLiteral("300");
        const Settings s = LoadSettings(store);
        EXPECT_TRUE(s.Prompts);
        EXPECT_FALSE(s.TabFont);
        EXPECT_EQ(s.MarkerColor, 16776960);
        EXPECT_EQ(s.MarkerShape, 5);
        EXPECT_EQ(s.Device, -1);
        EXPECT_EQ(s.Channel, 0);
        EXPECT_EQ(s.Patch, 33);
    }

    TEST(LoadSettings, FolderChecks)
    {
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QString kept = temp.filePath(QStringLiteral("kept"));
        const QString deleted = temp.filePath(QStringLiteral("deleted"));
        ASSERT_TRUE(QDir().mkpath(kept));
        ASSERT_TRUE(QDir().mkpath(deleted));
        ASSERT_TRUE(QDir(deleted).removeRecursively());
        QFile plainFile(temp.filePath(QStringLiteral("file.bss")));
        ASSERT_TRUE(plainFile.open(QIODevice::WriteOnly));
        plainFile.close();

        FakeStore store;
        store.values[QStringLiteral("Options/LastDir")] = kept;
        store.values[QStringLiteral("Options/InstallDir")] = kept;
        Settings s = LoadSettings(store);
        EXPECT_EQ(s.LastDir, kept);
        EXPECT_EQ(s.InstallDir, kept);

        store.values[QStringLiteral("Options/LastDir")] = deleted;
        store.values[QStringLiteral("Options/InstallDir")] = deleted;
        s = LoadSettings(store);
        EXPECT_EQ(s.LastDir, QString());
        EXPECT_EQ(s.InstallDir, QDir::currentPath());

        // A file is not a folder.
        store.values[QStringLiteral("Options/LastDir")] = plainFile.fileName();
        EXPECT_EQ(LoadSettings(store).LastDir, QString());
    }

    TEST(SaveSettings, WritesEveryValueAsTextInItsSection)
    {
        FakeStore store;
        Settings s;
        s.InstallDir = QStringLiteral("/opt/fw");
        s.Device = -2;
        SaveSettings(s, store);
        EXPECT_EQ(store.values.size(), 24);
        EXPECT_EQ(store.values.value(QStringLiteral("Options/NewTuning")), QString());
        EXPECT_EQ(store.values.value(QStringLiteral("Options/Prompts")), QStringLiteral("1"));
        EXPECT_EQ(store.values.value(QStringLiteral("Options/TabFont")), QStringLiteral("0"));
        EXPECT_EQ(store.values.value(QStringLiteral("Options/MarkerColor")), QStringLiteral("16776960"));
        EXPECT_EQ(store.values.value(QStringLiteral("Options/InstallDir")), QStringLiteral("/opt/fw"));
        EXPECT_EQ(store.values.value(QStringLiteral("Options/Welcomed")), QStringLiteral("0"));
        EXPECT_EQ(store.values.value(QStringLiteral("Midi/Device")), QStringLiteral("-2"));
        EXPECT_EQ(store.values.value(QStringLiteral("Midi/Octave")), QStringLiteral("-12"));
        EXPECT_EQ(store.values.value(QStringLiteral("Midi/Patch")), QStringLiteral("33"));
        EXPECT_TRUE(store.values.contains(QStringLiteral("Midi/SoundFont")));
        EXPECT_TRUE(store.values.contains(QStringLiteral("Recent/RecentFile2")));
    }

    TEST(SaveSettings, RoundTripThroughAStore)
    {
        QTemporaryDir temp;
        const Settings original = Unusual(temp.path());
        FakeStore store;
        SaveSettings(original, store);
        EXPECT_EQ(LoadSettings(store), original);
    }

    // The platform store, pointed at a temporary folder: the user's own configuration is never touched.
    class PlatformStore : public ::testing::Test {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(m_config.isValid());
            qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
            QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
        }
        QString configFile() const { return m_config.filePath(QStringLiteral("Fretwerk Bass/Fretwerk Bass.conf")); }
        QTemporaryDir m_config;
    };

    TEST_F(PlatformStore, FirstStartGivesDefaultsAndExitCreatesEveryValue)
    {
        ASSERT_FALSE(QFile::exists(configFile()));
        Settings s = LoadSettings();
        EXPECT_EQ(s, [] {
            Settings d;
            d.InstallDir = QDir::currentPath();
            return d;
        }());
        EXPECT_FALSE(s.Welcomed);

        s.Welcomed = true;
        SaveSettings(s);
        QFile file(configFile());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString text = QString::fromUtf8(file.readAll());
        for (const char* expected : { "[Options]", "[Midi]", "[Recent]", "Prompts=1", "TabFont=0", "Welcomed=1",
                 "MarkerColor=16776960", "Octave=-12", "RecentFile0=" })
            EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected;

        EXPECT_TRUE(LoadSettings().Welcomed);
    }

    TEST_F(PlatformStore, RoundTripKeepsEveryValue)
    {
        QTemporaryDir folder;
        const Settings original = Unusual(folder.path());
        SaveSettings(original);
        EXPECT_EQ(LoadSettings(), original);
    }

    TEST_F(PlatformStore, ReadsHexColourAndDropsDeletedLastDirFromAFileWrittenByHand)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(configFile()).absolutePath()));
        QFile file(configFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write("[Options]\nMarkerColor=0x000000FF\nLastDir=/no/such/folder/anywhere\nShowChordName=1\n"
                   "[Midi]\nChannel=0x9\n");
        file.close();
        const Settings s = LoadSettings();
        EXPECT_EQ(s.MarkerColor, 255);
        EXPECT_EQ(s.LastDir, QString());
        EXPECT_TRUE(s.ShowChordName);
        EXPECT_EQ(s.Channel, 9);
    }

} // namespace
} // namespace fw
