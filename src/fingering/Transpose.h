#pragma once

#include "Retune.h"

#include <QString>
#include <QStringList>

namespace fw {

// Lines: the whole list with the chosen lines moved. InsertedLines: a comment above each line that
// lost notes, naming them.
struct TransposeResult : ListRewrite {
    // The chosen lines that are in error, left as they were: "Line N    " and the parser's message.
    QStringList Problems;
    // One text per line that lost notes no string can play after the move: "Line N    " and the notes.
    QStringList Lost;
    // One text per hammer-on, pull-off, slide or tie that its next note no longer completes after the
    // move (a note moved to another string, left out, or not moved with it): "Line N    " and why.
    // The mark is taken out.
    QStringList DroppedMarks;
    // How many lines were rewritten.
    int MovedLines = 0;
};

// Moves the notes of the chord definitions among lines first..last (0-based, inclusive) of a chord
// list by semitones, on the list's own tuning (its tuning line, else E A D G). A note that still
// fits its string stays on it; the chords with a note that leaves the neck are fingered again
// around the lines that stay. A note that no string can play is left out and named in a comment
// above its line. A name the program gives (a note name, "Rest", "Chord", "New") follows the new
// notes; the user's own names stay. Marks move with their notes (a harmonic to a string and node
// sounding its new pitch); notes joined by a tie, hammer-on, pull-off or legato slide stay on one
// string. Comments, count-off, blank and tuning lines, rests and lines in error keep their text.
// Line numbers in messages count the lines of the new list.
TransposeResult TransposeLines(const QStringList& lines, int semitones, int first, int last);

// What a transposition leaves for the user to look at, empty when every line moved.
QString TransposeWarning(const TransposeResult& result);

} // namespace fw
