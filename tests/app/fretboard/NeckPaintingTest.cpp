#include "EditGlyphs.h"
#include "NeckGeometry.h"
#include "NeckPainter.h"

#include "QtPrinters.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

using namespace fw;
namespace Geo = fw::NeckGeometry;

namespace {

// The framed neck painted into an image at the given ratio, as the view paints it.
QImage paintNeck(const MarkerGrid& markers, qreal ratio, const NeckPainter::Labels& labels = {},
    const Tuning& tuning = StandardTuning())
{
    const QSize size(
        Geo::pictureWidth(markers.fretCount()) + 2 * Geo::FrameWidth, Geo::PictureHeight + 2 * Geo::FrameWidth);
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    painter.translate(Geo::FrameWidth, Geo::FrameWidth);
    NeckPainter::paintAll(painter, markers, labels, tuning);
    return image;
}

// Every device pixel covering one design pixel of the picture.
std::vector<QColor> devicePixels(const QImage& image, QPoint picturePoint)
{
    const int ratio = static_cast<int>(image.devicePixelRatio());
    std::vector<QColor> result;
    for (int dy = 0; dy < ratio; ++dy) {
        for (int dx = 0; dx < ratio; ++dx) {
            result.push_back(image.pixelColor(
                (picturePoint.x() + Geo::FrameWidth) * ratio + dx, (picturePoint.y() + Geo::FrameWidth) * ratio + dy));
        }
    }
    return result;
}

class NeckPainting : public testing::TestWithParam<qreal> { };

TEST_P(NeckPainting, ShownMarkersHaveTheMarkerColourAndHiddenCellsShowTheNeck)
{
    MarkerGrid markers;
    markers.setMarkerColor(0x0000FF);
    for (const int shape : { 0, 1, 4, 5 }) {
        markers.setMarkerShape(shape);
        markers.ShowMarkers({ -1, -1, -1, 7, -1, 12, 0 });
        const QImage image = paintNeck(markers, GetParam());
        for (const auto& [slot, fret] : { std::pair { 3, 7 }, { 5, 12 }, { 6, 0 } }) {
            // On the string, where the marker is centred.
            const QPoint onString(Geo::cellCentre(slot, fret).x(), Geo::stringY(slot));
            for (const QColor& c : devicePixels(image, onString))
                EXPECT_EQ(c, QColor(255, 0, 0)) << "shape " << shape << " cell " << slot << "/" << fret;
        }
        for (const QColor& c : devicePixels(image, QPoint(Geo::cellCentre(4, 7).x(), Geo::stringY(4))))
            EXPECT_NE(c, QColor(255, 0, 0));
    }
}

TEST_P(NeckPainting, SquareAndCircleStayInsideTheLargestCentredSquare)
{
    MarkerGrid markers;
    markers.setMarkerColor(0x0000FF);
    markers.setMarkerShape(1);
    markers.ShowMarker(5, 4);
    const QRect cell = Geo::cellRect(5, 4);
    const QImage image = paintNeck(markers, GetParam());
    // The square is 12 wide in a 16-wide cell: the outer two columns on each side show the neck.
    for (const QColor& c : devicePixels(image, QPoint(cell.left(), Geo::stringY(5))))
        EXPECT_NE(c, QColor(255, 0, 0));
    for (const QColor& c : devicePixels(image, QPoint(cell.left() + 2, Geo::stringY(5))))
        EXPECT_EQ(c, QColor(255, 0, 0));
}

// On the 18-fret neck and on the 24-fret neck of a list that allows it, whose inlays go on past the
// twelfth fret as on real basses.
TEST_P(NeckPainting, StringsWiresAndFrameAreWhereTheGeometrySays)
{
    for (const int frets : { FretCount, MaxFretLimit }) {
        SCOPED_TRACE(frets);
        MarkerGrid markers;
        markers.setFretCount(frets);
        const QImage image = paintNeck(markers, GetParam());
        for (int slot = 3; slot <= 6; ++slot) {
            for (const int fret : { 1, 6, 13, frets }) {
                // Between two cells of the row, so no marker could cover the string.
                const QPoint onString(Geo::wireX(fret) + 3, Geo::stringY(slot));
                for (const QColor& c : devicePixels(image, onString))
                    EXPECT_EQ(c, NeckPainter::StringColor) << slot << "/" << fret;
            }
        }
        for (int wire = 1; wire <= frets; ++wire) {
            for (const QColor& c :
                devicePixels(image, QPoint(Geo::wireX(wire), (Geo::NeckTop + Geo::NeckBottom) / 2 + 1)))
                EXPECT_EQ(c, NeckPainter::WireColor) << wire;
        }
        const int right = Geo::pictureWidth(frets);
        for (const QPoint frame : { QPoint(-2, -2), QPoint(-1, 80), QPoint(right + 1, 161) }) {
            for (const QColor& c : devicePixels(image, frame))
                EXPECT_EQ(c, QColor(Qt::black));
        }
        // Nothing is left unpainted.
        for (const QColor& c : devicePixels(image, QPoint(0, 0)))
            EXPECT_NE(c, QColor(Qt::magenta));
        for (const QColor& c : devicePixels(image, QPoint(right - 1, Geo::PictureHeight - 1)))
            EXPECT_NE(c, QColor(Qt::magenta));
        // Inlays between the wires in the middle of the neck, as on fret 3; none on frets 4 and 20.
        const auto inlay = [&](int fret) {
            return image.pixelColor(QPoint(Geo::wireX(fret - 1) + Geo::wireX(fret) + 2 * Geo::FrameWidth,
                                        Geo::NeckTop + Geo::NeckBottom + 2 * Geo::FrameWidth + 1)
                * image.devicePixelRatio() / 2);
        };
        EXPECT_NE(inlay(frets > FretCount ? 20 : 4), inlay(3));
        for (const int fret : { 15, 17, 19, 21 }) {
            if (fret <= frets) {
                EXPECT_EQ(inlay(fret), inlay(3)) << fret;
            }
        }
    }
}

TEST_P(NeckPainting, LabelsDrawOnlyWhenSwitchedOn)
{
    const QRect numbers = Geo::fretNumbersRect();
    const auto whitePixels = [&](const QImage& image, const QRect& area) {
        const int ratio = static_cast<int>(image.devicePixelRatio());
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = image.pixelColor((x + 2) * ratio, (y + 2) * ratio);
                count += c.red() > 240 && c.green() > 240 && c.blue() > 240;
            }
        }
        return count;
    };
    const QImage without = paintNeck(MarkerGrid(), GetParam(), { false, false, "Gmaj" });
    const QImage with = paintNeck(MarkerGrid(), GetParam(), { true, true, "Gmaj" });
    EXPECT_GT(whitePixels(with, numbers), whitePixels(without, numbers) + 20);
    EXPECT_GT(whitePixels(with, Geo::chordNameRect()), whitePixels(without, Geo::chordNameRect()) + 10);
}

TEST_P(NeckPainting, TheChordNameStandsOnADarkBackdropAndTheNutNamesTheStrings)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](qreal v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    // Every pixel around the letters, across the label's height, leaves white text readable.
    const QImage named = paintNeck(MarkerGrid(), GetParam(), { false, true, "Gmaj7" });
    const QRect label = Geo::chordNameRect();
    for (int y = label.top() + 2; y <= label.bottom() - 2; ++y) {
        for (const int x : { label.center().x() - 24, label.center().x() + 24 }) {
            for (const QColor& c : devicePixels(named, QPoint(x, y)))
                EXPECT_GE(1.05 / (luminance(c) + 0.05), 4.5) << x << "," << y;
        }
    }

    // The lowest string's name on the headstock differs between E and drop-D tuning; the others agree.
    const QImage standard = paintNeck(MarkerGrid(), GetParam());
    const QImage dropD = paintNeck(MarkerGrid(), GetParam(), {}, ParseTuningNames(u"D A D G").tuning);
    const auto differs = [&](int slot) {
        int count = 0;
        for (int y = Geo::stringY(slot) - 4; y <= Geo::stringY(slot) + 4; ++y) {
            for (int x = 16; x < Geo::NutX - 4; ++x)
                count += devicePixels(standard, QPoint(x, y)) != devicePixels(dropD, QPoint(x, y));
        }
        return count;
    };
    EXPECT_GT(differs(6), 5);
    for (const int slot : { 3, 4, 5 })
        EXPECT_EQ(differs(slot), 0) << slot;
    int dark = 0;
    for (int x = 16; x < Geo::NutX - 4; ++x) {
        for (const QColor& c : devicePixels(standard, QPoint(x, Geo::stringY(4))))
            dark += c.lightness() < 80;
    }
    EXPECT_GT(dark, 0) << "the D string's name is written in dark letters on the maple";
}

INSTANTIATE_TEST_SUITE_P(Ratios, NeckPainting, testing::Values(1.0, 2.0));

TEST(PickCursor, RingAroundTheHotSpotAtAnyRatio)
{
    for (const qreal ratio : { 1.0, 2.0 }) {
        const QCursor cursor = NeckPainter::pickCursor(ratio);
        EXPECT_EQ(cursor.hotSpot(), QPoint(13, 15));
        const QImage image = cursor.pixmap().toImage();
        EXPECT_EQ(image.size(), QSize(32, 32) * ratio);
        const auto alphaAt = [&](qreal x, qreal y) { return image.pixelColor(x * ratio, y * ratio).alpha(); };
        EXPECT_EQ(alphaAt(13, 15), 0) << "centre stays clear";
        EXPECT_GT(alphaAt(7, 15), 128) << "left edge of the 13-wide ring";
        EXPECT_GT(alphaAt(13, 10), 128) << "top edge of the 11-high ring";
        EXPECT_EQ(alphaAt(2, 2), 0);
        EXPECT_EQ(alphaAt(28, 28), 0);
    }
}

TEST(EditGlyphs, EveryGlyphDrawsSharplyAtRatioTwoAndGreysWhenDisabled)
{
    const EditGlyph all[] = { EditGlyph::Rest, EditGlyph::NewNote, EditGlyph::Duplicate, EditGlyph::ClearNotes,
        EditGlyph::DeleteNote, EditGlyph::WholeNote, EditGlyph::HalfNote, EditGlyph::QuarterNote, EditGlyph::EighthNote,
        EditGlyph::SixteenthNote, EditGlyph::ThirtySecondNote, EditGlyph::SixtyFourthNote, EditGlyph::ShiftLeft,
        EditGlyph::ShiftRight };
    QList<QImage> seen;
    for (const EditGlyph glyph : all) {
        const QSize size = EditGlyphs::designSize(glyph);
        const QPixmap pixmap = EditGlyphs::icon(glyph).pixmap(size, 2.0);
        EXPECT_EQ(pixmap.size(), size * 2);
        EXPECT_EQ(pixmap.devicePixelRatio(), 2.0);
        const QImage image = pixmap.toImage();
        int ink = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                ink += image.pixelColor(x, y).alpha() > 200;
        }
        EXPECT_GT(ink, 30) << static_cast<int>(glyph);
        EXPECT_FALSE(seen.contains(image)) << "glyph " << static_cast<int>(glyph) << " repeats another";
        seen << image;

        const QImage disabled = EditGlyphs::icon(glyph).pixmap(size, 2.0, QIcon::Disabled).toImage();
        EXPECT_NE(disabled, image);
    }
}

TEST(EditGlyphs, NoteValuesGainInkWithEveryFlag)
{
    int previous = 0;
    for (const EditGlyph glyph : { EditGlyph::QuarterNote, EditGlyph::EighthNote, EditGlyph::SixteenthNote,
             EditGlyph::ThirtySecondNote, EditGlyph::SixtyFourthNote }) {
        const QImage image = EditGlyphs::pixmap(glyph, 3.0).toImage();
        int ink = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                ink += image.pixelColor(x, y).alpha() > 100;
        }
        EXPECT_GT(ink, previous) << static_cast<int>(glyph);
        previous = ink;
    }
}

} // namespace
