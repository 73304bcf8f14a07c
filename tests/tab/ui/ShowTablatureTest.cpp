#include "ShowTablature.h"
#include "ChordList.h"
#include "FakeMessageBoxes.h"
#include "QtPrinters.h"
#include "SilentHost.h"
#include "StringListLines.h"
#include "TabUiTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace fw {
namespace {

    // Records what the command does to the main window and which windows it opens, in order.
    struct Recorder : TablatureHost, TablatureWindows {
        QStringList events;
        bool titleAnswer = true;
        TabTitles titlesChosen { QStringLiteral("Chosen"), QStringLiteral("Sub") };
        TabWindowInputs tabInputs;
        std::optional<TabTitles> promptedTitles;
        QString savedDir;

        void setBusyCursor(bool busy) override { events << (busy ? "busy" : "idle"); }
        void setHintsEnabled(bool enabled) override { events << (enabled ? "hints on" : "hints off"); }
        bool execTitleDialog(const QStringList& lines, const QString& documentFileName, TabTitles& titles) override
        {
            events << "title dialog";
            EXPECT_EQ(documentFileName, QStringLiteral("/songs/groove.bss"));
            EXPECT_FALSE(lines.isEmpty());
            if (titleAnswer)
                titles = titlesChosen;
            return titleAnswer;
        }
        void execTabWindow(TabWindowInputs& inputs, const TabTitles* prompted) override
        {
            events << "tab window";
            tabInputs = inputs;
            if (prompted)
                promptedTitles = *prompted;
            if (!savedDir.isEmpty())
                inputs.LastDir = savedDir;
        }
    };

    class ShowTablatureTest : public testing::Test {
    protected:
        bool Run(const QStringList& lines)
        {
            editor = StringListLines(lines);
            ChordList chordList(editor, display, boxes);
            return ShowTablature(chordList, boxes, recorder, recorder, settings, lastDir);
        }

        StringListLines editor;
        SilentHost display;
        FakeMessageBoxes boxes;
        Recorder recorder;
        TablatureSettings settings { 1, QStringLiteral("/songs/groove.bss"), true, true };
        QString lastDir = QStringLiteral("/exports");
    };

    TEST_F(ShowTablatureTest, LineInErrorOpensNothing)
    {
        EXPECT_FALSE(Run({ "A, x, x, 0, x, Q", "A, x, x, 0, x, Z" }));
        ASSERT_GE(boxes.errors.size(), 2);
        EXPECT_EQ(boxes.errors.last(), QStringLiteral("Fix errors before viewing tab."));
        EXPECT_EQ(recorder.events, (QStringList { "busy", "idle" }));
    }

    TEST_F(ShowTablatureTest, CommentsAndBlankLinesAloneAreRefused)
    {
        EXPECT_FALSE(Run({ "* Title: nothing", "", "", "*" }));
        EXPECT_EQ(boxes.errors, QStringList { QStringLiteral("Can't create tab. No notes defined in editor.") });
        EXPECT_EQ(recorder.events, (QStringList { "busy", "idle" }));
    }

    TEST_F(ShowTablatureTest, PromptOnAsksForTitlesThenShowsTheWindow)
    {
        const QStringList lines { "* Title: Blues", "A, x, x, 0, x, Q" };
        EXPECT_TRUE(Run(lines));
        EXPECT_EQ(
            recorder.events, (QStringList { "busy", "idle", "hints off", "title dialog", "tab window", "hints on" }));
        ASSERT_TRUE(recorder.promptedTitles.has_value());
        EXPECT_EQ(recorder.promptedTitles->Title, QStringLiteral("Chosen"));
        EXPECT_EQ(recorder.promptedTitles->Subtitle, QStringLiteral("Sub"));
        const TabWindowInputs& inputs = recorder.tabInputs;
        EXPECT_EQ(inputs.TabMode, 1);
        EXPECT_TRUE(inputs.TabPrompt);
        EXPECT_TRUE(inputs.TabFont);
        EXPECT_EQ(inputs.EditorLines, lines);
        EXPECT_EQ(inputs.ParsedLines.size(), 3);
        EXPECT_EQ(inputs.ParsedLines[1].Frets[4], 0);
        EXPECT_EQ(inputs.LastDir, QStringLiteral("/exports"));
        EXPECT_TRUE(boxes.all().isEmpty());
    }

    TEST_F(ShowTablatureTest, CancelledTitlesShowNoWindow)
    {
        recorder.titleAnswer = false;
        EXPECT_FALSE(Run({ "A, x, x, 0, x, Q" }));
        EXPECT_EQ(recorder.events, (QStringList { "busy", "idle", "hints off", "title dialog", "hints on" }));
        EXPECT_EQ(lastDir, QStringLiteral("/exports"));
    }

    TEST_F(ShowTablatureTest, PromptOffShowsTheWindowAtOnceAndKeepsItsSaveFolder)
    {
        settings.TabPrompt = false;
        recorder.savedDir = QStringLiteral("/saved/here");
        EXPECT_TRUE(Run({ "A, x, x, 0, x, Q" }));
        EXPECT_EQ(recorder.events, (QStringList { "busy", "idle", "hints off", "tab window", "hints on" }));
        EXPECT_FALSE(recorder.promptedTitles.has_value());
        EXPECT_FALSE(recorder.tabInputs.TabPrompt);
        EXPECT_EQ(lastDir, QStringLiteral("/saved/here"));
    }

    // Answers the program's modal windows as a user would, once each is up.
    void WhenModal(const std::function<bool(QWidget*)>& answer)
    {
        auto* timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [timer, answer] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->isVisible() && answer(modal)) {
                timer->stop();
                timer->deleteLater();
            }
        });
        timer->start();
    }

    // The real windows: the user clears the prompted title; the window is read and closed.
    struct ClearedTitleRun {
        QString tabTitle;
        QString memoText;
        int windowsSeen = 0;
    };

    ClearedTitleRun RunWithClearedTitle(int mode)
    {
        FakeMessageBoxes boxes;
        test::FakeSaveDialog saveDialog;
        test::PdfPrintDialog printDialog;
        TfrmGetTabInfo titleDialog;
        TfrmTab tabWindow(boxes, saveDialog, printDialog);
        ModalTablatureWindows windows(titleDialog, tabWindow);
        Recorder host;
        SilentHost display;
        StringListLines editor({ "* Title: Blues in A", "A, x, x, 0, x, Q", "", "B, x, x, 2, x, Q" });
        ChordList chordList(editor, display, boxes);
        ClearedTitleRun run;
        WhenModal([&](QWidget* modal) {
            if (modal != &titleDialog)
                return false;
            ++run.windowsSeen;
            titleDialog.edtTitle->clear();
            titleDialog.btnOK->click();
            WhenModal([&](QWidget* next) {
                if (next != &tabWindow)
                    return false;
                ++run.windowsSeen;
                run.tabTitle = tabWindow.tabTitle();
                run.memoText = tabWindow.Memo1->toPlainText();
                tabWindow.btnExit->click();
                return true;
            });
            return true;
        });
        QString lastDir;
        const TablatureSettings settings { mode, QStringLiteral("/songs/groove.bss"), true, false };
        EXPECT_TRUE(ShowTablature(chordList, boxes, host, windows, settings, lastDir));
        EXPECT_TRUE(boxes.all().isEmpty());
        return run;
    }

    TEST(ModalTablatureWindowsTest, ClearedTitleIsBlankWhenDrawnAndTheFileNameInAscii)
    {
        const ClearedTitleRun graphic = RunWithClearedTitle(0);
        EXPECT_EQ(graphic.windowsSeen, 2);
        EXPECT_EQ(graphic.tabTitle, QString());

        const ClearedTitleRun ascii = RunWithClearedTitle(1);
        EXPECT_EQ(ascii.windowsSeen, 2);
        const QStringList text = ascii.memoText.split(u'\n');
        ASSERT_GT(text.size(), 4);
        EXPECT_EQ(text[3].trimmed(), QStringLiteral("groove"));
    }

} // namespace
} // namespace fw
