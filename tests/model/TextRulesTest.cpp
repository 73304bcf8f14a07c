#include "TextRules.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;

TEST(IntegerRule, AcceptsDecimalHexSignsAndLeadingBlanks)
{
    EXPECT_EQ(StrToIntRule(u"42"), 42);
    EXPECT_EQ(StrToIntRule(u"  -7"), -7);
    EXPECT_EQ(StrToIntRule(u"+3"), 3);
    EXPECT_EQ(StrToIntRule(u"$1F"), 31);
    EXPECT_EQ(StrToIntRule(u"-$10"), -16);
    EXPECT_EQ(StrToIntRule(u"2147483647"), 2147483647);
    EXPECT_EQ(StrToIntRule(u"-2147483648"), -2147483647 - 1);
}

TEST(IntegerRule, RefusesTrailingTextEmptyDigitsAndOverflow)
{
    for (const char16_t* text : { u"", u" ", u"-", u"$", u"4 ", u"4 bars", u"12th", u"1.5", u"0x10", u"$G",
             u"2147483648", u"-2147483649", u"$80000000", u"\t5" })
        EXPECT_FALSE(StrToIntRule(text).has_value()) << QString::fromUtf16(text).toStdString();
}

TEST(Trimming, RemovesEveryControlCharacterAndBlankAtBothEnds)
{
    EXPECT_EQ(TrimBlanks(u"\t a b \r\n\x01"), u"a b");
    EXPECT_TRUE(TrimBlanks(u" \t ").isEmpty());
}

TEST(CommentLines, NeedAStarFirstAndSomeText)
{
    EXPECT_TRUE(IsCommentLine(u"*"));
    EXPECT_TRUE(IsCommentLine(u"* Title: x"));
    EXPECT_FALSE(IsCommentLine(u" *comment"));
    EXPECT_FALSE(IsCommentLine(u""));
    EXPECT_EQ(CountCommas(u"a,b,,c"), 3);
}
