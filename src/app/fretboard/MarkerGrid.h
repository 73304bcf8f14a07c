#pragma once

#include "ChordDef.h"
#include "NeckGeometry.h"

#include <QColor>

#include <array>
#include <cstdint>

namespace fw {

// MarkerShape setting codes; 2 and 3 are the rounded forms of 0 and 1.
enum class MarkerShape { Rectangle = 0, Square = 1, RoundRect = 2, RoundSquare = 3, Ellipse = 4, Circle = 5 };

inline constexpr std::uint32_t DefaultMarkerColor = 16776960; // 0x00BBGGRR: cyan
inline constexpr int DefaultMarkerShape = 5; // Circle

// A stored colour with red in the low byte, then green, then blue.
QColor ColorFromSetting(std::uint32_t value);
// Unknown codes draw as the default shape.
MarkerShape MarkerShapeFromSetting(int code);

// Which marker cells are shown and how. Each cell keeps the shape and colour it was given when it was
// last hidden or shown, so a settings change shows on the next display of a line.
class MarkerGrid {
public:
    struct Cell {
        bool shown = false;
        MarkerShape shape = MarkerShape::Circle;
        QColor color;
    };

    void setMarkerColor(std::uint32_t settingValue) { m_color = ColorFromSetting(settingValue); }
    void setMarkerShape(int settingCode) { m_shape = MarkerShapeFromSetting(settingCode); }

    // The neck's frets, FretCount to MaxFretLimit; cells above them are hidden and take no markers.
    void setFretCount(int frets);
    int fretCount() const { return m_frets; }

    // Shows the given fret of the slot (-1 = none) and hides the slot's other cells; ignored outside
    // slots 1..6 and frets -1..fretCount().
    void ShowMarker(int slot, int fret);
    // ShowMarker(i, frets[i]) for slots 1..6.
    void ShowMarkers(const FretArray& frets);
    // Shows one cell at once and leaves the slot's other cells as they are (a neck press).
    void showCell(int slot, int fret);

    bool isShown(int slot, int fret) const;
    // The shown fret of a slot, lowest first; -1 when none is shown.
    int shownFret(int slot) const;
    // An empty cell outside the grid.
    Cell cell(int slot, int fret) const;

private:
    int indexOf(int slot, int fret) const;

    std::array<Cell, NeckGeometry::MaxCellCount> m_cells {};
    int m_frets = FretCount;
    QColor m_color = ColorFromSetting(DefaultMarkerColor);
    MarkerShape m_shape = MarkerShape::Circle;
};

} // namespace fw
