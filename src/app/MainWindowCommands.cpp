#include "MainWindow.h"
#include "MainWindowProxies.h"

#include "AboutBox.h"
#include "ChordDocument.h"
#include "ChordEditor.h"
#include "FindDialog.h"
#include "MidiPort.h"
#include "NeckView.h"
#include "OptionsDialog.h"
#include "PitchRetune.h"
#include "PlainTextEditorLines.h"
#include "PracticeDialog.h"
#include "Retune.h"
#include "SaveAsMidi.h"
#include "SoundFont.h"
#include "TransposeCommand.h"
#include "TransposeDialog.h"
#include "TuningDialog.h"
#include "WavRender.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QProgressDialog>
#include <QSlider>

// The commands of the Edit, File and Special menus that are more than a call.
namespace fw {

TfrmTuning& TfrmMain::tuningDialog()
{
    if (!m_tuningDialog)
        m_tuningDialog = new TfrmTuning(this);
    return *m_tuningDialog;
}

void TfrmMain::Tuning1Click()
{
    if (IsPlaying())
        return;
    TfrmTuning& dialog = tuningDialog();
    dialog.setTuning(m_chordList->tuning());
    const std::optional<Tuning> chosen = dialog.showModal() == QDialog::Accepted ? dialog.chosenTuning() : std::nullopt;
    if (!chosen)
        return;
    const QStringList lines = LineTexts(*m_lines);
    const RetuneResult result = RetuneLines(lines, *chosen, dialog.mode(), FingerInNewTuning);
    m_lines->beginEditBlock();
    ApplyRewrite(*m_lines, lines, result);
    m_lines->endEditBlock();
    if (const QString warning = RetuneWarning(result); !warning.isEmpty())
        m_boxes->warningBox(warning);
    m_chordList->ShowLineInfo(CurrentLine());
    RichEdit1->setFocus();
}

TfrmTranspose& TfrmMain::transposeDialog()
{
    if (!m_transposeDialog)
        m_transposeDialog = new TfrmTranspose(this);
    return *m_transposeDialog;
}

void TfrmMain::Transpose1Click()
{
    if (IsPlaying())
        return;
    TfrmTranspose& dialog = transposeDialog();
    dialog.prepare(m_lines->selectionLength() > 0);
    if (dialog.showModal() == QDialog::Accepted)
        TransposeNotes(*m_chordList, *this, *m_boxes, *this, dialog.semitones(), dialog.highlightedOnly());
    RichEdit1->setFocus();
}

void TfrmMain::Practice1Click()
{
    if (IsPlaying())
        return;
    std::optional<PracticePlan> plan;
    if (askPracticePlan) {
        plan = askPracticePlan();
    } else {
        // Made once and kept, so the next opening offers the plan used last.
        auto* dialog = findChild<TfrmPractice*>();
        if (!dialog)
            dialog = new TfrmPractice(this);
        dialog->setDocumentTempo(tempo());
        if (dialog->exec() == QDialog::Accepted)
            plan = dialog->plan();
    }
    if (plan)
        m_player->PlayPractice(*plan);
    RichEdit1->setFocus();
}

void TfrmMain::SaveAsWavFile()
{
    const RecordedPlayback playback = RecordPlayback(LineTexts(*m_lines), tempo(), patch());
    if (!playback.errors.isEmpty()) {
        for (const QString& error : playback.errors)
            m_boxes->errorBox(error);
        return;
    }
    const SoundFontChoice soundFont = ChooseSoundFont(m_settings.SoundFont);
    if (!soundFont.problem.isEmpty()) {
        m_boxes->errorBox(soundFont.problem);
        return;
    }
    QString proposed = QFileInfo(m_document->name()).completeBaseName() + QStringLiteral(".wav");
    if (!m_settings.LastDir.isEmpty())
        proposed = QDir(m_settings.LastDir).filePath(proposed);
    const QString fileName = m_dialogs->saveFileName(
        QStringLiteral("Save As Audio File"), proposed, QStringLiteral("WAV audio files (*.wav);;All Files (*)"));
    if (fileName.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString error = RenderMessagesToWav(playback.messages, soundFont.path, fileName);
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty())
        m_boxes->errorBox(error);
    else
        m_settings.LastDir = QFileInfo(fileName).absolutePath();
    RichEdit1->setFocus();
}

void TfrmMain::Edit1Click()
{
    const EditCommands::Enabling enabling = EditCommands::EditMenuEnabling(*RichEdit1);
    findChild<QAction*>(QStringLiteral("Undo1"))->setEnabled(enabling.undo);
    findChild<QAction*>(QStringLiteral("Redo1"))->setEnabled(enabling.redo);
    findChild<QAction*>(QStringLiteral("Cut1"))->setEnabled(enabling.cut);
    findChild<QAction*>(QStringLiteral("Copy1"))->setEnabled(enabling.copy);
    findChild<QAction*>(QStringLiteral("Delete1"))->setEnabled(enabling.del);
    findChild<QAction*>(QStringLiteral("Paste1"))->setEnabled(enabling.paste);
    Find1->setEnabled(m_find != nullptr);
    FindNext1->setEnabled(m_find != nullptr);
}

void TfrmMain::Undo1Click()
{
    RichEdit1->undoEdit();
    m_chordList->ShowLineInfo(CurrentLine());
    RichEdit1->setFocus();
}

void TfrmMain::Redo1Click()
{
    RichEdit1->redoEdit();
    m_chordList->ShowLineInfo(CurrentLine());
    RichEdit1->setFocus();
}

void TfrmMain::Cut1Click()
{
    RichEdit1->cut();
    m_chordList->ShowLineInfo(CurrentLine());
    RichEdit1->setFocus();
}

void TfrmMain::Copy1Click()
{
    RichEdit1->copy();
    RichEdit1->setFocus();
}

void TfrmMain::Paste1Click()
{
    EditCommands::PasteBeforeSelection(*RichEdit1);
    RichEdit1->setFocus();
}

void TfrmMain::Delete1Click()
{
    EditCommands::DeleteSelection(*RichEdit1);
    m_chordList->ShowLineInfo(CurrentLine());
    RichEdit1->setFocus();
}

void TfrmMain::SelectAll1Click()
{
    RichEdit1->selectAll();
    RichEdit1->setFocus();
}

void TfrmMain::mnuEditorPopUpPopup(const QPoint& position)
{
    QMenu popup(this);
    popup.setObjectName(QStringLiteral("mnuEditorPopUp"));
    const EditCommands::Enabling enabling = EditCommands::EditMenuEnabling(*RichEdit1);
    // The Edit menu's commands, each as its own item of this menu, showing the Edit menu's keys.
    const auto add = [&](const char* objectName, const char* menuItem, const QString& caption,
                         void (TfrmMain::*command)(), bool enabled) {
        QAction* item = popup.addAction(caption, this, command);
        item->setObjectName(QString::fromLatin1(objectName));
        item->setEnabled(enabled);
        const QAction* twin = findChild<QAction*>(QString::fromLatin1(menuItem));
        item->setStatusTip(twin->statusTip());
        item->setShortcut(twin->shortcut());
        item->setShortcutVisibleInContextMenu(true);
        // The menu's keys are the Edit menu's; these items only show them.
        item->setShortcutContext(Qt::WidgetShortcut);
    };
    add("Undo2", "Undo1", QStringLiteral("&Undo"), &TfrmMain::Undo1Click, enabling.undo);
    add("Redo2", "Redo1", QStringLiteral("&Redo"), &TfrmMain::Redo1Click, enabling.redo);
    popup.addSeparator();
    add("Cut2", "Cut1", QStringLiteral("Cu&t"), &TfrmMain::Cut1Click, enabling.cut);
    add("Copy2", "Copy1", QStringLiteral("&Copy"), &TfrmMain::Copy1Click, enabling.copy);
    add("Paste2", "Paste1", QStringLiteral("&Paste"), &TfrmMain::Paste1Click, enabling.paste);
    add("Delete2", "Delete1", QStringLiteral("&Delete"), &TfrmMain::Delete1Click, enabling.del);
    popup.addSeparator();
    add("SelectAll2", "SelectAll1", QStringLiteral("Select &All"), &TfrmMain::SelectAll1Click,
        !RichEdit1->document()->isEmpty());
    if (showEditorPopup)
        showEditorPopup(popup);
    else
        popup.exec(RichEdit1->viewport()->mapToGlobal(position));
}

void TfrmMain::Find1Click()
{
    if (m_find)
        EditCommands::Find1Click(*m_find, *RichEdit1, *m_boxes);
    RichEdit1->setFocus();
}

void TfrmMain::FindNext1Click()
{
    if (m_find)
        EditCommands::FindNext1Click(*m_find, *RichEdit1, *m_boxes);
    RichEdit1->setFocus();
}

void TfrmMain::Options1Click()
{
    if (!m_options)
        return;
    HintsEnabled = false;
    m_options->exec();
    // New marker looks show at the next display of a line; the port takes the new device and channel.
    imgAllFrets->setMarkerColor(static_cast<std::uint32_t>(m_settings.MarkerColor));
    imgAllFrets->setMarkerShape(m_settings.MarkerShape);
    m_port->Channel = static_cast<unsigned char>(m_settings.Channel & 0x0F);
    m_port->Octave = m_settings.Octave;
    if (!MidiHeldOpen)
        m_port->Device = m_settings.Device;
    m_chordList->ShowLineInfo(CurrentLine());
    HintsEnabled = true;
    RichEdit1->setFocus();
}

void TfrmMain::Print1Click()
{
    QPrinter printer;
    // The dialog proposes its file name from the job's name, so it is named first.
    printer.setDocName(lblFilename->text());
    if (m_printDialog->choosePrinter(this, printer))
        RichEdit1->print(&printer);
    RichEdit1->setFocus();
}

void TfrmMain::About1Click()
{
    if (!m_about)
        return;
    HintsEnabled = false;
    m_about->exec();
    HintsEnabled = true;
}

QStringList TfrmMain::AutoNameLinesShowingProgress(const QStringList& lines)
{
    // Long lists show how far the renaming has got once it takes more than half a second.
    QProgressDialog progress(
        QStringLiteral("Correcting note names..."), QString(), 0, static_cast<int>(lines.size()), this);
    progress.setObjectName(QStringLiteral("AutoCorrectProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setCancelButton(nullptr);
    progress.setValue(0);
    const QStringList renamed = AutoNameLines(lines, [&progress](int done) { progress.setValue(done); });
    progress.setValue(progress.maximum());
    return renamed;
}

void TfrmMain::AutoCorrectAll()
{
    SetPlayControls(false);
    const QStringList lines = LineTexts(*m_lines);
    const QStringList renamed = AutoNameLinesShowingProgress(lines);
    const int start = m_lines->selectionStart();
    const int length = m_lines->selectionLength();
    // Only the lines that change are rewritten, all in one undo step.
    m_lines->beginEditBlock();
    for (int i = 0; i < renamed.size(); ++i) {
        if (renamed[i] != lines[i])
            m_lines->replaceLine(i, renamed[i]);
    }
    m_lines->endEditBlock();
    m_lines->setSelection(start, length);
    SetPlayControls(true);
}

void TfrmMain::Tab1Click()
{
    if (m_tabWindows)
        ShowTablature(*m_chordList, *m_boxes, static_cast<TablatureHost&>(*this), *m_tabWindows,
            TablatureSettings { 0, m_document->name(), m_settings.TabPrompt, m_settings.TabFont }, m_settings.LastDir);
    RichEdit1->setFocus();
}

void TfrmMain::ASCIItab1Click()
{
    if (m_tabWindows)
        ShowTablature(*m_chordList, *m_boxes, static_cast<TablatureHost&>(*this), *m_tabWindows,
            TablatureSettings { 1, m_document->name(), m_settings.TabPrompt, m_settings.TabFont }, m_settings.LastDir);
    RichEdit1->setFocus();
}

void TfrmMain::SaveAsMidiFile1Click()
{
    SaveAsMidi(*m_chordList, *m_boxes, *m_dialogs, this,
        MidiExportSettings { trackbarTempo->value(), Patch, lblFilename->text() }, m_settings.LastDir);
    RichEdit1->setFocus();
}

} // namespace fw
