#include "TabTitles.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

    TEST(TabTitles, TagsAreFoundAnywhereInCommentLinesInAnyCase)
    {
        for (const QString& line : QStringList {
                 "*Title: Blues in A", "* title:Blues in A", "*My TITLE: Blues in A", "*Title:   Blues in A \t" })
            EXPECT_EQ(TitleFromComments({ "E, 0, x, x, x, Q", line }), QStringLiteral("Blues in A"))
                << line.toStdString();
        EXPECT_EQ(SubFromComments({ "*sub: Verse" }), QStringLiteral("Verse"));
    }

    TEST(TabTitles, OnlyCommentLinesAreSearchedAndTheLastWins)
    {
        EXPECT_EQ(TitleFromComments({ " *Title: indented", "Title:, 0, x, x, x, Q" }), QString());
        EXPECT_EQ(TitleFromComments({ "*Title: First", "*Title: Second" }), QStringLiteral("Second"));
        // A later line without a value still wins, leaving the title empty.
        EXPECT_EQ(TitleFromComments({ "*Title: First", "*Title:" }), QString());
        EXPECT_EQ(TitleFromComments({ "*no tags here" }), QString());
    }

    TEST(TabTitles, BothTagsInOneLine)
    {
        const QStringList lines { "* Title: , SUB: Verse" };
        EXPECT_EQ(TitleFromComments(lines), QStringLiteral(", SUB: Verse"));
        EXPECT_EQ(SubFromComments(lines), QStringLiteral("Verse"));
    }

    TEST(TabTitles, TitlesAreCutAt999Characters)
    {
        const QString title = QString(998, u'a') + QStringLiteral("bc");
        EXPECT_EQ(TitleFromComments({ QStringLiteral("*Title:") + title }), title.left(999));
    }

    TEST(TabTitles, DefaultTitleComesFromTheDocumentName)
    {
        EXPECT_EQ(DefaultTabTitle(QStringLiteral("Untitled.bss")), QStringLiteral("Untitled"));
        EXPECT_EQ(DefaultTabTitle(QStringLiteral("/home/me/my.song.bss")), QStringLiteral("my.song"));
        EXPECT_EQ(DefaultTabTitle(QStringLiteral("C:\\Music\\Riff.bss")), QStringLiteral("Riff"));
        EXPECT_EQ(DefaultTabTitle(QStringLiteral("/a.b/noext")), QStringLiteral("noext"));

        const TabTitles none = TitlesFromDocument({ "E, 0, x, x, x, Q" }, QStringLiteral("Untitled.bss"));
        EXPECT_EQ(none.Title, QStringLiteral("Untitled"));
        EXPECT_EQ(none.Subtitle, QString());
        const TabTitles given = TitlesFromDocument({ "*Title: Riff", "*Sub: Intro" }, QStringLiteral("Untitled.bss"));
        EXPECT_EQ(given.Title, QStringLiteral("Riff"));
        EXPECT_EQ(given.Subtitle, QStringLiteral("Intro"));
        EXPECT_EQ(AsciiTitle(QString(), QStringLiteral("/x/Take 2.bss")), QStringLiteral("Take 2"));
        EXPECT_EQ(AsciiTitle(QStringLiteral("Kept"), QStringLiteral("/x/Take 2.bss")), QStringLiteral("Kept"));
    }

} // namespace
} // namespace fw
