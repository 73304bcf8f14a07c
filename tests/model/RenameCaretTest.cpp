#include "RenameCaret.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;

namespace {

struct CaretCase {
    const char* oldLine;
    const char* newLine;
    int oldOffset;
    int newOffset;
    const char* why;
};

} // namespace

TEST(CaretAfterRename, KeepsItsFieldAndItsPlaceInTheFieldsText)
{
    const CaretCase cases[] = {
        { "x,3,x,x,x,Q", "G, 3, x, x, x, Q", 11, 16, "at the line end: the new line end" },
        { "x,3,x,x,x,Q", "G, 3, x, x, x, Q", 0, 0, "before the name" },
        { "x,3,x,x,x,Q", "G, 3, x, x, x, Q", 1, 1, "after the name" },
        { "x,3,x,x,x,Q", "G, 3, x, x, x, Q", 2, 3, "just after a comma: before the fret, past the new blank" },
        { "x,3,x,x,x,Q", "G, 3, x, x, x, Q", 3, 4, "after the fret" },
        { "x,3,x,x,x,Q", "G, 3, x, x, x, Q", 10, 15, "before the duration" },
        { "Bass, 5, x, x, x, H", "D, 5, x, x, x, H", 19, 16, "a shorter name at the end: still the end" },
        { "Bass, 5, x, x, x, H", "D, 5, x, x, x, H", 3, 1, "inside a name that shrank: its new end" },
        { "Bass, 5, x, x, x, H", "D, 5, x, x, x, H", 7, 4, "in the fret after a shorter name" },
        { "Rest, x, x, x, x, Q", "Chord, 3, 5, x, x, Q", 7, 8, "in a fret after a longer name" },
        { "G,   3, x, x, x, Q", "G, 3, x, x, x, Q", 3, 3, "among blanks before a field: its text's start" },
        { "G, 3  , x, x, x, Q", "G, 3, x, x, x, Q", 5, 4, "among blanks after a field: its text's end" },
        { "a,b,c,d,e,f,g", "a, b, c", 12, 7, "in a field the new line lacks: the line end" },
        { "", "Rest", 0, 4, "an empty line: the end" },
        { "x,3,x,x,x,Q", "G, 3, x, x, x, Q", 40, 16, "past the end: the end, never the next line" },
    };
    for (const CaretCase& c : cases)
        EXPECT_EQ(CaretAfterRename(c.oldLine, c.newLine, c.oldOffset), c.newOffset) << c.why;
}

TEST(SelectionAfterRename, MovesEndsInsideTheLineAndShiftsThoseAfterIt)
{
    // The renamed line starts at 10 and grows by 5 characters.
    const QString oldLine = "x,3,x,x,x,Q";
    const QString newLine = "G, 3, x, x, x, Q";
    struct Case {
        int start, length, newStart, newLength;
        const char* why;
    };
    const Case cases[] = {
        { 12, 1, 13, 1, "the fret selected" },
        { 10, 11, 10, 16, "the whole line" },
        { 4, 8, 4, 9, "from an earlier line into the fret" },
        { 22, 5, 27, 5, "after the line" },
        { 2, 3, 2, 3, "before the line" },
        { 21, 10, 26, 10, "from the line end into later lines" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectionAfterRename(oldLine, newLine, 10, c.start, c.length), std::pair(c.newStart, c.newLength))
            << c.why;
}
