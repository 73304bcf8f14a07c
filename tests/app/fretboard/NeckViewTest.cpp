#include "NeckView.h"

#include "QtPrinters.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace fw;
namespace Geo = fw::NeckGeometry;

namespace {

QPoint centreOf(int slot, int fret) { return NeckView::fromPicture(Geo::cellCentre(slot, fret)); }

void moveTo(NeckView& view, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
}

TEST(NeckView, PlacesThePictureAtItsDesignPlaceInsideTheFrame)
{
    NeckView view;
    EXPECT_EQ(view.size(), QSize(488, 164));
    EXPECT_EQ(QPoint(NeckView::FramedLeft, NeckView::FramedTop) + NeckView::fromPicture({ 0, 0 }), QPoint(5, 18));
    EXPECT_EQ(view.accessibleName(), "Fretboard");
}

TEST(NeckView, PressesOnVisibleCellsComeOutWithButtonSlotAndFret)
{
    NeckView view;
    QSignalSpy pressed(&view, &NeckView::cellPressed);
    QSignalSpy released(&view, &NeckView::cellReleased);

    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, centreOf(5, 3));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, centreOf(5, 3));
    QTest::mousePress(&view, Qt::MiddleButton, Qt::NoModifier, centreOf(3, 0));
    QTest::mousePress(&view, Qt::RightButton, Qt::NoModifier, centreOf(6, 18));
    // Slot 1 and the gap between two cells take no press.
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, centreOf(1, 4));
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, NeckView::fromPicture({ Geo::wireX(4), 78 }));

    ASSERT_EQ(pressed.count(), 3);
    EXPECT_EQ(pressed[0], QVariantList({ QVariant::fromValue(Qt::LeftButton), 5, 3 }));
    EXPECT_EQ(pressed[1], QVariantList({ QVariant::fromValue(Qt::MiddleButton), 3, 0 }));
    EXPECT_EQ(pressed[2], QVariantList({ QVariant::fromValue(Qt::RightButton), 6, 18 }));
    EXPECT_EQ(released.count(), 1);
}

TEST(NeckView, HintFollowsThePointerAndBlanksOffTheCells)
{
    NeckView view;
    QSignalSpy hints(&view, &NeckView::hintChanged);
    moveTo(view, centreOf(4, 4));
    EXPECT_EQ(view.hint(), "Current Note:F#/Gb");
    moveTo(view, centreOf(4, 4) + QPoint(1, 1));
    moveTo(view, NeckView::fromPicture({ 200, 140 }));
    EXPECT_EQ(view.hint(), Geo::PictureHint);
    ASSERT_EQ(hints.count(), 2);
    EXPECT_EQ(hints[0][0].toString(), "Current Note:F#/Gb");
    EXPECT_EQ(hints[1][0].toString(), Geo::PictureHint);
}

TEST(NeckView, OverlapRowGoesToTheHigherSlotAndNamesTheCell)
{
    NeckView view;
    const QRect upper = Geo::cellRect(4, 10);
    const QPoint shared = NeckView::fromPicture({ upper.center().x(), upper.bottom() });
    EXPECT_EQ(NeckView::cellNameAt(shared), "DOT_s05_f10");
    EXPECT_EQ(view.hintAt(shared), "Current Note:G");
    EXPECT_EQ(NeckView::cellNameAt(centreOf(2, 10)), QString());
    EXPECT_EQ(view.hintAt(centreOf(2, 10)), Geo::PictureHint);
}

TEST(NeckView, ChordNameLabelHasItsHintOnlyWhenShown)
{
    NeckView view;
    const QPoint overLabel = NeckView::fromPicture(Geo::chordNameRect().center());
    EXPECT_EQ(view.hintAt(overLabel), Geo::PictureHint);
    view.setChordNameVisible(true);
    EXPECT_EQ(view.hintAt(overLabel), "Chord name.");
}

TEST(NeckView, ShowsMarkersAndPaintsThemInItsOwnImage)
{
    NeckView view;
    view.setMarkerColor(0x00FF00);
    view.ShowMarkers({ -1, -1, -1, -1, 2, -1, -1 });
    EXPECT_TRUE(view.isMarkerShown(4, 2));
    const QImage image = view.grab().toImage();
    const QPoint centre = centreOf(4, 2) * image.devicePixelRatio();
    EXPECT_EQ(image.pixelColor(centre), QColor(0, 255, 0));
}

TEST(NeckView, PointerIsThePickOverCellsOnly)
{
    NeckView view;
    moveTo(view, centreOf(6, 5));
    EXPECT_EQ(view.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(view.cursor().hotSpot(), QPoint(13, 15));
    moveTo(view, NeckView::fromPicture({ 200, 10 }));
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);
}

} // namespace
