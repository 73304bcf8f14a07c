// Moving the notes of a chord list by semitones, as Special > Transpose... and the command line do.
#include "Transpose.h"
#include "Refinger.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

    struct TransposeCase {
        const char* what;
        QStringList lines;
        int semitones;
        QStringList expected;
        QString warning;
        // The range moved, 0-based; the whole list when last is -1.
        int first = 0;
        int last = -1;
    };

    const TransposeCase Cases[] = {
        { "notes that fit stay on their strings; comments, count-off, blank lines and rests keep their text",
            { "* Title: Walk", "*Count Off 4", "G, 3, x, x, x, Q", "C,x,3,x,x,E", "", "Rest , x, x, x, x, Q" }, 2,
            { "* Title: Walk", "*Count Off 4", "A, 5, x, x, x, Q", "D, x, 5, x, x, E", "", "Rest , x, x, x, x, Q" },
            {} },
        { "a note falling off the nut is played on a lower string", { "A, x, 0, x, x, Q" }, -2, { "G, 3, x, x, x, Q" },
            {} },
        { "a note running past the 18th fret is played on a higher string", { "G, x, x, 17, x, Q" }, 3,
            { "A#/Bb, x, x, x, 15, Q" }, {} },
        { "a chord with a note off the nut is fingered again on distinct strings", { "Chord, x, 1, 3, x, H" }, -3,
            { "Chord, 3, 5, x, x, H" }, {} },
        { "a user's name stays, a name the program gives follows the notes",
            { "Gmaj7, 3, x, x, x, Q", "Intro, x, x, 2, 4, Q", "F#/Gb, 2, x, x, x, Q", "Chord, x, 3, x, x, Q",
                "New, x, x, 0, x, Q", "Rest, 0, x, x, x, Q" },
            1,
            { "Gmaj7, 4, x, x, x, Q", "Intro, x, x, 3, 5, Q", "G, 3, x, x, x, Q", "C#/Db, x, 4, x, x, Q",
                "D#/Eb, x, x, 1, x, Q", "F, 1, x, x, x, Q" },
            {} },
        { "drop D: a step below the open low D no string reaches; the open A moves onto the low D string",
            { "* Tuning: D A D G", "D, 0, x, x, x, Q", "A, x, 0, x, x, Q" }, -1,
            { "* Tuning: D A D G", "* Not playable 1 semitone down: D (Low D string, fret 0)", "Rest, x, x, x, x, Q",
                "G#/Ab, 6, x, x, x, Q" },
            "These notes have no place on the neck after the move; they were left out, each named in a comment "
            "above its line:\nLine 3    D (Low D string, fret 0): no string can play it 1 semitone down." },
        { "five strings: the E string's open note moves down onto the low B string",
            { "* Tuning: B E A D G", "E, x, 0, x, x, x, Q", "Riff, x, 2, 4, x, x, E" }, -3,
            { "* Tuning: B E A D G", "C#/Db, 2, x, x, x, x, Q", "Riff, 4, 6, x, x, x, E" }, {} },
        { "a chord keeps the notes that have a string and names the one that has none", { "Power, 0, 2, x, x, Q" }, -1,
            { "* Not playable 1 semitone down: E (Low E string, fret 0)", "Power, x, 1, x, x, Q" },
            "These notes have no place on the neck after the move; they were left out, each named in a comment "
            "above its line:\nLine 2    E (Low E string, fret 0): no string can play it 1 semitone down." },
        { "only the chosen lines move; a line in error among them is left and named",
            { "E, 0, x, x, x, Q", "G, 3, x, x, Q", "A, 5, x, x, x, Q", "B, 7, x, x, x, Q" }, 12,
            { "E, 0, x, x, x, Q", "G, 3, x, x, Q", "A, 17, x, x, x, Q", "B, 7, x, x, x, Q" },
            "These lines have errors and were not moved:\nLine 2    Not enough commas.", 1, 2 },
        { "marks go with their notes: a harmonic finds the node that sounds its new pitch, a bend keeps its "
          "interval, a dead note without a fret stays",
            { "E, x, <7>, x, x, Q", "Chord, (3), 7b9~, m, x, E, slap" }, 5,
            { "A, x, <5>, x, x, Q", "Chord, (8), 12b14~, m, x, E, slap" }, {} },
        { "a hammer-on whose next note leaves the neck takes its first note along to another string",
            { "A, x, 5h, x, x, E", "B, x, 7, x, x, E" }, 12, { "D, x, x, x, 7h, E", "E, x, x, x, 9, E" }, {} },
        { "a tie whose next note is not moved is named and taken out", { "A, x, 5_, x, x, H", "", "A, x, 5, x, x, H" },
            2, { "E, x, 7, x, x, H", "", "A, x, 5, x, x, H" },
            "These marks no longer join their notes after the move:\nLine 1    Tie on the A string must go to the "
            "same fret, not to fret 5. It was left out.",
            0, 0 },
    };

    TEST(TransposeTest, MovesTheChosenLinesOnTheListsTuning)
    {
        for (const TransposeCase& c : Cases) {
            const int last = c.last < 0 ? static_cast<int>(c.lines.size()) - 1 : c.last;
            const TransposeResult result = TransposeLines(c.lines, c.semitones, c.first, last);
            EXPECT_EQ(result.Lines, c.expected) << c.what;
            EXPECT_EQ(TransposeWarning(result), c.warning) << c.what;
        }
    }

    // Optimize Fingering plays the C on the A string, in the G's position, unless a mark joins it to
    // the G on the Low E string.
    TEST(RefingerTest, NotesJoinedByAMarkStayOnOneString)
    {
        const QStringList plain { "G, 3, x, x, x, E", "C, 8, x, x, x, E" };
        EXPECT_EQ(RefingerLines(plain, 0, 1).lines, QStringList({ "G, 3, x, x, x, E", "C, x, 3, x, x, E" }));
        for (const char* mark : { "h", "/", "~h" }) {
            const QStringList joined { QStringLiteral("G, 3%1, x, x, x, E").arg(mark), "C, 8, x, x, x, E" };
            EXPECT_EQ(RefingerLines(joined, 0, 1).lines, joined) << mark;
        }
    }

} // namespace
} // namespace fw
