#include "PlainTextEditorLines.h"

#include "QtPrinters.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

using namespace fw;

namespace {

struct EditorFixture : testing::Test {
    QPlainTextEdit widget;
    PlainTextEditorLines lines { widget };
    void given(const QString& text) { widget.setPlainText(text); }
};

} // namespace

using EditorLinesCount = EditorFixture;

TEST_F(EditorLinesCount, IgnoresTheEmptyPlaceAfterAFinalBreak)
{
    given("");
    EXPECT_EQ(lines.lineCount(), 0);
    given("a");
    EXPECT_EQ(lines.lineCount(), 1);
    given("a\n");
    EXPECT_EQ(lines.lineCount(), 1);
    given("a\n\n");
    EXPECT_EQ(lines.lineCount(), 2);
    given("a\nb");
    EXPECT_EQ(lines.lineCount(), 2);
    EXPECT_EQ(lines.lineText(1), "b");
    EXPECT_EQ(lines.lineText(2), "");
    EXPECT_EQ(lines.lineText(-1), "");
}

using EditorLinesEditing = EditorFixture;

TEST_F(EditorLinesEditing, InsertsBeforeALineOrAppendsKeepingLineEnds)
{
    given("a\nb\n");
    lines.insertLine(1, "new");
    EXPECT_EQ(widget.toPlainText(), "a\nnew\nb\n");
    lines.insertLine(3, "end");
    EXPECT_EQ(widget.toPlainText(), "a\nnew\nb\nend\n");
    given("a");
    lines.insertLine(1, "b");
    EXPECT_EQ(widget.toPlainText(), "a\nb");
    // An empty line added after a last line without a break is the empty place, not a counted line.
    given("a");
    lines.insertLine(1, "");
    EXPECT_EQ(lines.lineCount(), 1);
    given("");
    lines.insertLine(0, "");
    EXPECT_EQ(lines.lineCount(), 1);
}

TEST_F(EditorLinesEditing, ReplacesAndDeletesWholeLines)
{
    given("a\nb\nc");
    lines.replaceLine(1, "B, 3, x, x, x, Q");
    EXPECT_EQ(widget.toPlainText(), "a\nB, 3, x, x, x, Q\nc");
    lines.deleteLine(2);
    EXPECT_EQ(widget.toPlainText(), "a\nB, 3, x, x, x, Q\n");
    lines.deleteLine(0);
    EXPECT_EQ(widget.toPlainText(), "B, 3, x, x, x, Q\n");
    lines.deleteLine(1);
    EXPECT_EQ(widget.toPlainText(), "B, 3, x, x, x, Q\n");
    lines.replaceLine(1, "tail");
    EXPECT_EQ(widget.toPlainText(), "B, 3, x, x, x, Q\ntail");
}

TEST_F(EditorLinesEditing, SelectsLinesAndReportsTheCaretLine)
{
    given("first\nsecond\n");
    lines.selectLine(1, true);
    EXPECT_EQ(lines.selectionStart(), 6);
    EXPECT_EQ(lines.selectionLength(), 6);
    EXPECT_EQ(lines.currentLine(), 1);
    lines.selectLine(2, false);
    EXPECT_EQ(lines.currentLine(), 2);
    EXPECT_EQ(lines.selectionLength(), 0);
    lines.setSelection(2, 100);
    EXPECT_EQ(lines.selectionLength(), 11);
}

TEST_F(EditorLinesEditing, EditBlocksUndoAsOneStep)
{
    given("a\nb");
    lines.beginEditBlock();
    lines.replaceLine(0, "x");
    lines.replaceLine(1, "y");
    lines.endEditBlock();
    EXPECT_EQ(widget.toPlainText(), "x\ny");
    widget.undo();
    EXPECT_EQ(widget.toPlainText(), "a\nb");
}
