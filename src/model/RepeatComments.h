#pragma once

#include <QString>

namespace fw {

// The comment lines an import writes where a file repeats a section. Played out: one line at the
// start of each pass and of each alternate ending; as written: the repeat signs themselves.
inline QString RepeatPassComment(int pass, int passes)
{
    return QStringLiteral("* Repeat %1 of %2").arg(pass).arg(passes);
}
inline QString EndingComment(const QString& numbers) { return QStringLiteral("* Ending ") + numbers; }
inline QString RepeatStartComment() { return QStringLiteral("* Repeat start"); }
inline QString RepeatEndComment(int times) { return QStringLiteral("* Repeat end x%1").arg(times); }

} // namespace fw
