#include "MainWindowFixture.h"
#include "QtPrinters.h"
#include "ScratchFileSystem.h"
#include "TestFiles.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fw;

namespace {

} // namespace

using TypingLines = MainWindowFixture;

TEST_F(TypingLines, AValidLineIsNamedAndRewrittenInCanonicalForm)
{
    type("x,3,x,x,x,Q");
    EXPECT_EQ(text(), "G, 3, x, x, x, Q");
    EXPECT_EQ(chordName(), "G");
    EXPECT_EQ(panel0(), "");
    EXPECT_TRUE(window.Modified);
}

TEST_F(TypingLines, ALineInErrorShowsItsMessageWithoutABox)
{
    type("G, 3, x, x, 25, Q");
    EXPECT_EQ(chordName(), "(Error in line.)");
    EXPECT_EQ(panel0(), "   ***Error***   Line 1    Fret Number for G string (\"25\") must be lower than 19.");
    EXPECT_TRUE(boxes.all().isEmpty());
    EXPECT_EQ(text(), "G, 3, x, x, 25, Q");
}

TEST_F(TypingLines, AnInvalidCountOffIsReportedAndCorrected)
{
    type("*Count Off 12");
    EXPECT_EQ(text(), "*Count Off 0");
    ASSERT_EQ(boxes.plain.size(), 1);
    EXPECT_EQ(boxes.plain.first(), "\r*Count Off 12\r\rInvalid Count Off Number. Use 0 thru 8 only.");
    EXPECT_EQ(chordName(), "Blank Line");
    EXPECT_EQ(window.chordList().CountOffBeats, 0);
}

TEST_F(TypingLines, AutoCorrectOffLeavesTheLineAsTyped)
{
    window.settings().AutoCorrect = false;
    type("x,3,x,x,x,Q");
    EXPECT_EQ(text(), "x,3,x,x,x,Q");
    EXPECT_EQ(chordName(), "x");
}

using MovingTheCaret = MainWindowFixture;

TEST_F(MovingTheCaret, KeysAndMouseShowTheCaretLine)
{
    window.RichEdit1->setPlainText("* Title: Blues\n\n*Count Off 4\nA, x, 0, x, x, Q\nbad, line");
    window.SelectLine(0, false);
    EXPECT_EQ(panel1(), "Line 1");

    clickOnLine(0);
    EXPECT_EQ(chordName(), "Comment Line");
    press(Qt::Key_Down);
    EXPECT_EQ(panel1(), "Line 2");
    EXPECT_EQ(chordName(), "Blank Line");
    press(Qt::Key_Down);
    EXPECT_EQ(chordName(), "Blank Line");
    press(Qt::Key_Down);
    EXPECT_EQ(chordName(), "A");
    EXPECT_EQ(panel1(), "Line 4");
    EXPECT_EQ(window.chordList().CountOffBeats, 4);

    clickOnLine(4);
    EXPECT_EQ(panel1(), "Line 5");
    EXPECT_EQ(chordName(), "(Error in line.)");
    EXPECT_EQ(panel0(), "   ***Error***   Line 5    Not enough commas.");
    clickOnLine(3);
    EXPECT_EQ(panel0(), "");
    EXPECT_TRUE(boxes.all().isEmpty());
}

using Hints = MainWindowFixture;

TEST_F(Hints, GoToPanelZeroOnlyWhileEnabled)
{
    QStatusTipEvent tip(window.btnPlay->statusTip());
    QApplication::sendEvent(window.btnPlay, &tip);
    EXPECT_EQ(panel0(), " Play music.");
    window.HintsEnabled = false;
    QStatusTipEvent other(QStringLiteral("Chord definition editor."));
    QApplication::sendEvent(window.RichEdit1, &other);
    EXPECT_EQ(panel0(), " Play music.");
}

TEST_F(Hints, EveryControlHasANameAndItsHint)
{
    for (const char* name : { "lblFilename", "lblChordName", "RichEdit1", "btnPlay", "btnPrev", "btnNext",
             "btnNewChord", "btnRest", "btnDup", "btnClear", "btnDelete", "btnWholeNote", "btnSixtyFourthNote",
             "btnShiftLeft", "btnShiftRight", "chkDotted", "chkTriplet", "chkAutoNewLine", "chkChordEntryMode",
             "chkLoop", "chkTrace", "trackbarTempo", "rdoPlayOptions", "lblTempo" }) {
        auto* widget = window.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty()) << name;
        EXPECT_FALSE(widget->statusTip().isEmpty()) << name;
        EXPECT_EQ(widget->accessibleDescription(), widget->statusTip()) << name;
    }
    EXPECT_EQ(window.RichEdit1->accessibleName(), "Chord list");
    EXPECT_EQ(window.findChild<QWidget*>("imgAllFrets")->accessibleName(), "Fretboard");
}

TEST_F(Hints, MenusCarryCaptionsShortcutsAndHints)
{
    auto* save = window.findChild<QAction*>("Save1");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), "&Save...");
    EXPECT_EQ(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    auto* ascii = window.findChild<QAction*>("ASCIItab1");
    ASSERT_NE(ascii, nullptr);
    EXPECT_EQ(ascii->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(ascii->statusTip(), "Show ASCII tablature window.");
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) {
        // One access key per item of a menu, or the key would open the wrong item first.
        QSet<QChar> keys;
        for (QAction* item : menu->actions()) {
            if (item->isSeparator() || !item->isVisible())
                continue;
            EXPECT_FALSE(item->statusTip().isEmpty()) << item->objectName().toStdString();
            const qsizetype amp = item->text().indexOf(u'&');
            if (amp >= 0 && amp + 1 < item->text().size()) {
                const QChar key = item->text().at(amp + 1).toLower();
                EXPECT_FALSE(keys.contains(key))
                    << item->text().toStdString() << " in " << menu->objectName().toStdString();
                keys.insert(key);
            }
        }
    }
    EXPECT_FALSE(window.Stop1->isVisible());
}

using BassSoundsMenu = MainWindowFixture;

TEST_F(BassSoundsMenu, ChoosingASoundSetsThePatchAndMarksTheDocument)
{
    EXPECT_TRUE(window.findChild<QAction*>("ElectricBassfinger1")->isChecked());
    window.Modified = false;
    window.findChild<QAction*>("SlapBass21")->trigger();
    EXPECT_EQ(window.Patch, 37);
    EXPECT_TRUE(window.Modified);
    EXPECT_FALSE(window.findChild<QAction*>("ElectricBassfinger1")->isChecked());
}

using WindowSize = MainWindowFixture;

TEST_F(WindowSize, ShrinkingStopsWhereTheControlsWouldCoverEachOther)
{
    for (const QSize asked : { QSize(400, 300), QSize(900, 700) }) {
        window.resize(asked);
        QApplication::processEvents();
        expectNoControlCoversAnother("at " + std::to_string(asked.width()));
    }
}

using Closing = MainWindowFixture;

TEST_F(Closing, AModifiedDocumentAsksAndCancelKeepsTheWindow)
{
    type("G, 3, x, x, x, Q");
    boxes.answer = MessageBoxes::Answer::Cancel;
    EXPECT_FALSE(window.close());
    EXPECT_EQ(boxes.questions, QStringList({ " Save changes to \"Untitled.bss\"?" }));
    boxes.answer = MessageBoxes::Answer::No;
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(window.player().StopRequested);
}

TEST_F(Closing, PromptsOffClosesWithoutAsking)
{
    window.settings().Prompts = false;
    type("G, 3, x, x, x, Q");
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(boxes.questions.isEmpty());
}

TEST_F(Closing, IsRefusedWhilePlaying)
{
    window.btnPlay->setText("Stop");
    EXPECT_FALSE(window.close());
    window.btnPlay->setText("Play");
}

using Documents = MainWindowFixture;

TEST_F(Documents, CommandLineFileOpensWithItsHeaderAppliedAndAddsARecentFile)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("my songs");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/walk in g.bss";
    const QByteArray bytes = "*Info 1: Fretwerk Bass Version 1.0 File Information\r\n*Info 2:35\r\n*Info 3:42\r\n"
                             "*Info 4:90\r\n*Count Off 2\r\nG, 3, x, x, x, Q\r\n\r\nRest, x, x, x, x, H\r\n";
    ASSERT_TRUE(test::WriteFileBytes(path, bytes));

    // A path with blanks may arrive split over several arguments.
    window.OpenCommandLineFile({ "fretwerk-bass", dir.filePath("my"), "songs/walk", "in", "g.bss" });
    EXPECT_EQ(text(), "*Count Off 2\nG, 3, x, x, x, Q\n\nRest, x, x, x, x, H\n");
    EXPECT_EQ(window.lblFilename->text(), "walk in g.bss");
    EXPECT_EQ(window.trackbarTempo->value(), 90);
    EXPECT_EQ(window.lblTempo->text(), "90");
    EXPECT_EQ(window.Patch, 35);
    EXPECT_TRUE(window.findChild<QAction*>("FretlessBass1")->isChecked());
    EXPECT_FALSE(window.Modified);
    EXPECT_EQ(window.settings().RecentFile0, path);
    EXPECT_TRUE(window.mnuFilename[0]->isVisible());
    EXPECT_EQ(window.windowTitle(), "walk in g.bss[*] \u2014 Fretwerk Bass");
    EXPECT_FALSE(window.isWindowModified());
    type("x");
    EXPECT_TRUE(window.isWindowModified()) << "the title marks unsaved changes";

    // Saving writes the same bytes back.
    QTest::keyClick(window.RichEdit1, Qt::Key_Backspace);
    ASSERT_TRUE(window.SaveDocument());
    EXPECT_EQ(test::ReadFileBytes(path), bytes);
    EXPECT_FALSE(window.isWindowModified());
}

TEST_F(Documents, CommandLineIgnoresOtherFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.txt");
    ASSERT_TRUE(test::WriteFileBytes(path, "G, 3, x, x, x, Q\r\n"));
    window.OpenCommandLineFile({ "fretwerk-bass", path });
    window.OpenCommandLineFile({ "fretwerk-bass", dir.filePath("missing.bss") });
    EXPECT_EQ(text(), "");
    EXPECT_EQ(window.lblFilename->text(), "Untitled.bss");
    EXPECT_TRUE(boxes.all().isEmpty());
}

TEST_F(Documents, AFailedSaveKeepsTheOldFileAndTheModifiedFlag)
{
    // Root ignores folder permissions, so there the folder lives on a file system made read-only.
    QTemporaryDir dir;
    test::ScratchFileSystem fs("64k");
    const QString folder = fs.Mounted() ? fs.Root() : dir.path();
    const QString path = folder + "/song.bss";
    ASSERT_TRUE(test::WriteFileBytes(path, "old\r\n"));
    window.OpenCommandLineFile({ "fretwerk-bass", path });
    type("G, 3, x, x, x, Q");
    const bool refusesWriting = fs.Mounted() ? fs.RemountReadOnly()
                                             : QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner)
            && !QFile(folder + "/probe").open(QIODevice::WriteOnly);
    if (!refusesWriting)
        GTEST_SKIP() << "cannot make a folder refuse writing here";
    EXPECT_FALSE(window.SaveDocument());
    if (!fs.Mounted())
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(test::ReadFileBytes(path), "old\r\n");
    EXPECT_TRUE(window.Modified);
    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors.first().contains("song.bss"));
}

TEST_F(Documents, SavingOntoAFullDiskKeepsTheOldFileAndTheModifiedFlag)
{
    test::ScratchFileSystem fs("64k");
    if (!fs.Mounted())
        GTEST_SKIP() << "cannot mount a small file system here: " << fs.Error();
    const QString path = fs.Path("song.bss");
    ASSERT_TRUE(test::WriteFileBytes(path, "old\r\n"));
    window.OpenCommandLineFile({ "fretwerk-bass", path });
    type("G, 3, x, x, x, Q");
    ASSERT_TRUE(fs.Fill());
    EXPECT_FALSE(window.SaveDocument());
    EXPECT_EQ(test::ReadFileBytes(path), "old\r\n");
    EXPECT_TRUE(window.Modified);
    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors.first().contains("song.bss"));
    EXPECT_TRUE(boxes.errors.first().contains("No space left on device")) << boxes.errors.first().toStdString();
    EXPECT_EQ(QDir(fs.Root()).entryList(QDir::Files | QDir::Hidden, QDir::Name), QStringList({ "filler", "song.bss" }))
        << "a temporary file was left behind";
}

TEST_F(Documents, SavingOverAFolderReportsItAndKeepsTheFolder)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("taken.bss");
    ASSERT_TRUE(QDir().mkpath(folder));
    type("G, 3, x, x, x, Q");
    EXPECT_FALSE(window.SaveChordList(folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors.first().contains("taken.bss"));
}

TEST_F(Documents, OpeningRenamesTheProgramsNamesAndKeepsTheUsersWhenAutoCorrectIsOn)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("raw.bss");
    ASSERT_TRUE(test::WriteFileBytes(
        path, "x,x,2,4,x,q\r\nGmaj7,3,2,4,x,Q\r\nC/E , x, 3,x,x,E\r\nIntro, 3, x, x, x, Q\r\nA,3,x,x,x,E\r\nbad\r\n"));
    window.OpenCommandLineFile({ "fretwerk-bass", path });
    const QString opened = "Chord, x, 2, 4, x, q\nGmaj7, 3, 2, 4, x, Q\nC/E, x, 3, x, x, E\nIntro, 3, x, x, x, Q\n"
                           "G, 3, x, x, x, E\nbad\n";
    EXPECT_EQ(text(), opened);
    window.RichEdit1->undo();
    EXPECT_EQ(text(), opened);
    // Moving over the lines and typing in a name keeps it too.
    window.SelectLine(1, false);
    QTest::keyClick(window.RichEdit1, Qt::Key_End);
    QTest::keyClick(window.RichEdit1, Qt::Key_Home);
    QTest::keyClicks(window.RichEdit1, "Am");
    QTest::keyClick(window.RichEdit1, Qt::Key_Down);
    EXPECT_EQ(window.RichEdit1->document()->findBlockByNumber(1).text(), "AmGmaj7, 3, 2, 4, x, Q");
    EXPECT_EQ(window.RichEdit1->document()->findBlockByNumber(2).text(), "C/E, x, 3, x, x, E");
}

using LineKindsShown = MainWindowFixture;

TEST_F(LineKindsShown, ErrorLinesAreUnderlinedAndExplainedInATooltip)
{
    window.RichEdit1->setPlainText("* a comment\nG, 3, x, x, x, Q\nG, 3, x, x, x, Z");
    const auto formatsOf
        = [this](int line) { return window.RichEdit1->document()->findBlockByNumber(line).layout()->formats(); };
    EXPECT_TRUE(formatsOf(1).isEmpty());
    ASSERT_FALSE(formatsOf(2).isEmpty());
    EXPECT_EQ(formatsOf(2).first().format.underlineStyle(), QTextCharFormat::WaveUnderline);
    ASSERT_FALSE(formatsOf(0).isEmpty());
    EXPECT_TRUE(formatsOf(0).first().format.fontItalic());

    const QTextBlock bad = window.RichEdit1->document()->findBlockByNumber(2);
    const QPoint onBad = window.RichEdit1->cursorRect(QTextCursor(bad)).center() + QPoint(3, 0);
    EXPECT_EQ(window.RichEdit1->errorTextAt(onBad), "Line 3    \"Z\" invalid. (W)hole,(H)alf,Q,E,S,T,F");
    const QTextBlock good = window.RichEdit1->document()->findBlockByNumber(1);
    EXPECT_EQ(window.RichEdit1->errorTextAt(window.RichEdit1->cursorRect(QTextCursor(good)).center()), "");
}
