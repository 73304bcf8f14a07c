#include "MainWindowFixture.h"

#include "FakeFileDialogs.h"
#include "ImportTabDialog.h"
#include "LineParser.h"
#include "MusicXml.h"
#include "TabUiTestSupport.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace fw;

namespace {

// Answers the import dialog as a user would, on the real dialog shown without its own event loop:
// the keys given are typed into the rhythm box before OK is pressed.
struct KeyboardPrompt : TabImportPrompt {
    QList<Qt::Key> rhythmKeys;
    QString shownText;
    QStringList previewBeforeKeys;

    std::optional<TabImport> ask(
        QWidget* parent, const QString& title, const QString& text, const TabImportOptions& options) override
    {
        ImportTabDialog dialog(parent);
        dialog.setSource(title, text, options);
        dialog.show();
        shownText = dialog.edtText->toPlainText();
        previewBeforeKeys = dialog.memPreview->toPlainText().split(u'\n');
        dialog.cboRhythm->setFocus();
        for (Qt::Key key : rhythmKeys)
            QTest::keyClick(dialog.cboRhythm, key);
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
        if (dialog.result() != QDialog::Accepted)
            return std::nullopt;
        return dialog.imported();
    }
};

struct ImportFixture : MainWindowFixture {
    FakeFileDialogs dialogs;
    KeyboardPrompt prompt;
    QTemporaryDir dir;

    ImportFixture()
    {
        window.setFileDialogs(&dialogs);
        window.setTabImportPrompt(&prompt);
    }
    QStringList lines() const { return text().split(u'\n'); }
};

QByteArray Corpus(const char* name)
{
    return test::ReadFileBytes(QStringLiteral(FW_SOURCE_DIR "/tests/convert/corpus/") + QLatin1String(name));
}

QStringList CorpusLines(const char* name) { return SplitDocumentLines(QString::fromUtf8(Corpus(name))); }

} // namespace

using ImportWindow = ImportFixture;

// File > Import... reads the tab through the dialog (here with the rhythm changed from the keyboard)
// and opens it as a new, unsaved document named after the file, without taking an existing list's name.
TEST_F(ImportWindow, ImportOpensTheTabAsANewDocumentNamedAfterTheFile)
{
    const QString tab = dir.filePath(QStringLiteral("proportional.tab"));
    ASSERT_TRUE(test::WriteFileBytes(tab, Corpus("proportional.tab")));
    ASSERT_TRUE(test::WriteFileBytes(dir.filePath(QStringLiteral("proportional.bss")), "* mine\r\n"));
    dialogs.nextOpen = tab;
    // Each bar a bar of 4/4 (the default) -> one character one unit -> every note one unit.
    prompt.rhythmKeys = { Qt::Key_Up, Qt::Key_Up };
    child<QAction>("Import1")->trigger();

    EXPECT_EQ(prompt.shownText, QString::fromUtf8(Corpus("proportional.tab")).trimmed() + u'\n');
    const QStringList expected = CorpusLines("proportional.bss");
    EXPECT_EQ(prompt.previewBeforeKeys.mid(0, expected.size()), expected);
    EXPECT_TRUE(lines().contains(QStringLiteral("G, 3, x, x, x, E")));
    EXPECT_NE(lines().mid(0, expected.size()), expected);
    EXPECT_EQ(window.lblFilename->text(), QStringLiteral("proportional 2.bss"));
    EXPECT_TRUE(window.Modified);
    EXPECT_EQ(test::ReadFileBytes(dir.filePath(QStringLiteral("proportional.bss"))), QByteArray("* mine\r\n"));
    EXPECT_TRUE(dialogs.asked.value(0).contains(QLatin1String("Tab files (*.tab *.txt)")))
        << dialogs.asked.value(0).toStdString();
}

// Edit > Paste Tab puts the clipboard's tab in as chord lines before the caret's line, in the list's
// own tuning, and one Undo takes all of it back.
TEST_F(ImportWindow, PasteTabInsertsChordLinesAtTheCaretAsOneUndoStep)
{
    const QString original = QStringLiteral("G, 3, x, x, x, Q\n\nC, x, 3, x, x, Q");
    window.RichEdit1->setPlainText(original);
    clickOnLine(2);
    QApplication::clipboard()->setText(QString::fromUtf8(Corpus("chords.tab")));
    // Every note one unit, as the list of that tab was read.
    prompt.rhythmKeys = { Qt::Key_Up, Qt::Key_Up };
    child<QAction>("PasteTab1")->trigger();

    QStringList expected = QStringList { "G, 3, x, x, x, Q", "" } + CorpusLines("chords.bss").mid(1)
        + QStringList { "C, x, 3, x, x, Q" };
    // The title guess is a comment and comes first.
    expected.insert(2, QStringLiteral("* Title: Double stops"));
    EXPECT_EQ(lines(), expected);
    EXPECT_EQ(window.CurrentLine(), 2);
    QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), original);
}

// The dialog from the keyboard: every control is reached with Tab and spoken by its label, the
// preview follows typing, and text without a tab cannot be imported.
TEST(ImportTabDialogKeys, PreviewFollowsTypingAndControlsAreNamedAndReachable)
{
    ImportTabDialog dialog;
    TabImportOptions uniform;
    uniform.rhythm = TabRhythm::Uniform;
    dialog.setSource(QStringLiteral("Paste Tab"), QStringLiteral("no tab here"), uniform);
    dialog.show();
    EXPECT_FALSE(dialog.btnOK->isEnabled());
    EXPECT_TRUE(dialog.memReport->toPlainText().startsWith(QLatin1String("No tab found")));

    dialog.edtText->setFocus();
    QTest::keyClick(dialog.edtText, Qt::Key_End, Qt::ControlModifier);
    for (const char* line : { "G|--5--|", "D|-----|", "A|--3--|", "E|-----|" }) {
        QTest::keyClick(dialog.edtText, Qt::Key_Return);
        QTest::keyClicks(dialog.edtText, QLatin1String(line));
    }
    QTRY_VERIFY_WITH_TIMEOUT(dialog.btnOK->isEnabled(), 2000);
    EXPECT_EQ(dialog.memPreview->toPlainText(), QStringLiteral("* Title: no tab here\nChord, x, 3, x, 5, E\n"));
    test::ExpectColumnsLineUp(*dialog.edtText);
    test::ExpectColumnsLineUp(*dialog.memPreview);

    QWidget* expectedOrder[]
        = { dialog.cboRhythm, dialog.cboUnit, dialog.chkAsWritten, dialog.memPreview, dialog.memReport, dialog.btnOK };
    const char* names[] = { "Rhythm", "Unit", "Repeats as written", "Chord list", "Report", "OK" };
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expectedOrder[i]) << i;
        EXPECT_EQ(expectedOrder[i]->accessibleName(), QLatin1String(names[i]));
    }
    EXPECT_EQ(dialog.edtText->accessibleName(), QStringLiteral("Tab text"));
    dialog.cboUnit->setFocus();
    QTest::keyClick(dialog.cboUnit, Qt::Key_Down);
    EXPECT_EQ(dialog.memPreview->toPlainText(), QStringLiteral("* Title: no tab here\nChord, x, 3, x, 5, S\n"));

    // A repeated bar is played out, or kept once when the box is ticked from the keyboard.
    dialog.edtText->setPlainText(QStringLiteral("G||:--5--:||\nD||:-----:||\nA||:--3--:||\nE||:-----:||  x3\n"));
    dialog.refreshPreview();
    EXPECT_TRUE(dialog.memPreview->toPlainText().contains(QLatin1String("* Repeat 3 of 3")));
    dialog.chkAsWritten->setFocus();
    QTest::keyClick(dialog.chkAsWritten, Qt::Key_Space);
    EXPECT_TRUE(dialog.options().asWritten);
    EXPECT_EQ(
        dialog.memPreview->toPlainText(), QStringLiteral("* Repeat start\nChord, x, 3, x, 5, S\n\n* Repeat end x3\n"));
}

// The Rhythm line box beside Save: clicking it puts the durations above the tablature in the view
// and in the saved file, and clicking it again gives back the file of before, byte for byte.
TEST(TabWindowRhythmLine, BoxAddsTheDurationLineToViewAndFile)
{
    FakeMessageBoxes boxes;
    test::FakeSaveDialog saveDialog;
    test::PdfPrintDialog printDialog;
    TfrmTab window(boxes, saveDialog, printDialog);
    TabWindowInputs inputs;
    inputs.TabMode = 1;
    inputs.TabPrompt = false;
    inputs.DocumentFileName = QStringLiteral("walk.bss");
    inputs.EditorLines = QStringList { "G, 3, x, x, x, Q", "B, x, 2, x, x, .E", "", "D, x, 5, x, x, /S" };
    for (int i = 0; i <= inputs.EditorLines.size(); ++i) {
        ChordDef def;
        ParseLineText(inputs.EditorLines.value(i), i, def);
        inputs.ParsedLines << def;
    }
    window.setInputs(inputs);
    window.show();
    ASSERT_TRUE(window.chkRhythmLine->isVisible());
    EXPECT_EQ(window.chkRhythmLine->accessibleName(), QStringLiteral("Rhythm line"));
    QTemporaryDir dir;
    saveDialog.answer = dir.filePath(QStringLiteral("plain.tab"));
    QTest::mouseClick(window.btnSave, Qt::LeftButton);
    const QByteArray plain = test::ReadFileBytes(saveDialog.answer);

    // Bar 1: two cells at columns 9 and 19; bar 2: one cell at column 42 (the dashes are 8 and 12 long).
    QTest::mouseClick(window.chkRhythmLine, Qt::LeftButton);
    EXPECT_TRUE(window.Memo1->toPlainText().contains(QLatin1String("\n         Q         .E                     /S\n")))
        << window.Memo1->toPlainText().toStdString();
    saveDialog.answer = dir.filePath(QStringLiteral("rhythm.tab"));
    QTest::mouseClick(window.btnSave, Qt::LeftButton);
    QByteArray withLine = test::ReadFileBytes(saveDialog.answer);
    EXPECT_EQ(withLine.size(), plain.size() + QByteArray("         Q         .E                     /S\r\n").size());
    EXPECT_EQ(withLine.replace("         Q         .E                     /S\r\n", ""), plain);

    QTest::mouseClick(window.chkRhythmLine, Qt::LeftButton);
    saveDialog.answer = dir.filePath(QStringLiteral("again.tab"));
    QTest::mouseClick(window.btnSave, Qt::LeftButton);
    EXPECT_EQ(test::ReadFileBytes(saveDialog.answer), plain);
}

// File > Export offers every format the conversion layer writes; the chosen name gets the format's
// extension, and the written score reads back as the same chord list.
TEST_F(ImportWindow, ExportWritesTheListInTheChosenFormat)
{
    QStringList captions;
    for (QAction* item : window.Export1->actions())
        captions << item->text();
    EXPECT_EQ(captions,
        QStringList({ "MIDI files...", "Tab files...", "PDF files...", "WAV audio files...", "MusicXML files..." }));

    const QStringList list { "* Tuning: B E A D G", "B, 0, x, x, x, x, Q", "Chord, x, 2, 4, x, x, .E", "",
        "Rest, x, x, x,"
        " x, x, H" };
    window.RichEdit1->setPlainText(list.join(u'\n'));
    dialogs.nextSave = dir.filePath(QStringLiteral("song"));
    window.Export1->actions().last()->trigger();

    const QByteArray score = test::ReadFileBytes(dir.filePath(QStringLiteral("song.musicxml")));
    ASSERT_FALSE(score.isEmpty());
    const MusicXmlImport back = ImportMusicXml(score);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    // Every bar read back is closed by a blank line.
    EXPECT_EQ(back.lines, list + QStringList { QString() });
    EXPECT_TRUE(dialogs.asked.last().contains(QLatin1String("MusicXML files (*.musicxml *.mxl)")));
}

namespace {

struct ChosenSoundFontFixture : MainWindowFixture {
    static Settings WithSoundFont()
    {
        Settings settings;
        settings.SoundFont = QStringLiteral("/nowhere/bass.sf2");
        return settings;
    }
    ChosenSoundFontFixture()
        : MainWindowFixture(WithSoundFont())
    {
        window.setFileDialogs(&dialogs);
    }
    FakeFileDialogs dialogs;
    QTemporaryDir dir;
};

} // namespace

using ChosenSoundFont = ChosenSoundFontFixture;

// Both ways to a WAV file play the SoundFont chosen in the settings: one that cannot be read is named
// in an error box and nothing is written, rather than another SoundFont being played unasked.
TEST_F(ChosenSoundFont, BothWavExportsRefuseOneThatCannotBeRead)
{
    window.RichEdit1->setPlainText("G, 3, x, x, x, Q\n");
    QAction* audioFile = window.findChild<QAction*>("AudioFile1");
    QAction* exportWav = nullptr;
    for (QAction* action : window.findChild<QMenu*>("Export1")->actions()) {
        if (action->text().startsWith("WAV"))
            exportWav = action;
    }
    ASSERT_TRUE(audioFile && exportWav);
    for (QAction* action : { audioFile, exportWav }) {
        SCOPED_TRACE(action->text().toStdString());
        boxes.errors.clear();
        dialogs.nextSave = dir.filePath("song.wav");
        action->trigger();
        EXPECT_EQ(boxes.errors,
            QStringList({ "The SoundFont \"/nowhere/bass.sf2\" cannot be read: No such file or directory." }));
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("song.wav")));
    }
}
