#pragma once

#include "Marks.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <vector>

namespace fw::asciitab {

// Technique marks written with the frets, as web tabs write them (Marks.h gives their meaning):
//   5h7  7p5        hammer-on, pull-off into the next note on the string
//   5/7  7\5  5s7   legato slide into it (s: either way); 5/ or 5\ with no next note slides off
//   /5  \5          slide in from below, from above
//   (5)  x  <12>    ghost note, dead note, natural harmonic (<3.2> as well)
//   7b9  5~  5_     bend up to fret 9, vibrato, tie into the next note (the same fret)
//   t5              tapped
//   4(16)           fret 4, or fret 16 instead: the alternative is kept as a comment
// Marks that are not read so (a release "r", brackets, a hammer-on from nowhere, a bend without
// its target) are dropped, their notes kept, and counted for the report.
enum class Mark { HammerOn, PullOff, Slide, Bend, Release, Vibrato, Ghost, Harmonic, Bracket, Tap, Other };
inline constexpr int MarkKinds = static_cast<int>(Mark::Other) + 1;

// How a run of digits is read. Tabs that give every fret its own column of characters ("5555", "305")
// read every digit as a fret; the others read two digits up to 24 as one fret ("12") and split only
// runs no fret can be ("55", "05", "1212" as 12 and 12).
enum class DigitRule { TwoDigitFrets, DigitPerColumn };

// Runs of digits read against what they could have meant, for the report: where the rule split a
// run that could be one fret, or a run that cannot be one.
struct DigitRuns {
    int count = 0;
    QStringList places; // the first few, as the report names them
    void add(int line, QStringView run);
};

struct MarkTally {
    std::array<int, MarkKinds> marks {}; // the marks dropped
    DigitRuns splitRuns;
};

// What a tab's digit runs say about how it spaces its frets (see DigitRule).
struct DigitEvidence {
    int longRuns = 0; // three digits or more that are no run of two-digit frets: "5555", "305"
    int noFretPairs = 0; // two digits no fret can be: "55", "05"
    int fretPairs = 0; // runs of two-digit frets: "12", "1012"
    int neighbours = 0; // single frets on two strings one column apart: a grid of one column a note
    void add(const std::vector<QStringView>& blockBodies);
    DigitRule rule() const;
};

inline constexpr int NoCell = -2;
inline constexpr int DeadCell = -1; // a dead note, without a fret

// One note of a string line: where its characters stand, marks included.
struct Onset {
    int pos = 0;
    int len = 1;
    // The fret's own characters (the "x" of a dead note), without brackets and marks.
    int head = 0;
    int headLen = 1;
    int fret = DeadCell;
    NoteMarks marks;
    bool tap = false;
    // "s": a slide that goes either way, and only into a next note.
    bool anySlide = false;
    int alternative = NoCell; // "4(16)": the fret in brackets after it
};

// A bar line: a run of "|" with the repeat dots (":", "*", "o") of a repeat sign before or after it.
struct BarLine {
    int start = 0; // [start, end) of its characters
    int end = 0;
    bool closes = false; // ":|", "*||": the bars before it are played again
    bool opens = false; // "|:", "||*": a repeated passage starts after it
};

// One string line's body: its notes and its bar lines.
struct BodyScan {
    std::vector<Onset> onsets;
    std::vector<BarLine> bars;
    int length = 0;
};

// line: the source line, for the report's places.
BodyScan ScanBody(QStringView body, MarkTally& tally, DigitRule rule = DigitRule::TwoDigitFrets, int line = 0);

// A column: the notes that sound together, one cell per line of the block.
inline constexpr int MaxBlockStrings = 6;

struct Cell {
    int fret = NoCell; // NoCell, DeadCell or a fret
    NoteMarks marks;
    bool tap = false;
    bool anySlide = false;
    int alternative = NoCell;
};

struct CellColumn {
    int pos = 0; // from the start of its bar part
    int end = 0; // the last character of its notes
    std::array<Cell, MaxBlockStrings> cells {};
};

// The piece of a bar that one block holds: all of a bar, or a part of one that wraps.
struct BarPart {
    std::vector<CellColumn> columns;
    int width = 0;
    int segment = 0; // index of the part's segment between bar lines
};

struct BlockBars {
    std::vector<BarPart> parts;
    bool barred = false; // the block has bar lines
    bool endsOpen = false; // its last part has no closing bar line
    // Where each segment starts in the first line, to place rhythm line tokens.
    std::vector<int> firstLineSegmentStarts;
    // By bar line between segment k and k + 1: its repeat signs, on any of the lines.
    std::vector<BarLine> barLines;
};

// opensWithBar: the lines start with a bar line (taken off with their labels), so the first
// stretch is a bar even when it is empty.
BlockBars SplitBlock(const std::vector<BodyScan>& lines, bool opensWithBar);

} // namespace fw::asciitab
