#include "TabBuilder.h"
#include "TabTestSupport.h"
#include "TextRules.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace fw {
namespace {

    struct Entry {
        bool barEnd;
        int bar;
        int pos;
        int length;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    std::vector<Entry> Entries(const TabList& list)
    {
        std::vector<Entry> entries;
        for (const TabColumn& column : list)
            entries.push_back({ column.IsBarEnd, column.BarNumber, column.PosInBar, column.BarLength });
        return entries;
    }

    void PrintTo(const Entry& e, std::ostream* os)
    {
        *os << "{" << e.barEnd << "," << e.bar << "," << e.pos << "," << e.length << "}";
    }

    TEST(TabBuilder, ColumnListNumbersBarsAndPositions)
    {
        const Tablature tab = Tablature::Build(test::ParseEveryLine({
            "*Title: Song", // takes no position
            "E, 0, x, x, x, Q",
            "*Count Off 2",
            "Rest, x, x, x, x, Q",
            "A, x, 0, x, x, E",
            "",
            "", // a bar end alone: an empty bar, never shown
            "* comment inside a bar",
            "D, x, x, 0, x, H",
            "   ", // blanks only close a bar too
            "G, x, x, x, 0, W",
        }));
        const std::vector<Entry> expected {
            { false, 1, 1, 4 }, { false, 1, 2, 4 }, { false, 1, 3, 4 }, { true, 1, 4, 4 }, { true, 2, 1, 1 },
            { false, 3, 1, 2 }, { true, 3, 2, 2 }, { false, 4, 1, 2 },
            { true, 4, 2, 2 }, // the closing blank entry ends the last bar
        };
        EXPECT_EQ(Entries(tab.Columns), expected);
        EXPECT_EQ(tab.Columns[0].Name, QStringLiteral("E"));
        EXPECT_EQ(tab.Columns[1].Frets, NoFrets);
        EXPECT_EQ(tab.Columns[2].Frets[5], 0);
        EXPECT_EQ(tab.BarCount, 3);
        ASSERT_EQ(tab.Bars.size(), 3);
        EXPECT_EQ(tab.Bars[0].BarNumber, 1);
        EXPECT_EQ(tab.Bars[0].FirstColumn, 0);
        EXPECT_EQ(tab.Bars[0].EndIndex, 3);
        EXPECT_EQ(tab.Bars[1].BarNumber, 3);
        EXPECT_EQ(tab.Bars[2].BarNumber, 4);
        EXPECT_EQ(tab.RowCount(), 2);
    }

    TEST(TabBuilder, LastBarIsClosedWithoutTheClosingBlankEntry)
    {
        ParsedLineList parsed
            = test::ParseEveryLine({ "E, 0, x, x, x, Q", "", "A, x, 0, x, x, Q", "D, x, x, 0, x, Q" });
        ASSERT_TRUE(TrimBlanks(parsed.last().Name).isEmpty());
        parsed.removeLast();
        const Tablature tab = Tablature::Build(parsed);
        ASSERT_EQ(tab.Bars.size(), 2);
        EXPECT_EQ(tab.Bars[1].BarLength, 3);
        EXPECT_EQ(tab.Columns.last().IsBarEnd, true);
    }

    TEST(TabBuilder, EmptyBarsDoNotShiftAlternation)
    {
        const Tablature tab = Tablature::Build(
            test::ParseEveryLine({ "E, 0, x, x, x, Q", "", "", "", "A, x, 0, x, x, Q", "", "D, x, x, 0, x, Q" }));
        ASSERT_EQ(tab.Bars.size(), 3);
        EXPECT_EQ(tab.BarCount, 3);
        // Visiting order is the only order: bar 1 left, the next non-empty bar right, then left again.
        EXPECT_EQ(tab.Bars[0].BarNumber, 1);
        EXPECT_EQ(tab.Bars[1].BarNumber, 4);
        EXPECT_EQ(tab.Bars[2].BarNumber, 5);
        EXPECT_EQ(tab.RowCount(), 2);
    }

    TEST(TabBuilder, TruncationStartsAtTheSeventeenthColumn)
    {
        QStringList lines;
        for (int i = 0; i < 16; ++i)
            lines << test::FretLine(6, i);
        Tablature tab = Tablature::Build(test::ParseEveryLine(lines));
        EXPECT_EQ(tab.Bars[0].BarLength, 17);
        EXPECT_EQ(SpacingCount(tab.Bars[0].BarLength), 16);
        EXPECT_FALSE(tab.HasTruncatedBar());
        lines << test::FretLine(6, 16);
        tab = Tablature::Build(test::ParseEveryLine(lines));
        EXPECT_EQ(tab.Bars[0].ColumnCount(), 17);
        EXPECT_EQ(SpacingCount(tab.Bars[0].BarLength), 16);
        EXPECT_TRUE(tab.HasTruncatedBar());
    }

    TEST(TabBuilder, NotesAreNeededForTab)
    {
        EXPECT_FALSE(HasTabNotes(test::ParseEveryLine({ "*Title: x", "", "*Count Off 3", "  " })));
        EXPECT_TRUE(HasTabNotes(test::ParseEveryLine({ "*Title: x", "Rest, x, x, x, x, Q" })));
        EXPECT_EQ(Tablature::Build(test::ParseEveryLine({ "* only", "" })).BarCount, 0);
    }

    // The bar marking as first described: for every bar end, rescan the list from its start.
    int MarkBarsByRescanning(TabList& list)
    {
        int barCount = 0;
        for (TabColumn& e : list) {
            if (e.IsBarEnd) {
                for (TabColumn& other : list) {
                    if (other.BarNumber > e.BarNumber)
                        break;
                    if (other.BarNumber == e.BarNumber)
                        other.BarLength = e.PosInBar;
                }
            }
            if (e.BarLength > 1 && e.BarLength == e.PosInBar)
                ++barCount;
        }
        return barCount;
    }

    TEST(TabBuilder, LinearBarMarkingMatchesRescanning)
    {
        QRandomGenerator random(6);
        for (int round = 0; round < 50; ++round) {
            QStringList lines;
            const int count = random.bounded(1, 120);
            for (int i = 0; i < count; ++i) {
                switch (random.bounded(5)) {
                case 0:
                    lines << QString();
                    break;
                case 1:
                    lines << QStringLiteral("* note");
                    break;
                default:
                    lines << test::FretLine(random.bounded(3, 7), random.bounded(0, 19));
                }
            }
            TabList fast = BuildTabList(test::ParseEveryLine(lines));
            TabList slow = fast;
            EXPECT_EQ(MarkBars(fast), MarkBarsByRescanning(slow)) << lines.join(u'|').toStdString();
            EXPECT_EQ(Entries(fast), Entries(slow)) << lines.join(u'|').toStdString();
        }
    }

} // namespace
} // namespace fw
