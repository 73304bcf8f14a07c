#include "SaveAsMidi.h"
#include "ChordList.h"
#include "FakeMessageBoxes.h"
#include "MidiFileWriter.h"
#include "Pitch.h"
#include "QtPrinters.h"
#include "SaveFileDialog.h"
#include "SilentHost.h"
#include "StringListLines.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace fw {
namespace {

    struct FakeSaveDialog : SaveFileDialog {
        QList<SaveDialogRequest> requests;
        QString answer;
        QString getSaveFileName(QWidget*, const SaveDialogRequest& request) override
        {
            requests << request;
            return answer;
        }
    };

    class SaveAsMidiTest : public testing::Test {
    protected:
        void SetUp() override { ASSERT_TRUE(dir.isValid()); }

        bool Run(const QStringList& lines)
        {
            editor = StringListLines(lines);
            ChordList chordList(editor, display, boxes);
            const bool written = SaveAsMidi(chordList, boxes, dialog, nullptr, settings, lastDir);
            parsed = chordList.ParsedLines;
            return written;
        }

        QTemporaryDir dir;
        StringListLines editor;
        SilentHost display;
        FakeMessageBoxes boxes;
        FakeSaveDialog dialog;
        MidiExportSettings settings { 140, 34, QStringLiteral("/songs/walk.bss") };
        QString lastDir = QStringLiteral("/old/place");
        ParsedLineList parsed;
    };

    const QStringList Song { "* Title: Walk", "G, 3, x, x, x, Q", "", "E, x, x, x, 0, .E", "Rest, x, x, x, x, /Q" };

    TEST_F(SaveAsMidiTest, LineInErrorStopsBeforeTheDialog)
    {
        EXPECT_FALSE(Run({ "G, 3, x, x, x, Q", "G, 99, x, x, x, Q" }));
        ASSERT_GE(boxes.errors.size(), 1);
        EXPECT_EQ(boxes.errors.last(), QStringLiteral("Fix errors before creating a midi file."));
        EXPECT_TRUE(dialog.requests.isEmpty());
        EXPECT_EQ(lastDir, QStringLiteral("/old/place"));
    }

    TEST_F(SaveAsMidiTest, ChordListWithoutNotesIsRefused)
    {
        EXPECT_FALSE(Run({ "* only a comment", "", "" }));
        EXPECT_EQ(boxes.errors, QStringList { QStringLiteral("Can't create midi file. No notes defined in editor.") });
        EXPECT_TRUE(dialog.requests.isEmpty());
    }

    TEST_F(SaveAsMidiTest, DialogIsPreparedFromTheDocumentAndLastFolder)
    {
        Run(Song);
        ASSERT_EQ(dialog.requests.size(), 1);
        const SaveDialogRequest& request = dialog.requests.first();
        EXPECT_EQ(request.Title, QStringLiteral("Save As Midi"));
        EXPECT_EQ(request.Filter, QStringLiteral("Midi files (*.mid)|*.mid|All Files (*.*)|*.*"));
        EXPECT_EQ(request.Directory, QStringLiteral("/old/place"));
        EXPECT_EQ(request.ProposedName, QStringLiteral("/songs/walk.MID"));
        EXPECT_EQ(InitialSavePath(request), QStringLiteral("/old/place/walk.MID"));
    }

    TEST_F(SaveAsMidiTest, CancelWritesNothingAndKeepsLastFolder)
    {
        EXPECT_FALSE(Run(Song));
        EXPECT_TRUE(boxes.all().isEmpty());
        EXPECT_EQ(lastDir, QStringLiteral("/old/place"));
        EXPECT_TRUE(QDir(dir.path()).isEmpty());
    }

    TEST_F(SaveAsMidiTest, WritesTheFileInTicksAndRemembersItsFolder)
    {
        const QString target = dir.filePath(QStringLiteral("out.mid"));
        dialog.answer = target;
        ASSERT_TRUE(Run(Song));
        EXPECT_TRUE(boxes.all().isEmpty());
        EXPECT_EQ(lastDir, dir.path());

        // Durations in ticks of a 384-tick whole note, not milliseconds.
        EXPECT_EQ(parsed[1].DurationValue, 96);
        EXPECT_EQ(parsed[3].DurationValue, 72);
        EXPECT_EQ(parsed[4].DurationValue, 32);

        const QString reference = dir.filePath(QStringLiteral("reference.mid"));
        ASSERT_TRUE(WriteMidiFile(reference, parsed, 140, 34));
        QFile written(target);
        QFile expected(reference);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        EXPECT_EQ(bytes, expected.readAll());
        // Patch and tempo reach the conductor track: program change 34, 60000000 / 140 = 0x068A1B.
        EXPECT_TRUE(bytes.contains(QByteArray::fromHex("00C022")));
        EXPECT_TRUE(bytes.contains(QByteArray::fromHex("00FF5103068A1B")));
    }

    TEST_F(SaveAsMidiTest, FailedWriteIsReportedAndKeepsLastFolder)
    {
        const QString target = dir.filePath(QStringLiteral("missing/out.mid"));
        dialog.answer = target;
        EXPECT_FALSE(Run(Song));
        ASSERT_EQ(boxes.errors.size(), 1);
        EXPECT_TRUE(boxes.errors.first().contains(target));
        EXPECT_EQ(lastDir, QStringLiteral("/old/place"));
        EXPECT_FALSE(QFile::exists(target));
    }

    TEST(SaveFileDialogTest, PipeFiltersBecomeQtNameFilters)
    {
        EXPECT_EQ(QtNameFilters(QStringLiteral("Tab files (*.tab)|*.tab|All Files (*.*)|*.*")),
            QStringLiteral("Tab files (*.tab);;All Files (*.*)"));
        EXPECT_EQ(QtNameFilters(QStringLiteral("Songs|*.bss;*.txt")), QStringLiteral("Songs (*.bss *.txt)"));
    }

    TEST(SaveFileDialogTest, StartsInTheLastFolderOnlyWhenThereIsOne)
    {
        SaveDialogRequest request { {}, {}, {}, QStringLiteral("/songs/walk.tab") };
        EXPECT_EQ(InitialSavePath(request), QStringLiteral("/songs/walk.tab"));
        request.Directory = QStringLiteral("/exports");
        EXPECT_EQ(InitialSavePath(request), QStringLiteral("/exports/walk.tab"));
    }

} // namespace
} // namespace fw
