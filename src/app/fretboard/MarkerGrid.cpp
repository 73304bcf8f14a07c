#include "MarkerGrid.h"

#include <algorithm>

namespace fw {

QColor ColorFromSetting(std::uint32_t value)
{
    return QColor(
        static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF));
}

MarkerShape MarkerShapeFromSetting(int code)
{
    if (code < 0 || code > 5)
        return MarkerShape::Circle;
    return static_cast<MarkerShape>(code);
}

void MarkerGrid::setFretCount(int frets)
{
    m_frets = std::clamp(frets, static_cast<int>(FretCount), static_cast<int>(MaxFretLimit));
    // A shorter neck has no cells beyond its last fret: nothing may stay shown there.
    for (int slot = NeckGeometry::FirstSlot; slot <= NeckGeometry::LastSlot; ++slot) {
        for (int f = m_frets + 1; f <= MaxFretLimit; ++f)
            m_cells[(slot - 1) * (MaxFretLimit + 1) + f].shown = false;
    }
}

int MarkerGrid::indexOf(int slot, int fret) const
{
    if (slot < NeckGeometry::FirstSlot || slot > NeckGeometry::LastSlot || fret < 0 || fret > m_frets)
        return -1;
    return (slot - 1) * (MaxFretLimit + 1) + fret;
}

void MarkerGrid::ShowMarker(int slot, int fret)
{
    if (slot < NeckGeometry::FirstSlot || slot > NeckGeometry::LastSlot || fret < -1 || fret > m_frets)
        return;
    for (int f = m_frets; f >= 0; --f) {
        Cell& c = m_cells[indexOf(slot, f)];
        c.shown = false;
        c.shape = m_shape;
    }
    if (fret != -1)
        showCell(slot, fret);
}

void MarkerGrid::ShowMarkers(const FretArray& frets)
{
    for (int slot = NeckGeometry::FirstSlot; slot <= NeckGeometry::LastSlot; ++slot)
        ShowMarker(slot, frets[slot]);
}

void MarkerGrid::showCell(int slot, int fret)
{
    const int i = indexOf(slot, fret);
    if (i < 0)
        return;
    m_cells[i].shown = true;
    m_cells[i].shape = m_shape;
    m_cells[i].color = m_color;
}

bool MarkerGrid::isShown(int slot, int fret) const
{
    const int i = indexOf(slot, fret);
    return i >= 0 && m_cells[i].shown;
}

int MarkerGrid::shownFret(int slot) const
{
    for (int f = 0; f <= m_frets; ++f) {
        if (isShown(slot, f))
            return f;
    }
    return -1;
}

MarkerGrid::Cell MarkerGrid::cell(int slot, int fret) const
{
    const int i = indexOf(slot, fret);
    return i >= 0 ? m_cells[i] : Cell {};
}

} // namespace fw
