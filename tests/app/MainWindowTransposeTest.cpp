// Special > Transpose... as a keyboard user drives it: the menu and the dialog by keys on the real editor.
#include "MainWindowFixture.h"

#include "TransposeDialog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

namespace fw {
namespace {

    const QString Walk
        = QStringLiteral("* Title: Walk\nG, 3, x, x, x, Q\nGmaj7, 3, 5, 4, x, H\nA, x, 0, x, x, Q\n\nE, 0, x, x, x, Q");

    struct TransposeWindow : MainWindowFixture {
        TfrmTranspose& dialog = window.transposeDialog();

        void highlightLines(int first, int last)
        {
            clickOnLine(first);
            press(Qt::Key_Home);
            for (int i = first; i <= last; ++i)
                QTest::keyClick(window.RichEdit1, Qt::Key_Down, Qt::ShiftModifier);
        }
        // Alt+S opens Special; R, the underlined letter, picks Transpose...
        void transposeByKeys()
        {
            QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
            QWidget* menu = QApplication::activePopupWidget();
            ASSERT_NE(menu, nullptr) << "Alt+S opened no menu";
            QTest::keyClick(menu, Qt::Key_R);
            // The window manager gives the main window back its activation once the dialog has closed.
            window.activateWindow();
            EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &window; }, 2000));
        }
        // Keys go where the keyboard focus is, as they do for a user.
        void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
        void keys(const char* text) { QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text)); }
        // The dialog shown and active, as exec() would show it, with the keyboard focus where it starts.
        bool showDialog()
        {
            dialog.show();
            dialog.activateWindow();
            const bool active = QTest::qWaitFor([this] { return QApplication::activeWindow() == &dialog; }, 2000);
            return active && QApplication::focusWidget() == dialog.spnSemitones;
        }
    };

    TEST_F(TransposeWindow, HighlightedLinesOrTheWholeListMoveInOneUndoStep)
    {
        QAction* item = child<QAction>("Transpose1");
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->statusTip(), "Move the highlighted lines, or the whole list, up or down.");
        window.RichEdit1->setPlainText(Walk);

        // +2 on lines 2 to 4: typed into the number, Enter for OK.
        highlightLines(1, 3);
        bool shown = false;
        QString move;
        dialog.showModal = [&] {
            shown = showDialog();
            EXPECT_TRUE(dialog.rdoHighlighted->isChecked()) << "highlighted lines are the default when there are some";
            keys("2");
            move = dialog.lblMove->text();
            key(Qt::Key_Return);
            return dialog.result();
        };
        transposeByKeys();
        EXPECT_TRUE(shown);
        EXPECT_EQ(move, "2 semitones up.");
        EXPECT_EQ(
            text(), "* Title: Walk\nA, 5, x, x, x, Q\nGmaj7, 5, 7, 6, x, H\nB, x, 2, x, x, Q\n\nE, 0, x, x, x, Q");
        EXPECT_EQ(window.RichEdit1->textCursor().selectedText(),
            QStringLiteral("A, 5, x, x, x, Q\u2029Gmaj7, 5, 7, 6, x, H\u2029B, x, 2, x, x, Q"));
        EXPECT_EQ(panel0(), "Transposed 3 lines 2 semitones up.");
        EXPECT_TRUE(boxes.all().isEmpty());
        QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(text(), Walk);

        // -1 on the whole list, chosen with Tab and an arrow key although lines are highlighted: the
        // open A falls off the nut onto the E string, the open E has no string left.
        highlightLines(1, 3);
        dialog.showModal = [&] {
            shown = showDialog();
            keys("-1");
            key(Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), dialog.rdoHighlighted);
            key(Qt::Key_Down);
            key(Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), dialog.btnOK);
            key(Qt::Key_Space);
            return dialog.result();
        };
        transposeByKeys();
        EXPECT_TRUE(shown);
        EXPECT_EQ(text(),
            "* Title: Walk\nF#/Gb, 2, x, x, x, Q\nGmaj7, 2, 4, 3, x, H\nG#/Ab, 4, x, x, x, Q\n\n"
            "* Not playable 1 semitone down: E (Low E string, fret 0)\nRest, x, x, x, x, Q");
        EXPECT_EQ(boxes.warnings,
            QStringList({ "These notes have no place on the neck after the move; they were left out, each named in "
                          "a comment above its line:\nLine 7    E (Low E string, fret 0): no string can play it 1 "
                          "semitone down." }));
        QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(text(), Walk);

        // Nothing highlighted: only the whole list is offered, and Esc changes nothing.
        clickOnLine(0);
        dialog.showModal = [&] {
            shown = showDialog();
            EXPECT_FALSE(dialog.rdoHighlighted->isEnabled());
            EXPECT_TRUE(dialog.rdoWholeList->isChecked());
            keys("7");
            key(Qt::Key_Escape);
            return dialog.result();
        };
        transposeByKeys();
        EXPECT_TRUE(shown);
        EXPECT_EQ(text(), Walk);
        EXPECT_EQ(boxes.warnings.size(), 1);

        // A playback locks it like the other commands that change the list.
        window.RichEdit1->setPlainText(QStringLiteral("G, 3, x, x, x, W\n"));
        window.trackbarTempo->setValue(60);
        bool lockedWhilePlaying = false;
        QTimer::singleShot(150, &window, [&] {
            lockedWhilePlaying = !item->isEnabled();
            QTest::mouseClick(window.btnPlay, Qt::LeftButton);
        });
        window.PlayToggle();
        EXPECT_TRUE(lockedWhilePlaying);
        EXPECT_TRUE(item->isEnabled());
    }

} // namespace
} // namespace fw
