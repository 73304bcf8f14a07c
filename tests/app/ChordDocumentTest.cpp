#include "ChordDocument.h"

#include "FakeFileDialogs.h"
#include "FakeMessageBoxes.h"
#include "QtPrinters.h"
#include "Settings.h"
#include "StringListLines.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fw;

namespace {

// The window's side of a document, kept as plain values.
struct FakeDocumentHost : DocumentHost {
    StringListLines& lines;
    bool isModified = false;
    QString shownName;
    QStringList recent;
    DocumentHeader header;

    explicit FakeDocumentHost(StringListLines& editorLines)
        : lines(editorLines)
    {
    }
    bool modified() const override { return isModified; }
    void setModified(bool modified) override { isModified = modified; }
    bool isPlaying() const override { return false; }
    void resetDocumentState() override { header = {}; }
    DocumentHeader headerValues() const override { return header; }
    void applyHeaderValues(const DocumentHeader& values) override { header = values; }
    void setEditorText(const QString& text) override
    {
        lines = StringListLines(text.isEmpty() ? QStringList() : text.split('\n'));
    }
    QStringList autoNameLines(const QStringList& list) override { return list; }
    void showDocumentName(const QString& fileName) override { shownName = fileName; }
    void showRecentFiles(const QStringList& names) override { recent = names; }
    void showFirstLine() override { }
    void focusEditor() override { }
};

struct ChordDocumentFixture : testing::Test {
    QTemporaryDir dir;
    StringListLines lines;
    FakeDocumentHost host { lines };
    FakeMessageBoxes boxes;
    FakeFileDialogs dialogs;
    Settings settings;
    ChordDocument document { lines, host, boxes, dialogs, settings };

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::WriteFileBytes(path, bytes));
        return path;
    }
};

} // namespace

TEST_F(ChordDocumentFixture, TheChosenNameStandsForItsBssFileWhateverTheCaseOfTheExtensionOnDisk)
{
    write("OLDSONG.BSS", "");
    write("song.bss", "");
    write("Mixed.Bss", "");
    const struct {
        const char* chosen;
        const char* file;
    } cases[] = {
        { "OLDSONG.BSS", "OLDSONG.BSS" },
        { "OLDSONG.txt", "OLDSONG.BSS" },
        { "OLDSONG", "OLDSONG.BSS" },
        { "song.txt", "song.bss" },
        { "Mixed.bss", "Mixed.Bss" },
        { "oldsong.bss", "oldsong.bss" }, // another name, not another case of the extension
        { "missing.txt", "missing.bss" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChordListFileFor(dir.filePath(c.chosen)), dir.filePath(c.file)) << c.chosen;
}

TEST_F(ChordDocumentFixture, OnlyACommandLineFileThatWasReadBecomesARecentFile)
{
    // A regular file whose reading fails: the process's own memory at address 0.
    const QString unreadable = dir.filePath("broken.bss");
    ASSERT_TRUE(QFile::link("/proc/self/mem", unreadable));
    document.OpenCommandLineFile({ "fretwerk-bass", unreadable });
    EXPECT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(settings.RecentFile0.isEmpty());
    EXPECT_EQ(document.name(), "Untitled.bss");

    const QString good = write("good.bss", "*Info 1:\r\n*Info 2:40\r\n*Info 3:7\r\n*Info 4:90\r\nG, 3, x, x, x, Q\r\n");
    document.OpenCommandLineFile({ "fretwerk-bass", good });
    EXPECT_EQ(settings.RecentFile0, good);
    EXPECT_EQ(host.recent, QStringList({ good, "", "" }));
    EXPECT_EQ(lines.lines(), QStringList({ "G, 3, x, x, x, Q", "" }));
    EXPECT_EQ(host.header.Patch, 40);
    EXPECT_EQ(host.header.Tempo, 90);
    EXPECT_EQ(document.Info3Value, 7);
    EXPECT_EQ(host.shownName, good);
    EXPECT_FALSE(host.isModified);
}

TEST_F(ChordDocumentFixture, SaveAsAsksOnlyAboutAnExistingFileAndWritesNothingOnNo)
{
    host.setEditorText("G, 3, x, x, x, Q");
    dialogs.nextSave = dir.filePath("fresh");
    document.SaveAs1Click();
    EXPECT_TRUE(dialogs.overwriteQuestions.isEmpty());
    EXPECT_EQ(document.name(), dir.filePath("fresh.bss"));

    const QString taken = write("taken.bss", "old");
    host.isModified = true;
    dialogs.nextSave = dir.filePath("taken.txt");
    document.SaveAs1Click();
    EXPECT_EQ(dialogs.overwriteQuestions, QStringList({ taken }));
    EXPECT_EQ(test::ReadFileBytes(taken), "old");
    EXPECT_EQ(document.name(), dir.filePath("fresh.bss"));
    EXPECT_TRUE(host.isModified);
}
