#include "TabBuilder.h"

#include "TextRules.h"

#include <algorithm>

namespace fw {

namespace {

    // The parser leaves the name of a count-off line empty and gives a blank line the name " ".
    bool IsCountOffEntry(const ChordDef& def) { return def.Name.isEmpty(); }

    bool IsSkippedEntry(const ChordDef& def) { return IsCountOffEntry(def) || IsCommentLine(def.Name); }

    bool IsBlankEntry(const ChordDef& def) { return TrimBlanks(def.Name).isEmpty(); }

} // namespace

int SpacingCount(int barLength) { return std::min(barLength, MaxTabColumns); }

TabList BuildTabList(const ParsedLineList& lines)
{
    TabList list;
    list.reserve(lines.size());
    int bar = 1;
    int pos = 0;
    for (const ChordDef& def : lines) {
        if (IsSkippedEntry(def))
            continue;
        TabColumn column;
        static_cast<ChordDef&>(column) = def;
        column.BarNumber = bar;
        column.PosInBar = ++pos;
        if (IsBlankEntry(def)) {
            column.IsBarEnd = true;
            ++bar;
            pos = 0;
        }
        list.append(column);
    }
    // The parsed list ends with a blank entry; a list without one still closes its last bar.
    if (pos > 0) {
        TabColumn end;
        end.Name = QStringLiteral(" ");
        end.IsBarEnd = true;
        end.BarNumber = bar;
        end.PosInBar = pos + 1;
        list.append(end);
    }
    return list;
}

int MarkBars(TabList& list)
{
    // Bar numbers never decrease along the list, so each bar is one run of entries closed by its
    // bar end; entries after the last bar end belong to no closed bar and keep BarLength 0.
    int barCount = 0;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const TabColumn& end = list[i];
        if (!end.IsBarEnd)
            continue;
        for (qsizetype k = runStart; k <= i; ++k)
            list[k].BarLength = end.PosInBar;
        runStart = i + 1;
        if (end.BarLength > 1)
            ++barCount;
    }
    return barCount;
}

QList<TabBar> VisitBars(const TabList& list)
{
    QList<TabBar> bars;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const TabColumn& entry = list[i];
        if (entry.IsBarEnd && entry.BarLength > 1)
            bars.append(TabBar { entry.BarNumber, entry.BarLength, i - (entry.BarLength - 1), i });
    }
    return bars;
}

bool HasTabNotes(const ParsedLineList& lines)
{
    return std::any_of(lines.begin(), lines.end(), [](const ChordDef& def) { return IsNoteEntry(def); });
}

Tablature Tablature::Build(const ParsedLineList& lines, const Tuning& tuning)
{
    Tablature tab;
    tab.FirstSlot = tuning.firstSlot();
    tab.StringTuning = tuning;
    // Comments first: a parse result holds a tuning, and long lists should not build one per line.
    tab.NamesStrings = !tuning.isStandard() || std::any_of(lines.begin(), lines.end(), [](const ChordDef& def) {
        return IsCommentLine(def.Name) && ParseTuningLine(def.Name).kind == TuningLineKind::Valid;
    });
    tab.HasMarks = std::any_of(lines.begin(), lines.end(), [](const ChordDef& def) {
        return def.Technique.any()
            || std::any_of(def.Marks.begin(), def.Marks.end(), [](const NoteMarks& marks) { return marks.any(); });
    });
    tab.Columns = BuildTabList(lines);
    tab.BarCount = MarkBars(tab.Columns);
    tab.Bars = VisitBars(tab.Columns);
    return tab;
}

bool Tablature::HasTruncatedBar() const
{
    return std::any_of(Bars.begin(), Bars.end(), [](const TabBar& bar) { return bar.IsTruncated(); });
}

QChar AttackLetter(Attack attack)
{
    switch (attack) {
    case Attack::Slap:
        return u'S';
    case Attack::Pop:
        return u'P';
    case Attack::Tap:
        return u'T';
    case Attack::Normal:
        break;
    }
    return {};
}

qsizetype Tablature::LinkPartner(qsizetype column, int slot) const
{
    if (!Columns[column].Marks[slot].joinsNext())
        return -1;
    // Comments and count-off lines take no column, so the next column is the next note entry.
    for (qsizetype next = column + 1; next < Columns.size(); ++next) {
        if (!Columns[next].IsBarEnd)
            return IsStruck(Columns[next], slot) ? next : -1;
    }
    return -1;
}

qsizetype Tablature::LinkSource(qsizetype column, int slot) const
{
    for (qsizetype previous = column - 1; previous >= 0; --previous) {
        if (!Columns[previous].IsBarEnd)
            return LinkPartner(previous, slot) == column ? previous : -1;
    }
    return -1;
}

} // namespace fw
