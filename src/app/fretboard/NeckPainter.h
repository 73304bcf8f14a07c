#pragma once

#include "MarkerGrid.h"
#include "NeckGeometry.h"
#include "Tuning.h"

#include <QColor>
#include <QCursor>
#include <QPixmap>
#include <QString>

class QPainter;
class QRectF;

namespace fw {

// The neck is painted as vectors in design pixels, so it is sharp at any device-pixel ratio: the
// caller only sets up the painter (translation, scaling) and the paint device's ratio.
namespace NeckPainter {

    // Colours a test or a caller may rely on.
    inline const QColor FrameColor = Qt::black;
    inline const QColor StringColor = QColor(0xE4, 0xE2, 0xD8);
    inline const QColor WireColor = QColor(0xC4, 0xC6, 0xCC);
    inline const QColor LabelColor = Qt::white;
    inline const QColor ChordNameBackdrop = QColor(0x10, 0x20, 0x38, 0xD0);
    inline const QColor StringNameColor = QColor(0x2A, 0x14, 0x06);
    inline const QColor StringNameTag = QColor(0xF6, 0xE8, 0xC8);

    struct Labels {
        bool fretNumbers = true;
        bool chordName = false;
        QString chordNameText;
    };

    // Everything below paints in picture coordinates (origin at the picture's top-left), for a neck of
    // frets frets (NeckGeometry::pictureWidth).
    // The frame lies outside the picture, FrameWidth pixels on every side.
    void paintFrame(QPainter& painter, int frets = FretCount);
    // A neck with the tuning's strings (4 to 6), widening upward from the four-string neck, each
    // string's name on the headstock beside its tuner.
    void paintNeck(QPainter& painter, const Tuning& tuning = StandardTuning(), int frets = FretCount);
    // The shown cells of the neck's strings (slots 3..6 on four strings), on the markers' neck.
    void paintMarkers(QPainter& painter, const MarkerGrid& markers, int strings = NeckGeometry::FourStrings);
    // One marker of SHAPE filling CELL (square shapes centred in it), in the painter's current pen.
    void paintMarker(QPainter& painter, const QRectF& cell, MarkerShape shape, const QColor& color);
    void paintFretNumbers(QPainter& painter, int frets = FretCount);
    void paintChordName(QPainter& painter, const QString& text, int frets = FretCount);
    // Frame, neck, markers and the labels that are switched on, in that order, on the markers' neck.
    void paintAll(
        QPainter& painter, const MarkerGrid& markers, const Labels& labels, const Tuning& tuning = StandardTuning());

    // The pointer over the cells: a ring 13 x 11 pixels around the hot spot (13, 15) of a 32 x 32 image.
    inline constexpr int PickCursorSize = 32;
    inline constexpr int PickHotX = 13;
    inline constexpr int PickHotY = 15;
    QPixmap pickCursorPixmap(qreal devicePixelRatio);
    QCursor pickCursor(qreal devicePixelRatio);

} // namespace NeckPainter

} // namespace fw
