#pragma once

#include "Pitch.h"
#include "Tuning.h"

#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringView>

#include <optional>

namespace fw {

// One marker cell of the neck: string slot 1..6 and fret 0 up to the neck's frets.
struct NeckCell {
    int slot = 0;
    int fret = 0;
    friend bool operator==(const NeckCell&, const NeckCell&) = default;
};

// The neck picture in design pixels. Unless a name says otherwise, coordinates are relative to the
// picture's top-left corner; the main window places the picture at PictureLeft, PictureTop.
//
// The neck has FretCount (18) frets unless the list allows more ("* Frets: 24"): each further fret
// adds a column of FretPitch at the body end, so the picture grows to the right and nothing else
// moves. Functions that take frets default to the 18-fret neck.
namespace NeckGeometry {

    // The 18-fret picture; pictureWidth gives it for longer necks.
    inline constexpr int PictureWidth = 484;
    inline constexpr int PictureHeight = 160;
    inline constexpr int PictureLeft = 5;
    inline constexpr int PictureTop = 18;
    // The black frame (shpNeckRect) lies this far outside the picture on every side.
    inline constexpr int FrameWidth = 2;

    inline constexpr int NutX = 47;
    inline constexpr int FirstWireX = 72;
    inline constexpr int FretPitch = 24;
    // The edges of a four-string neck; each further string widens it upward by one RowPitch.
    inline constexpr int NeckTop = 52;
    inline constexpr int NeckBottom = 93;

    inline constexpr int FirstSlot = 1;
    inline constexpr int LastSlot = 6;
    // On a four-string neck slots 1 and 2 exist in the grid but never show, take presses or give
    // hints; a five-string neck shows slot 2 as well, a six-string neck every slot.
    inline constexpr int FirstVisibleSlot = 3;
    inline constexpr int FourStrings = 4;
    inline constexpr int CellCount = 114; // 6 slots x 19 columns of the 18-fret neck
    inline constexpr int MaxCellCount = 6 * (MaxFretLimit + 1);
    inline constexpr int CellHeight = 12;
    inline constexpr int RowPitch = 11;
    inline constexpr int FirstRowTop = 26;
    inline constexpr int CellWidth = 16;

    int pictureWidth(int frets = FretCount);
    // Wire k: 0 is the nut, 1..frets the fret wires.
    int wireX(int wire);
    int neckTop(int strings = FourStrings);
    int firstVisibleSlot(int strings = FourStrings);
    // The string line of a slot, 11 pixels above the one below it (slot 6, the lowest string, at 90).
    int stringY(int slot);
    // Horizontal centre of the cells of one fret column.
    int columnCentreX(int fret);
    // An empty rectangle for a slot or fret outside the grid of a neck with frets frets.
    QRect cellRect(int slot, int fret, int frets = FretCount);
    QPoint cellCentre(int slot, int fret, int frets = FretCount);
    // Where a shown marker is drawn: the cell's size and column, centred on its string rather than on
    // the row, which lies a little above the string.
    QRectF markerRect(int slot, int fret, int frets = FretCount);
    bool isVisibleCell(int slot, int fret, int strings = FourStrings, int frets = FretCount);

    // "DOT_s%.2d_f%.2d".
    QString cellName(int slot, int fret);
    // Reads the two characters after the first "s" and after the first "f" as numbers.
    std::optional<NeckCell> cellFromName(QStringView name, int frets = FretCount);

    // The visible cell under a picture point; where two rows overlap the higher slot wins.
    std::optional<NeckCell> cellAt(QPoint picturePoint, int strings = FourStrings, int frets = FretCount);

    // "Current Note:" + the note's name in the tuning.
    QString cellHint(int slot, int fret, const Tuning& tuning = StandardTuning());
    // Over the picture but not over a cell the hint is blank, so the status panel clears.
    inline const QString PictureHint = QStringLiteral("         ");

    // The fret-number label lblFretNumbers, in picture coordinates, and its caption (of the 18-fret neck).
    QRect fretNumbersRect(int frets = FretCount);
    inline const QString FretNumbersCaption = QStringLiteral("1      2     3      4      5      6      7      8      9 "
                                                             "     10    11    12    13    14    15    16    17    18");
    // The chord-name label lblChordName, in picture coordinates: in the sky above the strings of any neck.
    QRect chordNameRect(int frets = FretCount);
    inline const QString ChordNameHint = QStringLiteral("Chord name.");

} // namespace NeckGeometry

} // namespace fw
