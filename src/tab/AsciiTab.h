#pragma once

#include "TabBuilder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace fw {

// Height allowance of the ASCII view for one line group (four string lines and two empty lines).
inline constexpr int AsciiGroupHeight = 240;

// The string lines being built, by slot: 3..6 are the G, D, A, E lines; the other slots stay unused.
using TabLineArray = std::array<QString, 7>;

// Lines 1 to 6: three empty lines, the centred title, the centred subtitle, an empty line.
void AsciiHeader(QStringList& text, const QString& title, const QString& subtitle);

// Appends one bar to lines ("|" first when it starts a line group). Sets truncated when the bar has
// more columns than are shown. firstSlot is the highest string's slot (1 for six strings).
void AppendAsciiBar(TabLineArray& lines, const TabList& list, const TabBar& bar, bool firstOfGroup, bool& truncated,
    int firstSlot = FirstBassSlot);

struct AsciiTab {
    // One entry per text line, without line ends.
    QStringList Lines;
    // AsciiGroupHeight per line group, for sizing the view.
    int Height = 0;
    bool Truncated = false;
};

// The whole ASCII tablature. title should already have its default (AsciiTitle); subtitle may be empty.
AsciiTab BuildAsciiTab(
    const Tablature& tab, const QString& title, const QString& subtitle, int firstSlot = FirstBassSlot);

// The file contents: every line ended by CR LF.
QByteArray AsciiTabFileBytes(const QStringList& lines);

// The chosen save name with its extension replaced by ".tab" (or ".tab" appended when it has none).
QString ForceTabExtension(const QString& fileName);

// Writes the file atomically, so a failure leaves any previous file intact; errorText (when given)
// names the file and the reason.
bool SaveAsciiTab(const QString& fileName, const QStringList& lines, QString* errorText = nullptr);

} // namespace fw
