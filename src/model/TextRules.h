#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace fw {

// Trimming in chord lists removes every character whose code is 32 or less from both ends.
QStringView TrimBlanks(QStringView text);

// The one integer rule used everywhere: optional leading blanks, an optional sign, then decimal
// digits or "$" and hexadecimal digits, nothing after, and the value must fit 32 bits.
std::optional<int> StrToIntRule(QStringView text);
int StrToIntDef(QStringView text, int fallback);

bool IsCommentLine(QStringView text);
int CountCommas(QStringView text);

// File names as users type them on either system: "/" and "\" both separate folders.
qsizetype LastPathSeparator(QStringView path);
// PATH without the extension of its last part ("C:\songs.v2\walk.bss" -> "C:\songs.v2\walk").
QString PathWithoutExtension(const QString& path);

} // namespace fw
