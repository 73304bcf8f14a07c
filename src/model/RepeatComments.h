#pragma once

#include <QString>

namespace fw {

// The comment lines an import writes for a repeated passage. Played out, each pass starts with
// "* Repeat 1 of 2", "* Repeat 2 of 2"; kept once as written, the passage lies between
// "* Repeat start" and "* Repeat end x2".
inline QString RepeatPassComment(int pass, int passes)
{
    return QStringLiteral("* Repeat %1 of %2").arg(pass).arg(passes);
}
inline QString RepeatStartComment() { return QStringLiteral("* Repeat start"); }
inline QString RepeatEndComment(int passes) { return QStringLiteral("* Repeat end x%1").arg(passes); }

} // namespace fw
