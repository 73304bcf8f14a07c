#pragma once

#include "TimeSignature.h"
#include "Tuning.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace fw {

// Comment lines that set something for the list, besides the tuning line (Tuning.h):
//   "* Time: 3/4"   any N/D with N 1..32 and D 2, 4, 8 or 16; sets the time of the bars from the
//                   next bar that starts after it (see BarsOf). Without one, 4/4.
//   "* Frets: 24"   18..24; the highest fret the list may use. The last one in the list counts;
//                   without one the limit is FretCount (18).
// Like the tuning line: "*" and at most one blank, then the word and a colon in any letter case.
// A comment that starts like one of them but is none is an ordinary comment, and CommentLineProblem
// says why.

struct TimeLineResult {
    SpecialLineKind kind = SpecialLineKind::NotSpecial;
    TimeSignature time;
    QString reason;
};
TimeLineResult ParseTimeLine(QStringView line);

struct FretsLineResult {
    SpecialLineKind kind = SpecialLineKind::NotSpecial;
    int frets = FretCount;
    QString reason;
};
FretsLineResult ParseFretsLine(QStringView line);

// The last valid frets line's number, else FretCount.
int FretLimitOfLines(const QStringList& lines);

// "* Frets: 24", "* Time: 6/8": the lines as the program writes them.
QString FretsLineText(int frets);
QString TimeLineText(const TimeSignature& time);

// Why a comment that starts like a tuning, time or frets line is none ("Not a time line: ..."); empty
// for every other line.
QString CommentLineProblem(QStringView line);

} // namespace fw
