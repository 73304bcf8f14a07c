#include "DocumentText.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;

TEST(DocumentLines, SplitOnEveryLineEndWithoutAnExtraFinalLine)
{
    EXPECT_EQ(SplitDocumentLines(u"a\r\nb\nc\rd"), QStringList({ "a", "b", "c", "d" }));
    EXPECT_EQ(SplitDocumentLines(u"a\r\n"), QStringList({ "a" }));
    EXPECT_EQ(SplitDocumentLines(u"a\r\n\r\n"), QStringList({ "a", "" }));
    EXPECT_EQ(SplitDocumentLines(u"\n\r"), QStringList({ "", "" }));
    EXPECT_TRUE(SplitDocumentLines(u"").isEmpty());
    EXPECT_EQ(JoinDocumentLines({ "a", "" }), "a\r\n\r\n");
}

TEST(DocumentBytes, ReadUtf8WhenValidElseWindows1252)
{
    EXPECT_EQ(DecodeDocumentBytes("Caf\xc3\xa9"), QString::fromUtf8("Café"));
    EXPECT_EQ(DecodeDocumentBytes("Caf\xe9 \x80"), QString::fromUtf8("Café €"));
    // Unassigned Windows-1252 codes still survive a round trip.
    const QByteArray odd("\x81\x8d\x8f\x90\x9d", 5);
    EXPECT_EQ(EncodeDocumentText(DecodeDocumentBytes(odd)), odd);
}

TEST(DocumentBytes, WriteWindows1252WhenEveryCharacterFitsElseUtf8)
{
    EXPECT_EQ(EncodeDocumentText(QString::fromUtf8("Café €")), QByteArray("Caf\xe9 \x80"));
    EXPECT_EQ(EncodeDocumentText(QString::fromUtf8("Bass \u266d")), QByteArray("Bass \xe2\x99\xad"));
    EXPECT_EQ(EncodeDocumentText("plain"), QByteArray("plain"));
    // Text whose Windows-1252 bytes would read back as other UTF-8 text is written as UTF-8.
    const QString lookalike = QString::fromUtf8("\u00c3\u00a9");
    EXPECT_EQ(DecodeDocumentBytes(EncodeDocumentText(lookalike)), lookalike);
}

TEST(HeaderLines, AreAppliedAndRemovedWhenAllFourArePresent)
{
    QStringList lines = HeaderLines({ 35, 12, 90 }) + QStringList({ "G, 3, x, x, x, Q" });
    DocumentHeader header;
    EXPECT_TRUE(ApplyHeaderLines(lines, header));
    EXPECT_EQ(lines, QStringList({ "G, 3, x, x, x, Q" }));
    EXPECT_EQ(header.Patch, 35);
    EXPECT_EQ(header.Info3Value, 12);
    EXPECT_EQ(header.Tempo, 90);
    EXPECT_EQ(HeaderLines({}).first(), "*Info 1: Fretwerk Bass Version 1.0 File Information");
}

TEST(HeaderLines, PartialHeadersApplyWhatMatchesAndKeepEveryLine)
{
    QStringList lines { "*Info 1: x", "something else", "*Info 3:77", "*Info 4:999" };
    DocumentHeader header;
    EXPECT_FALSE(ApplyHeaderLines(lines, header));
    EXPECT_EQ(lines.size(), 4);
    EXPECT_EQ(header.Patch, 33);
    EXPECT_EQ(header.Info3Value, 77);
    EXPECT_EQ(header.Tempo, 500);
}

TEST(HeaderLines, BadNumbersFallBackToDefaults)
{
    QStringList lines { "*Info 1:", "*Info 2:bass", "*Info 3:", "*Info 4:-40" };
    DocumentHeader header;
    EXPECT_TRUE(ApplyHeaderLines(lines, header));
    EXPECT_EQ(header.Patch, 33);
    EXPECT_EQ(header.Info3Value, 555555);
    EXPECT_EQ(header.Tempo, 1);
    EXPECT_TRUE(lines.isEmpty());
}

TEST(BassSounds, PatchMapsToMenuIndex)
{
    EXPECT_EQ(BassSoundIndexForPatch(32), 0);
    EXPECT_EQ(BassSoundIndexForPatch(38), 6);
    EXPECT_EQ(BassSoundIndexForPatch(39), 1);
    EXPECT_EQ(BassSoundIndexForPatch(0), 1);
}
