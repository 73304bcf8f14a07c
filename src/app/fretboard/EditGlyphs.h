#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QSize>

class QPainter;

namespace fw {

// The pictures on the edit buttons, drawn as vectors so they stay sharp at any device-pixel ratio.
enum class EditGlyph {
    Rest, // quarter-rest sign and REST
    NewNote, // fret diagram with rays and NEW NOTE
    Duplicate, // two fret diagrams joined by an arrow and Dup
    ClearNotes, // fret diagram and CLEAR NOTES
    DeleteNote, // crossed-out circle over a fret diagram and DELETE NOTE
    WholeNote,
    HalfNote,
    QuarterNote,
    EighthNote,
    SixteenthNote,
    ThirtySecondNote,
    SixtyFourthNote,
    ShiftLeft, // left arrow between SHIFT and LEFT
    ShiftRight,
};

namespace EditGlyphs {

    // The size the artwork is drawn for: its button's size less a 2-pixel border.
    QSize designSize(EditGlyph glyph);
    // Draws the glyph scaled to fit box, keeping its proportions, centred.
    void paint(QPainter& painter, EditGlyph glyph, const QRectF& box, const QColor& ink);
    QPixmap pixmap(EditGlyph glyph, qreal devicePixelRatio);
    // An icon that paints itself at whatever size and ratio the button asks for; greyed when disabled.
    QIcon icon(EditGlyph glyph);

} // namespace EditGlyphs

} // namespace fw
