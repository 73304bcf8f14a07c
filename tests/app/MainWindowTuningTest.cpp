// The main window with a tuning line: the neck's strings, neck presses, Special > Tuning... and New.
#include "MainWindowFixture.h"

#include "NeckGeometry.h"
#include "NeckView.h"
#include "TuningDialog.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace fw;

namespace {

struct TuningWindow : MainWindowFixture {
    using MainWindowFixture::MainWindowFixture;
    QAction* action(const char* name) const { return child<QAction>(name); }
    // Each line typed and ended with Return, the last one left open.
    void typeLines(const QStringList& lines)
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            type(lines[i]);
            if (i + 1 < lines.size())
                press(Qt::Key_Return);
        }
    }
    void pressCell(int slot, int fret)
    {
        const QPoint at = NeckView::fromPicture(NeckGeometry::cellCentre(slot, fret));
        QTest::mouseClick(window.imgAllFrets, Qt::LeftButton, {}, at);
    }
};

struct NewFiveStringWindow : TuningWindow {
    static Settings FiveStrings()
    {
        Settings settings;
        settings.NewTuning = "B E A D G";
        return settings;
    }
    NewFiveStringWindow()
        : TuningWindow(FiveStrings())
    {
    }
};

} // namespace

TEST_F(TuningWindow, AFiveStringListShowsFiveStringsAndTheLowBPressWritesIt)
{
    typeLines({ "* Tuning: B E A D G", "" });
    EXPECT_EQ(window.imgAllFrets->tuning().stringCount(), 5);
    pressCell(6, 0);
    EXPECT_EQ(text(), "* Tuning: B E A D G\nB, 0, x, x, x, x, Q\n");
    ASSERT_EQ(statuses(), QList<int>({ 0xC0, 0x90, 0x80 }));
    EXPECT_EQ(midi->messages[1].data1(), 35 - 12);
    // The fifth string, G, sits where a four-string neck has nothing to press.
    pressCell(2, 4);
    EXPECT_EQ(text(), "* Tuning: B E A D G\nB, 0, x, x, x, x, Q\nB, x, x, x, x, 4, Q\n");
    EXPECT_EQ(window.imgAllFrets->hintAt(NeckView::fromPicture(NeckGeometry::cellCentre(6, 1))), "Current Note:C");
}

TEST_F(TuningWindow, TheTuningDialogMovesTheNotesInOneUndoStep)
{
    typeLines({ "* Title: Song", "E, 0, x, x, x, Q", "G, 3, x, x, x, Q" });
    const QString before = text();
    TfrmTuning& dialog = window.tuningDialog();
    QString invalidCheck;
    bool okWhileInvalid = true;
    dialog.showModal = [&] {
        EXPECT_EQ(dialog.cboPreset->currentText(), "Four-string E A D G");
        dialog.edtTuning->clear();
        QTest::keyClicks(dialog.edtTuning, "B E A");
        invalidCheck = dialog.lblCheck->text();
        okWhileInvalid = dialog.btnOK->isEnabled();
        QTest::keyClicks(dialog.edtTuning, " D G");
        EXPECT_EQ(dialog.cboPreset->currentText(), "Five-string B E A D G");
        EXPECT_EQ(dialog.lblCheck->text(), "5 strings: Low B, E, A, D, G");
        return dialog.btnOK->isEnabled() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    action("Tuning1")->trigger();
    EXPECT_EQ(invalidCheck, "3 note names; a tuning names 4 to 6 strings.");
    EXPECT_FALSE(okWhileInvalid);
    EXPECT_EQ(text(), "* Title: Song\n* Tuning: B E A D G\nE, x, 0, x, x, x, Q\nG, x, 3, x, x, x, Q");
    EXPECT_EQ(window.imgAllFrets->tuning().stringCount(), 5);
    EXPECT_TRUE(boxes.all().isEmpty());
    QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), before);

    // Tuned up to A D G C, neither note has a string: each keeps its time as a rest named in a
    // comment, the warning says so, and one undo brings both back.
    dialog.showModal = [&] {
        dialog.edtTuning->clear();
        QTest::keyClicks(dialog.edtTuning, "A D G C");
        return int(QDialog::Accepted);
    };
    action("Tuning1")->trigger();
    EXPECT_EQ(text(),
        "* Title: Song\n* Tuning: A D G C\n* Not playable on this tuning: E (Low E string, fret 0) in E A D G\n"
        "Rest, x, x, x, x, Q\n* Not playable on this tuning: G (Low E string, fret 3) in E A D G\nRest, x, x, x, x, Q");
    EXPECT_EQ(boxes.warnings,
        QStringList({ "These notes have no string in the new tuning; they became rests, each named in a comment above "
                      "it:\nLine 4    E (Low E string, fret 0): no string of the new tuning can play it.\n"
                      "Line 6    G (Low E string, fret 3): no string of the new tuning can play it." }));
    QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), before);
}

TEST_F(NewFiveStringWindow, NewStartsWithTheTuningOfTheSetting)
{
    type("G, 3, x, x, x, Q");
    window.Modified = false;
    action("New1")->trigger();
    EXPECT_EQ(text(), "* Tuning: B E A D G");
    EXPECT_FALSE(window.Modified);
}
