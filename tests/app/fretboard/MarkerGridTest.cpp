#include "MarkerGrid.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;

namespace {

TEST(MarkerGrid, ShowMarkerShowsOneFretPerSlotAndMinusOneHidesAll)
{
    MarkerGrid grid;
    grid.ShowMarker(5, 3);
    grid.ShowMarker(5, 7);
    EXPECT_FALSE(grid.isShown(5, 3));
    EXPECT_TRUE(grid.isShown(5, 7));
    EXPECT_EQ(grid.shownFret(5), 7);
    grid.ShowMarker(5, -1);
    EXPECT_EQ(grid.shownFret(5), -1);
}

TEST(MarkerGrid, OutOfRangeCallsAreIgnored)
{
    MarkerGrid grid;
    grid.ShowMarker(4, 2);
    grid.ShowMarker(4, 19);
    grid.ShowMarker(4, -2);
    grid.ShowMarker(0, 2);
    grid.ShowMarker(7, 2);
    EXPECT_EQ(grid.shownFret(4), 2);
    EXPECT_FALSE(grid.isShown(7, 2));
}

TEST(MarkerGrid, ShowMarkersSetsEverySlotFromTheFrets)
{
    MarkerGrid grid;
    grid.showCell(3, 9);
    grid.ShowMarkers({ -1, -1, -1, -1, 0, 5, 3 });
    EXPECT_EQ(grid.shownFret(3), -1);
    EXPECT_EQ(grid.shownFret(4), 0);
    EXPECT_EQ(grid.shownFret(5), 5);
    EXPECT_EQ(grid.shownFret(6), 3);
    grid.ShowMarkers(NoFrets);
    for (int slot = 1; slot <= 6; ++slot)
        EXPECT_EQ(grid.shownFret(slot), -1);
}

TEST(MarkerGrid, APressedCellShowsBesideTheSlotsShownMarker)
{
    MarkerGrid grid;
    grid.ShowMarker(6, 3);
    grid.showCell(6, 8);
    EXPECT_TRUE(grid.isShown(6, 3));
    EXPECT_TRUE(grid.isShown(6, 8));
}

TEST(MarkerGrid, ColourSettingHasRedInTheLowByte)
{
    EXPECT_EQ(ColorFromSetting(DefaultMarkerColor), QColor(0, 255, 255));
    EXPECT_EQ(ColorFromSetting(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromSetting(0x123456), QColor(0x56, 0x34, 0x12));
}

TEST(MarkerGrid, ShapeCodesAndUnknownCodesFallBackToCircle)
{
    EXPECT_EQ(MarkerShapeFromSetting(0), MarkerShape::Rectangle);
    EXPECT_EQ(MarkerShapeFromSetting(1), MarkerShape::Square);
    EXPECT_EQ(MarkerShapeFromSetting(4), MarkerShape::Ellipse);
    EXPECT_EQ(MarkerShapeFromSetting(5), MarkerShape::Circle);
    EXPECT_EQ(MarkerShapeFromSetting(2), MarkerShape::RoundRect);
    EXPECT_EQ(MarkerShapeFromSetting(9), MarkerShape::Circle);
    EXPECT_EQ(MarkerShapeFromSetting(-1), MarkerShape::Circle);
}

TEST(MarkerGrid, SettingsChangesShowOnTheNextDisplay)
{
    MarkerGrid grid;
    grid.ShowMarker(5, 2);
    grid.setMarkerColor(0x0000FF);
    grid.setMarkerShape(0);
    EXPECT_EQ(grid.cell(5, 2).color, QColor(0, 255, 255));
    EXPECT_EQ(grid.cell(5, 2).shape, MarkerShape::Circle);
    grid.ShowMarker(5, 2);
    EXPECT_EQ(grid.cell(5, 2).color, QColor(255, 0, 0));
    EXPECT_EQ(grid.cell(5, 2).shape, MarkerShape::Rectangle);
}

} // namespace
