#pragma once

#include "ChordDef.h"
#include "Tuning.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace fw {

enum class LineKind { CountOff, Comment, Blank, ChordDefinition };

struct LineParseResult {
    LineKind kind = LineKind::Blank;
    // Empty on success; otherwise "Line N    " and the message.
    QString errorText;
    // For count-off lines: 0..8, or -1 when the number is out of range (the line must then be corrected).
    int countOffNumber = 0;
};

// "Line N    ": how every message about a line starts (N counts from 1).
QString LinePrefix(int lineIndex);

inline const QString CorrectedCountOffLine = QStringLiteral("*Count Off 0");
QString InvalidCountOffMessage(QStringView line);

// The clicks a list's count-off asks for: the last count-off line's number (0 for a number out of
// range, as the parser corrects it), or nothing when the list has no count-off line.
std::optional<int> CountOffOfLines(const QStringList& lines);
// "*Count Off 4": a count-off line as the program writes it.
QString CountOffLineText(int beats);

// Parses one line's text without touching anything else; lineIndex only numbers the messages.
// A chord definition holds one fret field per string of the tuning, lowest first, each a fret up to
// fretLimit (the list's "* Frets:" line, FretLimitOfLines) with its marks (Marks.h), then the
// duration and optionally the per-line words. A valid time line is a comment whose def.Time is set.
// Marks that need the next note on their string are checked by ListCheck.h, not here.
LineParseResult ParseLineText(
    QStringView line, int lineIndex, ChordDef& def, const Tuning& tuning, int fretLimit = FretCount);
LineParseResult ParseLineText(QStringView line, int lineIndex, ChordDef& def);

// The canonical text of a four-string chord definition, marks included.
QString BuildLine(const ChordDef& def);

} // namespace fw
