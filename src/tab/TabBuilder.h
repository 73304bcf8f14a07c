#pragma once

#include "ChordDef.h"
#include "Tuning.h"

#include <QChar>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <algorithm>
#include <optional>

namespace fw {

// At most this many columns of a bar are shown; later ones are cut and the warning is raised.
inline constexpr int MaxTabColumns = 16;

inline const QString FixTabErrorsMessage = QStringLiteral("Fix errors before viewing tab.");
inline const QString NoTabNotesMessage = QStringLiteral("Can't create tab. No notes defined in editor.");
inline const QString TruncationWarningMessage = QStringLiteral(
    "Truncation Warning: Tablature is missing notes because there were not enough blank lines separating "
    "groups of notes (bars).");

// One entry of the column list: a chord line (a column) or a blank line (the end of a bar).
struct TabColumn : ChordDef {
    bool IsBarEnd = false;
    int BarNumber = 0;
    // From 1; a bar end has the position after the bar's last column.
    int PosInBar = 0;
    // PosInBar of the bar end that closes this entry's bar: the bar's column count plus 1.
    int BarLength = 0;
};

using TabList = QList<TabColumn>;

// A non-empty bar, as the renderers visit it. Its columns are TabList entries [FirstColumn, EndIndex).
struct TabBar {
    int BarNumber = 0;
    int BarLength = 0;
    qsizetype FirstColumn = 0;
    qsizetype EndIndex = 0;

    int ColumnCount() const { return BarLength - 1; }
    // Columns the renderers show: the rest is cut.
    bool IsTruncated() const { return ColumnCount() > MaxTabColumns; }
    // The end of the shown columns, [FirstColumn, ShownEnd()).
    qsizetype ShownEnd() const { return std::min<qsizetype>(EndIndex, FirstColumn + MaxTabColumns); }
};

// min(BarLength, 16): the renderers space columns by this count.
int SpacingCount(int barLength);

// The column list of a parsed chord list (ChordList::ParsedLines, one entry per editor line plus
// the closing blank entry). Comment and count-off entries take no position; blank entries close bars.
TabList BuildTabList(const ParsedLineList& lines);

// Sets BarLength on every entry in one pass and returns the number of non-empty bars.
int MarkBars(TabList& list);

// The non-empty bars in visiting order: left, right, left, ... two per row, top to bottom.
QList<TabBar> VisitBars(const TabList& list);

// Whether a parsed list has anything to show: at least one chord line (rests included).
bool HasTabNotes(const ParsedLineList& lines);

// Everything the tab window and the renderers need, built from a parsed chord list.
struct Tablature {
    TabList Columns;
    QList<TabBar> Bars;
    int BarCount = 0;
    // The highest string's slot: one tab line per string from there down to slot 6.
    int FirstSlot = FirstBassSlot;
    Tuning StringTuning;
    // The list has a tuning line or is not in E A D G: text forms name the strings and the tuning,
    // so the tab reads back at its pitches. A list without either is written as it always was.
    bool NamesStrings = false;
    // Some note or line carries a playing technique: the drawn tab makes room for the marks.
    bool HasMarks = false;
    // The list's count-off (CountOffOfLines), which ASCII tab names in its header so an import gets it
    // back; the builder leaves it to the caller, who has the list's lines.
    std::optional<int> CountOff;

    static Tablature Build(const ParsedLineList& lines, const Tuning& tuning = StandardTuning());
    int StringCount() const { return LastBassSlot + 1 - FirstSlot; }
    int RowCount() const { return (BarCount + 1) / 2; }
    // A bar has more columns than can be shown; the window warns once per opening.
    bool HasTruncatedBar() const;
    // The column holding the note that the note of column on slot leads into (hammer-on, pull-off,
    // legato slide, tie): the next column, when it strikes that string; -1 otherwise (a slide out).
    qsizetype LinkPartner(qsizetype column, int slot) const;
    // The column whose note on slot leads into the note of column, or -1.
    qsizetype LinkSource(qsizetype column, int slot) const;
};

// The letter tab writes under a slapped, popped or tapped note; none for a plain attack.
QChar AttackLetter(Attack attack);

// The line marks that tab shows as a labelled run over the notes they cover.
struct TabRunKind {
    QLatin1StringView Label;
    bool (*Marks)(const LineMarks&);
};
inline constexpr TabRunKind TabRunKinds[] = {
    { QLatin1StringView("PM"), [](const LineMarks& marks) { return marks.palmMute; } },
    { QLatin1StringView("let ring"), [](const LineMarks& marks) { return marks.letRing; } },
};

// Calls run(first, last) with the TabList indexes of every run of consecutive shown columns of bar
// whose lines carry kind's mark.
template <typename Run> void ForEachMarkedRun(const Tablature& tab, const TabBar& bar, const TabRunKind& kind, Run run)
{
    const qsizetype end = bar.ShownEnd();
    for (qsizetype i = bar.FirstColumn; i < end;) {
        if (!kind.Marks(tab.Columns[i].Technique)) {
            ++i;
            continue;
        }
        qsizetype last = i;
        while (last + 1 < end && kind.Marks(tab.Columns[last + 1].Technique))
            ++last;
        run(i, last);
        i = last + 1;
    }
}

} // namespace fw
