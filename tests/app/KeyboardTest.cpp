#include "MainWindowFixture.h"

#include "NeckView.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QToolButton>

using namespace fw;

namespace {

// Keyboard focus lives only in the active window.
struct ActiveWindowFixture : MainWindowFixture {
    void SetUp() override
    {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

} // namespace

using Keyboard = ActiveWindowFixture;

TEST_F(Keyboard, TheNeckIsPlayedWithArrowsAndSpaceAndNamesItsCell)
{
    NeckView* neck = window.imgAllFrets;
    neck->setFocus();
    ASSERT_TRUE(neck->hasFocus());
    // From the G string at the nut: two strings down, three frets up, with the edges holding.
    for (Qt::Key key :
        { Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right })
        QTest::keyClick(neck, key);
    EXPECT_EQ(panel0(), " A string, fret 3: C");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(neck)->text(QAccessible::Description), "A string, fret 3: C");
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(neck, Qt::Key_Right);
    EXPECT_EQ(neck->focusCell(), (NeckCell { 5, 18 }));
    QTest::keyClick(neck, Qt::Key_Home);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(neck, Qt::Key_Right);

    QTest::keyClick(neck, Qt::Key_Space);
    EXPECT_EQ(text(), "C, x, 3, x, x, Q\n");
    EXPECT_EQ(statuses(), QList<int>({ 0xC0, 0x90, 0x80 }));
    EXPECT_EQ(midi->messages[1].data1(), 45 + 3 - 12);
    EXPECT_TRUE(neck->hasFocus()) << "the neck keeps the focus for the next note";
    // Note after note from the keyboard alone: the arrows move over the neck, not the editor's caret.
    for (Qt::Key key : { Qt::Key_Right, Qt::Key_Right, Qt::Key_Space, Qt::Key_Up, Qt::Key_Space, Qt::Key_Return })
        QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(text(), "C, x, 3, x, x, Q\nD, x, 5, x, x, Q\nG, x, x, 5, x, Q\n");
    EXPECT_TRUE(neck->hasFocus());

    // Delete is the middle button: on the shown marker of the caret's line it removes the note, silently.
    clickOnLine(0);
    neck->setFocus();
    for (Qt::Key key : { Qt::Key_Down, Qt::Key_Left, Qt::Key_Left, Qt::Key_Delete })
        QTest::keyClick(neck, key);
    EXPECT_EQ(text(), "C, x, x, x, x, Q\nD, x, 5, x, x, Q\nG, x, x, 5, x, Q\n");
    EXPECT_EQ(midi->messages.size(), 9);
}

TEST_F(Keyboard, TabLeavesTheEditorBothWaysWithoutWritingATab)
{
    window.RichEdit1->setPlainText("G, 3, x, x, x, Q\n");
    window.RichEdit1->setFocus();
    QTest::keyClick(window.RichEdit1, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(window.playOptionGroup->button(PlayAll)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(window.RichEdit1));
    QTest::keyClick(window.RichEdit1, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(window.grpEditControls->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(text(), "G, 3, x, x, x, Q\n");
}
