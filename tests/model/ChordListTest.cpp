#include "ChordList.h"
#include "StringListLines.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <iterator>
#include <utility>

using namespace fw;

namespace {

struct RecordingHost : LineDisplay, MessageBoxes {
    QString caption;
    QString status = "untouched";
    FretArray markers = NoFrets;
    int markerCalls = 0;
    bool chordMode = false;
    QStringList errors;
    QStringList plain;

    void setChordNameCaption(const QString& text) override { caption = text; }
    void setStatusMessage(const QString& text) override { status = text; }
    void showMarkers(const FretArray& frets) override
    {
        markers = frets;
        ++markerCalls;
    }
    bool chordEntryMode() const override { return chordMode; }
    void errorBox(const QString& text) override { errors << text; }
    void plainBox(const QString& text) override { plain << text; }
    void warningBox(const QString&) override { }
    void informationBox(const QString&) override { }
    Answer askYesNoCancel(const QString&) override { return Answer::Cancel; }
};

struct ChordListFixture : testing::Test {
    StringListLines editor;
    RecordingHost host;
    ChordList list { editor, host, host };

    void given(QStringList lines) { editor = StringListLines(std::move(lines)); }
};

} // namespace

using ParseAll = ChordListFixture;

TEST_F(ParseAll, GivesOneEntryMoreThanLinesEndingBlank)
{
    given({ "*Count Off 2", "G, 3, x, x, x, Q", "", "Rest, x, x, x, x, H" });
    ASSERT_TRUE(list.ParseAllLines("Fix errors before viewing tab.", true));
    ASSERT_EQ(list.ParsedLines.size(), 5);
    EXPECT_EQ(list.ParsedLines.last().Name, " ");
    EXPECT_EQ(list.CountOffBeats, 2);
    EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(ParseAll, StopsAtTheFirstErrorSelectingItAndAddingTheCallersMessage)
{
    given({ "G, 3, x, x, x, Q", "bad line", "also, bad" });
    EXPECT_FALSE(list.ParseAllLines("Fix errors before creating a midi file.", true));
    EXPECT_EQ(list.ParsedLines.size(), 1);
    EXPECT_EQ(host.errors, QStringList({ "Line 2    Not enough commas.", "Fix errors before creating a midi file." }));
    EXPECT_EQ(editor.selectionStart(), editor.lineStart(1));
    EXPECT_EQ(editor.selectionLength(), 8);
}

TEST_F(ParseAll, SilentRunShowsOnlyTheExtraMessage)
{
    given({ "bad" });
    EXPECT_FALSE(list.ParseAllLines("  ", false));
    EXPECT_TRUE(host.errors.isEmpty());
    EXPECT_FALSE(list.ParseAllLines("extra", false));
    EXPECT_EQ(host.errors, QStringList({ "extra" }));
}

TEST_F(ParseAll, SetsDurationValuesOfNoteEntriesOnly)
{
    given({ "* comment", "G, 3, x, x, x, .Q", "Rest, x, x, x, x, /e" });
    ASSERT_TRUE(list.ParseAllLines(QString(), true));
    list.SetDurationValues(384);
    EXPECT_EQ(list.ParsedLines[0].DurationValue, 0);
    EXPECT_EQ(list.ParsedLines[1].DurationValue, 144);
    EXPECT_EQ(list.ParsedLines[2].DurationValue, 16);
}

using CountOff = ChordListFixture;

TEST_F(CountOff, InvalidNumberIsReportedCorrectedAndNotAnError)
{
    given({ "*Count Off 3", "*count off 12" });
    ChordDef def;
    EXPECT_TRUE(list.ParseLine(0, false, def).isEmpty());
    EXPECT_EQ(list.CountOffBeats, 3);
    EXPECT_TRUE(list.ParseLine(1, false, def).isEmpty());
    EXPECT_EQ(list.CountOffBeats, 0);
    EXPECT_EQ(editor.lineText(1), "*Count Off 0");
    EXPECT_EQ(host.plain, QStringList({ "\r*count off 12\r\rInvalid Count Off Number. Use 0 thru 8 only." }));
}

using ShowLine = ChordListFixture;

TEST_F(ShowLine, NamesEachKindOfLine)
{
    given({ "* a comment", "", "*Count Off 2", "G, 3, x, 5, x, Q", "G, 3" });
    EXPECT_FALSE(list.ShowLineInfo(0));
    EXPECT_EQ(host.caption, "Comment Line");
    EXPECT_EQ(host.markers, NoFrets);
    EXPECT_FALSE(list.ShowLineInfo(1));
    EXPECT_EQ(host.caption, "Blank Line");
    EXPECT_FALSE(list.ShowLineInfo(2));
    EXPECT_EQ(host.caption, "Blank Line");

    EXPECT_FALSE(list.ShowLineInfo(4));
    EXPECT_EQ(host.caption, "(Error in line.)");
    EXPECT_EQ(host.status, "   ***Error***   Line 5    Not enough commas.");
    EXPECT_TRUE(host.errors.isEmpty());

    EXPECT_TRUE(list.ShowLineInfo(3));
    EXPECT_EQ(host.caption, "G");
    EXPECT_EQ(host.status, "");
    EXPECT_EQ(host.markers[6], 3);
    EXPECT_EQ(host.markers[4], 5);
    EXPECT_EQ(host.markers[5], -1);
    // Past the last line reads as a blank line.
    EXPECT_FALSE(list.ShowLineInfo(5));
    EXPECT_EQ(host.caption, "Blank Line");
}

using StringFret = ChordListFixture;

TEST_F(StringFret, ReplacesTheLineNotesOutsideChordMode)
{
    given({ "New , x, x, x, x, Q" });
    list.SetStringFret(0, 5, 3);
    EXPECT_EQ(editor.lineText(0), "C, x, 3, x, x, Q");
    list.SetStringFret(0, 6, 0);
    EXPECT_EQ(editor.lineText(0), "E, 0, x, x, x, Q");
    EXPECT_EQ(host.caption, "E");
}

TEST_F(StringFret, BuildsChordsInChordModeAndKeepsTheNameWhenClearing)
{
    given({ "My riff, 3, x, x, x, .E" });
    host.chordMode = true;
    list.SetStringFret(0, 4, 2);
    EXPECT_EQ(editor.lineText(0), "E, 3, x, 2, x, .E");
    list.SetStringFret(0, 4, -1);
    EXPECT_EQ(editor.lineText(0), "E, 3, x, x, x, .E");
}

TEST_F(StringFret, LeavesErrorsCommentsAndBlanksAlone)
{
    given({ "G, 3, x", "* note", "" });
    list.SetStringFret(0, 6, 5);
    list.SetStringFret(1, 6, 5);
    list.SetStringFret(2, 6, 5);
    EXPECT_EQ(editor.lines(), QStringList({ "G, 3, x", "* note", "" }));
    EXPECT_EQ(host.errors, QStringList({ "Line 1    Not enough commas." }));
}

using AutoName = ChordListFixture;

TEST_F(AutoName, RenamesOnlyNamesTheProgramWrites)
{
    // Names the program writes follow the played strings; the user's own names stay as written, and
    // every line is brought to canonical form.
    const std::pair<const char*, const char*> cases[] = {
        { "New , x, 2, 4, x, Q", "Chord, x, 2, 4, x, Q" },
        { "chord,3,x,x,x,Q", "G, 3, x, x, x, Q" },
        { "x,x,x,2,x,Q", "E, x, x, 2, x, Q" },
        { "Chord, x, x, x, x, Q", "Rest, x, x, x, x, Q" },
        { "Rest, x, 0, x, x, E", "A, x, 0, x, x, E" },
        { "D#/Eb, 3, x, x, x, Q", "G, 3, x, x, x, Q" },
        { "F#/Gb,x,x,4,x,.q", "F#/Gb, x, x, 4, x, .q" },
        { "Gmaj7,3,2,4,x,Q", "Gmaj7, 3, 2, 4, x, Q" },
        { "C/E, x, 3, x, x, H", "C/E, x, 3, x, x, H" },
        { "  Intro , 3, x, x, x, Q", "Intro, 3, x, x, x, Q" },
        { "Gb, 2, x, x, x, Q", "Gb, 2, x, x, x, Q" },
        { "* Title", "* Title" },
        { "", "" },
        { "bad", "bad" },
    };
    QStringList lines;
    for (const auto& [before, after] : cases)
        lines << QString::fromLatin1(before);
    given(lines);
    for (int i = 0; i <= editor.lineCount(); ++i)
        list.AutoNameLine(i);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i)
        EXPECT_EQ(editor.lineText(i), QString::fromLatin1(cases[i].second)) << cases[i].first;
}

TEST_F(AutoName, KeepsTheSelectionOnTheTextItCovered)
{
    given({ "x,3,x,x,x,Q", "next" });
    editor.setSelection(13, 2); // "ex" of the next line, which moves on by the five new blanks
    list.AutoNameLine(0);
    EXPECT_EQ(editor.lineText(0), "G, 3, x, x, x, Q");
    EXPECT_EQ(editor.selectionStart(), 18);
    EXPECT_EQ(editor.selectionLength(), 2);
    editor.setSelection(2, 1); // the fret "3" of a line renamed again
    editor.replaceLine(0, "x,5,x,x,x,Q");
    list.AutoNameLine(0);
    EXPECT_EQ(editor.lineText(0), "A, 5, x, x, x, Q");
    EXPECT_EQ(editor.selectionStart(), 3);
    EXPECT_EQ(editor.selectionLength(), 1);
}

using MarkedList = ChordListFixture;

// The line display names marks, reports a mark without its partner as the line's error, and, once
// the list sets its time, a bar that does not add up; the whole-list parse stops at that mark.
TEST_F(MarkedList, DisplayParseAndRewritingKeepAndNameTheMarks)
{
    given({ "* Time: 3/4", "* Frets: 24", "A, x, 0h, x, x, Q", "* between", "B, x, 2, x, x, H, slap", "",
        "Chord, (3), 5_, x, x, H", "Chord, 3, 5p, x, x, Q", "Chord, x, 3, x, x, Q, pm", "", "G, 22~, x, x, x, .H", "",
        "* Time: 7/9", "x, x, m, x, x, W", "", "E, x, <7>, x, x, H, lr" });
    const std::pair<int, std::pair<const char*, const char*>> shown[] = {
        { 2, { "A (hammer-on to B)", "" } },
        { 4, { "B (slap)", "" } },
        { 6, { "Chord (Low E string ghost note; A string tied over)", "This bar lasts 4/4, not 3/4." } },
        { 7, { "Chord (A string pull-off to C)", "This bar lasts 4/4, not 3/4." } },
        { 8, { "Chord (palm mute)", "This bar lasts 4/4, not 3/4." } },
        { 10, { "G (vibrato)", "" } },
        { 12,
            { "Comment Line",
                "Not a time line: write beats/unit, such as 3/4 or 6/8 (1 to 32 beats of 2, 4, 8 or 16)." } },
        { 13, { "x (dead note)", "This bar lasts 4/4, not 3/4." } },
        { 15, { "E (harmonic at 7, let ring)", "This bar lasts 2/4, not 3/4." } },
    };
    for (const auto& [line, expected] : shown) {
        host.status = "untouched";
        list.ShowLineInfo(line);
        EXPECT_EQ(host.caption, expected.first) << line;
        EXPECT_EQ(host.status, expected.second) << line;
    }
    EXPECT_EQ(list.fretLimit(), 24);
    ASSERT_TRUE(list.ParseAllLines(QString(), true));

    // Renaming keeps the marks; a neck press replaces the string's note and its marks, not the others'.
    list.AutoNameLine(13);
    EXPECT_EQ(editor.lineText(13), "x, x, m, x, x, W");
    host.chordMode = true;
    list.SetStringFret(6, 5, 7);
    EXPECT_EQ(editor.lineText(6), "E, (3), 7, x, x, H");

    // The tie now goes to another fret: the display and the whole-list parse name it on its line.
    editor.replaceLine(6, "Chord, (3), 7_, x, x, H");
    EXPECT_FALSE(list.ShowLineInfo(6));
    EXPECT_EQ(host.caption, "(Error in line.)");
    EXPECT_EQ(host.status, "   ***Error***   Line 7    Tie on the A string must go to the same fret, not to fret 5.");
    host.errors.clear();
    EXPECT_FALSE(list.ParseAllLines("Fix errors before viewing tab.", true));
    EXPECT_EQ(host.errors,
        QStringList({ "Line 7    Tie on the A string must go to the same fret, not to fret 5.",
            "Fix errors before viewing tab." }));
    EXPECT_EQ(list.ParsedLines.size(), 6);
    EXPECT_EQ(editor.selectionStart(), editor.lineStart(6));

    // Without a time line nothing is said of bar lengths, as ever.
    given({ "G, 3, x, x, x, Q", "", "G, 19, x, x, x, Q" });
    list.ShowLineInfo(0);
    EXPECT_EQ(host.status, "");
    list.ShowLineInfo(2);
    EXPECT_EQ(host.status, "   ***Error***   Line 3    Fret Number for Low E string (\"19\") must be lower than 19.");
}
