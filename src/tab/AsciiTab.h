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
// tablature that names its strings has "Tuning: " and the names, lowest first, as its first line.
void AsciiHeader(QStringList& text, const Tablature& tab, const QString& title, const QString& subtitle);

// What each string line of a line group starts with, by slot: "|", or for a tablature that names its
// strings the name and "|", names padded to one width ("D |", "D#|").
TabLineArray AsciiLineStarts(const Tablature& tab);

// Appends one bar to lines, setting them to starts first when the bar starts a line group. Sets
// truncated when the bar has more columns than are shown.
void AppendAsciiBar(TabLineArray& lines, const Tablature& tab, const TabBar& bar, bool firstOfGroup,
    const TabLineArray& starts, bool& truncated);

struct AsciiTab {
    // One entry per text line, without line ends.
    QStringList Lines;
    // AsciiGroupHeight per line group, for sizing the view.
    int Height = 0;
    bool Truncated = false;
};

// The whole ASCII tablature. title should already have its default (AsciiTitle); subtitle may be empty.
AsciiTab BuildAsciiTab(const Tablature& tab, const QString& title, const QString& subtitle);

// The file contents: every line ended by CR LF.
QByteArray AsciiTabFileBytes(const QStringList& lines);

// The chosen save name with its extension replaced by ".tab" (or ".tab" appended when it has none).
QString ForceTabExtension(const QString& fileName);

// Writes the file atomically, so a failure leaves any previous file intact; errorText (when given)
// names the file and the reason.
bool SaveAsciiTab(const QString& fileName, const QStringList& lines, QString* errorText = nullptr);

} // namespace fw
