#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace fw::asciitab {

// A line that can be one string of a tab block: an optional string label, the opening bar line
// the label carries, then the body of frets, dashes, bar lines and technique marks.
// Label and body are views into the line read, which must outlive them: a long tab has many string
// lines, and copies of each would double the memory the reader walks through.
struct StringLine {
    QStringView label; // "G", "Eb", empty when the line has none
    QStringView body; // from the first character after the label and its bar line
    int bodyStart = 0; // column of body[0] in the line
    bool opensWithBar = false; // a bar line before the body
    bool opensWithRepeat = false; // "|:" or "||:" before the body
    QString trailing; // text after the body ("x4"), trimmed; empty when none
    // A bracket drawn beside the strings, which marks them as part of a repeated passage: "[ G|--",
    // "G|--|   |".
    bool bracketed = false;
    // Only dashes, no label, no bar line: may be a string without notes or a decorative rule.
    bool weak = false;
};

// Tabs (the character) advance to the next multiple of 8, as text editors show them.
QString ExpandTabs(QStringView line);

std::optional<StringLine> ParseStringLine(QStringView line);

// What a line that is not part of a tab block is.
enum class TextKind {
    Blank,
    Rule, // a decorative line of one repeated punctuation character: dropped
    Count, // "1 & 2 &", "1 e + a": dropped
    Rhythm, // duration letters only ("Q  E E"): read by the rhythm line mode
    MarkLine, // "PM----|", "let ring": dropped
    Tuning, // "Tuning: ..."
    Tempo, // "Tempo: 120", "120 bpm"
    Section, // "[Verse]", "Chorus:", "Intro x2"
    Repeat, // "x4", "repeat 2x"
    RepeatBracket, // "|------ x2 ------|": a bracket over the bars it repeats
    CountOff, // "Count off: 4", as this program's tab writes it
    TitleField, // "Title: ...", "Song: ..."
    Field, // "Artist: ...", "Tabbed by: ..."
    Text,
};

struct TextLine {
    TextKind kind = TextKind::Text;
    QString text; // trimmed line; for Tuning and TitleField the text after the colon
    int tempo = 0; // for Tempo
    int repeat = 0; // for Repeat, RepeatBracket and Section: how many times, 0 when not said
    int countOff = 0; // for CountOff
};

TextLine ClassifyTextLine(QStringView line);

// How many times a repeat mark asks the bars to be played: "x4", "4x", "(x4)", "[x4]", "*4",
// "repeat 3 times", "play 3 times", "repeat" (twice); nothing for any other text.
std::optional<int> RepeatCountOf(QStringView text);

// A bracket drawn over or under the bars it repeats: "|------ x2 ------|", "[--- x4 ---]", "___x2___".
// Without a count it only continues a bracket of the system before ("-----------|").
struct RepeatBracket {
    int first = 0; // the columns of its first and last characters
    int last = 0;
    int count = 0; // 0 when it has none
    bool openRight = false; // it runs on past its last character, into the next system
};
std::optional<RepeatBracket> ParseRepeatBracket(QStringView line);

// The alternate endings marked over the bars: "1.________  2.________", "[1st]   [2nd]". Nothing when
// the line holds anything else.
struct EndingMark {
    int number = 0;
    int first = 0; // the columns of its first and last characters
    int last = 0;
};
std::optional<std::vector<EndingMark>> ParseEndingLine(QStringView line);

// Every word of the line is a duration ("Q  .E  E", or a lone "W" above a block of one note).
bool IsRhythmText(QStringView text);

// A palm-mute or let-ring run of a mark line: "PM----|", "P.M. - - -", "let ring-----". It reaches
// from its label through the dashes, dots and bar lines after it (single blanks between them too).
struct MarkRun {
    int first = 0; // columns of the line
    int last = 0;
    bool letRing = false;
};
std::vector<MarkRun> MarkRuns(QStringView line);

// A line of S, P and T letters (slap, pop, tap; either case) and blanks, as written under the
// strings of a slap part.
bool IsAttackLine(QStringView line);

// A duration token of a rhythm line ("Q", ".e", "/S", "Q." for a dotted quarter), as the chord
// list writes it ("Q", ".E", "/S"); empty when the token is none.
QString RhythmToken(QStringView token);

} // namespace fw::asciitab
