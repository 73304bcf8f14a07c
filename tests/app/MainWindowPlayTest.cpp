#include "AppWindows.h"
#include "MainWindowFixture.h"
#include "NoSoundMessage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

using namespace fw;

using Playing = MainWindowFixture;

TEST_F(Playing, AnEmptyEditorSaysSoAndSendsNothing)
{
    QTest::mouseClick(window.btnPlay, Qt::LeftButton);
    EXPECT_EQ(boxes.errors, QStringList({ "No notes to play - no lines in editor." }));
    EXPECT_TRUE(midi->messages.isEmpty());
}

TEST_F(Playing, CommentsAndBlanksOnlyNeverLockTheControls)
{
    window.RichEdit1->setPlainText("* just a comment\n\n");
    bool disabledSeen = false;
    QObject::connect(window.grpEditControls, &QWidget::windowTitleChanged, [] {});
    window.PlayToggle();
    disabledSeen = !window.grpEditControls->isEnabled();
    EXPECT_EQ(boxes.errors, QStringList({ "No chords to play in editor." }));
    EXPECT_FALSE(disabledSeen);
    EXPECT_EQ(window.btnPlay->text(), "Play");
}

TEST_F(Playing, AllPlaysEveryChordWithProgramChangeAndCountOff)
{
    window.trackbarTempo->setValue(500);
    window.RichEdit1->setPlainText("*Count Off 1\nG, 3, x, x, x, F\n\nChord, 0, 2, x, x, F\n");
    window.PlayToggle();
    // Count-off: woodblock, one click on key 108, back to the bass; then the bass notes in slot order.
    const QList<int> expected { 0xC0, 0x90, 0x80, 0xC0, 0xC0, 0x90, 0x80, 0x90, 0x90, 0x80, 0x80 };
    EXPECT_EQ(statuses(), expected);
    ASSERT_EQ(midi->messages.size(), expected.size());
    EXPECT_EQ(midi->messages[0].data1(), 115);
    EXPECT_EQ(midi->messages[1].data1(), 108);
    EXPECT_EQ(midi->messages[4].data1(), 33);
    EXPECT_EQ(midi->messages[5].data1(), 43 - 12);
    EXPECT_EQ(midi->messages[7].data1(), 45 + 2 - 12);
    EXPECT_EQ(midi->messages[8].data1(), 40 - 12);
    EXPECT_EQ(window.btnPlay->text(), "Play");
    EXPECT_TRUE(window.grpEditControls->isEnabled());
    EXPECT_TRUE(window.Start1->isVisible());
    EXPECT_FALSE(window.Stop1->isVisible());
}

TEST_F(Playing, AfterATracedPlaybackTheNextKeyTypesAtTheStartOfTheLastLineInsteadOfReplacingIt)
{
    window.trackbarTempo->setValue(500);
    window.chkTrace->setChecked(true);
    window.RichEdit1->setPlainText("G, 3, x, x, x, F\nA, x, 0, x, x, F\n* end\n");
    QTest::keyClick(window.btnPlay, Qt::Key_Space);
    ASSERT_EQ(window.btnPlay->text(), "Play");
    ASSERT_TRUE(window.RichEdit1->hasFocus());
    EXPECT_EQ(window.RichEdit1->textCursor().selectedText(), "");
    type("1");
    EXPECT_EQ(text(), "G, 3, x, x, x, F\n1A, x, 0, x, x, F\n* end\n");
}

TEST_F(Playing, ASecondPressStopsMidNoteLocksTheControlsMeanwhileAndRestoresTheSelection)
{
    window.trackbarTempo->setValue(60);
    window.RichEdit1->setPlainText("G, 3, x, x, x, W\nA, x, 0, x, x, W\n");
    window.SelectLine(1, true);
    bool lockedWhilePlaying = false;
    bool closeRefused = false;
    QTimer::singleShot(150, &window, [&] {
        lockedWhilePlaying = !window.grpEditControls->isEnabled() && !window.File1->menuAction()->isEnabled()
            && window.Stop1->isVisible() && window.btnPlay->text() == "Stop" && window.RichEdit1->isReadOnly();
        closeRefused = !window.close();
        QTest::mouseClick(window.btnPlay, Qt::LeftButton);
    });
    window.PlayToggle();
    EXPECT_TRUE(lockedWhilePlaying);
    EXPECT_TRUE(closeRefused);
    // Woodblock and back (no clicks asked for), the bass sound, then the first chord cut short.
    EXPECT_EQ(statuses(), QList<int>({ 0xC0, 0xC0, 0xC0, 0x90, 0x80 }));
    ASSERT_EQ(midi->messages.size(), 5);
    EXPECT_LT(midi->messages[4].timeUs - midi->messages[3].timeUs, 1000000);
    EXPECT_EQ(window.btnPlay->text(), "Play");
    EXPECT_TRUE(window.grpEditControls->isEnabled());
    EXPECT_EQ(window.RichEdit1->textCursor().selectedText(), "A, x, 0, x, x, W");
}

TEST_F(Playing, KeysAndMenusChangeNothingDuringALoopAndAStopPressStopsWhateverTheEditorHolds)
{
    window.trackbarTempo->setValue(60);
    const QString list = "G, 3, x, x, x, W\nA, x, 0, x, x, W\n";
    window.RichEdit1->setPlainText(list);
    // Menu shortcuts reach only the active window.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(window.chkLoop, Qt::LeftButton);
    ASSERT_TRUE(window.chkLoop->isChecked());
    int contextMenus = 0;
    // Only the count matters here; a menu that did open would wait for a user.
    QObject::disconnect(window.RichEdit1, &QWidget::customContextMenuRequested, nullptr, nullptr);
    QObject::connect(window.RichEdit1, &QWidget::customContextMenuRequested, [&contextMenus] { ++contextMenus; });
    QString textDuringPlayback;
    bool newChordEnabled = true;
    QTimer::singleShot(100, &window, [&] {
        window.RichEdit1->setFocus();
        QTest::keyClick(window.RichEdit1, Qt::Key_Return);
        QTest::keyClicks(window.RichEdit1, "zz");
        QTest::keyClick(window.RichEdit1, Qt::Key_Delete);
        QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(window.RichEdit1, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(window.RichEdit1, Qt::Key_N, Qt::ControlModifier);
        QContextMenuEvent menu(
            QContextMenuEvent::Mouse, QPoint(5, 5), window.RichEdit1->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(window.RichEdit1->viewport(), &menu);
        QTest::mouseClick(window.btnNewChord, Qt::LeftButton);
        newChordEnabled = window.btnNewChord->isEnabled();
        textDuringPlayback = text();
        // Whatever empties the list by now, the next press must still stop the loop.
        window.RichEdit1->clear();
        QTest::mouseClick(window.btnPlay, Qt::MiddleButton);
    });
    // A loop that never stopped would hang the test; this ends it as a failure instead.
    QTimer::singleShot(5000, &window, [&] { window.player().StopRequested = true; });
    QTest::mouseClick(window.btnPlay, Qt::RightButton);
    EXPECT_EQ(textDuringPlayback, list);
    EXPECT_EQ(contextMenus, 0);
    EXPECT_FALSE(newChordEnabled);
    EXPECT_EQ(window.btnPlay->text(), "Play");
    EXPECT_LT(midi->messages.last().timeUs - midi->messages.first().timeUs, 2000000) << "stopped by the press";
    EXPECT_TRUE(boxes.all().isEmpty());
    // The first key after the playback arrives.
    type("A");
    EXPECT_EQ(text(), "A");
    EXPECT_TRUE(window.findChild<QAction*>("Undo1")->isEnabled());
}

TEST_F(Playing, CurrentLineOptionRefusesANonChordLine)
{
    window.RichEdit1->setPlainText("* comment\nG, 3, x, x, x, Q\n");
    window.playOptionGroup->button(PlayCurrentLine)->click();
    EXPECT_FALSE(window.chkLoop->isVisible());
    window.SelectLine(0, false);
    window.PlayToggle();
    EXPECT_EQ(boxes.errors,
        QStringList({ "Play Current Line option is selected and current line is not a chord definition." }));
    // A new document goes back to "All", and Loop and Trace come back with it.
    boxes.answer = MessageBoxes::Answer::No;
    window.findChild<QAction*>("New1")->trigger();
    EXPECT_EQ(window.playOptionGroup->checkedId(), PlayAll);
    EXPECT_TRUE(window.chkLoop->isVisible());
    EXPECT_TRUE(window.chkTrace->isVisible());
}

TEST_F(Playing, StepForwardPreviewsAndMovesToTheNextChord)
{
    window.RichEdit1->setPlainText("* intro\nG, 3, x, x, x, W\n\nA, x, 0, x, x, W\n");
    window.SelectLine(0, false);
    QTest::mouseClick(window.btnNext, Qt::LeftButton);
    EXPECT_EQ(statuses(), QList<int>({ 0xC0, 0x90, 0x80 }));
    EXPECT_EQ(midi->messages[1].data1(), 43 - 12);
    EXPECT_EQ(window.RichEdit1->textCursor().selectedText(), "A, x, 0, x, x, W");
    QTest::mouseClick(window.btnPrev, Qt::LeftButton);
    EXPECT_EQ(midi->messages.last().data1(), 45 - 12);
    EXPECT_EQ(window.RichEdit1->textCursor().selectedText(), "G, 3, x, x, x, W");
    EXPECT_TRUE(boxes.all().isEmpty());
}

TEST_F(Playing, CursorKeysPreviewOnlyWhenAskedAndOnlyUpAndDown)
{
    window.RichEdit1->setPlainText("* intro\nG, 3, x, x, x, W\nRest, x, x, x, x, Q\n");
    window.SelectLine(0, false);
    press(Qt::Key_Down);
    EXPECT_TRUE(midi->messages.isEmpty());
    window.settings().CursorPlays = true;
    press(Qt::Key_Up);
    EXPECT_TRUE(midi->messages.isEmpty()) << "a comment line sounds nothing";
    press(Qt::Key_Down);
    EXPECT_EQ(statuses(), QList<int>({ 0xC0, 0x90, 0x80 }));
    press(Qt::Key_Right);
    EXPECT_EQ(midi->messages.size(), 3);
    press(Qt::Key_Down);
    EXPECT_EQ(statuses(), QList<int>({ 0xC0, 0x90, 0x80, 0xC0 })) << "a rest sends only the program change";
}

namespace {

struct HeldOpenFixture : MainWindowFixture {
    static Settings HeldOpen()
    {
        Settings settings;
        settings.ExternalMIDI = true;
        return settings;
    }
    HeldOpenFixture()
        : MainWindowFixture(HeldOpen(), false)
    {
    }
};

} // namespace

using HeldOpenDevice = HeldOpenFixture;

TEST_F(HeldOpenDevice, AFailedOpenAtFirstActivationIsReportedOnceAndPlayingStaysSilent)
{
    QStringList reported;
    window.showNoSoundMessage = [&reported](const QString& text) { reported << text; };
    midi->openResult = MidiResult::NoPort;
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activate);
    QApplication::sendEvent(&window, &activate);
    EXPECT_EQ(reported, QStringList({ "No MIDI port was found." }));

    window.trackbarTempo->setValue(500);
    window.RichEdit1->setPlainText("G, 3, x, x, x, F\n");
    window.PlayToggle();
    EXPECT_TRUE(midi->messages.isEmpty());
    EXPECT_EQ(midi->openCount, 1) << "a device held open is not opened again for each play";
    EXPECT_TRUE(boxes.all().isEmpty());
}

namespace {

struct StoredOctaveFixture : MainWindowFixture {
    static Settings OctaveZero()
    {
        Settings settings;
        settings.Octave = 0;
        return settings;
    }
    StoredOctaveFixture()
        : MainWindowFixture(OctaveZero())
    {
    }
};

} // namespace

using StoredOctave = StoredOctaveFixture;

TEST_F(StoredOctave, NeverReachesThePortBeforeTheSettingsDialog)
{
    window.trackbarTempo->setValue(500);
    window.RichEdit1->setPlainText("G, 3, x, x, x, F\n");
    window.PlayToggle();
    ASSERT_TRUE(statuses().contains(0x90));
    EXPECT_EQ(midi->messages[statuses().indexOf(0x90)].data1(), 43 - 12);
}

namespace {

// Counts the showings of the no-sound dialog, keeps what it said, and answers it with Enter as a user
// would.
struct NoSoundDialogWatch : QObject {
    explicit NoSoundDialogWatch(TfrmNoSoundMessage& dialog)
        : m_dialog(dialog)
    {
        dialog.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            shown << m_dialog.lblOpenError->text();
            QTimer::singleShot(0, &m_dialog, [this] { QTest::keyClick(&m_dialog, Qt::Key_Return); });
        }
        return false;
    }
    QStringList shown;

private:
    TfrmNoSoundMessage& m_dialog;
};

} // namespace

// When the built-in synthesizer cannot sound (no audio output, or the SoundFont named in the
// settings cannot be read), the first sound of the run says why in the device error dialog; later
// plays and previews run silently without asking again. A chosen MIDI port that fails stays silent
// without a word, as it always has.
TEST(NoSound, TheFirstSoundOfARunSaysWhyOnceAndLaterOnesPlaySilently)
{
    const QString noOutput = "No audio output was found: playback runs silently. WAV export still works.";
    struct Case {
        const char* name;
        bool fakeDevice;
        int device;
        QStringList expected;
    };
    const Case cases[] {
        { "no audio output", true, -1, { noOutput } },
        { "named SoundFont missing", false, -1,
            { "The SoundFont \"/nowhere/bass.sf2\" cannot be read: No such file or directory." } },
        { "a chosen MIDI port", true, 0, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
#ifndef FW_HAVE_FLUIDSYNTH
        if (!c.fakeDevice)
            continue;
#endif
        SteadyPlayClock clock;
        std::unique_ptr<RecordingBackend> fake;
        if (c.fakeDevice) {
            fake = std::make_unique<RecordingBackend>(clock);
            fake->openResult = MidiResult::NoPort;
            fake->failureText = noOutput;
        }
        Settings settings;
        settings.Welcomed = true;
        settings.CursorPlays = true;
        settings.SoundFont = QStringLiteral("/nowhere/bass.sf2");
        settings.Device = c.device;
        AppWindows windows(settings, std::move(fake));
        TfrmMain& window = *windows.main;
        FakeMessageBoxes boxes;
        window.setMessageBoxes(&boxes);
        window.show();
        NoSoundDialogWatch watch(*windows.noSoundMessage);
        window.trackbarTempo->setValue(500);
        window.RichEdit1->setPlainText("G, 3, x, x, x, F\nA, x, 0, x, x, F\n");

        QTest::mouseClick(window.btnPlay, Qt::LeftButton);
        EXPECT_EQ(watch.shown, c.expected);
        EXPECT_EQ(window.btnPlay->text(), "Play");
        QTest::mouseClick(window.btnPlay, Qt::LeftButton);
        window.RichEdit1->setFocus();
        QTest::keyClick(window.RichEdit1, Qt::Key_Down);
        EXPECT_EQ(watch.shown, c.expected) << "told once per run, not at every sound";
        EXPECT_TRUE(boxes.all().isEmpty());
        EXPECT_FALSE(windows.noSoundMessage->isVisible());
    }
}
