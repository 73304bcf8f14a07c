#include "TabBlocks.h"

#include <algorithm>

namespace fw::asciitab {

namespace {

    // The highest fret on a bass neck: a longer run of digits holds several frets.
    constexpr int HighestNeckFret = 24;

    void CountMark(QChar c, MarkTally& tally)
    {
        auto add = [&tally](Mark mark) { ++tally.marks[static_cast<int>(mark)]; };
        switch (c.unicode()) {
        case u'h':
        case u'H':
            return add(Mark::HammerOn);
        case u'p':
        case u'P':
            return add(Mark::PullOff);
        case u'/':
        case u'\\':
        case u's':
        case u'S':
            return add(Mark::Slide);
        case u'b':
        case u'B':
            return add(Mark::Bend);
        case u'r':
        case u'R':
            return add(Mark::Release);
        case u'~':
        case u'v':
        case u'V':
            return add(Mark::Vibrato);
        case u'(':
            return add(Mark::Ghost);
        case u'<':
            return add(Mark::Harmonic);
        case u'[':
            return add(Mark::Bracket);
        case u't':
        case u'T':
            return add(Mark::Tap);
        case u')':
        case u'>':
        case u']':
        case u' ':
        case u'-':
            return;
        default:
            return add(Mark::Other);
        }
    }

    bool IsBarChar(QChar c) { return c == u'|' || c == u':' || c == u'*'; }

    struct Segment {
        int start = 0;
        int end = 0;
    };

    std::vector<Segment> Segments(const BodyScan& scan)
    {
        std::vector<Segment> segments;
        int start = 0;
        for (const auto& [barStart, barEnd] : scan.bars) {
            segments.push_back({ start, barStart });
            start = barEnd;
        }
        segments.push_back({ start, scan.length });
        return segments;
    }

    struct PlacedOnset {
        int pos;
        int len;
        int line;
        int fret;
    };

    std::vector<CellColumn> Columns(std::vector<PlacedOnset>& onsets)
    {
        std::sort(onsets.begin(), onsets.end(), [](const PlacedOnset& a, const PlacedOnset& b) {
            return a.pos != b.pos ? a.pos < b.pos : a.line < b.line;
        });
        std::vector<CellColumn> columns;
        int groupEnd = -1;
        for (const PlacedOnset& onset : onsets) {
            // Notes whose characters overlap sound together ("12" over "-5"); a second note of the
            // same string starts the next column.
            if (columns.empty() || onset.pos > groupEnd || columns.back().cells[onset.line] != NoCell) {
                CellColumn column;
                column.pos = onset.pos;
                column.cells.fill(NoCell);
                columns.push_back(column);
                groupEnd = onset.pos + onset.len - 1;
            }
            columns.back().cells[onset.line] = onset.fret;
            groupEnd = std::max(groupEnd, onset.pos + onset.len - 1);
        }
        return columns;
    }

} // namespace

BodyScan ScanBody(QStringView body, MarkTally& tally)
{
    BodyScan scan;
    scan.length = static_cast<int>(body.size());
    const int n = scan.length;
    int i = 0;
    while (i < n) {
        const QChar c = body[i];
        if (c.isDigit()) {
            int end = i;
            while (end < n && body[end].isDigit())
                ++end;
            int at = i;
            bool split = false;
            while (at < end) {
                int len = std::min(2, end - at);
                if (len == 2 && body.mid(at, 2).toInt() > HighestNeckFret)
                    len = 1;
                split = split || len < end - at;
                scan.onsets.push_back({ at, len, body.mid(at, len).toInt() });
                at += len;
            }
            if (split)
                ++tally.splitNumbers;
            i = end;
        } else if (c == u'x' || c == u'X') {
            scan.onsets.push_back({ i, 1, DeadCell });
            ++tally.deadNotes;
            ++i;
        } else if (IsBarChar(c)) {
            int end = i;
            bool hasBar = false;
            while (end < n && IsBarChar(body[end])) {
                hasBar = hasBar || body[end] == u'|';
                ++end;
            }
            if (hasBar) {
                for (int k = i; k < end; ++k)
                    if (body[k] != u'|') {
                        ++tally.marks[static_cast<int>(Mark::RepeatSign)];
                        break;
                    }
                scan.bars.emplace_back(i, end);
            } else {
                for (int k = i; k < end; ++k)
                    CountMark(body[k], tally);
            }
            i = end;
        } else {
            // "~~~" is one vibrato.
            if (i == 0 || body[i - 1] != c)
                CountMark(c, tally);
            ++i;
        }
    }
    return scan;
}

BlockBars SplitBlock(const std::vector<BodyScan>& lines, bool opensWithBar)
{
    BlockBars result;
    const int lineCount = static_cast<int>(lines.size());
    if (lineCount == 0 || lineCount > MaxBlockStrings)
        return result;
    std::vector<std::vector<Segment>> segments;
    segments.reserve(lineCount);
    bool sameCount = true;
    int reference = 0;
    for (int j = 0; j < lineCount; ++j) {
        segments.push_back(Segments(lines[j]));
        sameCount = sameCount && segments[j].size() == segments[0].size();
        if (segments[j].size() > segments[reference].size())
            reference = j;
    }
    const int segmentCount = static_cast<int>(segments[reference].size());
    const int barCount = segmentCount - 1;
    result.barred = barCount > 0;
    if (lineCount > 0 && opensWithBar && barCount == 0)
        result.barred = true;
    for (const Segment& segment : segments[0])
        result.firstLineSegmentStarts.push_back(segment.start);
    if (!sameCount) {
        // Lines disagree on their bar lines: the line with the most decides, by column.
        result.firstLineSegmentStarts.clear();
        for (const Segment& segment : segments[reference])
            result.firstLineSegmentStarts.push_back(segment.start);
    }

    std::vector<std::vector<PlacedOnset>> placed(segmentCount);
    std::vector<int> widths(segmentCount, 0);
    for (int j = 0; j < lineCount; ++j) {
        const std::vector<Segment>& own = sameCount ? segments[j] : segments[reference];
        for (int k = 0; k < segmentCount; ++k)
            widths[k] = std::max(widths[k], own[k].end - own[k].start);
        std::size_t k = 0;
        for (const Onset& onset : lines[j].onsets) {
            while (k + 1 < own.size() && onset.pos >= own[k + 1].start)
                ++k;
            placed[k].push_back({ onset.pos - own[k].start, onset.len, j, onset.fret });
        }
    }
    for (int k = 0; k < segmentCount; ++k) {
        const bool interior = (k > 0 || opensWithBar) && k < barCount;
        if (placed[k].empty()) {
            // Between two bar lines, an empty stretch is a bar of silence; at the edges it is margin.
            if (interior && widths[k] >= 2)
                result.parts.push_back({ {}, widths[k], k });
            continue;
        }
        result.parts.push_back({ Columns(placed[k]), widths[k], k });
    }
    result.endsOpen = result.barred && !result.parts.empty() && result.parts.back().segment == barCount;
    return result;
}

} // namespace fw::asciitab
