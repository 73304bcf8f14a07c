#pragma once

#include <QString>

namespace fw {

// The comment lines an import writes where a file repeats a section. Every reader uses these, so that
// a list reads the same whichever format it came from and one search finds every repeat.

// Played out: at the start of each pass through the section, e.g. "* Repeat 1 of 2".
inline QString RepeatPassComment(int pass, int passes)
{
    return QStringLiteral("* Repeat %1 of %2").arg(pass).arg(passes);
}

// At the start of an alternate ending, e.g. "* Ending 1".
inline QString EndingComment(int number) { return QStringLiteral("* Ending %1").arg(number); }

// As written (--as-written): the section kept once between these two, e.g. "* Repeat end x2".
inline QString RepeatStartComment() { return QStringLiteral("* Repeat start"); }
inline QString RepeatEndComment(int passes) { return QStringLiteral("* Repeat end x%1").arg(passes); }

} // namespace fw
