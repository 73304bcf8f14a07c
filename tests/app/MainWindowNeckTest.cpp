#include "MainWindowFixture.h"

#include "NeckGeometry.h"
#include "NeckView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

using namespace fw;

namespace {

struct NeckFixture : MainWindowFixture {
    QPoint cell(int slot, int fret) const { return NeckView::fromPicture(NeckGeometry::cellCentre(slot, fret)); }
    void pressCell(int slot, int fret, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(window.imgAllFrets, button, {}, cell(slot, fret));
    }
};

} // namespace

using NeckPresses = NeckFixture;

TEST_F(NeckPresses, OnABlankLineWriteTheNoteSoundItAndAdvance)
{
    pressCell(5, 3);
    EXPECT_EQ(text(), "C, x, 3, x, x, Q\n");
    EXPECT_EQ(statuses(), QList<int>({ 0xC0, 0x90, 0x80 }));
    EXPECT_EQ(midi->messages[1].data1(), 45 + 3 - 12);
    EXPECT_EQ(window.CurrentLine(), 1);
    pressCell(6, 0);
    EXPECT_EQ(text(), "C, x, 3, x, x, Q\nE, 0, x, x, x, Q\n");
    EXPECT_EQ(window.CurrentLine(), 2);
}

TEST_F(NeckPresses, AreOneUndoStepEach)
{
    pressCell(5, 3);
    pressCell(4, 2);
    ASSERT_EQ(text(), "C, x, 3, x, x, Q\nE, x, x, 2, x, Q\n");
    QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), "C, x, 3, x, x, Q\n");
    QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(text(), "C, x, 3, x, x, Q\nE, x, x, 2, x, Q\n");
}

TEST_F(NeckPresses, RightPressesAndPressesDuringPlaybackDoNothing)
{
    pressCell(5, 3, Qt::RightButton);
    EXPECT_EQ(text(), "");
    window.btnPlay->setText("Stop");
    pressCell(5, 3);
    window.btnPlay->setText("Play");
    EXPECT_EQ(text(), "");
    EXPECT_TRUE(midi->messages.isEmpty());
}

TEST_F(NeckPresses, ShowTheCaretLineAsMarkersAndNameTheNoteUnderThePointer)
{
    window.RichEdit1->setPlainText("Chord, 3, x, 5, x, Q\n* comment\n");
    clickOnLine(0);
    EXPECT_TRUE(window.imgAllFrets->isMarkerShown(6, 3));
    EXPECT_TRUE(window.imgAllFrets->isMarkerShown(4, 5));
    EXPECT_FALSE(window.imgAllFrets->isMarkerShown(5, 0));
    clickOnLine(1);
    EXPECT_FALSE(window.imgAllFrets->isMarkerShown(6, 3));

    QMouseEvent move(QEvent::MouseMove, cell(3, 11), window.imgAllFrets->mapToGlobal(cell(3, 11)), Qt::NoButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window.imgAllFrets, &move);
    EXPECT_EQ(panel0(), " Current Note:F#/Gb");
}

// A list that allows 24 frets lengthens the neck: fret 24 has its cell, hint and keyboard cell, and a
// press on it writes the fret; the window widens with the neck and no control covers another. A list
// without the line has the 18-fret neck again.
TEST_F(NeckPresses, AFretsLineLengthensTheNeckAndTheWindowWithIt)
{
    const int narrow = window.width();
    window.RichEdit1->setPlainText("* Frets: 24\nA, x, 0, x, x, Q\n");
    clickOnLine(1);
    NeckView& neck = *window.imgAllFrets;
    ASSERT_EQ(neck.fretCount(), 24);
    EXPECT_EQ(neck.width(), NeckView::FramedWidth + 6 * NeckGeometry::FretPitch);
    QApplication::processEvents();
    EXPECT_GT(window.minimumWidth(), narrow);
    EXPECT_GE(window.width(), window.minimumWidth());
    expectNoControlCoversAnother("with 24 frets");
    EXPECT_EQ(window.shpNeckRect->geometry(), neck.geometry());
    EXPECT_TRUE(neck.geometry().contains(window.btnNewChord->geometry()));
    EXPECT_EQ(window.lblFretNumbers->geometry().right(), neck.geometry().right() - 4);

    const QPoint fret24 = NeckView::fromPicture(NeckGeometry::cellCentre(4, 24, 24));
    EXPECT_EQ(neck.hintAt(fret24), "Current Note:D");
    QTest::mouseClick(&neck, Qt::LeftButton, {}, fret24);
    EXPECT_EQ(text(), "* Frets: 24\nD, x, x, 24, x, Q\n");
    EXPECT_TRUE(neck.isMarkerShown(4, 24));
    neck.setFocus();
    QTest::keyClick(&neck, Qt::Key_End);
    EXPECT_EQ(neck.focusCell().fret, 24);

    window.RichEdit1->setPlainText("A, x, 0, x, x, Q\n");
    clickOnLine(0);
    EXPECT_EQ(neck.fretCount(), FretCount);
    EXPECT_EQ(neck.width(), NeckView::FramedWidth);
    EXPECT_EQ(neck.focusCell().fret, FretCount);
    EXPECT_FALSE(NeckView::cellAt(fret24, 4, neck.fretCount()).has_value());
    EXPECT_LE(window.minimumWidth(), narrow);
    expectNoControlCoversAnother("back to 18 frets");
}

using EditControls = NeckFixture;

TEST_F(EditControls, ButtonsEditTheCaretLineAndWorkFromTheKeyboard)
{
    auto* rest = child<QToolButton>("btnRest");
    rest->setFocus();
    QTest::keyClick(rest, Qt::Key_Space);
    EXPECT_EQ(text(), "Rest , x, x, x, x, Q\n");

    window.RichEdit1->setPlainText("A, 5, x, x, x, Q\n");
    window.SelectLine(0, false);
    child<QToolButton>("btnHalfNote")->click();
    EXPECT_EQ(text(), "A, 5, x, x, x, H\n");
    window.chkDotted->click();
    EXPECT_EQ(text(), "A, 5, x, x, x, .H\n");
    EXPECT_EQ(window.NewLineDuration, " .H");

    EXPECT_FALSE(child<QToolButton>("btnShiftRight")->isEnabled()) << "Auto Line Advance is on";
    window.chkChordEntryMode->click();
    EXPECT_FALSE(window.chkAutoNewLine->isChecked());
    ASSERT_TRUE(child<QToolButton>("btnShiftRight")->isEnabled());
    child<QToolButton>("btnShiftRight")->click();
    EXPECT_EQ(text(), "A#/Bb, 6, x, x, x, .H\n");
    EXPECT_FALSE(window.settings().AutoLineAdvance);
    EXPECT_TRUE(window.settings().ChordEntryMode);

    child<QToolButton>("btnDup")->click();
    EXPECT_EQ(text(), "A#/Bb, 6, x, x, x, .H\nA#/Bb, 6, x, x, x, .H\n");
    EXPECT_EQ(window.CurrentLine(), 1);
    child<QToolButton>("btnDelete")->click();
    EXPECT_EQ(text(), "A#/Bb, 6, x, x, x, .H\n");
}

TEST_F(EditControls, EveryButtonCanBeReachedWithTab)
{
    for (QToolButton* button : window.grpEditControls->findChildren<QToolButton*>()) {
        EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus) << button->objectName().toStdString();
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
    }
    EXPECT_TRUE(window.btnNewChord->focusPolicy() & Qt::TabFocus);
}
