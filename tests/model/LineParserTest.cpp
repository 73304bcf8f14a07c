#include "LineParser.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;

namespace {

QString ErrorOf(const QString& line, int index = 2)
{
    ChordDef def;
    return ParseLineText(line, index, def).errorText;
}

ChordDef Parsed(const QString& line)
{
    ChordDef def;
    const LineParseResult result = ParseLineText(line, 0, def);
    EXPECT_TRUE(result.errorText.isEmpty()) << result.errorText.toStdString();
    return def;
}

} // namespace

TEST(LineKinds, AreDecidedCountOffCommentBlankThenChord)
{
    ChordDef def;
    EXPECT_EQ(ParseLineText(u"*Count Off 4", 0, def).kind, LineKind::CountOff);
    EXPECT_EQ(def.Name, "");
    EXPECT_EQ(ParseLineText(u"*xcount off 4", 0, def).kind, LineKind::CountOff);
    EXPECT_EQ(ParseLineText(u"*  Count Off 4", 0, def).kind, LineKind::Comment);
    EXPECT_EQ(ParseLineText(u"*My Count Off 4", 0, def).kind, LineKind::Comment);
    EXPECT_EQ(ParseLineText(u"* Title: Walking", 0, def).kind, LineKind::Comment);
    EXPECT_EQ(def.Name, "* Title: Walking");
    EXPECT_EQ(ParseLineText(u"   \t", 0, def).kind, LineKind::Blank);
    EXPECT_EQ(def.Name, " ");
    EXPECT_EQ(ParseLineText(u" *comment", 0, def).kind, LineKind::ChordDefinition);
    EXPECT_EQ(ErrorOf(" *comment", 0), "Line 1    Not enough commas.");
}

TEST(LineKinds, CommentNamesKeepEightyCharacters)
{
    const QString longComment = "*" + QString(100, 'c');
    EXPECT_EQ(Parsed(longComment).Name, longComment.left(80));
}

TEST(CountOffLines, ReadTheNumberAfterOff)
{
    ChordDef def;
    EXPECT_EQ(ParseLineText(u"*Count Off 4", 0, def).countOffNumber, 4);
    EXPECT_EQ(ParseLineText(u"*COUNT OFF", 0, def).countOffNumber, 0);
    EXPECT_EQ(ParseLineText(u"*Count Off 4 bars", 0, def).countOffNumber, 0);
    EXPECT_EQ(ParseLineText(u"*Count Off 4 ", 0, def).countOffNumber, 0);
    EXPECT_EQ(ParseLineText(u"*Count Off   8", 0, def).countOffNumber, 8);
    EXPECT_EQ(ParseLineText(u"*Count Off $3", 0, def).countOffNumber, 3);
    EXPECT_EQ(ParseLineText(u"*Count Off 9", 0, def).countOffNumber, -1);
    EXPECT_EQ(ParseLineText(u"*Count Off -2", 0, def).countOffNumber, -1);
    EXPECT_TRUE(ParseLineText(u"*Count Off 9", 0, def).errorText.isEmpty());
    EXPECT_EQ(
        InvalidCountOffMessage(u"*Count Off 9"), "\r*Count Off 9\r\rInvalid Count Off Number. Use 0 thru 8 only.");
}

TEST(ChordErrors, CommasAndNames)
{
    EXPECT_EQ(ErrorOf("G, 3, x, x, Q"), "Line 3    Not enough commas.");
    EXPECT_EQ(ErrorOf("G,7, 3, x, x, x, Q"), "Line 3    Too many commas.");
    EXPECT_EQ(ErrorOf(" , 3, x, x, x, Q"), "Line 3    Note name required.");
    EXPECT_EQ(ErrorOf(", 3, x, x, x, Q"), "Line 3    Note name required.");
    EXPECT_EQ(ErrorOf("7, 3, x, x, x, Q"), "Line 3    Number not allowed for note name.");
    EXPECT_EQ(ErrorOf("-3, 3, x, x, x, Q"), "Line 3    Number not allowed for note name.");
    EXPECT_EQ(ErrorOf("12th, 3, x, x, x, Q"), "");
}

TEST(ChordErrors, FretsNameTheStringAndQuoteTheField)
{
    EXPECT_EQ(ErrorOf("G, 3, abc, x, x, Q"), "Line 3    Fret number for A string (\"abc\") not a number.");
    EXPECT_EQ(ErrorOf("G, , x, x, x, Q"), "Line 3    Fret number for Low E string (\"\") not a number.");
    EXPECT_EQ(ErrorOf("G, 3, x, -2, x, Q"), "Line 3    Fret number for D string (\"-2\") must be higher than -2.");
    EXPECT_EQ(ErrorOf("G, 3, x, x, 19, Q"), "Line 3    Fret Number for G string (\"19\") must be lower than 19.");
    EXPECT_EQ(
        ErrorOf("G, 2147483647, x, x, x, Q"), "Line 3    Fret number for Low E string (\"2147483647\") not a number.");
    // The first bad string in Low E, A, D, G order is the one reported.
    EXPECT_EQ(ErrorOf("G, 3, 30, -5, y, Q"), "Line 3    Fret Number for A string (\"30\") must be lower than 19.");
}

TEST(ChordErrors, DurationsAreQuotedAndCut)
{
    EXPECT_EQ(ErrorOf("G, 3, x, x, x, Z"), "Line 3    \"Z\" invalid. (W)hole,(H)alf,Q,E,S,T,F");
    EXPECT_EQ(ErrorOf("G, 3, x, x, x,"), "Line 3    \"\" invalid. (W)hole,(H)alf,Q,E,S,T,F");
    EXPECT_EQ(ErrorOf("G, 3, x, x, x, quarter note"), "Line 3    \"quart\" invalid. (W)hole,(H)alf,Q,E,S,T,F");
    EXPECT_EQ(ErrorOf("G, 3, x, x, x, Q."), "Line 3    \"Q.\" invalid. (W)hole,(H)alf,Q,E,S,T,F");
}

TEST(ChordDefinitions, FillFretsNotesAndDuration)
{
    const ChordDef def = Parsed("  Chord , 3, 5 ,x, X, .e ");
    EXPECT_EQ(def.Name, "Chord");
    EXPECT_EQ(def.Frets[6], 3);
    EXPECT_EQ(def.Frets[5], 5);
    EXPECT_EQ(def.Frets[4], -1);
    EXPECT_EQ(def.Frets[3], -1);
    EXPECT_EQ(def.Notes[6], 43);
    EXPECT_EQ(def.Notes[5], 50);
    EXPECT_EQ(def.Notes[4], 255);
    EXPECT_EQ(def.Duration, ".e");
    EXPECT_TRUE(IsNoteEntry(def));
    EXPECT_FALSE(IsRest(def));
    EXPECT_TRUE(IsRest(Parsed("Rest , x, x, x, x, Q")));
    EXPECT_EQ(Parsed("G, -1, x, 0, 18, /q").Notes[3], 73);
    EXPECT_EQ(Parsed("G, $3, x, x, x, W").Frets[6], 3);
}

TEST(ChordDefinitions, NamesAreCutToSeventyNineCharacters)
{
    const ChordDef def = Parsed(QString(100, 'n') + ", 3, x, x, x, Q");
    EXPECT_EQ(def.Name.size(), 79);
}

TEST(CanonicalForm, WritesNameFretsLowestFirstAndDuration)
{
    EXPECT_EQ(BuildLine(Parsed("G,3,x,x,x,Q")), "G, 3, x, x, x, Q");
    EXPECT_EQ(BuildLine(Parsed("Chord ,3,5,x,x, .E")), "Chord, 3, 5, x, x, .E");
    EXPECT_EQ(BuildLine(Parsed("Rest , x, x, x, x, H")), "Rest, x, x, x, x, H");
    EXPECT_EQ(BuildLine(Parsed("A, -1, 0, x, x, h")), "A, x, 0, x, x, h");
}
