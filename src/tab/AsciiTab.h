#pragma once

#include "TabBuilder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace fw {

// Height allowance of the ASCII view for one line group (four string lines and two empty lines);
// AsciiGroupHeightFor gives it for other string counts.
inline constexpr int AsciiGroupHeight = 240;
inline constexpr int AsciiGroupHeightFor(int strings) { return AsciiGroupHeight * (strings + 2) / 6; }

// The string lines being built, by slot: 3..6 are the G, D, A, E lines of a four-string bass; a
// five- or six-string bass also fills slot 2 or 1 and 2.
using TabLineArray = std::array<QString, 7>;

// Lines 1 to 6: three empty lines, the centred title, the centred subtitle, an empty line. A
// tablature that names its strings has "Tuning: " and the names, lowest first, as its first line; one
// with a count-off has "Count off: " and its number as its second line.
void AsciiHeader(QStringList& text, const Tablature& tab, const QString& title, const QString& subtitle);

// What each string line of a line group starts with, by slot: "|", or for a tablature that names its
// strings the name and "|", names padded to one width ("D |", "D#|").
TabLineArray AsciiLineStarts(const Tablature& tab);

// One string's note as ASCII tab writes it: empty when the string is not struck; else the fret with
// its marks as web tabs write them: "12", "5h", "7p", "5/", "/5", "(5)", "x" (dead), "<12>", "7b9",
// "5~", and "5_" for a note held into the next one on its string.
QString AsciiNoteText(const ChordDef& def, int slot);

// Where the cells of one bar go. Every cell of a column has the column's width (two characters for
// plain frets, more for marks), so the columns stay aligned across the strings; cells are padded with
// dashes on the left.
struct AsciiBarLayout {
    int Dashes = 0; // before, between and after the cells
    // The shown columns: TabList indexes FirstColumn to FirstColumn + Count - 1.
    qsizetype FirstColumn = 0;
    int Count = 0;
    // By shown column, from 0: the cell's width, and the widest note (at least 2); a cell is wider than
    // its notes only where a PM or let-ring label needs the room.
    std::array<int, MaxTabColumns> Widths {};
    std::array<int, MaxTabColumns> NoteWidths {};
    bool Truncated = false; // more columns than are shown

    // Offset of the k-th shown cell from the first character after the bar's opening bar line.
    int CellStart(int k) const;
    // The characters between the bar's two bar lines.
    int Width() const { return CellStart(Count); }
};
AsciiBarLayout LayOutAsciiBar(const Tablature& tab, const TabBar& bar);

struct AsciiTab {
    // One entry per text line, without line ends.
    QStringList Lines;
    // AsciiGroupHeight per line group, for sizing the view.
    int Height = 0;
    bool Truncated = false;
};

// The whole ASCII tablature. title should already have its default (AsciiTitle); subtitle may be empty.
// Each line group is its string lines, then two empty lines. Palm mute and let ring are a "PM---" and a
// "let ring---" line above the strings, slap, pop and tap an S, P or T under a column on a line below
// them; each of these lines only where the group has such marks. With rhythmLine each group has a line
// above its string lines with every shown column's duration (Q, .E, /S, ...) where its widest note starts.
AsciiTab BuildAsciiTab(const Tablature& tab, const QString& title, const QString& subtitle, bool rhythmLine = false);

// The file contents: every line ended by CR LF.
QByteArray AsciiTabFileBytes(const QStringList& lines);

// The chosen save name with its extension replaced by ".tab" (or ".tab" appended when it has none).
QString ForceTabExtension(const QString& fileName);

// Writes the file atomically, so a failure leaves any previous file intact; errorText (when given)
// names the file and the reason.
bool SaveAsciiTab(const QString& fileName, const QStringList& lines, QString* errorText = nullptr);

} // namespace fw
