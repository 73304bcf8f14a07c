#include "NeckPainter.h"

#include "NeckGeometry.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace fw::NeckPainter {

namespace G = NeckGeometry;

namespace {

    // Fret numbers with a single inlay dot; the twelfth and the twenty-fourth have two, as on real basses.
    constexpr int SingleDotFrets[] = { 3, 5, 7, 9, 15, 17, 19, 21 };
    constexpr int DoubleDotFrets[] = { 12, 24 };
    constexpr int HeadstockEnd = 44;
    constexpr int StringStartX = 12;

    QFont labelFont(int pixelSize, bool bold)
    {
        QFont font(QStringLiteral("Sans Serif"));
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(pixelSize);
        font.setBold(bold);
        return font;
    }

    void paintSky(QPainter& painter, int width)
    {
        QLinearGradient sky(0, 0, 0, G::PictureHeight);
        sky.setColorAt(0.0, QColor(0x3C, 0x78, 0xC0));
        sky.setColorAt(0.45, QColor(0xB8, 0xD8, 0xF4));
        sky.setColorAt(0.55, QColor(0xB8, 0xD8, 0xF4));
        sky.setColorAt(1.0, QColor(0x2E, 0x5E, 0xA4));
        painter.fillRect(QRect(0, 0, width, G::PictureHeight), sky);
    }

    void paintWood(QPainter& painter, int strings, int width)
    {
        const int neckTop = G::neckTop(strings);
        const int height = G::NeckBottom - neckTop + 1;
        QLinearGradient wood(0, neckTop, 0, G::NeckBottom);
        wood.setColorAt(0.0, QColor(0x6A, 0x3C, 0x22));
        wood.setColorAt(0.5, QColor(0x4E, 0x2A, 0x16));
        wood.setColorAt(1.0, QColor(0x3A, 0x1E, 0x0E));
        painter.fillRect(QRect(HeadstockEnd, neckTop, width - HeadstockEnd, height), wood);

        // Maple headstock, a little taller than the neck, with the tuner posts the strings wind on.
        QLinearGradient maple(0, neckTop - 6, 0, G::NeckBottom + 6);
        maple.setColorAt(0.0, QColor(0xE2, 0xBE, 0x80));
        maple.setColorAt(1.0, QColor(0xB0, 0x86, 0x4A));
        painter.fillRect(QRect(0, neckTop - 6, HeadstockEnd, height + 12), maple);
        painter.fillRect(QRect(0, neckTop - 6, HeadstockEnd, 1), QColor(0x7A, 0x56, 0x2A));
        painter.fillRect(QRect(0, G::NeckBottom + 6, HeadstockEnd, 1), QColor(0x7A, 0x56, 0x2A));

        // Binding along both edges of the fingerboard.
        painter.fillRect(QRect(HeadstockEnd, neckTop, width - HeadstockEnd, 1), QColor(0xD8, 0xCC, 0xB0));
        painter.fillRect(QRect(HeadstockEnd, G::NeckBottom, width - HeadstockEnd, 1), QColor(0xD8, 0xCC, 0xB0));
    }

    void paintInlays(QPainter& painter, int strings, int frets)
    {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xEE, 0xEA, 0xDC));
        const auto dot = [&](int fret, qreal y) {
            const qreal x = (G::wireX(fret - 1) + G::wireX(fret)) / 2.0;
            painter.drawEllipse(QPointF(x, y), 3.5, 3.5);
        };
        const int top = G::firstVisibleSlot(strings);
        const qreal middle = (G::neckTop(strings) + G::NeckBottom + 1) / 2.0;
        for (const int fret : SingleDotFrets) {
            if (fret <= frets)
                dot(fret, middle);
        }
        for (const int fret : DoubleDotFrets) {
            if (fret <= frets) {
                dot(fret, (G::stringY(top) + G::stringY(top + 1)) / 2.0 + 0.5);
                dot(fret, (G::stringY(5) + G::stringY(6)) / 2.0 + 0.5);
            }
        }
        painter.restore();
    }

    void paintWires(QPainter& painter, int strings, int frets)
    {
        const int neckTop = G::neckTop(strings);
        const int height = G::NeckBottom - neckTop - 1;
        for (int wire = 1; wire <= frets; ++wire) {
            const int x = G::wireX(wire);
            painter.fillRect(QRect(x - 1, neckTop + 1, 2, height), WireColor);
            painter.fillRect(QRect(x + 1, neckTop + 1, 1, height), QColor(0x2A, 0x16, 0x0A));
        }
        // The nut: a bone-coloured bar centred on its x.
        painter.fillRect(QRect(G::NutX - 2, neckTop, 5, G::NeckBottom - neckTop + 1), QColor(0xF2, 0xEC, 0xD4));
        painter.fillRect(QRect(G::NutX + 3, neckTop, 1, G::NeckBottom - neckTop + 1), QColor(0x5A, 0x4A, 0x30));
    }

    void paintStrings(QPainter& painter, int strings, int width)
    {
        painter.save();
        const int top = G::firstVisibleSlot(strings);
        for (int slot = top; slot <= G::LastSlot; ++slot) {
            const int y = G::stringY(slot);
            // Lower strings are thicker; the string's own row y is always covered.
            const int thickness = slot - top + 1;
            const int top = y - (thickness - 1) / 2;
            painter.fillRect(QRect(StringStartX, top, width - StringStartX, thickness), StringColor);
            painter.fillRect(
                QRect(StringStartX, top + thickness, width - StringStartX, 1), QColor(0x20, 0x10, 0x08, 0x90));

            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(0x60, 0x60, 0x68), 1));
            painter.setBrush(QColor(0xD0, 0xD0, 0xD8));
            painter.drawEllipse(QPointF(StringStartX - 1, y + 0.5), 3.5, 3.5);
            painter.setRenderHint(QPainter::Antialiasing, false);
        }
        painter.restore();
    }

    void paintStringNames(QPainter& painter, const Tuning& tuning)
    {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(labelFont(10, true));
        // On the headstock between the tuner posts and the nut, level with each string, on a small tag
        // that the string line does not cross.
        const int left = StringStartX + 5;
        const QRect column(left, 0, HeadstockEnd - left, G::PictureHeight);
        for (int slot = tuning.firstSlot(); slot <= G::LastSlot; ++slot) {
            const QString name = tuning.pitchName(slot);
            const QRect box(left, G::stringY(slot) - 4, column.width(), 9);
            const int width = painter.fontMetrics().horizontalAdvance(name) + 4;
            painter.setPen(Qt::NoPen);
            painter.setBrush(StringNameTag);
            painter.drawRoundedRect(QRectF(box.center().x() + 1 - width / 2.0, box.top(), width, box.height()), 2, 2);
            painter.setPen(StringNameColor);
            painter.drawText(box.adjusted(0, -2, 0, 2), Qt::AlignCenter, name);
        }
        painter.restore();
    }

} // namespace

void paintMarker(QPainter& painter, const QRectF& cell, MarkerShape shape, const QColor& color)
{
    const qreal side = std::min(cell.width(), cell.height());
    const QRectF square(cell.center().x() - side / 2, cell.center().y() - side / 2, side, side);
    painter.setBrush(color);
    switch (shape) {
    case MarkerShape::Rectangle:
        painter.fillRect(cell, color);
        break;
    case MarkerShape::Square:
        painter.fillRect(square, color);
        break;
    case MarkerShape::RoundRect:
        painter.drawRoundedRect(cell, side / 4, side / 4);
        break;
    case MarkerShape::RoundSquare:
        painter.drawRoundedRect(square, side / 4, side / 4);
        break;
    case MarkerShape::Ellipse:
        painter.drawEllipse(cell);
        break;
    case MarkerShape::Circle:
        painter.drawEllipse(square);
        break;
    }
}

void paintFrame(QPainter& painter, int frets)
{
    painter.fillRect(QRect(-G::FrameWidth, -G::FrameWidth, G::pictureWidth(frets) + 2 * G::FrameWidth,
                         G::PictureHeight + 2 * G::FrameWidth),
        FrameColor);
}

void paintNeck(QPainter& painter, const Tuning& tuning, int frets)
{
    const int strings = tuning.stringCount();
    const int width = G::pictureWidth(frets);
    painter.save();
    painter.setClipRect(QRect(0, 0, width, G::PictureHeight));
    paintSky(painter, width);
    paintWood(painter, strings, width);
    paintInlays(painter, strings, frets);
    paintWires(painter, strings, frets);
    paintStrings(painter, strings, width);
    paintStringNames(painter, tuning);
    painter.restore();
}

void paintMarkers(QPainter& painter, const MarkerGrid& markers, int strings)
{
    const int frets = markers.fretCount();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    // Later rows lie on top of earlier ones where they overlap.
    for (int slot = G::firstVisibleSlot(strings); slot <= G::LastSlot; ++slot) {
        for (int fret = 0; fret <= frets; ++fret) {
            const MarkerGrid::Cell marker = markers.cell(slot, fret);
            if (marker.shown)
                paintMarker(painter, G::markerRect(slot, fret, frets), marker.shape, marker.color);
        }
    }
    painter.restore();
}

void paintFretNumbers(QPainter& painter, int frets)
{
    painter.save();
    painter.setPen(LabelColor);
    painter.setFont(labelFont(11, false));
    const QRect label = G::fretNumbersRect(frets);
    // Each number is centred under its fret, which is what the label's spacing aims for.
    for (int fret = 1; fret <= frets; ++fret) {
        const QRect box(G::columnCentreX(fret) - G::FretPitch / 2, label.top(), G::FretPitch, label.height());
        painter.drawText(box, Qt::AlignCenter, QString::number(fret));
    }
    painter.restore();
}

void paintChordName(QPainter& painter, const QString& text, int frets)
{
    if (text.isEmpty())
        return;
    painter.save();
    const QRect label = G::chordNameRect(frets);
    painter.setClipRect(label);
    painter.setFont(labelFont(13, true));
    // White on a dark backdrop just around the text: readable over the light and the dark sky alike.
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, label.width() - 12);
    const QRect textRect = painter.fontMetrics().boundingRect(label, Qt::AlignCenter, shown);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ChordNameBackdrop);
    painter.drawRoundedRect(QRectF(textRect.adjusted(-6, 0, 6, 0)).intersected(label), 4, 4);
    painter.setPen(LabelColor);
    painter.drawText(label, Qt::AlignCenter, shown);
    painter.restore();
}

void paintAll(QPainter& painter, const MarkerGrid& markers, const Labels& labels, const Tuning& tuning)
{
    const int frets = markers.fretCount();
    paintFrame(painter, frets);
    paintNeck(painter, tuning, frets);
    paintMarkers(painter, markers, tuning.stringCount());
    if (labels.fretNumbers)
        paintFretNumbers(painter, frets);
    if (labels.chordName)
        paintChordName(painter, labels.chordNameText, frets);
}

QPixmap pickCursorPixmap(qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QPixmap pixmap(QSize(PickCursorSize, PickCursorSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // The ring spans 13 x 11 pixels centred on the hot spot; a white halo keeps it visible on the dark wood.
    const QRectF ring(PickHotX - 6, PickHotY - 5, 12, 10);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawRoundedRect(ring, 3, 3);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRoundedRect(ring, 3, 3);
    return pixmap;
}

QCursor pickCursor(qreal devicePixelRatio) { return QCursor(pickCursorPixmap(devicePixelRatio), PickHotX, PickHotY); }

} // namespace fw::NeckPainter
