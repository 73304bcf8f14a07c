// Playing techniques as a keyboard user writes them: typed into the real editor, read back by the
// line display, and set from Special > Technique by keys, each one undo step.
#include "MainWindowFixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTextLayout>
#include <algorithm>

namespace fw {
namespace {

    struct TechniqueWindow : MainWindowFixture {
        // Alt+S opens Special, H its Technique submenu, then the item's underlined letter.
        void technique(Qt::Key letter)
        {
            QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
            QWidget* special = QApplication::activePopupWidget();
            ASSERT_NE(special, nullptr) << "Alt+S opened no menu";
            QTest::keyClick(special, Qt::Key_H);
            QWidget* submenu = QApplication::activePopupWidget();
            ASSERT_NE(submenu, special) << "H opened no submenu";
            ASSERT_EQ(submenu->objectName(), "Technique1");
            QTest::keyClick(submenu, letter);
            EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, 2000));
            // The window manager gives the main window back its activation once the menu has closed.
            window.activateWindow();
            EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &window; }, 2000));
        }
        QString line(int index) const { return window.RichEdit1->document()->findBlockByNumber(index).text(); }
        // The red wave that marks a line playback would stop at.
        bool underlined(int index) const
        {
            const QTextBlock block = window.RichEdit1->document()->findBlockByNumber(index);
            const QList<QTextLayout::FormatRange> formats = block.layout()->formats();
            return std::any_of(formats.begin(), formats.end(), [](const QTextLayout::FormatRange& range) {
                return range.format.underlineStyle() == QTextCharFormat::WaveUnderline;
            });
        }
        void undo() { QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier); }
    };

    TEST_F(TechniqueWindow, TypedMarksAreNamedAndTheMenuSetsAndClearsThemInOneUndoStepEach)
    {
        type("A, x, 0h, x, x, E");
        QApplication::processEvents();
        EXPECT_TRUE(underlined(0)) << "a hammer-on without its next note stops playback";
        press(Qt::Key_Return);
        type("B, x, 2, x, x, E");
        QApplication::processEvents();
        EXPECT_FALSE(underlined(0)) << "the next line completes the hammer-on";
        clickOnLine(0);
        EXPECT_EQ(chordName(), "A (hammer-on to B)");
        EXPECT_EQ(panel0(), "");

        // The second line slapped, then tied to nothing: the display names the tie's missing partner.
        clickOnLine(1);
        technique(Qt::Key_L);
        EXPECT_EQ(line(1), "B, x, 2, x, x, E, slap");
        EXPECT_EQ(chordName(), "B (slap)");
        technique(Qt::Key_I);
        EXPECT_EQ(line(1), "B, x, 2_, x, x, E, slap");
        EXPECT_EQ(panel0(), "   ***Error***   Line 2    Tie on the A string has no next note on that string.");
        QApplication::processEvents();
        EXPECT_TRUE(underlined(1));
        EXPECT_EQ(QApplication::focusWidget(), window.RichEdit1);

        // The menu shows what the caret line carries; the same item again clears it.
        QMenu* menu = child<QMenu>("Technique1");
        ASSERT_NE(menu, nullptr);
        Q_EMIT menu->aboutToShow();
        EXPECT_TRUE(child<QAction>("TechniqueTie1")->isChecked());
        EXPECT_TRUE(child<QAction>("TechniqueSlap1")->isChecked());
        EXPECT_FALSE(child<QAction>("TechniqueHammerOn1")->isChecked());
        technique(Qt::Key_I);
        EXPECT_EQ(line(1), "B, x, 2, x, x, E, slap");

        // Each menu action was one undo step.
        undo();
        EXPECT_EQ(line(1), "B, x, 2_, x, x, E, slap");
        undo();
        EXPECT_EQ(line(1), "B, x, 2, x, x, E, slap");
        undo();
        EXPECT_EQ(line(1), "B, x, 2, x, x, E");
        EXPECT_EQ(line(0), "A, x, 0h, x, x, E");

        // A note that no harmonic node holds is refused, and the status says why.
        technique(Qt::Key_N);
        EXPECT_EQ(line(1), "B, x, 2, x, x, E");
        EXPECT_EQ(panel0(), "No note of this line is at a harmonic node (fret 12, 7, 5, 4, 9, 3 ...).");
    }

    TEST_F(TechniqueWindow, EveryItemHasItsNameHintAndObjectName)
    {
        QMenu* menu = child<QMenu>("Technique1");
        ASSERT_NE(menu, nullptr);
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(menu);
        ASSERT_NE(access, nullptr);
        QStringList names;
        QSet<QChar> letters;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            EXPECT_TRUE(action->objectName().startsWith("Technique")) << action->text().toStdString();
            EXPECT_FALSE(action->statusTip().isEmpty()) << action->text().toStdString();
            const qsizetype amp = action->text().indexOf(u'&');
            ASSERT_GE(amp, 0) << action->text().toStdString();
            EXPECT_FALSE(letters.contains(action->text().at(amp + 1).toLower())) << action->text().toStdString();
            letters.insert(action->text().at(amp + 1).toLower());
        }
        for (int i = 0; i < access->childCount(); ++i)
            names << access->child(i)->text(QAccessible::Name);
        EXPECT_TRUE(names.contains("Hammer-on")) << names.join(", ").toStdString();
        EXPECT_TRUE(names.contains("Let ring")) << names.join(", ").toStdString();
        EXPECT_EQ(letters.size(), 20);
    }

} // namespace
} // namespace fw
