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

} // namespace fw
