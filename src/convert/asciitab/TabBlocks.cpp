#include "TabBlocks.h"

#include "MarkRepair.h"

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

    bool IsRepeatDotChar(QChar c) { return c == u':' || c == u'*' || c == u'o' || c == u'O'; }

    bool IsBarChar(QChar c) { return c == u'|' || IsRepeatDotChar(c); }

    bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

    char16_t Lower(QChar c)
    {
        const char16_t u = c.unicode();
        return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u - u'A' + u'a') : u;
    }

    void Add(MarkTally& tally, Mark mark) { ++tally.marks[static_cast<int>(mark)]; }

    Mark MarkOfLink(NoteLink link)
    {
        switch (link) {
        case NoteLink::HammerOn:
            return Mark::HammerOn;
        case NoteLink::PullOff:
            return Mark::PullOff;
        case NoteLink::SlideUp:
        case NoteLink::SlideDown:
            return Mark::Slide;
        case NoteLink::Tie:
        case NoteLink::None:
            break;
        }
        return Mark::Other;
    }

    // Counts the marks that making a note's marks go together took away.
    void CountDropped(const NoteMarks& before, const NoteMarks& after, MarkTally& tally)
    {
        if (before.hasBend() && !after.hasBend())
            Add(tally, Mark::Bend);
        if (before.slideIn != after.slideIn)
            Add(tally, Mark::Slide);
        if (before.vibrato != after.vibrato)
            Add(tally, Mark::Vibrato);
        if (before.link != after.link)
            Add(tally, MarkOfLink(before.link));
        if (before.kind != after.kind)
            Add(tally, before.kind == NoteKind::Ghost ? Mark::Ghost : Mark::Harmonic);
    }

    // Alternatives above this are no fret: they are kept as written up to here.
    constexpr int MaxNoteAlternative = 999;

    // A digit run at i and where it ends; -1 when there is none. Saturates, to be caught as too high.
    int Digits(QStringView body, int& i)
    {
        if (i >= body.size() || !IsDigit(body[i]))
            return -1;
        int value = 0;
        while (i < body.size() && IsDigit(body[i])) {
            value = std::min(value * 10 + (body[i].unicode() - u'0'), 100000);
            ++i;
        }
        return value;
    }

    // "(5)" and "<12>", "<3.2>": the end of the bracket, or -1 when the text at i is none.
    int BracketEnd(QStringView body, int i)
    {
        const QChar open = body[i];
        const QChar close = open == u'(' ? u')' : u'>';
        int at = i + 1;
        if (Digits(body, at) < 0)
            return -1;
        if (open == u'<' && at + 1 < body.size() && body[at] == u'.' && IsDigit(body[at + 1]))
            at += 2;
        return at < body.size() && body[at] == close ? at : -1;
    }

    bool StartsNote(QStringView body, int i)
    {
        if (i >= body.size())
            return false;
        const QChar c = body[i];
        return IsDigit(c) || c == u'x' || c == u'X' || ((c == u'(' || c == u'<') && BracketEnd(body, i) >= 0);
    }

    // Reads the note whose head starts at i (its slide in or tap, from start on, already read into
    // note) with the marks after it, and adds it; returns where the text after it starts.
    int ReadNote(
        QStringView body, int start, int i, Onset note, BodyScan& scan, MarkTally& tally, DigitRule rule, int line)
    {
        const int n = static_cast<int>(body.size());
        NoteMarks& marks = note.marks;
        const QChar c = body[i];
        // A bracket around a number beyond the neck: no note, as no fret can hold it.
        bool tooHigh = false;
        note.head = i;
        note.headLen = 1;
        if (c == u'x' || c == u'X') {
            marks.kind = NoteKind::Dead;
            note.fret = DeadCell;
            ++i;
        } else if (c == u'(') {
            ++i;
            note.head = i;
            note.fret = Digits(body, i);
            note.headLen = i - note.head;
            marks.kind = NoteKind::Ghost;
            ++i;
            if (note.fret > HighestNeckFret) {
                Add(tally, Mark::Ghost);
                tooHigh = true;
            }
        } else if (c == u'<') {
            const int end = BracketEnd(body, i);
            int at = i + 1;
            note.head = at;
            note.headLen = end - at;
            int tenths = 10 * Digits(body, at);
            if (at < end)
                tenths += body[at + 1].unicode() - u'0';
            i = end + 1;
            marks.harmonicNode = static_cast<short>(HarmonicNodeNear(tenths));
            if (marks.harmonicNode != 0) {
                marks.kind = NoteKind::Harmonic;
                note.fret = HarmonicFret(marks.harmonicNode);
            } else {
                Add(tally, Mark::Harmonic);
                note.fret = (tenths + 5) / 10;
                tooHigh = note.fret > HighestNeckFret;
            }
        } else {
            int end = i;
            while (end < n && IsDigit(body[end]))
                ++end;
            const QStringView run = body.mid(i, end - i);
            // A run the rule reads as several frets; the marks go with the last.
            bool split = false;
            while (true) {
                int len = rule == DigitRule::DigitPerColumn ? 1 : std::min(2, end - i);
                if (len == 2 && (body[i] == u'0' || body.mid(i, 2).toInt() > HighestNeckFret))
                    len = 1;
                note.fret = body.mid(i, len).toInt();
                note.head = i;
                note.headLen = len;
                i += len;
                if (i == end)
                    break;
                split = true;
                Onset chunk = note;
                chunk.pos = start;
                chunk.len = i - start;
                scan.onsets.push_back(chunk);
                note = Onset();
                start = i;
            }
            if (split)
                tally.splitRuns.add(line, run);
            // "4(16)": another fret for the same note, not a ghost note after it.
            if (i < n && body[i] == u'(' && BracketEnd(body, i) >= 0) {
                const int close = BracketEnd(body, i);
                int at = i + 1;
                note.alternative = std::min(Digits(body, at), MaxNoteAlternative);
                i = close + 1;
            }
        }
        while (i < n) {
            const char16_t mark = Lower(body[i]);
            if (mark == u'b') {
                ++i;
                const int target = Digits(body, i);
                if (target < 0 || marks.hasBend())
                    Add(tally, Mark::Bend);
                else
                    marks.bendTarget = static_cast<signed char>(std::min(target, 127));
            } else if (mark == u'r') {
                // A release back down: the list has none.
                ++i;
                Digits(body, i);
                Add(tally, Mark::Release);
            } else if (mark == u'~' || mark == u'v') {
                while (i < n && Lower(body[i]) == mark)
                    ++i;
                marks.vibrato = true;
            } else {
                static constexpr std::pair<char16_t, NoteLink> Links[]
                    = { { u'h', NoteLink::HammerOn }, { u'p', NoteLink::PullOff }, { u'/', NoteLink::SlideUp },
                          { u'\\', NoteLink::SlideDown }, { u's', NoteLink::SlideUp }, { u'_', NoteLink::Tie } };
                const auto link = std::find_if(
                    std::begin(Links), std::end(Links), [mark](const auto& entry) { return entry.first == mark; });
                if (link != std::end(Links)) {
                    marks.link = link->second;
                    note.anySlide = mark == u's';
                    ++i;
                }
                // A link ends the note: what follows is the next one.
                break;
            }
        }
        if (tooHigh)
            return i;
        const NoteMarks read = marks;
        if (FitNoteMarks(note.fret, marks, MaxFretLimit))
            CountDropped(read, marks, tally);
        note.pos = start;
        note.len = i - start;
        scan.onsets.push_back(note);
        return i;
    }

    struct Segment {
        int start = 0;
        int end = 0;
    };

    std::vector<Segment> Segments(const BodyScan& scan)
    {
        std::vector<Segment> segments;
        int start = 0;
        for (const BarLine& bar : scan.bars) {
            segments.push_back({ start, bar.start });
            start = bar.end;
        }
        segments.push_back({ start, scan.length });
        return segments;
    }

    struct PlacedOnset {
        int pos;
        int len;
        int head; // where the fret itself stands, from the same start as pos
        int line;
        const Onset* onset;
    };

    std::vector<CellColumn> Columns(std::vector<PlacedOnset>& onsets)
    {
        std::sort(onsets.begin(), onsets.end(), [](const PlacedOnset& a, const PlacedOnset& b) {
            return a.pos != b.pos ? a.pos < b.pos : a.line < b.line;
        });
        std::vector<CellColumn> columns;
        int headFirst = 0;
        int headLast = -1;
        for (const PlacedOnset& onset : onsets) {
            const Onset& note = *onset.onset;
            const int end = onset.pos + onset.len - 1;
            const int headEnd = onset.head + note.headLen - 1;
            // Notes sound together when their frets overlap ("12" over "-5"), or when they start
            // or end in the same place: web tabs line notes up where they start ("7b9" over "(3)"),
            // this program's own tab where they end ("(3)" over "-7"). A second note of the same
            // string starts the next column.
            const bool together = !columns.empty() && columns.back().cells[onset.line].fret == NoCell
                && ((onset.head <= headLast && headEnd >= headFirst) || onset.pos == columns.back().pos
                    || end == columns.back().end);
            if (!together) {
                CellColumn column;
                column.pos = onset.pos;
                column.end = end;
                columns.push_back(column);
                headFirst = onset.head;
                headLast = headEnd;
            }
            CellColumn& column = columns.back();
            column.cells[onset.line] = { note.fret, note.marks, note.tap, note.anySlide, note.alternative };
            column.end = std::max(column.end, end);
            headFirst = std::min(headFirst, onset.head);
            headLast = std::max(headLast, headEnd);
        }
        return columns;
    }

} // namespace

BodyScan ScanBody(QStringView body, MarkTally& tally, DigitRule rule, int line)
{
    BodyScan scan;
    scan.length = static_cast<int>(body.size());
    const int n = scan.length;
    int i = 0;
    while (i < n) {
        const QChar c = body[i];
        if (StartsNote(body, i)) {
            i = ReadNote(body, i, i, Onset(), scan, tally, rule, line);
        } else if ((c == u'/' || c == u'\\') && i + 1 < n && StartsNote(body, i + 1)) {
            Onset note;
            note.marks.slideIn = c == u'/' ? SlideIn::FromBelow : SlideIn::FromAbove;
            i = ReadNote(body, i, i + 1, note, scan, tally, rule, line);
        } else if ((c == u't' || c == u'T') && i + 1 < n && IsDigit(body[i + 1])) {
            Onset note;
            note.tap = true;
            i = ReadNote(body, i, i + 1, note, scan, tally, rule, line);
        } else if (IsBarChar(c)) {
            int end = i;
            bool hasBar = false;
            while (end < n && IsBarChar(body[end])) {
                hasBar = hasBar || body[end] == u'|';
                ++end;
            }
            if (hasBar) {
                BarLine bar { i, end, IsRepeatDotChar(body[i]), IsRepeatDotChar(body[end - 1]) };
                scan.bars.push_back(bar);
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

    result.barLines = lines[reference].bars;
    for (int j = 0; sameCount && j < lineCount; ++j)
        for (int k = 0; k < barCount; ++k) {
            result.barLines[k].opens = result.barLines[k].opens || lines[j].bars[k].opens;
            result.barLines[k].closes = result.barLines[k].closes || lines[j].bars[k].closes;
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
            placed[k].push_back({ onset.pos - own[k].start, onset.len, onset.head - own[k].start, j, &onset });
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

void DigitRuns::add(int line, QStringView run)
{
    constexpr int MaxPlaces = 5;
    if (++count <= MaxPlaces)
        places << QStringLiteral("\"%1\" on line %2").arg(run.toString()).arg(line + 1);
}

void DigitEvidence::add(const std::vector<QStringView>& blockBodies)
{
    // By line: where its single-digit frets stand, to find neighbours on other strings.
    std::vector<std::vector<int>> singles(blockBodies.size());
    for (std::size_t j = 0; j < blockBodies.size(); ++j) {
        const QStringView body = blockBodies[j];
        for (int i = 0; i < body.size();) {
            // Brackets hold ghost notes, harmonics and alternatives, not runs of frets.
            if (body[i] == u'(' || body[i] == u'<') {
                const int close = BracketEnd(body, i);
                i = close >= 0 ? close + 1 : i + 1;
                continue;
            }
            // The digits after a bend or release are its target.
            const bool target = i > 0 && (Lower(body[i - 1]) == u'b' || Lower(body[i - 1]) == u'r');
            int end = i;
            while (end < body.size() && IsDigit(body[end]))
                ++end;
            const int length = end - i;
            if (length == 0 || target) {
                i = std::max(end, i + 1);
                continue;
            }
            // Pairs that can each be a fret ("1012": 10 and 12) say nothing for packing.
            bool fretsInPairs = length % 2 == 0;
            for (int k = i; fretsInPairs && k < end; k += 2)
                fretsInPairs = body[k] != u'0' && body.mid(k, 2).toInt() <= HighestNeckFret;
            if (length == 1)
                singles[j].push_back(i);
            else if (fretsInPairs)
                ++fretPairs;
            else if (length >= 3)
                ++longRuns;
            else
                ++noFretPairs;
            i = end;
        }
    }
    for (std::size_t j = 0; j < singles.size(); ++j)
        for (std::size_t other = 0; other < singles.size(); ++other)
            if (other != j)
                for (int at : singles[j])
                    neighbours += std::binary_search(singles[other].begin(), singles[other].end(), at + 1) ? 1 : 0;
}

DigitRule DigitEvidence::rule() const
{
    // Runs that cannot be one fret show a tab that packs its frets; notes one column apart on
    // different strings show the same grid. Together they must outweigh the runs that read as frets.
    const int packed = longRuns + noFretPairs;
    return packed > 0 && packed + neighbours >= fretPairs ? DigitRule::DigitPerColumn : DigitRule::TwoDigitFrets;
}

} // namespace fw::asciitab
