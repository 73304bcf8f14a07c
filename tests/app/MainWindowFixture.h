#pragma once

#include "ChordEditor.h"
#include "FakeMessageBoxes.h"
#include "MainWindow.h"
#include "PlayClock.h"
#include "QtPrinters.h"
#include "RecordingBackend.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace fw {

// A main window that sounds into a recording device and answers boxes through a fake, shown on
// the offscreen platform.
struct MainWindowFixture : testing::Test {
    SteadyPlayClock clock;
    RecordingBackend* midi = nullptr;
    FakeMessageBoxes boxes;
    std::unique_ptr<TfrmMain> windowOwner;
    TfrmMain& window;

    // Without activate the window's first activation is left to the test.
    explicit MainWindowFixture(Settings settings = {}, bool activate = true)
        : windowOwner(MakeWindow(std::move(settings)))
        , window(*windowOwner)
    {
        window.setMessageBoxes(&boxes);
        window.show();
        // Menu shortcuts work only in the active window, as they do for a user.
        if (activate) {
            window.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        }
        window.RichEdit1->setFocus();
    }

    std::unique_ptr<TfrmMain> MakeWindow(Settings settings)
    {
        auto backend = std::make_unique<RecordingBackend>(clock);
        midi = backend.get();
        return std::make_unique<TfrmMain>(std::move(settings), std::move(backend));
    }

    QString chordName() const { return window.lblChordName->text(); }
    QString panel0() const { return window.statusPanel0->text(); }
    QString panel1() const { return window.statusPanel1->text(); }
    QString text() const { return window.RichEdit1->toPlainText(); }

    void type(const QString& keys) { QTest::keyClicks(window.RichEdit1, keys); }
    void press(Qt::Key key) { QTest::keyClick(window.RichEdit1, key); }
    void clickOnLine(int line)
    {
        const QTextBlock block = window.RichEdit1->document()->findBlockByNumber(line);
        const QRect caret = window.RichEdit1->cursorRect(QTextCursor(block));
        QTest::mouseClick(window.RichEdit1->viewport(), Qt::LeftButton, {}, caret.center() + QPoint(2, 0));
    }
    template <typename W> W* child(const char* name) const { return window.findChild<W*>(QString::fromLatin1(name)); }

    // The window's surface holds the neck and the four groups of controls, none covering another.
    void expectNoControlCoversAnother(const std::string& when) const
    {
        const QWidget* surface = window.centralWidget();
        const std::pair<const char*, QRect> parts[] = {
            { "neck", window.shpNeckRect->geometry() },
            { "play buttons", window.pnlPlayButtons->geometry() },
            { "edit controls", window.grpEditControls->geometry() },
            { "editor", window.RichEdit1->geometry() },
            { "play controls", window.grpPlayControls->geometry() },
        };
        for (size_t i = 0; i < std::size(parts); ++i) {
            EXPECT_TRUE(surface->rect().contains(parts[i].second))
                << parts[i].first << " " << when << ": " << parts[i].second.bottom() << " " << parts[i].second.right()
                << " in " << surface->width() << " x " << surface->height();
            for (size_t j = i + 1; j < std::size(parts); ++j)
                EXPECT_FALSE(parts[i].second.intersects(parts[j].second))
                    << parts[i].first << " and " << parts[j].first << " " << when;
        }
    }

    // Status bytes of the recorded messages, in order.
    QList<int> statuses() const
    {
        QList<int> result;
        for (const TimedMessage& message : midi->messages)
            result << message.status();
        return result;
    }
};

} // namespace fw
