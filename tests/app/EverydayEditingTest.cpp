#include "MainWindowFixture.h"

#include "FakeFileDialogs.h"
#include "HelpWindow.h"
#include "TestFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTemporaryDir>

using namespace fw;

namespace {

// The user's keys go to the real editor of the real window; only the file dialogs and message
// boxes are answered by fakes.
struct EverydayEditing : MainWindowFixture {
    FakeFileDialogs dialogs;
    QTemporaryDir dir;

    EverydayEditing() { window.setFileDialogs(&dialogs); }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::WriteFileBytes(path, bytes));
        return path;
    }
    void ctrl(Qt::Key key, Qt::KeyboardModifiers more = {})
    {
        QTest::keyClick(window.RichEdit1, key, Qt::ControlModifier | more);
    }
    int caret() const { return window.RichEdit1->textCursor().position(); }
    QString selected() const { return window.RichEdit1->textCursor().selectedText(); }
};

} // namespace

TEST_F(EverydayEditing, TwoLinesTypedKeyByKeyAreRenamedWithoutLosingACharacter)
{
    type("x,3,x,x,x,Q");
    EXPECT_EQ(text(), "G, 3, x, x, x, Q");
    EXPECT_EQ(caret(), 16) << "the caret stays at the end of the renamed line";
    press(Qt::Key_Return);
    type("Bass,x,2,x,x,H");
    EXPECT_EQ(text(), "G, 3, x, x, x, Q\nBass, x, 2, x, x, H") << "a name of the user's own is kept";
    EXPECT_EQ(caret(), text().size()) << "at the end of the second line, not on another line";
    EXPECT_TRUE(window.Modified);
}

TEST_F(EverydayEditing, ANameTypedOverAnotherIsKeptLetterByLetter)
{
    type("x,3,x,x,x,Q");
    ASSERT_EQ(text(), "G, 3, x, x, x, Q");
    // "A" alone reads as a note name on the way to "Am7"; it must not become "G" under the caret.
    press(Qt::Key_Home);
    press(Qt::Key_Delete);
    type("Am7");
    EXPECT_EQ(text(), "Am7, 3, x, x, x, Q");
    EXPECT_EQ(caret(), 3);
    // A note name typed into the frets' line is set right once the caret leaves the name.
    press(Qt::Key_Home);
    press(Qt::Key_Delete);
    press(Qt::Key_Delete);
    press(Qt::Key_Delete);
    type("A");
    EXPECT_EQ(text(), "A, 3, x, x, x, Q");
    press(Qt::Key_End);
    EXPECT_EQ(text(), "G, 3, x, x, x, Q");
}

TEST_F(EverydayEditing, CtrlZTakesBackTheTypingWithItsRenameAndTheUndoKeyRenamesNothing)
{
    type("x,3,x,x,x,Q");
    ASSERT_EQ(text(), "G, 3, x, x, x, Q");
    ctrl(Qt::Key_Z);
    EXPECT_EQ(text(), "");
    EXPECT_EQ(caret(), 0);
    ctrl(Qt::Key_Y);
    EXPECT_EQ(text(), "G, 3, x, x, x, Q") << "the redo step survives the undo key's release";
    ctrl(Qt::Key_Z);
    ctrl(Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_EQ(text(), "G, 3, x, x, x, Q");
    EXPECT_EQ(caret(), 16);
    EXPECT_TRUE(window.Modified);
}

TEST_F(EverydayEditing, RedoSelectAllAndTheContextMenuDoWhatTheEditMenuDoes)
{
    type("x,3,x,x,x,Q");
    ctrl(Qt::Key_Z);
    ASSERT_EQ(text(), "");
    window.Edit1->aboutToShow();
    EXPECT_TRUE(child<QAction>("Redo1")->isEnabled());
    Q_EMIT window.Edit1->aboutToHide();
    ctrl(Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_EQ(text(), "G, 3, x, x, x, Q");
    ctrl(Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(selected(), "G, 3, x, x, x, Q");

    // The context menu, opened from the keyboard, lists the whole set and runs the Edit menu's commands.
    QStringList items;
    QString enabled;
    window.showEditorPopup = [&](QMenu& popup) {
        for (QAction* item : popup.actions()) {
            if (item->isSeparator())
                continue;
            items << item->objectName();
            enabled += item->isEnabled() ? u'+' : u'-';
            EXPECT_FALSE(item->statusTip().isEmpty()) << item->objectName().toStdString();
        }
        popup.findChild<QAction*>("Delete2")->trigger();
    };
    QApplication::clipboard()->setText("kept");
    const QPoint at = window.RichEdit1->cursorRect().center();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, at, window.RichEdit1->mapToGlobal(at));
    QApplication::sendEvent(window.RichEdit1, &menuKey);
    EXPECT_EQ(items, QStringList({ "Undo2", "Redo2", "Cut2", "Copy2", "Paste2", "Delete2", "SelectAll2" }));
    EXPECT_EQ(enabled, "+-+++++");
    EXPECT_EQ(text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
}

TEST_F(EverydayEditing, CtrlVInsertsBeforeTheSelectionAndShiftInsertToo)
{
    window.RichEdit1->setPlainText("G, 3, x, x, x, Q\n");
    window.Modified = false;
    QApplication::clipboard()->setText("* riff\n");
    QTest::keyClick(window.RichEdit1, Qt::Key_End, Qt::ShiftModifier);
    ASSERT_EQ(selected(), "G, 3, x, x, x, Q");
    ctrl(Qt::Key_V);
    EXPECT_EQ(text(), "* riff\nG, 3, x, x, x, Q\n");
    EXPECT_EQ(caret(), 7);
    QTest::keyClick(window.RichEdit1, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(text(), "* riff\n* riff\nG, 3, x, x, x, Q\n");
    EXPECT_EQ(caret(), 14);
    EXPECT_TRUE(window.Modified);
}

TEST_F(EverydayEditing, TheOtherClipboardKeysRunTheMenuCommandsNotTheEditorsOwn)
{
    window.RichEdit1->setPlainText("G, 3, x, x, x, Q\nA, 5, x, x, x, Q\n");
    window.Modified = false;
    QApplication::clipboard()->setText("unchanged");
    ctrl(Qt::Key_Delete);
    EXPECT_EQ(text(), "G, 3, x, x, x, Q\nA, 5, x, x, x, Q\n") << "Delete with nothing selected deletes nothing";
    EXPECT_FALSE(window.Modified);
    QTest::keyClick(window.RichEdit1, Qt::Key_Down, Qt::ShiftModifier);
    ctrl(Qt::Key_Insert);
    EXPECT_EQ(QApplication::clipboard()->text(), "G, 3, x, x, x, Q\n");
    QTest::keyClick(window.RichEdit1, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(text(), "A, 5, x, x, x, Q\n");
    QTest::keyClick(window.RichEdit1, Qt::Key_End, Qt::ShiftModifier);
    QApplication::clipboard()->setText("unchanged");
    ctrl(Qt::Key_Delete);
    EXPECT_EQ(text(), "\n");
    EXPECT_EQ(QApplication::clipboard()->text(), "unchanged") << "Delete leaves the clipboard alone";
    EXPECT_EQ(caret(), 0);
    EXPECT_TRUE(window.Modified);
}

TEST_F(EverydayEditing, CtrlAIsSaveAsAndSelectsNothing)
{
    type("x,3,x,x,x,Q");
    dialogs.nextSave = dir.filePath("song");
    ctrl(Qt::Key_A);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(dialogs.asked[0].startsWith("Save As|"));
    EXPECT_TRUE(test::ReadFileBytes(dir.filePath("song.bss")).endsWith("\r\nG, 3, x, x, x, Q\r\n"));
    EXPECT_EQ(text(), "G, 3, x, x, x, Q");
    EXPECT_EQ(selected(), "");
    EXPECT_EQ(caret(), 16);
    EXPECT_EQ(window.lblFilename->text(), "song.bss");
    EXPECT_FALSE(window.Modified);
}

TEST_F(EverydayEditing, MovingDownThenExitAsksNothingAndTakesTheHelpAlong)
{
    window.OpenCommandLineFile({ "fretwerk-bass", write("walk.bss", "G, 3, x, x, x, Q\r\nA, 5, x, x, x, Q\r\n") });
    press(Qt::Key_Down);
    EXPECT_EQ(caret(), 17);
    EXPECT_FALSE(window.Modified);
    OpenHelp(HelpCommand::Contents, 0);
    ASSERT_TRUE(ProgramHelp().isVisible());
    child<QAction>("Exit1")->trigger();
    EXPECT_TRUE(boxes.questions.isEmpty());
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(ProgramHelp().isVisible());
    EXPECT_EQ(text(), "G, 3, x, x, x, Q\nA, 5, x, x, x, Q\n");
}

TEST_F(EverydayEditing, CtrlSThenExitAsksNothing)
{
    const QString path = write("walk.bss", "G, 3, x, x, x, Q\r\n");
    window.OpenCommandLineFile({ "fretwerk-bass", path });
    press(Qt::Key_End);
    press(Qt::Key_Return);
    type("x,5,x,x,x,Q");
    ASSERT_TRUE(window.Modified);
    ctrl(Qt::Key_S);
    EXPECT_FALSE(window.Modified);
    child<QAction>("Exit1")->trigger();
    EXPECT_TRUE(boxes.questions.isEmpty());
    EXPECT_TRUE(test::ReadFileBytes(path).endsWith("\r\nG, 3, x, x, x, Q\r\nA, 5, x, x, x, Q\r\n"));
    EXPECT_EQ(text(), "G, 3, x, x, x, Q\nA, 5, x, x, x, Q\n");
    EXPECT_EQ(caret(), 33);
}

TEST_F(EverydayEditing, SaveAsOntoAnExistingNameAsksAboutTheFileReallyWritten)
{
    const QString existing = write("exist.bss", "* keep me\r\n");
    type("x,3,x,x,x,Q");
    dialogs.nextSave = dir.filePath("exist");
    dialogs.overwrite = false;
    ctrl(Qt::Key_A);
    EXPECT_EQ(dialogs.overwriteQuestions, QStringList({ existing }));
    EXPECT_EQ(test::ReadFileBytes(existing), "* keep me\r\n");
    EXPECT_EQ(window.lblFilename->text(), "Untitled.bss");
    EXPECT_TRUE(window.Modified);

    dialogs.overwrite = true;
    ctrl(Qt::Key_A);
    EXPECT_TRUE(test::ReadFileBytes(existing).endsWith("\r\nG, 3, x, x, x, Q\r\n"));
    EXPECT_EQ(window.lblFilename->text(), "exist.bss");
    EXPECT_EQ(text(), "G, 3, x, x, x, Q");
    EXPECT_EQ(caret(), 16);
    EXPECT_FALSE(window.Modified);
}

TEST_F(EverydayEditing, OpenFindsAFileWithACapitalExtension)
{
    const QString path = write("OLDSONG.BSS", "x,3,x,x,x,Q\r\n");
    dialogs.nextOpen = path;
    ctrl(Qt::Key_O);
    EXPECT_TRUE(boxes.errors.isEmpty()) << boxes.errors.join('\n').toStdString();
    EXPECT_EQ(text(), "G, 3, x, x, x, Q\n");
    EXPECT_EQ(window.lblFilename->text(), "OLDSONG.BSS");
    EXPECT_EQ(window.settings().RecentFile0, path);
    EXPECT_EQ(caret(), 0);
    EXPECT_FALSE(window.Modified);
}
