#include "AsciiTab.h"
#include "TabTestSupport.h"
#include "TabTitles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace fw {
namespace {

    AsciiTab Ascii(
        const QStringList& lines, const QString& title = QStringLiteral("Song"), const QString& subtitle = QString())
    {
        return BuildAsciiTab(Tablature::Build(test::ParseEveryLine(lines)), title, subtitle);
    }

    // Compares the file bytes with tests/tab/golden/NAME; FW_UPDATE_GOLDEN=1 rewrites the golden.
    void ExpectGolden(const AsciiTab& tab, const QString& name)
    {
        const QString path = QStringLiteral(FW_SOURCE_DIR "/tests/tab/golden/") + name;
        const QByteArray bytes = AsciiTabFileBytes(tab.Lines);
        if (qEnvironmentVariableIntValue("FW_UPDATE_GOLDEN") == 1) {
            ASSERT_TRUE(test::WriteFileBytes(path, bytes));
            return;
        }
        EXPECT_EQ(QString::fromLatin1(bytes).toStdString(), QString::fromLatin1(test::ReadFile(path)).toStdString())
            << name.toStdString();
    }

    const QStringList WorkedExample { "E, 3, x, x, x, Q", "D, x, 5, x, x, Q", "Rest, x, x, x, x, Q", "",
        "D, x, x, 12, x, Q" };

    TEST(AsciiTab, WorkedExampleLineGroup)
    {
        const AsciiTab tab = Ascii(WorkedExample);
        ASSERT_EQ(tab.Lines.size(), 6 + 6 + 1);
        EXPECT_EQ(tab.Lines.mid(6, 4),
            QStringList({
                "|------------------------------|--------------------------|",
                "|------------------------------|------------12------------|",
                "|---------------5--------------|--------------------------|",
                "|-------3----------------------|--------------------------|",
            }));
        EXPECT_EQ(tab.Lines.mid(10), QStringList({ "", "", "" }));
        EXPECT_EQ(tab.Height, AsciiGroupHeight);
        EXPECT_FALSE(tab.Truncated);
        ExpectGolden(Ascii(WorkedExample, QStringLiteral("Worked Example"), QStringLiteral("by the band")),
            QStringLiteral("worked_example.tab"));
    }

    TEST(AsciiTab, HeaderCentresTitleAndSubtitle)
    {
        const AsciiTab tab = Ascii({ "E, 0, x, x, x, Q" }, QStringLiteral("Blues"), QString());
        EXPECT_EQ(tab.Lines.mid(0, 6), QStringList({ "", "", "", QString(38, u' ') + "Blues", QString(40, u' '), "" }));
        // A single bar: each string line is "|" and the bar.
        EXPECT_EQ(tab.Lines[9], QStringLiteral("|-------------0------------|"));
        EXPECT_EQ(tab.Lines[6], QStringLiteral("|--------------------------|"));
    }

    TEST(AsciiTab, LongTitleStartsAtTheFirstColumn)
    {
        const QString title = QString(100, u'T');
        const QString subtitle = QString(79, u's');
        const AsciiTab tab = Ascii({ "E, 0, x, x, x, Q" }, title, subtitle);
        EXPECT_EQ(tab.Lines[3], title);
        EXPECT_EQ(tab.Lines[4], QStringLiteral(" ") + subtitle);
        ExpectGolden(tab, QStringLiteral("long_titles.tab"));
    }

    TEST(AsciiTab, OddBarCountEndsWithAHalfGroup)
    {
        const AsciiTab tab = Ascii({ "E, 0, x, x, x, Q", "", "A, x, 2, x, x, Q", "E, 3, x, x, x, Q", "",
            "Chord, 3, 5, 5, 4, H", "Rest, x, x, x, x, Q" });
        EXPECT_EQ(tab.Height, 2 * AsciiGroupHeight);
        ASSERT_EQ(tab.Lines.size(), 6 + 6 + 6 + 1);
        for (int i = 12; i < 16; ++i)
            EXPECT_EQ(tab.Lines[i].count(u'|'), 2) << tab.Lines[i].toStdString();
        ExpectGolden(tab, QStringLiteral("odd_bars.tab"));
    }

    TEST(AsciiTab, FretsNineAndTenStayAligned)
    {
        const AsciiTab tab = Ascii({ "N, 9, x, x, 10, Q", "N, 10, 9, x, x, Q", "N, x, x, 18, 0, Q", "",
            "N, 1, x, x, x, Q", "N, 10, x, x, x, Q", "", "N, x, 17, x, x, E" });
        for (int i = 7; i < 10; ++i)
            EXPECT_EQ(tab.Lines[i].size(), tab.Lines[6].size());
        EXPECT_EQ(tab.Lines[6], QStringLiteral("|------10---------------0------|----------------------------|"));
        ExpectGolden(tab, QStringLiteral("frets_9_10.tab"));
    }

    TEST(AsciiTab, SeventeenthColumnIsCutAndFlagged)
    {
        QStringList bar;
        for (int i = 0; i < 16; ++i)
            bar << test::FretLine(6 - i % 4, i);
        AsciiTab tab = Ascii(bar);
        EXPECT_FALSE(tab.Truncated);
        const QString whole = tab.Lines[9];
        bar << test::FretLine(3, 17) << test::FretLine(3, 18);
        tab = Ascii(bar);
        EXPECT_TRUE(tab.Truncated);
        // 16 columns: one dash between cells; the 17th and 18th columns are not shown.
        EXPECT_EQ(tab.Lines[9], whole);
        EXPECT_EQ(tab.Lines[6], QStringLiteral("|-----------3-----------7----------11----------15-|"));
        ExpectGolden(tab, QStringLiteral("truncated.tab"));
    }

    // A list with a tuning line names its tuning above the title and each string before its line, so the
    // tab reads back at its pitches; names of one width or padded to it keep the bar lines aligned.
    TEST(AsciiTab, ListsWithATuningLineNameTheirStrings)
    {
        struct Case {
            QStringList lines;
            QStringList expected; // the first line, then the string lines of the first group
        };
        const Case cases[] = {
            { { "* Tuning: D A D G", "E, 2, x, x, x, Q" },
                { "Tuning: D A D G", "G|--------------------------|", "D|--------------------------|",
                    "A|--------------------------|", "D|-------------2------------|" } },
            { { "* Tuning: E A D G", "E, x, x, x, 5, Q" },
                { "Tuning: E A D G", "G|-------------5------------|", "D|--------------------------|",
                    "A|--------------------------|", "E|--------------------------|" } },
            { { "* Tuning: B E A D# G", "B, 0, x, x, x, x, Q", "", "D, x, x, x, 0, x, Q" },
                { "Tuning: B E A D# G", "G |--------------------------|--------------------------|",
                    "D#|--------------------------|-------------0------------|",
                    "A |--------------------------|--------------------------|",
                    "E |--------------------------|--------------------------|",
                    "B |-------------0------------|--------------------------|" } },
            { { "* Tuning: B E A D G C", "C, x, x, x, x, x, 0, Q" },
                { "Tuning: B E A D G C", "C|-------------0------------|", "G|--------------------------|",
                    "D|--------------------------|", "A|--------------------------|", "E|--------------------------|",
                    "B|--------------------------|" } },
        };
        for (const Case& c : cases) {
            const Tuning tuning = TuningOfLines(c.lines);
            const AsciiTab tab = BuildAsciiTab(
                Tablature::Build(test::ParseEveryLine(c.lines, tuning), tuning), QStringLiteral("Song"), QString());
            SCOPED_TRACE(c.lines.first().toStdString());
            const qsizetype strings = c.expected.size() - 1;
            ASSERT_EQ(tab.Lines.size(), 6 + strings + 2 + 1);
            EXPECT_EQ(tab.Lines.mid(0, 6),
                QStringList({ c.expected.first(), "", "", QString(38, u' ') + "Song", QString(40, u' '), "" }));
            EXPECT_EQ(tab.Lines.mid(6, strings).join(u'\n').toStdString(), c.expected.mid(1).join(u'\n').toStdString());
            EXPECT_EQ(tab.Height, AsciiGroupHeightFor(static_cast<int>(strings)));
        }
    }

    // Marks are written as web tabs write them, in cells as wide as a column's widest note so the
    // columns stay aligned; per-line marks get lines of their own only in the groups that have them.
    TEST(AsciiTab, MarksAreWrittenAsWebTabsWriteThem)
    {
        struct Case {
            const char* what;
            QStringList lines;
            bool rhythmLine;
            QStringList group; // the first line group, without its two empty lines
        };
        const Case cases[] = {
            { "links, slides in, vibrato, dead and ghost notes",
                { "A, x, 5h, x, x, E", "B, x, 7p, x, x, E", "A, x, 5/, x, x, E", "B, x, 7\\, x, x, E",
                    "A, x, 5, x, x, E", "", "G, /5, x, x, x, Q", "G, \\5~, x, x, x, Q", "X, m, x, 5m, x, Q",
                    "G, (3), x, x, x, Q" },
                false,
                { "|----------------------------------|-----------------------------------|",
                    "|----------------------------------|---------------------x-------------|",
                    "|----5h----7p----5/----7\\-----5----|-----------------------------------|",
                    "|----------------------------------|-----/5-----\\5~------x-----(3)-----|" } },
            { "harmonics, bends and a tie over the bar line on frets up to 24",
                { "* Frets: 24", "H, x, <12>, <3.2>, x, Q", "B, x, x, 7b9, 14b16~, Q", "T, 24_, x, x, x, H", "",
                    "T, 24, x, x, x, Q", "N, 19, 20, 21, 22, Q" },
                false,
                { "|-----------------14b16~---------------|------------------22--------|",
                    "|------<3.2>---------7b9---------------|------------------21--------|",
                    "|-------<12>---------------------------|------------------20--------|",
                    "|-----------------------------24_------|--------24--------19--------|" } },
            { "slap, pop and tap letters, palm mute and let ring runs, durations over the widest notes",
                { "E, 0, x, x, x, E, slap", "E, x, x, 2, x, E, pop", "E, 0, x, x, x, E, tap accent",
                    "E, 0, x, x, x, E, pm", "E, 0, x, x, x, E, pm", "E, 3, x, x, x, Q, lr",
                    "E, 3, x, x, x, Q, slap pm" },
                true,
                { "                   PM--------        PM---", "                             let ring",
                    "    E    E    E    E    E       Q    Q", "|-----------------------------------------|",
                    "|---------2-------------------------------|", "|-----------------------------------------|",
                    "|----0---------0----0----0-------3----3---|", "     S    P    T                      S" } },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            const AsciiTab tab = BuildAsciiTab(
                Tablature::Build(test::ParseEveryLine(c.lines)), QStringLiteral("Song"), {}, c.rhythmLine);
            ASSERT_GE(tab.Lines.size(), 6 + c.group.size() + 2);
            EXPECT_EQ(tab.Lines.mid(6, c.group.size()).join(u'\n').toStdString(), c.group.join(u'\n').toStdString());
            EXPECT_EQ(tab.Lines.mid(6 + c.group.size(), 2), QStringList({ "", "" }));
        }
        // Every extra line counts in the view's height allowance: four strings, PM, let ring and letters.
        EXPECT_EQ(BuildAsciiTab(Tablature::Build(test::ParseEveryLine(cases[2].lines)), "Song", {}).Height,
            AsciiGroupHeightFor(7));
    }

    TEST(AsciiTab, FileLinesEndWithCrLf)
    {
        EXPECT_EQ(AsciiTabFileBytes({ "", "a", "" }), QByteArray("\r\na\r\n\r\n"));
        EXPECT_EQ(AsciiTabFileBytes({ QStringLiteral("Caf\u00e9") }), QByteArray("Caf\xe9\r\n"));
    }

    TEST(AsciiTab, SaveForcesTheTabExtension)
    {
        EXPECT_EQ(ForceTabExtension(QStringLiteral("/x/song.txt")), QStringLiteral("/x/song.tab"));
        EXPECT_EQ(ForceTabExtension(QStringLiteral("/x/song")), QStringLiteral("/x/song.tab"));
        EXPECT_EQ(ForceTabExtension(QStringLiteral("/x.y/song")), QStringLiteral("/x.y/song.tab"));
        EXPECT_EQ(ForceTabExtension(QStringLiteral("/x/song.TAB")), QStringLiteral("/x/song.tab"));
        EXPECT_EQ(ForceTabExtension(QStringLiteral("/x/a.b.bss")), QStringLiteral("/x/a.b.tab"));

        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const AsciiTab tab = Ascii(WorkedExample);
        QString error;
        const QString path = dir.filePath(QStringLiteral("out.tab"));
        ASSERT_TRUE(SaveAsciiTab(path, tab.Lines, &error)) << error.toStdString();
        EXPECT_EQ(test::ReadFile(path), AsciiTabFileBytes(tab.Lines));
        EXPECT_FALSE(SaveAsciiTab(dir.filePath(QStringLiteral("missing/out.tab")), tab.Lines, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("missing/out.tab")));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({ "out.tab" }));
    }

} // namespace
} // namespace fw
