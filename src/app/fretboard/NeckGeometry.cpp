#include "NeckGeometry.h"

#include "Pitch.h"

namespace fw::NeckGeometry {

int pictureWidth(int frets) { return PictureWidth + FretPitch * (frets - FretCount); }

int wireX(int wire) { return wire <= 0 ? NutX : FirstWireX + FretPitch * (wire - 1); }

int neckTop(int strings) { return NeckTop - RowPitch * (strings - FourStrings); }

int firstVisibleSlot(int strings) { return LastSlot + 1 - strings; }

int stringY(int slot)
{
    switch (slot) {
    case 1:
        return 35;
    case 2:
        return 46;
    case 3:
        return 57;
    case 4:
        return 68;
    case 5:
        return 78;
    case 6:
        return 90;
    default:
        return -1;
    }
}

int columnCentreX(int fret)
{
    // Evenly spaced at the fret pitch: fret 1 sits between the nut and wire 1, fret 0 one pitch
    // further left over the nut end of the strings.
    return FirstWireX - FretPitch / 2 + FretPitch * (fret - 1);
}

static bool inGrid(int slot, int fret, int frets)
{
    return slot >= FirstSlot && slot <= LastSlot && fret >= 0 && fret <= frets;
}

QRect cellRect(int slot, int fret, int frets)
{
    if (!inGrid(slot, fret, frets))
        return {};
    return QRect(columnCentreX(fret) - CellWidth / 2, FirstRowTop + RowPitch * (slot - 1), CellWidth, CellHeight);
}

QPoint cellCentre(int slot, int fret, int frets)
{
    const QRect r = cellRect(slot, fret, frets);
    return { r.left() + r.width() / 2, r.top() + r.height() / 2 };
}

QRectF markerRect(int slot, int fret, int frets)
{
    const QRect cell = cellRect(slot, fret, frets);
    if (cell.isEmpty())
        return {};
    // A string's line covers the pixel row of its y, so its middle is half a pixel below.
    return QRectF(cell.left(), stringY(slot) + 0.5 - CellHeight / 2.0, CellWidth, CellHeight);
}

bool isVisibleCell(int slot, int fret, int strings, int frets)
{
    return inGrid(slot, fret, frets) && slot >= firstVisibleSlot(strings);
}

QString cellName(int slot, int fret) { return QString::asprintf("DOT_s%.2d_f%.2d", slot, fret); }

static std::optional<int> twoDigitsAfter(QStringView name, QChar marker)
{
    const qsizetype at = name.indexOf(marker);
    if (at < 0 || at + 3 > name.size())
        return std::nullopt;
    const QStringView digits = name.mid(at + 1, 2);
    if (!digits[0].isDigit() || !digits[1].isDigit())
        return std::nullopt;
    return digits.toInt();
}

std::optional<NeckCell> cellFromName(QStringView name, int frets)
{
    const auto slot = twoDigitsAfter(name, u's');
    const auto fret = twoDigitsAfter(name, u'f');
    if (!slot || !fret || !inGrid(*slot, *fret, frets))
        return std::nullopt;
    return NeckCell { *slot, *fret };
}

std::optional<NeckCell> cellAt(QPoint picturePoint, int strings, int frets)
{
    // Later rows lie on top, so search from the lowest string upwards.
    for (int slot = LastSlot; slot >= firstVisibleSlot(strings); --slot) {
        for (int fret = 0; fret <= frets; ++fret) {
            if (cellRect(slot, fret, frets).contains(picturePoint))
                return NeckCell { slot, fret };
        }
    }
    return std::nullopt;
}

QString cellHint(int slot, int fret, const Tuning& tuning)
{
    return QStringLiteral("Current Note:") + NoteName(tuning, slot, fret, QString());
}

QRect fretNumbersRect(int frets)
{
    return QRect(64 - PictureLeft, 116 - PictureTop, 423 + FretPitch * (frets - FretCount), 13);
}

QRect chordNameRect(int frets) { return QRect(225 - PictureLeft, 3, 261 + FretPitch * (frets - FretCount), 17); }

} // namespace fw::NeckGeometry
