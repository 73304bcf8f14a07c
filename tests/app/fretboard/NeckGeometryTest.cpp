#include "NeckGeometry.h"
#include "Pitch.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;
namespace Geo = fw::NeckGeometry;

namespace {

TEST(NeckGeometry, EveryVisibleCellCentreHitsItsOwnCell)
{
    int visible = 0;
    for (int slot = 3; slot <= 6; ++slot) {
        for (int fret = 0; fret <= FretCount; ++fret) {
            const auto hit = Geo::cellAt(Geo::cellCentre(slot, fret));
            ASSERT_TRUE(hit.has_value()) << slot << "/" << fret;
            EXPECT_EQ(*hit, (NeckCell { slot, fret }));
            ++visible;
        }
    }
    EXPECT_EQ(visible, 76);
}

TEST(NeckGeometry, RowsAreElevenApartTwelveHighAndTheHigherSlotWinsTheOverlap)
{
    for (int slot = 1; slot <= 6; ++slot) {
        const QRect r = Geo::cellRect(slot, 4);
        EXPECT_EQ(r.top(), 26 + 11 * (slot - 1));
        EXPECT_EQ(r.height(), 12);
    }
    for (int slot = 3; slot < 6; ++slot) {
        const QRect upper = Geo::cellRect(slot, 9);
        const QPoint shared(upper.center().x(), upper.bottom());
        ASSERT_TRUE(Geo::cellRect(slot + 1, 9).contains(shared));
        EXPECT_EQ(Geo::cellAt(shared)->slot, slot + 1);
        EXPECT_EQ(Geo::cellAt(shared - QPoint(0, 1))->slot, slot);
    }
}

TEST(NeckGeometry, ColumnsSitBetweenTheWiresAndFretZeroLeftOfTheNut)
{
    EXPECT_EQ(Geo::wireX(0), 47);
    EXPECT_EQ(Geo::wireX(1), 72);
    EXPECT_EQ(Geo::wireX(18), 480);
    for (int fret = 1; fret <= FretCount; ++fret) {
        const QRect r = Geo::cellRect(3, fret);
        const double between = (Geo::wireX(fret - 1) + Geo::wireX(fret)) / 2.0;
        EXPECT_NEAR(r.left() + r.width() / 2.0, between, 1.0) << fret;
        EXPECT_LT(r.width(), Geo::FretPitch);
        EXPECT_FALSE(r.intersects(Geo::cellRect(3, fret - 1)));
    }
    const QRect open = Geo::cellRect(6, 0);
    EXPECT_EQ(Geo::cellRect(6, 1).center().x() - open.center().x(), 24);
    EXPECT_LT(open.right(), Geo::NutX);
    EXPECT_GE(open.left(), 0);
    EXPECT_LE(Geo::cellRect(6, FretCount).right(), Geo::PictureWidth - 1);
}

TEST(NeckGeometry, EachStringRunsInsideItsRowJustBelowTheMiddle)
{
    const int expected[] = { 57, 68, 78, 90 };
    for (int slot = 3; slot <= 6; ++slot) {
        const int y = Geo::stringY(slot);
        EXPECT_NEAR(y, expected[slot - 3], 1);
        const QRect row = Geo::cellRect(slot, 2);
        EXPECT_TRUE(row.contains(row.center().x(), y));
        EXPECT_NEAR(y - (row.top() + row.height() / 2.0), 3.0, 1.0);
        EXPECT_GE(y, Geo::NeckTop);
        EXPECT_LE(y, Geo::NeckBottom);
        // The marker drawn for the row sits on the string itself.
        EXPECT_NEAR(Geo::markerRect(slot, 2).center().y(), y + 0.5, 0.01);
        EXPECT_EQ(Geo::markerRect(slot, 2).center().x(), row.left() + row.width() / 2.0);
    }
}

TEST(NeckGeometry, HiddenSlotsGapsAndPointsOffTheGridHitNothing)
{
    EXPECT_FALSE(Geo::cellAt(Geo::cellCentre(1, 5)).has_value());
    EXPECT_FALSE(Geo::cellAt(Geo::cellCentre(2, 5)).has_value());
    const QPoint gap(Geo::wireX(5), Geo::stringY(5));
    EXPECT_FALSE(Geo::cellAt(gap).has_value());
    EXPECT_FALSE(Geo::cellAt({ 200, 10 }).has_value());
    EXPECT_FALSE(Geo::cellAt({ 200, 140 }).has_value());
    EXPECT_FALSE(Geo::isVisibleCell(2, 0));
    EXPECT_TRUE(Geo::isVisibleCell(3, 0));
    EXPECT_FALSE(Geo::isVisibleCell(3, 19));
    EXPECT_TRUE(Geo::cellRect(3, 19).isEmpty());
}

TEST(NeckGeometry, NamesRoundTripForAllCells)
{
    EXPECT_EQ(Geo::cellName(3, 7), "DOT_s03_f07");
    EXPECT_EQ(Geo::cellName(6, 18), "DOT_s06_f18");
    int count = 0;
    for (int slot = 1; slot <= 6; ++slot) {
        for (int fret = 0; fret <= FretCount; ++fret) {
            EXPECT_EQ(Geo::cellFromName(Geo::cellName(slot, fret)), (NeckCell { slot, fret }));
            ++count;
        }
    }
    EXPECT_EQ(count, Geo::CellCount);
}

TEST(NeckGeometry, MalformedNamesGiveNoCell)
{
    for (const char* name : { "", "DOT_s3_f07", "DOT_s03_fx7", "DOT_S03_F07", "DOT_s07_f01", "DOT_s03_f19", "DOT_s03" })
        EXPECT_FALSE(Geo::cellFromName(QString::fromLatin1(name)).has_value()) << name;
}

TEST(NeckGeometry, HintNamesTheNoteWithoutASpace)
{
    EXPECT_EQ(Geo::cellHint(4, 4), "Current Note:F#/Gb");
    EXPECT_EQ(Geo::cellHint(6, 0), "Current Note:E");
    EXPECT_EQ(Geo::cellHint(3, 18), "Current Note:C#/Db");
    EXPECT_EQ(Geo::PictureHint, QString(9, u' '));
}

TEST(NeckGeometry, LabelsLieOverThePictureWhereTheWindowWouldPutThem)
{
    EXPECT_EQ(Geo::fretNumbersRect(), QRect(59, 98, 423, 13));
    EXPECT_TRUE(QRect(0, 0, Geo::PictureWidth, Geo::PictureHeight).contains(Geo::chordNameRect()));
    // Above the headstock and the strings of a six-string neck, so it never hides a note.
    EXPECT_LT(Geo::chordNameRect().bottom(), Geo::neckTop(6) - 6);
    EXPECT_TRUE(Geo::FretNumbersCaption.startsWith("1      2     3"));
    EXPECT_TRUE(Geo::FretNumbersCaption.endsWith("17    18"));
}

} // namespace
