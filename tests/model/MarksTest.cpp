#include "Bars.h"
#include "LineParser.h"
#include "ListCheck.h"
#include "SpecialLines.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;

namespace {

ChordDef Parsed(const QString& line, int fretLimit = FretCount)
{
    ChordDef def;
    const LineParseResult result = ParseLineText(line, 0, def, StandardTuning(), fretLimit);
    EXPECT_TRUE(result.errorText.isEmpty()) << line.toStdString() << ": " << result.errorText.toStdString();
    return def;
}

QString ErrorOf(const QString& line, int fretLimit = FretCount)
{
    ChordDef def;
    return ParseLineText(line, 2, def, StandardTuning(), fretLimit).errorText;
}

// Every finding of a list, one per line of text.
QStringList Findings(const QStringList& lines, bool warnings = false)
{
    QStringList texts;
    for (const LineProblem& problem : CheckLines(lines, warnings))
        texts << problem.text;
    return texts;
}

constexpr int A = 5; // the A string's slot

} // namespace

// What a field is read as, and how the program writes it back.
TEST(MarkedFrets, AreReadAndWrittenInOneSpelling)
{
    struct Case {
        const char* line;
        const char* canonical;
        int fret; // A string
        NoteKind kind;
        NoteLink link;
        SlideIn slideIn;
        bool vibrato;
        int bendTarget;
        int harmonicSemitones;
    };
    using K = NoteKind;
    using L = NoteLink;
    using S = SlideIn;
    const Case cases[] = {
        { "A, x, 0h, x, x, E", "A, x, 0h, x, x, E", 0, K::Normal, L::HammerOn, S::None, false, -1, 0 },
        { "A,x,7P,x,x,E", "A, x, 7p, x, x, E", 7, K::Normal, L::PullOff, S::None, false, -1, 0 },
        { "A, x, 5/, x, x, E", "A, x, 5/, x, x, E", 5, K::Normal, L::SlideUp, S::None, false, -1, 0 },
        { "A, x, 7\\, x, x, E", "A, x, 7\\, x, x, E", 7, K::Normal, L::SlideDown, S::None, false, -1, 0 },
        { "A, x, /5, x, x, E", "A, x, /5, x, x, E", 5, K::Normal, L::None, S::FromBelow, false, -1, 0 },
        { "A, x, \\5~/, x, x, E", "A, x, \\5~/, x, x, E", 5, K::Normal, L::SlideUp, S::FromAbove, true, -1, 0 },
        { "A, x, ( 5 ), x, x, E", "", 0, K::Normal, L::None, S::None, false, -1, 0 }, // no blanks inside
        { "A, x, (5)H, x, x, E", "A, x, (5)h, x, x, E", 5, K::Ghost, L::HammerOn, S::None, false, -1, 0 },
        { "x, x, M, x, x, S", "x, x, m, x, x, S", -1, K::Dead, L::None, S::None, false, -1, 0 },
        { "D, x, 5m, x, x, S", "D, x, 5m, x, x, S", 5, K::Dead, L::None, S::None, false, -1, 0 },
        { "E, x, <7>, x, x, H", "E, x, <7>, x, x, H", 7, K::Harmonic, L::None, S::None, false, -1, 19 },
        { "A, x, <3>~_, x, x, H", "A, x, <3.2>~_, x, x, H", 3, K::Harmonic, L::Tie, S::None, true, -1, 31 },
        { "A, x, <4>, x, x, H", "A, x, <4>, x, x, H", 4, K::Harmonic, L::None, S::None, false, -1, 28 },
        { "A, x, <2.4>, x, x, H", "A, x, <2.3>, x, x, H", 2, K::Harmonic, L::None, S::None, false, -1, 36 },
        { "E, x, 7B9~, x, x, Q", "E, x, 7b9~, x, x, Q", 7, K::Normal, L::None, S::None, true, 9, 0 },
        { "A, x, 5_~, x, x, Q", "A, x, 5~_, x, x, Q", 5, K::Normal, L::Tie, S::None, true, -1, 0 },
        { "E, 0, x, x, x, S,  Slap ", "E, 0, x, x, x, S, slap", -1, K::Normal, L::None, S::None, false, -1, 0 },
        { "E, 0, 2h, x, x, S, lr accent pm", "", 0, K::Normal, L::None, S::None, false, -1, 0 }, // lr with pm
        { "E, 0, x, x, x, S, lr\taccent  staccato tap pop pop", "", 0, K::Normal, L::None, S::None, false, -1, 0 },
        { "E, 0, x, x, x, S, LR accent", "E, 0, x, x, x, S, accent lr", -1, K::Normal, L::None, S::None, false, -1, 0 },
        { "E, 0, x, x, x, S, pm staccato pop", "E, 0, x, x, x, S, pop staccato pm", -1, K::Normal, L::None, S::None,
            false, -1, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ChordDef def;
        const QString error = ParseLineText(QString::fromLatin1(c.line), 0, def).errorText;
        if (QByteArray(c.canonical).isEmpty()) {
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(BuildLine(def), QString::fromLatin1(c.canonical));
        EXPECT_EQ(def.Frets[A], c.fret);
        EXPECT_EQ(def.Notes[A], c.fret < 0 ? NotPlayedNote : 45 + c.fret);
        const NoteMarks& m = def.Marks[A];
        EXPECT_EQ(m.kind, c.kind);
        EXPECT_EQ(m.link, c.link);
        EXPECT_EQ(m.slideIn, c.slideIn);
        EXPECT_EQ(m.vibrato, c.vibrato);
        EXPECT_EQ(m.bendTarget, c.bendTarget);
        EXPECT_EQ(HarmonicSemitones(m.harmonicNode), c.harmonicSemitones);
        // The canonical text reads back as the same line.
        EXPECT_EQ(Parsed(BuildLine(def)), def);
    }
    const ChordDef slapped = Parsed("E, 0, x, x, x, S, pop accent staccato pm");
    EXPECT_EQ(slapped.Technique.attack, Attack::Pop);
    EXPECT_TRUE(slapped.Technique.accent && slapped.Technique.staccato && slapped.Technique.palmMute);
    EXPECT_FALSE(slapped.Technique.letRing);
    EXPECT_TRUE(IsStruck(Parsed("x, x, m, x, x, S"), A));
    EXPECT_FALSE(IsRest(Parsed("x, x, m, x, x, S")));
}

// New forms used wrongly get their own messages; everything that was an error keeps its message.
TEST(MarkedFrets, MisusedMarksAndOldErrorsHaveExactMessages)
{
    const std::pair<const char*, const char*> cases[] = {
        { "A, x, 7b5, x, x, Q", "Line 3    Bend on the A string must go up 1 to 6 frets, not to fret 5." },
        { "A, x, 7b14, x, x, Q", "Line 3    Bend on the A string must go up 1 to 6 frets, not to fret 14." },
        { "A, x, <13>, x, x, Q",
            "Line 3    Harmonic on the A string must be at a node such as 12, 7, 5, 4 or 3.2, not at 13." },
        { "A, x, <24>, x, x, Q", "Line 3    Fret Number for A string (\"<24>\") must be lower than 19." },
        { "A, x, 19h, x, x, Q", "Line 3    Fret Number for A string (\"19h\") must be lower than 19." },
        { "A, x, 5mh, x, x, Q", "Line 3    Fret marks for A string (\"5mh\") do not go together." },
        { "A, x, <12>h, x, x, Q", "Line 3    Fret marks for A string (\"<12>h\") do not go together." },
        { "A, x, 5hp, x, x, Q", "Line 3    Fret marks for A string (\"5hp\") do not go together." },
        { "A, x, /5b7, x, x, Q", "Line 3    Fret marks for A string (\"/5b7\") do not go together." },
        { "E, 0, x, x, x, S, slap pop", "Line 3    Slap, pop and tap exclude one another." },
        { "E, 0, x, x, x, S, lr staccato", "Line 3    Let ring does not go with palm mute or staccato." },
        // Not of the new forms: today's messages.
        { "A, x, 5 h, x, x, Q", "Line 3    Fret number for A string (\"5 h\") not a number." },
        { "A, x, (5, x, x, Q", "Line 3    Fret number for A string (\"(5\") not a number." },
        { "A, x, <12, x, x, Q", "Line 3    Fret number for A string (\"<12\") not a number." },
        { "A, x, 5x, x, x, Q", "Line 3    Fret number for A string (\"5x\") not a number." },
        { "A, x, -1h, x, x, Q", "Line 3    Fret number for A string (\"-1h\") not a number." },
        { "A, x, 2147483647, x, x, Q", "Line 3    Fret number for A string (\"2147483647\") not a number." },
        { "A, x, 19, x, x, Q", "Line 3    Fret Number for A string (\"19\") must be lower than 19." },
        { "G, 3, x, x, x, Q, swing", "Line 3    Too many commas." },
        { "G, 3, x, x, x, Q, ", "Line 3    Too many commas." },
        { "G, 3, x, x, x, Q, slap, pop", "Line 3    Too many commas." },
        { "G, 3, x, x, x, slap", "Line 3    \"slap\" invalid. (W)hole,(H)alf,Q,E,S,T,F" },
        { "G, 3, x, x, Q, slap", "Line 3    Fret number for G string (\"Q\") not a number." },
    };
    for (const auto& [line, message] : cases)
        EXPECT_EQ(ErrorOf(QString::fromLatin1(line)), QString::fromLatin1(message)) << line;
}

// Marks that need the next note on their string: named on their own line, with string and mark.
TEST(MarkPartners, AreCheckedAgainstTheNextNoteEntry)
{
    const std::pair<QStringList, QStringList> cases[] = {
        { { "A, x, 0h, x, x, E", "* passing comment", "", "B, x, 2, x, x, E" }, {} },
        { { "A, x, 5_, x, x, H", "", "A, x, 5, x, x, H" }, {} },
        { { "A, x, 5/, x, x, H" }, {} }, // a slide out
        { { "A, x, 5\\, x, x, H", "E, 0, x, x, x, Q" }, {} },
        { { "A, x, <12>_, x, x, H", "A, x, <12>, x, x, H" }, {} },
        { { "A, x, 0h, x, x, E" }, { "Line 1    Hammer-on on the A string has no next note on that string." } },
        { { "A, x, 0h, x, x, E", "Rest, x, x, x, x, E", "B, x, 2, x, x, E" },
            { "Line 1    Hammer-on on the A string has no next note on that string." } },
        { { "E, 0, 7p, x, x, E", "D, x, x, 0, x, E" },
            { "Line 1    Pull-off on the A string has no next note on that string." } },
        { { "A, x, 5_, x, x, E", "", "x, x, 7, x, x, E" },
            { "Line 1    Tie on the A string must go to the same fret, not to fret 7." } },
        { { "A, x, <12>_, x, x, E", "A, x, 12, x, x, E" },
            { "Line 1    Tie on the A string must go to the same harmonic, not to fret 12." } },
        { { "A, x, 5h, x, x, E", "A, x, 3, x, x, E" },
            { "Line 1    Hammer-on on the A string must go up to a higher fret, not to fret 3." } },
        { { "A, 1, 5/, x, x, E", "A, 1, m, x, x, E" },
            { "Line 1    Slide up on the A string must go up to a higher fret, not to a dead note." } },
        { { "A, x, 5\\, x, x, E", "A, x, /3, x, x, E" },
            { "Line 1    Slide down on the A string must go down to a lower fret, not to a note that slides in." } },
        { { "G, 3_, x, x, x, E", "G, 3, x, x, x, Q, oops", "G, 3h, x, x, x, E" },
            { "Line 2    Too many commas.",
                "Line 3    Hammer-on on the Low E string has no next note on that string." } },
    };
    for (const auto& [lines, expected] : cases)
        EXPECT_EQ(Findings(lines), expected) << lines.join(" / ").toStdString();
}

// Time lines, frets lines and bars: what the other parts read, and the warnings of a check.
TEST(TimeAndFrets, SetBarsFretLimitAndWarnings)
{
    const QStringList lines { "* Time: 3/4", "G, 3, x, x, x, Q", "G, 3, x, x, x, H", "", "", "* Time: 6/8",
        "G, 3, x, x, x, .Q", "G, 3, x, x, x, Q", "", "* Tuning: D A D Gx", "* Time: 5/5", "* frets:19",
        "G, 19, x, x, x, /Q", "G, 19, x, x, x, /Q", "G, 19, x, x, x, /Q", "* Time: 6/8", "", "G, 3, x, x, x, .Q",
        "* Time: 2/2", "G, 3, x, x, x, .Q" };
    ParsedLineList parsed;
    for (int i = 0; i <= lines.size(); ++i) {
        ChordDef def;
        ASSERT_TRUE(
            ParseLineText(lines.value(i), i, def, TuningOfLines(lines), FretLimitOfLines(lines)).errorText.isEmpty());
        parsed << def;
    }
    EXPECT_EQ(FretLimitOfLines(lines), 19);
    const std::vector<Bar> bars = BarsOf(parsed);
    ASSERT_EQ(bars.size(), 4u);
    struct Expected {
        int first;
        const char* time;
        bool changes;
        long long start;
        long long ticks;
    };
    const Expected expected[] = { { 1, "3/4", true, 0, 288 }, { 6, "6/8", true, 288, 240 },
        { 12, "6/8", false, 528, 96 }, { 17, "6/8", false, 624, 288 } };
    for (int b = 0; b < 4; ++b) {
        EXPECT_EQ(bars[b].number, b + 1);
        EXPECT_EQ(bars[b].firstEntry, expected[b].first);
        EXPECT_EQ(bars[b].time.text(), expected[b].time);
        EXPECT_EQ(bars[b].timeChanges, expected[b].changes);
        EXPECT_EQ(bars[b].startTicks, expected[b].start);
        EXPECT_EQ(bars[b].ticks, expected[b].ticks);
    }
    EXPECT_EQ(Findings(lines, true),
        QStringList({ "Line 7    Warning: Bar 2 lasts 5/8, not 6/8.",
            "Line 10    Warning: Not a tuning line: \"Gx\" is not a note name.",
            "Line 11    Warning: Not a time line: write beats/unit, such as 3/4 or 6/8 (1 to 32 beats of 2, 4, 8 or "
            "16).",
            "Line 13    Warning: Bar 3 lasts 2/8, not 6/8." }));
    // Without the frets line fret 19 is refused as ever; a list without a time line is in 4/4 and its
    // bars are counted but never said to change time.
    EXPECT_EQ(ErrorOf("G, 19, x, x, x, Q"), "Line 3    Fret Number for Low E string (\"19\") must be lower than 19.");
    EXPECT_EQ(
        ErrorOf("G, 25, x, x, x, Q", 24), "Line 3    Fret Number for Low E string (\"25\") must be lower than 25.");
    EXPECT_EQ(FretLimitOfLines({ "* Frets: 25", "* Frets: 17" }), FretCount);
    ParsedLineList plain { Parsed("G, 3, x, x, x, W"), Parsed(" "), Parsed("G, 3, x, x, x, H") };
    const std::vector<Bar> plainBars = BarsOf(plain);
    ASSERT_EQ(plainBars.size(), 2u);
    EXPECT_FALSE(plainBars[0].timeSet || plainBars[0].timeChanges || plainBars[1].timeChanges);
    EXPECT_EQ(BarLengthProblem(plainBars[1]), "Bar 2 lasts 2/4, not 4/4.");
}
