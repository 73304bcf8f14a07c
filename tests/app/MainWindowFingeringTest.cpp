#include "MainWindowFixture.h"

#include <QAction>

namespace fw {
namespace {

    // An A flat line written on the E string alone: jumps that the first position avoids.
    const QString WrittenLine = QStringLiteral("G#/Ab, 4, x, x, x, Q\n"
                                               "C, 8, x, x, x, Q\n"
                                               "* keep this comment\n"
                                               "D#/Eb, 11, x, x, x, E\n"
                                               "My fill, 13, x, x, x, .E\n");

    struct FingeringCase {
        const char* what;
        int firstLine; // -1: nothing highlighted
        int lastLine;
        const char* expected;
    };

    const FingeringCase Cases[] = {
        { "the whole list when nothing is highlighted", -1, -1,
            "G#/Ab, 4, x, x, x, Q\nC, x, 3, x, x, Q\n* keep this comment\nD#/Eb, x, x, 1, x, E\n"
            "My fill, x, x, 3, x, .E\n" },
        { "only the highlighted lines", 0, 1,
            "G#/Ab, 4, x, x, x, Q\nC, x, 3, x, x, Q\n* keep this comment\nD#/Eb, 11, x, x, x, E\n"
            "My fill, 13, x, x, x, .E\n" },
    };

    struct FingeringFixture : MainWindowFixture {
        QAction* optimize() const { return child<QAction>("OptimizeFingering1"); }
    };

    TEST_F(FingeringFixture, OptimizeFingeringRewritesTheLinesInOneUndoStep)
    {
        ASSERT_NE(optimize(), nullptr);
        EXPECT_EQ(optimize()->text(), "Optimize &Fingering");
        EXPECT_EQ(optimize()->statusTip(), "Choose strings and frets that are easy to play.");
        for (const FingeringCase& c : Cases) {
            window.RichEdit1->setPlainText(WrittenLine);
            clickOnLine(c.firstLine < 0 ? 0 : c.firstLine);
            press(Qt::Key_Home);
            for (int i = c.firstLine; i >= 0 && i <= c.lastLine; ++i)
                QTest::keyClick(window.RichEdit1, Qt::Key_Down, Qt::ShiftModifier);
            optimize()->trigger();
            EXPECT_EQ(text(), QString::fromLatin1(c.expected)) << c.what;
            EXPECT_TRUE(panel0().startsWith("Fingering optimized:")) << c.what << " " << panel0().toStdString();
            QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(text(), WrittenLine) << c.what << ": one undo step gives the list back";
        }
        EXPECT_TRUE(boxes.all().isEmpty());

        // A line in error stops the command before anything changes and is highlighted.
        window.RichEdit1->setPlainText(WrittenLine + QStringLiteral("G, 3, x, x, Q\n"));
        optimize()->trigger();
        EXPECT_EQ(text(), WrittenLine + QStringLiteral("G, 3, x, x, Q\n"));
        EXPECT_EQ(boxes.errors,
            QStringList({ "Line 6    Not enough commas.", "Fix errors before optimizing the fingering." }));
        EXPECT_EQ(window.RichEdit1->textCursor().selectedText(), "G, 3, x, x, Q");
    }

} // namespace
} // namespace fw
