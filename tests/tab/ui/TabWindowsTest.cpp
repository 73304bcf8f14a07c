#include "AsciiTab.h"
#include "FakeMessageBoxes.h"
#include "QtPrinters.h"
#include "TabPainter.h"
#include "TabUiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace fw {
namespace {

    using test::Bars;
    using test::Inputs;

    const QStringList BluesLines { "* Title: Blues in A", "*sub: Verse", "A, x, x, 0, x, Q", "" };

    // The widgets that take the focus with Tab, in the order Tab visits them.
    QList<QWidget*> TabChain(QWidget& window)
    {
        QList<QWidget*> chain;
        for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w;
        }
        return chain;
    }

    TEST(TitleDialogTest, ControlsTextsHintsAndTabOrder)
    {
        TfrmGetTabInfo dialog;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tabulature "));
        EXPECT_EQ(dialog.size(), QSize(325, 186));
        EXPECT_EQ(dialog.Label3->text(), QStringLiteral("Enter titles for tabulature"));
        EXPECT_TRUE(dialog.Label3->font().bold());
        EXPECT_EQ(dialog.Label4->text(),
            QStringLiteral("These titles will print at the top of the tabulature. To pre-load them, include "
                           "' * Title: ' and ' *Sub: ' lines your files."));
        EXPECT_TRUE(dialog.Label4->wordWrap());
        EXPECT_EQ(dialog.Label1->text(), QStringLiteral("Title:"));
        EXPECT_EQ(dialog.Label2->text(), QStringLiteral("Sub:"));
        const QString titleHint = QStringLiteral("Title to be printed on tabulature. File name is used by default.");
        const QString subHint = QStringLiteral("Subtitle to be printed on tabulature. File name is used by default.");
        for (QWidget* w : { static_cast<QWidget*>(dialog.Label1), static_cast<QWidget*>(dialog.edtTitle) }) {
            EXPECT_EQ(w->toolTip(), titleHint);
            EXPECT_EQ(w->accessibleDescription(), titleHint);
        }
        for (QWidget* w : { static_cast<QWidget*>(dialog.Label2), static_cast<QWidget*>(dialog.edtBy) }) {
            EXPECT_EQ(w->toolTip(), subHint);
            EXPECT_EQ(w->accessibleDescription(), subHint);
        }
        EXPECT_TRUE(dialog.btnOK->isDefault());
        EXPECT_EQ(dialog.btnOK->accessibleName(), QStringLiteral("OK"));
        EXPECT_EQ(dialog.btnCancel->accessibleName(), QStringLiteral("Cancel"));
        const QList<QWidget*> expected { dialog.btnOK, dialog.btnCancel, dialog.edtTitle, dialog.edtBy };
        EXPECT_EQ(TabChain(dialog), expected);
        for (const char* name : { "btnOK", "btnCancel", "edtTitle", "edtBy", "Label1", "Label2", "Label3", "Label4" }) {
            QWidget* w = dialog.findChild<QWidget*>(QString::fromLatin1(name));
            ASSERT_NE(w, nullptr) << name;
            EXPECT_FALSE(w->accessibleName().isEmpty()) << name;
        }
    }

    TEST(TitleDialogTest, EachShowingPreloadsFromCommentsOrTheFileName)
    {
        TfrmGetTabInfo dialog;
        dialog.setDocument(BluesLines, QStringLiteral("/songs/groove.bss"));
        dialog.show();
        EXPECT_EQ(dialog.edtTitle->text(), QStringLiteral("Blues in A"));
        EXPECT_EQ(dialog.edtBy->text(), QStringLiteral("Verse"));
        dialog.edtTitle->setText(QStringLiteral("typed"));
        dialog.hide();

        dialog.setDocument({ "A, x, x, 0, x, Q" }, QStringLiteral("/songs/groove.bss"));
        dialog.show();
        EXPECT_EQ(dialog.edtTitle->text(), QStringLiteral("groove"));
        EXPECT_EQ(dialog.edtBy->text(), QString());
        // Coming back from another program keeps what was typed.
        dialog.edtBy->setText(QStringLiteral("my sub"));
        QEvent deactivate(QEvent::WindowDeactivate);
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&dialog, &deactivate);
        QApplication::sendEvent(&dialog, &activate);
        EXPECT_EQ(dialog.edtBy->text(), QStringLiteral("my sub"));
    }

    TEST(TitleDialogTest, OkStoresTheBoxesAndCancelLeavesTheTitles)
    {
        TfrmGetTabInfo dialog;
        dialog.setDocument(BluesLines, QStringLiteral("/songs/groove.bss"));
        dialog.show();
        dialog.edtTitle->clear();
        dialog.edtBy->setText(QStringLiteral("Chorus"));
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.TabTitle, QString());
        EXPECT_EQ(dialog.TabSubtitle, QStringLiteral("Chorus"));

        dialog.show();
        dialog.edtTitle->setText(QStringLiteral("Other"));
        QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(dialog.TabTitle, QString());
        EXPECT_EQ(dialog.TabSubtitle, QStringLiteral("Chorus"));
    }

    class TabWindowTest : public testing::Test {
    protected:
        void Open(const TabWindowInputs& inputs)
        {
            window.setInputs(inputs);
            window.show();
            QApplication::processEvents();
        }
        void Reactivate()
        {
            QEvent deactivate(QEvent::WindowDeactivate);
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(&window, &deactivate);
            QApplication::sendEvent(&window, &activate);
            QApplication::processEvents();
        }

        FakeMessageBoxes boxes;
        test::FakeSaveDialog saveDialog;
        test::PdfPrintDialog printDialog;
        TfrmTab window { boxes, saveDialog, printDialog };
        QTemporaryDir dir;
    };

    TEST_F(TabWindowTest, GraphicModeShowsThePaintBoxSizedByRows)
    {
        Open(Inputs(Bars(3), 0));
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Tablature"));
        EXPECT_EQ(window.size(), QSize(628, 415));
        EXPECT_TRUE(window.PaintBox1->isVisible());
        EXPECT_TRUE(window.btnPrint->isVisible());
        EXPECT_FALSE(window.Memo1->isVisible());
        EXPECT_FALSE(window.btnSave->isVisible());
        EXPECT_EQ(window.barCount(), 3);
        EXPECT_EQ(window.PaintBox1->height(), 2 * 67 + 65);
        EXPECT_EQ(window.PaintBox1->mapTo(&window, QPoint(0, 0)), QPoint(12, 40));
        EXPECT_EQ(window.btnPrint->geometry(), QRect(13, 5, 75, 25));
        EXPECT_EQ(window.btnExit->geometry(), QRect(99, 5, 75, 25));
        EXPECT_EQ(window.PaintBox1->accessibleName(), QStringLiteral("Tablature"));
        EXPECT_EQ(window.btnPrint->accessibleName(), QStringLiteral("Print"));
        EXPECT_EQ(window.btnExit->accessibleName(), QStringLiteral("Exit"));
        EXPECT_EQ(window.tabTitle(), QStringLiteral("groove"));

        // The window the main window creates with the platform dialogs has the same controls.
        TfrmTab platformWindow;
        for (const char* name : { "PaintBox1", "Memo1", "btnPrint", "btnSave", "btnExit" })
            EXPECT_NE(platformWindow.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }

    TEST_F(TabWindowTest, AsciiModeShowsTheTextInAReadOnlyMemo)
    {
        Open(Inputs(BluesLines + Bars(3), 1));
        EXPECT_EQ(window.windowTitle(), QStringLiteral("ASCII Tablature"));
        EXPECT_TRUE(window.Memo1->isVisible());
        EXPECT_TRUE(window.btnSave->isVisible());
        EXPECT_FALSE(window.PaintBox1->isVisible());
        EXPECT_FALSE(window.btnPrint->isVisible());
        EXPECT_EQ(window.btnSave->geometry(), QRect(13, 5, 75, 25));
        EXPECT_EQ(window.btnSave->accessibleName(), QStringLiteral("Save"));
        const AsciiTab expected = BuildAsciiTab(
            Tablature::Build(test::ParseEveryLine(BluesLines + Bars(3))), QStringLiteral("Blues in A"), "Verse");
        EXPECT_EQ(window.Memo1->toPlainText(), expected.Lines.join(u'\n'));
        EXPECT_TRUE(window.Memo1->isReadOnly());
        EXPECT_EQ(window.Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
        EXPECT_EQ(window.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        test::ExpectColumnsLineUp(*window.Memo1);
        // The whole text fits the memo: the window scrolls, not the memo.
        EXPECT_EQ(window.Memo1->verticalScrollBar()->maximum(), 0);
        window.hide();

        // A list in its own tuning shows it, and the string names, in the same columns.
        Open(Inputs(QStringList { "* Tuning: D A D# G" } + Bars(3), 1));
        const QStringList text = window.Memo1->toPlainText().split(u'\n');
        ASSERT_GT(text.size(), 9);
        EXPECT_EQ(text[0], QStringLiteral("Tuning: D A D# G"));
        EXPECT_EQ(text.mid(6, 4).join(u' ').remove(u'-').remove(QRegularExpression(QStringLiteral("\\d"))),
            QStringLiteral("G ||| D#||| A ||| D |||"));
        test::ExpectColumnsLineUp(*window.Memo1);
    }

    TEST_F(TabWindowTest, TruncationIsWarnedOncePerOpeningInBothModes)
    {
        QStringList lines = Bars(17, 17);
        for (int mode : { 0, 1 }) {
            boxes.warnings.clear();
            Open(Inputs(lines, mode));
            ASSERT_EQ(boxes.warnings, QStringList { TruncationWarningMessage }) << "mode " << mode;
            // The warning box deactivates and reactivates the window, which rebuilds the tablature.
            Reactivate();
            Reactivate();
            window.PaintBox1->repaint();
            EXPECT_EQ(boxes.warnings.size(), 1) << "mode " << mode;
            window.hide();
            Open(Inputs(lines, mode));
            EXPECT_EQ(boxes.warnings.size(), 2) << "mode " << mode;
            window.hide();
        }
    }

    TEST_F(TabWindowTest, SixteenColumnsRaiseNoWarning)
    {
        for (int mode : { 0, 1 }) {
            Open(Inputs(Bars(2, 16), mode));
            window.PaintBox1->repaint();
            window.hide();
        }
        EXPECT_TRUE(boxes.warnings.isEmpty());
    }

    TEST_F(TabWindowTest, ScrollKeysMoveTheViewWithinItsLimitsFromAnyControl)
    {
        for (int mode : { 0, 1 }) {
            Open(Inputs(Bars(80), mode));
            QWidget* focus = mode == 0 ? static_cast<QWidget*>(window.btnExit) : window.Memo1;
            QScrollBar* bar = window.scrollBox()->verticalScrollBar();
            ASSERT_GT(bar->maximum(), 200) << "mode " << mode;
            EXPECT_EQ(bar->value(), 0);
            QTest::keyClick(focus, Qt::Key_Down);
            QTest::keyClick(focus, Qt::Key_Down);
            EXPECT_EQ(bar->value(), 20);
            QTest::keyClick(focus, Qt::Key_Up);
            EXPECT_EQ(bar->value(), 10);
            QTest::keyClick(focus, Qt::Key_PageDown);
            EXPECT_EQ(bar->value(), 60);
            QTest::keyClick(focus, Qt::Key_PageUp);
            QTest::keyClick(focus, Qt::Key_PageUp);
            EXPECT_EQ(bar->value(), 0);
            QTest::keyClick(focus, Qt::Key_Up);
            EXPECT_EQ(bar->value(), 0);
            bar->setValue(bar->maximum() - 5);
            QTest::keyClick(focus, Qt::Key_PageDown);
            EXPECT_EQ(bar->value(), bar->maximum());
            QTest::keyClick(focus, Qt::Key_Down);
            EXPECT_EQ(bar->value(), bar->maximum());
            QTest::keyClick(focus, Qt::Key_Escape);
            EXPECT_FALSE(window.isVisible()) << "mode " << mode;
            EXPECT_EQ(window.result(), QDialog::Rejected);
        }
    }

    TEST_F(TabWindowTest, ReopeningStartsAtTheTopButReactivationKeepsThePlace)
    {
        Open(Inputs(Bars(80), 1));
        QScrollBar* bar = window.scrollBox()->verticalScrollBar();
        bar->setValue(120);
        Reactivate();
        EXPECT_EQ(bar->value(), 120);
        window.hide();
        Open(Inputs(Bars(80), 1));
        EXPECT_EQ(bar->value(), 0);
    }

    // Whether the title band above the first staff holds anything but white.
    bool TitleBandIsBlank(QWidget& paintBox)
    {
        const QImage image = paintBox.grab(QRect(2, 10, paintBox.width() - 4, 40)).toImage();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != QColor(Qt::white))
                    return false;
            }
        }
        return true;
    }

    TEST_F(TabWindowTest, ClearedPromptedTitleLeavesTheDrawingBlankButNotTheAsciiHeader)
    {
        window.setTitles(QStringLiteral("Groove"), QString());
        Open(Inputs(Bars(2), 0, true));
        EXPECT_FALSE(TitleBandIsBlank(*window.PaintBox1));
        window.hide();

        window.setTitles(QString(), QString());
        Open(Inputs(Bars(2), 0, true));
        EXPECT_EQ(window.tabTitle(), QString());
        EXPECT_TRUE(TitleBandIsBlank(*window.PaintBox1));
        window.hide();

        Open(Inputs(Bars(2), 1, true));
        const QStringList text = window.Memo1->toPlainText().split(u'\n');
        ASSERT_GT(text.size(), 4);
        EXPECT_EQ(text[3].trimmed(), QStringLiteral("groove"));
        EXPECT_EQ(text[4].trimmed(), QString());
    }

    TEST_F(TabWindowTest, PromptOffTakesTitlesFromTheChordListAtEachOpening)
    {
        window.setTitles(QStringLiteral("stale"), QStringLiteral("stale"));
        Open(Inputs(BluesLines, 0, false));
        EXPECT_EQ(window.tabTitle(), QStringLiteral("Blues in A"));
        EXPECT_EQ(window.tabSubtitle(), QStringLiteral("Verse"));
    }

    TEST_F(TabWindowTest, SaveForcesTabExtensionWithCrLfLinesAndRemembersTheFolder)
    {
        ASSERT_TRUE(dir.isValid());
        TabWindowInputs inputs = Inputs(BluesLines + Bars(3), 1);
        inputs.LastDir = QStringLiteral("/exports");
        Open(inputs);
        saveDialog.answer = dir.filePath(QStringLiteral("out.txt"));
        QTest::mouseClick(window.btnSave, Qt::LeftButton);

        ASSERT_EQ(saveDialog.requests.size(), 1);
        const SaveDialogRequest& request = saveDialog.requests.first();
        EXPECT_EQ(request.Title, QStringLiteral("Save As ASCII Tablature"));
        EXPECT_EQ(QtNameFilters(request.Filter), QStringLiteral("Tab files (*.tab);;All Files (*.*)"));
        EXPECT_EQ(request.Directory, QStringLiteral("/exports"));
        EXPECT_EQ(request.ProposedName, QStringLiteral("/songs/groove.tab"));

        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.txt"))));
        const QByteArray bytes = test::ReadFile(dir.filePath(QStringLiteral("out.tab")));
        const QStringList memoLines = window.Memo1->toPlainText().split(u'\n');
        EXPECT_EQ(bytes, AsciiTabFileBytes(memoLines));
        EXPECT_TRUE(bytes.contains("|\r\n|"));
        EXPECT_FALSE(QByteArray(bytes).replace("\r\n", "").contains('\n'));
        EXPECT_EQ(window.lastDir(), dir.path());
        EXPECT_TRUE(boxes.all().isEmpty());
    }

    TEST_F(TabWindowTest, ForcedNameThatExistsIsReplacedOnlyWhenConfirmed)
    {
        ASSERT_TRUE(dir.isValid());
        const QString tabFile = dir.filePath(QStringLiteral("out.tab"));
        ASSERT_TRUE(test::WriteFileBytes(tabFile, "old"));
        Open(Inputs(Bars(2), 1));
        saveDialog.answer = dir.filePath(QStringLiteral("out.txt"));

        boxes.answer = MessageBoxes::Answer::No;
        window.btnSaveClick();
        ASSERT_EQ(boxes.questions.size(), 1);
        EXPECT_TRUE(boxes.questions.first().contains(tabFile));
        EXPECT_EQ(test::ReadFile(tabFile), QByteArray("old"));

        boxes.answer = MessageBoxes::Answer::Yes;
        window.btnSaveClick();
        EXPECT_EQ(test::ReadFile(tabFile), AsciiTabFileBytes(window.Memo1->toPlainText().split(u'\n')));

        // A name the dialog already confirmed is not asked about again.
        saveDialog.answer = tabFile;
        window.btnSaveClick();
        EXPECT_EQ(boxes.questions.size(), 2);
    }

    TEST_F(TabWindowTest, FailedSaveKeepsWhatWasThereAndNamesTheFile)
    {
        ASSERT_TRUE(dir.isValid());
        // A folder where the file should go: the write cannot replace it.
        const QString target = dir.filePath(QStringLiteral("taken.tab"));
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.tab")));
        ASSERT_TRUE(test::WriteFileBytes(target + QStringLiteral("/keep.txt"), "keep"));
        TabWindowInputs inputs = Inputs(Bars(2), 1);
        inputs.LastDir = QStringLiteral("/exports");
        Open(inputs);
        const QString memo = window.Memo1->toPlainText();
        saveDialog.answer = target;
        window.btnSaveClick();

        ASSERT_EQ(boxes.errors.size(), 1);
        EXPECT_TRUE(boxes.errors.first().contains(target));
        EXPECT_EQ(test::ReadFile(target + QStringLiteral("/keep.txt")), QByteArray("keep"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
        EXPECT_EQ(window.lastDir(), QStringLiteral("/exports"));
        EXPECT_EQ(window.Memo1->toPlainText(), memo);
    }

    TEST_F(TabWindowTest, CancelledSaveWritesNothing)
    {
        ASSERT_TRUE(dir.isValid());
        Open(Inputs(Bars(2), 1));
        window.btnSaveClick();
        EXPECT_EQ(saveDialog.requests.size(), 1);
        EXPECT_TRUE(QDir(dir.path()).isEmpty());
        EXPECT_EQ(window.lastDir(), QString());
    }

    int PdfPageCount(const QByteArray& pdf)
    {
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
        return static_cast<int>(QString::fromLatin1(pdf).count(page));
    }

    int ExpectedPages(int bars)
    {
        const QRect page = TabPdfPageLayout(QPageSize(QPageSize::A4)).paintRectPixels(TabPdfResolution);
        return PlanPrintout(TabLayout::Printer(page.width(), page.height()), page.height(), bars).last().Page;
    }

    struct InkMargins {
        double left = 0, right = 0, top = 0, bottom = 0; // millimetres
    };

    // The margins around the ink of each page of a PDF, from its pages rendered by pdftoppm (poppler-utils).
    QList<InkMargins> PdfInkMargins(const QString& pdf)
    {
        constexpr int Dpi = 144;
        QTemporaryDir pages;
        QProcess render;
        render.start(QStandardPaths::findExecutable(QStringLiteral("pdftoppm")),
            { QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-gray"), pdf, pages.filePath("page") });
        if (!render.waitForFinished(60000) || render.exitCode() != 0) {
            ADD_FAILURE() << "pdftoppm failed on " << pdf.toStdString();
            return {};
        }
        QList<InkMargins> margins;
        for (const QString& name : QDir(pages.path()).entryList({ "page-*.pgm" }, QDir::Files, QDir::Name)) {
            const QImage image(pages.filePath(name));
            QRect ink;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 224)
                        ink |= QRect(x, y, 1, 1);
            const double mm = 25.4 / Dpi;
            margins.append({ ink.left() * mm, (image.width() - 1 - ink.right()) * mm, ink.top() * mm,
                (image.height() - 1 - ink.bottom()) * mm });
        }
        return margins;
    }

    TEST_F(TabWindowTest, PrintsToAPdfChosenInThePrintDialog)
    {
        ASSERT_TRUE(dir.isValid());
        Open(Inputs(Bars(60), 0));
        const int expectedPages = ExpectedPages(60);
        ASSERT_GE(expectedPages, 2);

        printDialog.fileName = dir.filePath(QStringLiteral("tab.pdf"));
        QTest::mouseClick(window.btnPrint, Qt::LeftButton);
        const QByteArray pdf = test::ReadFile(printDialog.fileName);
        EXPECT_TRUE(pdf.startsWith("%PDF"));
        EXPECT_EQ(PdfPageCount(pdf), expectedPages);

        // The print dialog deactivates the window, which lets its tablature go; printing still has it.
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&window, &deactivate);
        ASSERT_EQ(window.tablature(), nullptr);
        printDialog.fileName = dir.filePath(QStringLiteral("again.pdf"));
        window.btnPrintClick();
        EXPECT_EQ(PdfPageCount(test::ReadFile(printDialog.fileName)), expectedPages);
        EXPECT_TRUE(boxes.all().isEmpty());
    }

    // A PDF printed from the window and one exported (as File > Export and fretwerk-cli pdf write it)
    // are the same pages: centred, with at least 12 mm of paper around the ink on every side.
    TEST_F(TabWindowTest, PdfPagesAreCentredWithTwelveMillimetreMargins)
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            GTEST_SKIP() << "pdftoppm (poppler-utils, installed by scripts/setup.sh) renders the pages";
        ASSERT_TRUE(dir.isValid());
        const QStringList lines = BluesLines + Bars(40, 3);
        Open(Inputs(lines, 0));
        printDialog.fileName = dir.filePath(QStringLiteral("window.pdf"));
        QTest::mouseClick(window.btnPrint, Qt::LeftButton);
        ASSERT_TRUE(boxes.all().isEmpty());
        const Tablature tab = Tablature::Build(test::ParseEveryLine(lines));
        for (const QPageSize::PageSizeId size : { QPageSize::A4, QPageSize::Letter }) {
            const QString name = dir.filePath(QStringLiteral("export%1.pdf").arg(size));
            ASSERT_TRUE(WriteTablaturePdf(
                name, tab, QStringLiteral("Blues in A"), QStringLiteral("Verse"), false, QPageSize(size)));
        }
        const QList<InkMargins> fromWindow = PdfInkMargins(printDialog.fileName);
        const QList<InkMargins> a4 = PdfInkMargins(dir.filePath(QStringLiteral("export%1.pdf").arg(QPageSize::A4)));
        ASSERT_EQ(fromWindow.size(), 3);
        ASSERT_EQ(a4.size(), 3);
        for (const auto& [name, pages] : { std::pair { "window", fromWindow }, std::pair { "A4", a4 },
                 std::pair {
                     "Letter", PdfInkMargins(dir.filePath(QStringLiteral("export%1.pdf").arg(QPageSize::Letter))) } }) {
            for (int page = 0; page < pages.size(); ++page) {
                SCOPED_TRACE(std::string(name) + " page " + std::to_string(page + 1));
                const InkMargins& m = pages[page];
                EXPECT_NEAR(m.left, m.right, 1.0);
                for (const double margin : { m.left, m.right, m.top, m.bottom })
                    EXPECT_GE(margin, 12.0);
            }
        }
        for (int page = 0; page < 3; ++page) {
            EXPECT_NEAR(fromWindow[page].left, a4[page].left, 0.5) << page;
            EXPECT_NEAR(fromWindow[page].right, a4[page].right, 0.5) << page;
            EXPECT_NEAR(fromWindow[page].top, a4[page].top, 0.5) << page;
        }
    }

    TEST_F(TabWindowTest, CancelledPrintDialogPrintsNothing)
    {
        ASSERT_TRUE(dir.isValid());
        Open(Inputs(Bars(2), 0));
        window.btnPrintClick();
        EXPECT_EQ(printDialog.shown, 1);
        EXPECT_TRUE(QDir(dir.path()).isEmpty());
    }

} // namespace
} // namespace fw
