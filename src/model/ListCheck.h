#pragma once

#include "ChordDef.h"
#include "Tuning.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace fw {

// The checks that need more than one line: marks that join a note to the next note on its string
// (hammer-on, pull-off, legato slide, tie), and, as warnings, bars that do not add up to their time
// and comments that start like a tuning, time or frets line but are none.

// The next note entry after index (comment, count-off and blank entries passed over); -1 when the
// list has none. A rest is a note entry.
int NextNoteEntry(const ParsedLineList& parsed, int index);

// The entry holding the note that parsed[index]'s note on slot leads into (its hammer-on, pull-off,
// legato slide or tie partner): the next note entry when it strikes that string, else -1 (then a
// slide is a slide out). Meant for lists that parsed without error, where every h, p and _ has one.
int LinkPartner(const ParsedLineList& parsed, int index, int slot);

// The next entry after index that strikes slot's string, however far (let ring holds a note until
// then); -1 when none does.
int NextNoteOnString(const ParsedLineList& parsed, int index, int slot);

// The first mark of def that its next note entry (null at the list's end) does not complete, as a
// message without the line prefix ("Hammer-on on the A string has no next note on that string.");
// empty when all is well.
QString LinkProblem(const ChordDef& def, const ChordDef* next, const Tuning& tuning);

// One finding of a whole-list check.
struct LineProblem {
    int line = -1; // 0-based
    QString text; // "Line N    " and the message
    bool warning = false;
};

// Every error of a list, by line: each line's parse error, and each mark without its partner (only
// between lines that parse). With warnings, also every comment that starts like a tuning, time or
// frets line but is none, and every bar that does not add up to its time (4/4 without a time line;
// only when no line has an error). Warnings read "Line N    Warning: ...".
std::vector<LineProblem> CheckLines(const QStringList& lines, bool warnings);

} // namespace fw
