#include "FindDialog.h"

#include "FakeMessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace fw {
namespace {

    TEST(FindTextForward, SearchesForwardOnlyWithoutWrapping)
    {
        const QString text = QStringLiteral("G, 3, x\nBass G, 5\ng");
        EXPECT_EQ(FindTextForward(text, QStringLiteral("G"), 0, {}), 0);
        EXPECT_EQ(FindTextForward(text, QStringLiteral("G"), 1, {}), 13);
        EXPECT_EQ(FindTextForward(text, QStringLiteral("G"), 14, {}), 18);
        EXPECT_EQ(FindTextForward(text, QStringLiteral("G"), 14, { false, true }), -1);
        EXPECT_EQ(FindTextForward(text, QStringLiteral("G"), 19, {}), -1);
        EXPECT_EQ(FindTextForward(text, QStringLiteral("G"), 500, {}), -1);
        EXPECT_EQ(FindTextForward(text, QString(), 0, {}), -1);
        EXPECT_EQ(FindTextForward(text, QStringLiteral("x\nB"), 0, {}), 6);
    }

    TEST(FindTextForward, WholeWordSkipsMatchesInsideLongerWords)
    {
        const QString text = QStringLiteral("Chord_1, Chords, chord. chord");
        const FindOptions whole { true, false };
        EXPECT_EQ(FindTextForward(QStringLiteral("Chords only"), QStringLiteral("Chord"), 0, whole), -1);
        EXPECT_EQ(FindTextForward(text, QStringLiteral("Chord"), 0, whole), 17);
        EXPECT_EQ(FindTextForward(text, QStringLiteral("chord"), 18, whole), 24);
        EXPECT_EQ(FindTextForward(text, QStringLiteral("Chord"), 18, { true, true }), -1);
        EXPECT_EQ(FindTextForward(QStringLiteral("12th 12"), QStringLiteral("12"), 0, whole), 5);
        EXPECT_EQ(FindTextForward(QStringLiteral("E"), QStringLiteral("E"), 0, whole), 0);
    }

    TEST(FindTextForward, NotFoundMessage)
    {
        EXPECT_EQ(SearchNotFoundMessage(QStringLiteral("abc")), QStringLiteral("Search string \"abc\" not found"));
    }

    class FindDialog : public ::testing::Test {
    protected:
        void SetUp() override
        {
            editor.setPlainText(QStringLiteral("ab x ab y ab\nabc"));
            dialog.setEditor(&editor);
        }
        void select(int start, int length)
        {
            QTextCursor cursor = editor.textCursor();
            cursor.setPosition(start);
            cursor.setPosition(start + length, QTextCursor::KeepAnchor);
            editor.setTextCursor(cursor);
        }
        int selectionStart() const { return editor.textCursor().selectionStart(); }
        int selectionLength() const
        {
            return editor.textCursor().selectionEnd() - editor.textCursor().selectionStart();
        }
        QPlainTextEdit editor;
        Tfrmfind dialog;
        FakeMessageBoxes boxes;
    };

    TEST_F(FindDialog, HasItsControlsTabOrderAndSize)
    {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Find Text"));
        EXPECT_EQ(dialog.chkWholeWord->text(), QStringLiteral("Whole Word"));
        EXPECT_EQ(dialog.chkMatchCase->text(), QStringLiteral("Match Case"));
        EXPECT_EQ(dialog.btnOK->text(), QStringLiteral("OK"));
        EXPECT_TRUE(dialog.btnOK->isDefault());
        EXPECT_EQ(dialog.btnCancel->text(), QStringLiteral("Cancel"));
        EXPECT_GE(dialog.width(), 307);
        EXPECT_GE(dialog.height(), 73);
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
        const QList<QWidget*> order
            = { dialog.Edit1, dialog.chkWholeWord, dialog.chkMatchCase, dialog.btnOK, dialog.btnCancel };
        for (int i = 0; i + 1 < order.size(); ++i)
            EXPECT_EQ(order.at(i)->nextInFocusChain(), order.at(i + 1)) << i;
        for (QWidget* w : order)
            EXPECT_FALSE(w->accessibleName().isEmpty());
        EXPECT_TRUE(dialog.TextToFind().isEmpty());
    }

    TEST_F(FindDialog, ActivationPrefillsOnlySelectionsShorterThanThirty)
    {
        editor.setPlainText(QString(40, QLatin1Char('a')) + QStringLiteral(" tail"));
        dialog.Edit1->setText(QStringLiteral("old"));
        select(2, 29);
        dialog.FormActivate();
        EXPECT_EQ(dialog.Edit1->text(), QString(29, QLatin1Char('a')));
        EXPECT_EQ(dialog.TextToFind(), QString(29, QLatin1Char('a')));
        EXPECT_EQ(dialog.Edit1->selectedText(), dialog.Edit1->text());
        EXPECT_EQ(dialog.FoundStart(), 2);
        EXPECT_EQ(dialog.FoundLength(), 0);

        dialog.Edit1->setText(QStringLiteral("old"));
        select(3, 30);
        dialog.FormActivate();
        EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("old"));
        EXPECT_EQ(dialog.FoundStart(), 3);

        select(5, 0);
        dialog.FormActivate();
        EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("old"));

        // A short selection over a line break would make a search text that can never match.
        editor.setPlainText(QStringLiteral("G, 3\nx, Q"));
        select(3, 4);
        dialog.FormActivate();
        EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("old"));
    }

    TEST_F(FindDialog, FindNextWalksThroughTheMatchesAndStopsAtTheEnd)
    {
        dialog.Edit1->setText(QStringLiteral("ab"));
        select(0, 0);
        const QList<int> starts = { 0, 5, 10, 13 };
        for (int start : starts) {
            EditCommands::FindNext1Click(dialog, editor, boxes);
            EXPECT_EQ(selectionStart(), start);
            EXPECT_EQ(selectionLength(), 2);
            EXPECT_EQ(dialog.FoundStart(), start);
            EXPECT_EQ(dialog.FoundLength(), 2);
        }
        EXPECT_TRUE(boxes.information.isEmpty());
        EditCommands::FindNext1Click(dialog, editor, boxes);
        EXPECT_EQ(boxes.information, QStringList({ QStringLiteral("Search string \"ab\" not found") }));
        EXPECT_EQ(selectionLength(), 0);
        EXPECT_EQ(dialog.FoundLength(), 0);
        // No wrap-around, and the last match is not found again either.
        EditCommands::FindNext1Click(dialog, editor, boxes);
        EXPECT_EQ(boxes.information.size(), 2);
        EXPECT_EQ(selectionLength(), 0);
        EXPECT_EQ(dialog.result(), Tfrmfind::NotFound);
    }

    TEST_F(FindDialog, OptionsComeFromTheCheckBoxes)
    {
        editor.setPlainText(QStringLiteral("Abc ab AB"));
        dialog.Edit1->setText(QStringLiteral("AB"));
        dialog.chkMatchCase->setChecked(true);
        select(0, 0);
        EXPECT_TRUE(dialog.FindInEditor());
        EXPECT_EQ(selectionStart(), 7);

        dialog.chkMatchCase->setChecked(false);
        dialog.chkWholeWord->setChecked(true);
        select(0, 0);
        EXPECT_TRUE(dialog.FindInEditor());
        EXPECT_EQ(selectionStart(), 4);

        editor.setPlainText(QStringLiteral("Abc"));
        select(0, 0);
        EXPECT_FALSE(dialog.FindInEditor());
    }

    TEST_F(FindDialog, FindCommandHandlesMatchCancelAndNothingFound)
    {
        int shown = 0;
        QString typed;
        bool cancel = false;
        dialog.showModal = [&] {
            ++shown;
            dialog.FormActivate();
            dialog.Edit1->setText(typed);
            if (cancel)
                dialog.btnCancelClick();
            else
                dialog.btnOKClick();
            return dialog.result();
        };

        typed = QStringLiteral("y");
        select(0, 0);
        EditCommands::Find1Click(dialog, editor, boxes);
        EXPECT_EQ(selectionStart(), 8);
        EXPECT_EQ(selectionLength(), 1);

        cancel = true;
        EditCommands::Find1Click(dialog, editor, boxes);
        EXPECT_EQ(selectionStart(), 8);
        EXPECT_EQ(selectionLength(), 1);
        EXPECT_EQ(dialog.FoundLength(), 0);
        EXPECT_TRUE(boxes.all().isEmpty());

        cancel = false;
        typed = QStringLiteral("zz");
        EditCommands::Find1Click(dialog, editor, boxes);
        EXPECT_EQ(boxes.information, QStringList({ QStringLiteral("Search string \"zz\" not found") }));
        EXPECT_EQ(shown, 3);

        // F3 with an empty search text opens the dialog instead.
        Tfrmfind fresh;
        int freshShown = 0;
        fresh.showModal = [&] {
            ++freshShown;
            return int(QDialog::Rejected);
        };
        EditCommands::FindNext1Click(fresh, editor, boxes);
        EXPECT_EQ(freshShown, 1);
        EXPECT_EQ(boxes.information.size(), 1);
    }

    TEST_F(FindDialog, ShownDialogClosesWithOkOrNotFound)
    {
        // The dialog runs for real here; a timer presses its buttons, and a guard closes it should that fail.
        const auto runWith = [&](const QString& text) {
            QTimer::singleShot(0, &dialog, [&] {
                dialog.Edit1->setText(text);
                dialog.btnOK->click();
            });
            QTimer::singleShot(5000, &dialog, &QDialog::reject);
            return dialog.exec();
        };
        select(0, 0);
        EXPECT_EQ(runWith(QStringLiteral("abc")), QDialog::Accepted);
        EXPECT_EQ(selectionStart(), 13);
        EXPECT_EQ(runWith(QStringLiteral("abc")), Tfrmfind::NotFound);
        EXPECT_FALSE(dialog.isVisible());
    }

    TEST(EditCommands, EnablingFollowsUndoSelectionAndClipboard)
    {
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("G, 3, x, x, x, Q"));
        QApplication::clipboard()->clear();
        EditCommands::Enabling e = EditCommands::EditMenuEnabling(editor);
        EXPECT_FALSE(e.undo);
        EXPECT_FALSE(e.cut);
        EXPECT_FALSE(e.copy);
        EXPECT_FALSE(e.del);
        EXPECT_FALSE(e.paste);

        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(0);
        cursor.setPosition(1, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        QApplication::clipboard()->setText(QStringLiteral("D"));
        e = EditCommands::EditMenuEnabling(editor);
        EXPECT_TRUE(e.cut && e.copy && e.del && e.paste);
        EXPECT_FALSE(e.undo);

        editor.insertPlainText(QStringLiteral("A"));
        EXPECT_TRUE(EditCommands::EditMenuEnabling(editor).undo);
    }

    TEST(EditCommands, PasteInsertsBeforeTheSelectionAndDeleteLeavesTheClipboard)
    {
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("ABC"));
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(1);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        QApplication::clipboard()->setText(QStringLiteral("xy"));
        EditCommands::PasteBeforeSelection(editor);
        EXPECT_EQ(editor.toPlainText(), QStringLiteral("AxyBC"));

        cursor.setPosition(3);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        EditCommands::DeleteSelection(editor);
        EXPECT_EQ(editor.toPlainText(), QStringLiteral("AxyC"));
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("xy"));
    }

} // namespace
} // namespace fw
