#include "MainWindowFixture.h"
#include "PracticeDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

using namespace fw;

using Practising = MainWindowFixture;

// Play > Practice... runs the plan through the real window: the tempo label shows each pass's
// tempo while it plays and the document's again afterwards; the document's tempo never changes.
TEST_F(Practising, PracticeShowsEachPassTempoAndLeavesTheDocumentTempo)
{
    window.trackbarTempo->setValue(400);
    window.RichEdit1->setPlainText("G, 3, x, x, x, S\n");
    window.Modified = false;
    window.askPracticePlan = [] { return std::optional<PracticePlan>({ 50, 50, 1, 100, false }); };
    QStringList shown;
    midi->onMessage = [&](const TimedMessage& m) {
        if ((m.status() & 0xF0) == 0x90)
            shown.append(window.lblTempo->text() + (window.btnPlay->text() == "Stop" ? "" : "?"));
    };
    auto* practice = child<QAction>("Practice1");
    ASSERT_NE(practice, nullptr);
    EXPECT_EQ(practice->text(), "&Practice...");
    EXPECT_EQ(practice->statusTip(), "Loop a passage and speed it up.");
    practice->trigger();
    EXPECT_EQ(shown, QStringList({ "200", "400" }));
    EXPECT_EQ(window.lblTempo->text(), "400");
    EXPECT_EQ(window.trackbarTempo->value(), 400);
    EXPECT_FALSE(window.Modified);
    EXPECT_EQ(window.btnPlay->text(), "Play");

    // A cancelled dialog plays nothing.
    shown.clear();
    window.askPracticePlan = [] { return std::optional<PracticePlan>(); };
    practice->trigger();
    EXPECT_TRUE(shown.isEmpty());
}

// The dialog from the keyboard alone: every field is reached with Tab and typed into; a start
// above the target says why and Start cannot be pressed until it is mended.
TEST(PracticeDialog, KeyboardFillsThePlanAndAnImpossiblePlanCannotStart)
{
    TfrmPractice dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(dialog.plan(), (PracticePlan { 60, 5, 2, 100, false }));
    for (auto [widget, name] : { std::pair<QWidget*, QString> { dialog.spnStart, "Start at" },
             { dialog.spnStep, "Raise by" }, { dialog.spnPasses, "Passes per tempo" }, { dialog.spnTarget, "Target" },
             { dialog.chkMetronome, "Metronome" }, { dialog.btnStart, "Start" }, { dialog.btnCancel, "Cancel" } }) {
        EXPECT_EQ(widget->accessibleName(), name);
        EXPECT_NE(widget->focusPolicy() & Qt::TabFocus, 0) << name.toStdString();
    }
    dialog.spnStart->setFocus();
    auto typeInto = [](QSpinBox* box, const QString& text) {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    };
    typeInto(dialog.spnStart, "120");
    EXPECT_FALSE(dialog.btnStart->isEnabled());
    EXPECT_EQ(dialog.lblProblem->text(), "The start tempo must not be above the target tempo.");
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    typeInto(qobject_cast<QSpinBox*>(dialog.focusWidget()), "10");
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    typeInto(qobject_cast<QSpinBox*>(dialog.focusWidget()), "3");
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    typeInto(qobject_cast<QSpinBox*>(dialog.focusWidget()), "150");
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(dialog.focusWidget(), dialog.chkMetronome);
    QTest::keyClick(dialog.chkMetronome, Qt::Key_Space);
    EXPECT_TRUE(dialog.btnStart->isEnabled());
    EXPECT_EQ(dialog.plan(), (PracticePlan { 120, 10, 3, 150, true }));
    // The shares as the tempos they give at the document's tempo, said beside the boxes and to a screen reader.
    dialog.setDocumentTempo(90);
    EXPECT_EQ(dialog.lblStartTempo->text(), "108 BPM");
    EXPECT_EQ(dialog.lblTargetTempo->text(), "135 BPM");
    EXPECT_EQ(dialog.lblTempos->text(), "Tempos of the document's 90 BPM: 108, 117, 126, 135 BPM.");
    EXPECT_TRUE(dialog.spnTarget->accessibleDescription().endsWith("135 BPM."));
    QTest::keyClick(dialog.chkMetronome, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
