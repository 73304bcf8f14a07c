#pragma once

#include "Marks.h"

#include <QString>
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
// Marks that are not read so (a release "r", brackets, a hammer-on from nowhere, a bend without
// its target) are dropped, their notes kept, and counted for the report.
enum class Mark { HammerOn, PullOff, Slide, Bend, Release, Vibrato, Ghost, Harmonic, Bracket, Tap, RepeatSign, Other };
inline constexpr int MarkKinds = static_cast<int>(Mark::Other) + 1;

struct MarkTally {
    std::array<int, MarkKinds> marks {}; // the marks dropped
    int splitNumbers = 0; // digit runs too high for one fret, read as several
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
};

// One string line's body: its notes and its bar lines (each a run of "|" with repeat dots).
struct BodyScan {
    std::vector<Onset> onsets;
    std::vector<std::pair<int, int>> bars; // [start, end) of each bar line
    int length = 0;
};

BodyScan ScanBody(QStringView body, MarkTally& tally);

// A column: the notes that sound together, one cell per line of the block.
inline constexpr int MaxBlockStrings = 6;

struct Cell {
    int fret = NoCell; // NoCell, DeadCell or a fret
    NoteMarks marks;
    bool tap = false;
    bool anySlide = false;
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
};

// opensWithBar: the lines start with a bar line (taken off with their labels), so the first
// stretch is a bar even when it is empty.
BlockBars SplitBlock(const std::vector<BodyScan>& lines, bool opensWithBar);

} // namespace fw::asciitab
