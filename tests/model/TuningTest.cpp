#include "Tuning.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;

struct TuningRow {
    const char* line;
    std::vector<int> open; // empty: not a valid tuning line
    const char* lowName;
    const char* written;
};

TEST(TuningLines, NamesGiveNoteValuesLowestFirst)
{
    const TuningRow rows[] = {
        { "* Tuning: B E A D G", { 35, 40, 45, 50, 55 }, "Low B", "* Tuning: B E A D G" },
        { "*tuning: d a d g", { 38, 45, 50, 55 }, "Low D", "* Tuning: D A D G" },
        { "* TUNING: Eb Ab Db Gb", { 39, 44, 49, 54 }, "Low Eb", "* Tuning: Eb Ab Db Gb" },
        { "* Tuning: B,E,A,D,G,C", { 35, 40, 45, 50, 55, 60 }, "Low B", "* Tuning: B E A D G C" },
        { "* Tuning: B0 E1 A1 D2 G2", { 35, 40, 45, 50, 55 }, "Low B", "* Tuning: B E A D G" },
        { "* Tuning: E2 A2 D3 G3", { 52, 57, 62, 67 }, "Low E", "* Tuning: E2 A D G" },
        { "* Tuning: E A D", {}, "", "" },
        { "* Tuning: E A D G C F B", {}, "", "" },
        { "* Tuning: drop D for the chorus", {}, "", "" },
        { "* Tuning: E2 E1 A1 D2", {}, "", "" },
    };
    for (const TuningRow& row : rows) {
        SCOPED_TRACE(row.line);
        const TuningLineResult result = ParseTuningLine(QString::fromLatin1(row.line));
        if (row.open.empty()) {
            EXPECT_EQ(result.kind, TuningLineKind::Invalid);
            EXPECT_TRUE(result.reason.startsWith("Not a tuning line: "));
            continue;
        }
        ASSERT_EQ(result.kind, TuningLineKind::Valid);
        EXPECT_EQ(result.tuning.openNotes(), row.open);
        EXPECT_EQ(result.tuning.stringName(6), row.lowName);
        EXPECT_EQ(result.tuning.lineText(), row.written);
        EXPECT_EQ(ParseTuningLine(result.tuning.lineText()).tuning, result.tuning);
    }
    EXPECT_EQ(ParseTuningLine(QStringLiteral("*  Tuning: B E A D G")).kind, TuningLineKind::NotSpecial);
    EXPECT_EQ(ParseTuningLine(QStringLiteral(" * Tuning: B E A D G")).kind, TuningLineKind::NotSpecial);
}

TEST(TuningLines, TheLastValidLineOfAListIsItsTuning)
{
    EXPECT_TRUE(TuningOfLines({ "E, 0, x, x, x, Q" }).isStandard());
    const QStringList lines { "* Tuning: B E A D G", "* Tuning: D A D G", "* Tuning: nonsense", "D, 0, x, x, x, Q" };
    EXPECT_EQ(TuningOfLines(lines).openNotes(), (std::vector<int> { 38, 45, 50, 55 }));
}

TEST(TuningLines, LinesAndNamesFollowTheStrings)
{
    const Tuning five = ParseTuningLine(QStringLiteral("* Tuning: B E A D G")).tuning;
    ChordDef def;
    def.Name = "Old";
    def.Duration = "Q";
    def.Frets[6] = 0;
    EXPECT_EQ(AutomaticName(def, five), "B");
    def.Name = AutomaticName(def, five);
    EXPECT_EQ(BuildLine(def, five), "B, 0, x, x, x, x, Q");
    EXPECT_EQ(BuildLine(def, Tuning::Standard()), "B, 0, x, x, x, Q");
    def.Frets[2] = 5;
    EXPECT_EQ(AutomaticName(def, five), "Chord");
    EXPECT_EQ(NoteName(five, 2, 5, "keep"), "C");
    EXPECT_EQ(NoteName(Tuning::Standard(), 2, 5, "keep"), "keep");
    EXPECT_EQ(five.stringName(2), "G");
    EXPECT_EQ(five.stringName(1), "");
}
