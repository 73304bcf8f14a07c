#include "MainWindowFixture.h"

#include "FakeFileDialogs.h"
#include "TestFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

using namespace fw;

namespace {

struct DocumentsFixture : MainWindowFixture {
    FakeFileDialogs dialogs;
    QTemporaryDir dir;

    DocumentsFixture() { window.setFileDialogs(&dialogs); }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::WriteFileBytes(path, bytes));
        return path;
    }
    QAction* action(const char* name) const { return child<QAction>(name); }
};

} // namespace

using OpenAndSave = DocumentsFixture;

TEST_F(OpenAndSave, OpenReplacesTheExtensionAndRemembersTheFolder)
{
    const QString path
        = write("riff.bss", "*Info 1:\r\n*Info 2:37\r\n*Info 3:1\r\n*Info 4:150\r\nG, 3, x, x, x, Q\r\n");
    dialogs.nextOpen = dir.filePath("riff.txt");
    action("Open1")->trigger();
    EXPECT_EQ(text(), "G, 3, x, x, x, Q\n");
    EXPECT_EQ(window.lblFilename->text(), "riff.bss");
    EXPECT_EQ(window.trackbarTempo->value(), 150);
    EXPECT_EQ(window.Patch, 37);
    EXPECT_EQ(window.settings().LastDir, dir.path());
    EXPECT_EQ(window.settings().RecentFile0, path);
    EXPECT_FALSE(window.Modified);
}

TEST_F(OpenAndSave, OpeningAMissingFileSaysSoAndKeepsTheDocument)
{
    type("G, 3, x, x, x, Q");
    boxes.answer = MessageBoxes::Answer::No;
    dialogs.nextOpen = dir.filePath("gone.bss");
    action("Open1")->trigger();
    EXPECT_EQ(boxes.errors, QStringList({ QDir::toNativeSeparators(dir.filePath("gone.bss")) + " doesn't exist!" }));
    EXPECT_EQ(text(), "G, 3, x, x, x, Q");
}

TEST_F(OpenAndSave, CancellingTheSavePromptKeepsTheDocument)
{
    type("G, 3, x, x, x, Q");
    boxes.answer = MessageBoxes::Answer::Cancel;
    dialogs.nextOpen = write("other.bss", "A, x, 0, x, x, Q\r\n");
    action("Open1")->trigger();
    EXPECT_EQ(text(), "G, 3, x, x, x, Q");
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

TEST_F(OpenAndSave, SaveAsWritesTheHeaderAndAdoptsTheName)
{
    type("G, 3, x, x, x, Q");
    dialogs.nextSave = dir.filePath("song.txt");
    action("SaveAs1")->trigger();
    const QString saved = dir.filePath("song.bss");
    EXPECT_EQ(test::ReadFileBytes(saved),
        "*Info 1: Fretwerk Bass Version 1.0 File Information\r\n*Info 2:33\r\n*Info 3:555555\r\n*Info 4:120\r\n"
        "G, 3, x, x, x, Q\r\n");
    EXPECT_EQ(window.lblFilename->text(), "song.bss");
    EXPECT_FALSE(window.Modified);
    EXPECT_TRUE(window.settings().RecentFile0.isEmpty()) << "Save As does not add a recent file";
}

TEST_F(OpenAndSave, AFailedSaveAsKeepsTheOldNameAndTheChanges)
{
    type("G, 3, x, x, x, Q");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("taken.bss")));
    dialogs.nextSave = dir.filePath("taken.bss");
    action("SaveAs1")->trigger();
    EXPECT_EQ(window.lblFilename->text(), "Untitled.bss");
    EXPECT_TRUE(window.Modified);
    EXPECT_EQ(boxes.errors.size(), 1);
}

TEST_F(OpenAndSave, AWindows1252FileSurvivesOpenAndSaveByteForByte)
{
    const QByteArray bytes = "*Info 1: Fretwerk Bass Version 1.0 File Information\r\n*Info 2:33\r\n*Info 3:555555\r\n"
                             "*Info 4:120\r\n* Title: Caf\xe9 \x80 Cr\xe8me\r\nG, 3, x, x, x, Q\r\n";
    const QString path = write("accents.bss", bytes);
    window.OpenCommandLineFile({ "fretwerk-bass", path });
    EXPECT_TRUE(text().startsWith(QString::fromUtf8("* Title: Café € Crème")));
    ASSERT_TRUE(window.SaveDocument());
    EXPECT_EQ(test::ReadFileBytes(path), bytes);
}

using DroppedFiles = DocumentsFixture;

TEST_F(DroppedFiles, OpenWhateverTheCaseOfTheirExtension)
{
    const QString path = write(QString(100, 'n') + ".BSS", "A, x, 0, x, x, Q\r\n");
    window.OpenDroppedFile(path);
    EXPECT_EQ(text(), "A, x, 0, x, x, Q\n");
    EXPECT_EQ(window.settings().RecentFile0, path) << "the full path, however long";
    window.OpenDroppedFile(write("notes.txt", "G, 3, x, x, x, Q\r\n"));
    EXPECT_EQ(text(), "A, x, 0, x, x, Q\n");
}

TEST_F(DroppedFiles, AreRefusedWhilePlaying)
{
    window.btnPlay->setText("Stop");
    window.OpenDroppedFile(write("a.bss", "A, x, 0, x, x, Q\r\n"));
    window.btnPlay->setText("Play");
    EXPECT_EQ(text(), "");
}

using RecentFiles = DocumentsFixture;

TEST_F(RecentFiles, OneThatBecameAPipeOrAFolderSaysWhyAndKeepsTheDocument)
{
    // A pipe would make the read wait for a writer that never comes, freezing the window.
    const QString pipe = dir.filePath("pipe.bss");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = dir.filePath("folder.bss");
    ASSERT_TRUE(QDir().mkpath(folder));
    type("G, 3, x, x, x, Q");
    boxes.answer = MessageBoxes::Answer::No;
    window.OpenRecentFile(pipe);
    window.OpenRecentFile(folder);
    EXPECT_EQ(boxes.errors,
        QStringList({ "Can't open \"" + QDir::toNativeSeparators(pipe) + "\": it is not a regular file",
            "Can't open \"" + QDir::toNativeSeparators(folder) + "\": it is a folder" }));
    EXPECT_EQ(text(), "G, 3, x, x, x, Q");
}

TEST_F(RecentFiles, AreNewestFirstAndShownOnce)
{
    const QString a = write("a.bss", "A, x, 0, x, x, Q\r\n");
    const QString b = write("b.bss", "B, x, 2, x, x, Q\r\n");
    window.OpenDroppedFile(a);
    window.OpenDroppedFile(a);
    EXPECT_EQ(window.settings().RecentFile0, a);
    EXPECT_EQ(window.settings().RecentFile1, a);
    EXPECT_TRUE(window.mnuFilename[0]->isVisible());
    EXPECT_FALSE(window.mnuFilename[1]->isVisible());
    window.OpenDroppedFile(b);
    EXPECT_EQ(window.mnuFilename[0]->text(), b);
    EXPECT_EQ(window.mnuFilename[1]->text(), a);
    EXPECT_TRUE(window.mnuFilename[1]->isVisible());
    EXPECT_FALSE(window.mnuFilename[2]->isVisible());
    window.mnuFilename[1]->trigger();
    EXPECT_EQ(text(), "A, x, 0, x, x, Q\n");
    EXPECT_EQ(window.settings().RecentFile0, b) << "opening a recent file keeps the order";

    // An "&" in a path is shown as it is, not as a mnemonic, and the entry still opens its file.
    const QString rock = write("Rock & Roll.bss", "* rock\r\n");
    window.OpenDroppedFile(rock);
    window.OpenDroppedFile(b);
    EXPECT_EQ(window.mnuFilename[1]->iconText(), rock);
    window.mnuFilename[1]->trigger();
    EXPECT_EQ(text(), "* rock\n");
}

using EditMenu = DocumentsFixture;

TEST_F(EditMenu, EnablesItemsByTheSelectionAndPastesInFrontOfIt)
{
    window.RichEdit1->setPlainText("G, 3, x, x, x, Q\n");
    window.SelectLine(0, false);
    window.Edit1Click();
    EXPECT_FALSE(action("Cut1")->isEnabled());
    EXPECT_FALSE(action("Copy1")->isEnabled());
    EXPECT_FALSE(action("Delete1")->isEnabled());
    window.SelectLine(0, true);
    window.Edit1Click();
    EXPECT_TRUE(action("Copy1")->isEnabled());

    QApplication::clipboard()->setText("* pasted\n");
    window.Edit1Click();
    action("Paste1")->trigger();
    EXPECT_EQ(text(), "* pasted\nG, 3, x, x, x, Q\n");
    window.SelectLine(1, true);
    window.Edit1Click();
    action("Delete1")->trigger();
    EXPECT_EQ(text(), "* pasted\n\n");
    window.Edit1Click();
    action("Undo1")->trigger();
    EXPECT_EQ(text(), "* pasted\nG, 3, x, x, x, Q\n");
}

namespace {

// Prints to a PDF file in place of asking the user for a printer.
struct PdfPrintDialog : PrintDialog {
    QString path;
    bool accept = true;
    QString jobNameShown; // what the dialog would have proposed its file name from
    bool choosePrinter(QWidget*, QPrinter& printer) override
    {
        jobNameShown = printer.docName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return accept;
    }
};

} // namespace

using Printing = DocumentsFixture;

TEST_F(Printing, TheChordListPrintsThroughTheChosenPrinterAndCancelPrintsNothing)
{
    PdfPrintDialog printDialog;
    printDialog.path = dir.filePath("list.pdf");
    window.setPrintDialog(&printDialog);
    window.RichEdit1->setPlainText("* Title: Print me\nG, 3, x, x, x, Q\n");
    printDialog.accept = false;
    action("Print1")->trigger();
    EXPECT_FALSE(QFile::exists(printDialog.path));
    printDialog.accept = true;
    action("Print1")->trigger();
    const QByteArray pdf = test::ReadFileBytes(printDialog.path);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_GT(pdf.size(), 500);
    EXPECT_EQ(printDialog.jobNameShown, "Untitled.bss") << "the dialog is shown the document's name";
    window.setPrintDialog(nullptr);
}
