// Chord lists with a tuning line: parsing, messages, rewriting and moving to another tuning.
#include "ChordList.h"
#include "PitchRetune.h"
#include "Retune.h"
#include "SilentHost.h"
#include "StringListLines.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;

namespace {

struct Host : SilentHost {
    QStringList errors;
    QString status = "untouched";
    int strings = 0;
    void errorBox(const QString& text) override { errors << text; }
    void setStatusMessage(const QString& text) override { status = text; }
    void showTuning(const Tuning& tuning) override { strings = tuning.stringCount(); }
};

struct TunedList : testing::Test {
    StringListLines editor;
    Host host;
    ChordList list { editor, host, host };
    void given(const QStringList& lines) { editor = StringListLines(lines); }
};

struct MessageRow {
    const char* tuningLine;
    const char* line;
    const char* message; // empty: the line is good
};

} // namespace

TEST_F(TunedList, MessagesCountAndNameTheTuningsStrings)
{
    const MessageRow rows[] = {
        { "* Tuning: B E A D G", "B, 0, x, x, x, x, Q", "" },
        { "* Tuning: B E A D G", "E, 0, x, x, x, Q", "Not enough commas." },
        { "* Tuning: B E A D G", "E, 0, x, x, x, x, x, Q", "Too many commas." },
        { "* Tuning: B E A D G", "N, abc, x, x, x, x, Q", "Fret number for Low B string (\"abc\") not a number." },
        { "* Tuning: B E A D G", "N, x, -2, x, x, x, Q", "Fret number for E string (\"-2\") must be higher than -2." },
        { "* Tuning: B E A D G C", "N, x, x, x, x, x, 19, Q",
            "Fret Number for C string (\"19\") must be lower than 19." },
        { "*tuning: d a d g", "N, q, x, x, x, Q", "Fret number for Low D string (\"q\") not a number." },
        { "* Tuning: Eb Ab Db Gb", "N, x, x, x, 3b, Q", "Fret number for Gb string (\"3b\") not a number." },
        // Comments that only look like tuning lines leave the list in E A D G.
        { "* Tuning: whatever we like", "N, 3, x, x, x, x, Q", "Too many commas." },
        { "* Tuning: E A D G", "N, zz, x, x, x, Q", "Fret number for Low E string (\"zz\") not a number." },
    };
    for (const MessageRow& row : rows) {
        SCOPED_TRACE(row.line);
        given({ "* Title: Test", row.tuningLine, row.line });
        host.errors.clear();
        const bool ok = list.ParseAllLines(QString(), true);
        EXPECT_EQ(ok, *row.message == 0);
        EXPECT_EQ(
            host.errors, *row.message ? QStringList { QStringLiteral("Line 3    ") + row.message } : QStringList());
    }
}

TEST_F(TunedList, ATuningLineBelowTheNotesAndBelowAnErrorStillCounts)
{
    given({ "B, 0, x, x, x, x, Q", "E, 0, x, x, x, Q", "* Tuning: B E A D G" });
    EXPECT_FALSE(list.ParseAllLines(QString(), true));
    EXPECT_EQ(host.errors, QStringList({ "Line 2    Not enough commas." }));
    EXPECT_EQ(list.ParsedLines.size(), 1);
    EXPECT_EQ(list.ParsedLines[0].Notes[6], 35);

    // The last tuning and frets lines count even where earlier ones stand before the error.
    given({ "* Tuning: D A D G", "* Frets: 20", "B, 0, x, x, x, 22, Q", "E, 0, x, x, x, Q", "* Tuning: B E A D G",
        "* Frets: 22" });
    EXPECT_FALSE(list.ParseAllLines(QString(), false));
    ASSERT_EQ(list.ParsedLines.size(), 3);
    EXPECT_EQ(list.ParsedLines[2].Notes[6], 35);
    EXPECT_EQ(list.ParsedLines[2].Frets[2], 22);
    given({ "B, 0, x, x, x, x, Q", "E, 0, x, x, x, Q", "* Tuning: B E A D G" });

    // Editing the tuning line away makes the list four strings again without a stale tuning.
    editor.replaceLine(2, "* no tuning");
    editor.deleteLine(0);
    host.errors.clear();
    EXPECT_TRUE(list.ParseAllLines(QString(), true));
    EXPECT_EQ(list.ParsedLines[0].Notes[6], 40);
}

TEST_F(TunedList, NeckWritingNamingAndDisplayFollowTheTuning)
{
    given({ "* Tuning: B E A D G C", "New , x, x, x, x, x, x, Q", "x,x,x,x,x,x,5,q", "* Tuning: B E A", "" });
    list.SetStringFret(1, 6, 0);
    EXPECT_EQ(editor.lineText(1), "B, 0, x, x, x, x, x, Q");
    list.SetStringFret(1, 1, 3);
    EXPECT_EQ(editor.lineText(1), "D#/Eb, x, x, x, x, x, 3, Q");
    list.AutoNameLine(2);
    EXPECT_EQ(editor.lineText(2), "F, x, x, x, x, x, 5, q");
    EXPECT_TRUE(list.ShowLineInfo(2));
    EXPECT_EQ(host.strings, 6);

    EXPECT_FALSE(list.ShowLineInfo(3));
    EXPECT_EQ(host.status, "Not a tuning line: 3 note names; a tuning names 4 to 6 strings.");

    EXPECT_EQ(AutoNameLines({ "* Tuning: B E A D G", "x, 0, x, x, x, x, q", "x,x,x,x,x,q" }),
        QStringList({ "* Tuning: B E A D G", "B, 0, x, x, x, x, q", "x,x,x,x,x,q" }));
}

struct RetuneRow {
    QStringList lines;
    const char* tuning;
    RetuneMode mode;
    QStringList expected;
    QStringList problems;
    QStringList rests;
};

TEST(Retune, MovesNotesWritesTheTuningLineAndNamesWhatCannotMove)
{
    const RetuneRow rows[] = {
        // Drop D: the open E moves up two frets on its own string; D needs no move.
        { { "*Title: Song", "E, 0, x, x, x, Q", "Mine, 2, 2, x, x, H" }, "D A D G", RetuneMode::KeepPitches,
            { "*Title: Song", "* Tuning: D A D G", "E, 2, x, x, x, Q", "Mine, 4, 2, x, x, H" }, {}, {} },
        // Four to five strings: same strings, one more field; nothing needs to move.
        { { "G, 3, x, x, x, Q", "* c" }, "B E A D G", RetuneMode::KeepPitches,
            { "* Tuning: B E A D G", "G, x, 3, x, x, x, Q", "* c" }, {}, {} },
        // A low B has no string on a four-string bass: it becomes a rest that keeps its time, with a
        // comment naming it; the others move to the E string.
        { { "* Tuning: B E A D G", "B, 0, x, x, x, x, Q", "Chord, 5, x, 2, x, x, E" }, "E A D G",
            RetuneMode::KeepPitches,
            { "* Tuning: E A D G", "* Not playable on this tuning: B (Low B string, fret 0) in B E A D G",
                "Rest, x, x, x, x, Q", "Chord, 0, 2, x, x, E" },
            {}, { "Line 3    B (Low B string, fret 0): no string of the new tuning can play it." } },
        // The C string is gone, so its note goes to the easiest string that can play it.
        { { "* Tuning: B E A D G C", "F, x, x, x, x, x, 5, Q" }, "B E A D G", RetuneMode::KeepPitches,
            { "* Tuning: B E A D G", "F, x, x, x, x, 10, Q" }, {}, {} },
        // Without the C string a line on the top strings moves as a whole to the tenth position
        // (the open G string gives the hand time to get there), rather than jumping between the
        // fifth and the tenth fret of the G string.
        { { "* Tuning: E A D G C", "*Title: Up", "G, x, x, 5, x, x, E", "C, x, x, x, 5, x, E", "F, x, x, x, x, 5, E",
              "D, x, x, x, 7, x, E", "Mine, x, x, x, x, 7, E" },
            "B E A D G", RetuneMode::KeepPitches,
            { "* Tuning: B E A D G", "*Title: Up", "G, x, x, x, x, 0, E", "C, x, x, x, 10, x, E",
                "F, x, x, x, x, 10, E", "D, x, x, x, 12, x, E", "Mine, x, x, x, x, 12, E" },
            {}, {} },
        // The same tuning again leaves the fingering as it was, easiest or not.
        { { "B, 7, x, x, x, Q", "D, x, 5, x, x, Q" }, "E A D G", RetuneMode::KeepPitches,
            { "B, 7, x, x, x, Q", "D, x, 5, x, x, Q" }, {}, {} },
        { { "* Tuning: D A D G", "D, 0, x, x, x, Q" }, "B E A D G", RetuneMode::KeepFrets,
            { "* Tuning: B E A D G", "E, x, 0, x, x, x, Q" }, {}, {} },
        // Marks go with their notes; a harmonic the new strings cannot sound is named like any note.
        { { "E, 0_, x, x, x, H", "E, 0h, x, x, x, Q", "F#/Gb, 2, x, x, x, Q, pm", "E, <12>, x, x, x, W" }, "D A D G",
            RetuneMode::KeepPitches,
            { "* Tuning: D A D G", "E, 2_, x, x, x, H", "E, 2h, x, x, x, Q", "F#/Gb, 4, x, x, x, Q, pm",
                "* Not playable on this tuning: E (Low E string, harmonic at 12) in E A D G", "Rest, x, x, x, x, W" },
            {}, { "Line 6    E (Low E string, harmonic at 12): no string of the new tuning can play it." } },
        { { "* Tuning: D A D G", "D, 0h, x, x, x, Q", "E, 2, x, x, x, Q" }, "B E A D G", RetuneMode::KeepFrets,
            { "* Tuning: B E A D G", "E, x, 0h, x, x, x, Q", "F#/Gb, x, 2, x, x, x, Q" }, {}, {} },
        { { "* Tuning: B E A D G C", "C, x, x, x, x, x, 0, Q" }, "E A D G", RetuneMode::KeepFrets,
            { "* Tuning: E A D G", "C, x, x, x, x, x, 0, Q" },
            { "Line 2    C (C string, fret 0): the new tuning has no such string." }, {} },
    };
    for (const RetuneRow& row : rows) {
        SCOPED_TRACE(row.lines.join(" | ").toStdString());
        const RetuneResult result = RetuneLines(
            row.lines, ParseTuningNames(QString::fromLatin1(row.tuning)).tuning, row.mode, FingerInNewTuning);
        EXPECT_EQ(result.Lines, row.expected);
        EXPECT_EQ(result.Problems, row.problems);
        EXPECT_EQ(result.Rests, row.rests);
        StringListLines editor(row.lines);
        ApplyRewrite(editor, row.lines, result);
        EXPECT_EQ(editor.lines(), row.expected);
    }
    EXPECT_EQ(NewDocumentLines(""), QStringList());
    EXPECT_EQ(NewDocumentLines("e a d g"), QStringList());
    EXPECT_EQ(NewDocumentLines("not a tuning"), QStringList());
    EXPECT_EQ(NewDocumentLines("B E A D G"), QStringList({ "* Tuning: B E A D G" }));
}
