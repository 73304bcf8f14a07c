#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <vector>

namespace fw::asciitab {

// Technique marks glued to frets: the frets stay notes, the marks are counted for the report.
enum class Mark { HammerOn, PullOff, Slide, Bend, Release, Vibrato, Ghost, Harmonic, Bracket, Tap, RepeatSign, Other };
inline constexpr int MarkKinds = static_cast<int>(Mark::Other) + 1;

struct MarkTally {
    std::array<int, MarkKinds> marks {};
    int deadNotes = 0;
    int splitNumbers = 0; // digit runs too high for one fret, read as several
};

inline constexpr int NoCell = -2;
inline constexpr int DeadCell = -1;

struct Onset {
    int pos = 0;
    int len = 1;
    int fret = DeadCell;
};

// One string line's body: its notes and its bar lines (each a run of "|" with repeat dots).
struct BodyScan {
    std::vector<Onset> onsets;
    std::vector<std::pair<int, int>> bars; // [start, end) of each bar line
    int length = 0;
};

BodyScan ScanBody(QStringView body, MarkTally& tally);

// A column: the notes that sound together, one cell per line of the block (NoCell, DeadCell or a fret).
inline constexpr int MaxBlockStrings = 6;

struct CellColumn {
    int pos = 0; // from the start of its bar part
    std::array<int, MaxBlockStrings> cells {};
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
