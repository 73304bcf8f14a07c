#include "MainWindow.h"

#include "ChordDocument.h"
#include "ChordEditor.h"
#include "ImportWiring.h"
#include "LineEditCommands.h"
#include "NeckLabels.h"
#include "NeckView.h"
#include "PlainTextEditorLines.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <utility>

// What the main window does for the parts it hosts: the document, the player, the editing
// commands and the line display.
namespace fw {

void TfrmMain::setChordNameCaption(const QString& text)
{
    if (lblChordName->text() != text)
        lblChordName->setText(text);
}

void TfrmMain::setStatusMessage(const QString& text) { statusPanel0->setText(text); }

void TfrmMain::showMarkers(const FretArray& frets) { imgAllFrets->ShowMarkers(frets); }

void TfrmMain::showTuning(const Tuning& tuning) { imgAllFrets->setTuning(tuning); }

void TfrmMain::showFretLimit(int frets)
{
    if (frets == imgAllFrets->fretCount())
        return;
    placeNeckArea(frets);
    // A longer neck needs a wider window: the minimum grows and takes the window with it. A shorter
    // one leaves the window as wide as the user has it.
    setMinimumSize(minimumWindowSize());
    ArrangeMainWindow();
}

bool TfrmMain::chordEntryMode() const { return chkChordEntryMode->isChecked(); }

void TfrmMain::ResetDocumentState() { m_document->ResetDocumentState(); }

void TfrmMain::resetDocumentState()
{
    m_commands->resetDocumentDefaults();
    showMarkers(NoFrets);
    if (QAbstractButton* all = playOptionGroup->button(0))
        all->setChecked(true);
    lblChordName->clear();
    trackbarTempo->setValue(DefaultTempo);
    lblTempo->setText(QString::number(DefaultTempo));
    statusPanel1->setText(QStringLiteral("Line %1").arg(CurrentLine() + 1));
    chkLoop->setChecked(false);
    chkTrace->setChecked(false);
    Patch = DefaultPatch;
    setBassSoundChecked(Patch);
    m_chordList->CountOffBeats = 0;
    m_settings.Octave = -12;
    setModified(false);
}

void TfrmMain::ResetDocument() { m_document->ResetDocument(); }

bool TfrmMain::LoadChordList(const QString& fileName) { return m_document->LoadChordList(fileName); }

bool TfrmMain::SaveChordList(const QString& fileName) { return m_document->SaveChordList(fileName); }

bool TfrmMain::SaveDocument() { return m_document->SaveDocument(); }

bool TfrmMain::ConfirmDiscard() { return m_document->ConfirmDiscard(); }

void TfrmMain::AddRecentFile(const QString& fileName) { m_document->AddRecentFile(fileName); }

void TfrmMain::ShowRecentFiles() { m_document->ShowRecentFiles(); }

void TfrmMain::OpenRecentFile(const QString& fileName) { m_document->OpenRecentFile(fileName); }

void TfrmMain::OpenCommandLineFile(const QStringList& arguments) { m_document->OpenCommandLineFile(arguments); }

void TfrmMain::OpenDroppedFile(const QString& fileName) { m_document->OpenDroppedFile(fileName); }

void TfrmMain::New1Click() { m_document->New1Click(); }

void TfrmMain::Open1Click() { m_document->Open1Click(); }

void TfrmMain::Save1Click() { m_document->Save1Click(); }

void TfrmMain::SaveAs1Click() { m_document->SaveAs1Click(); }

bool TfrmMain::modified() const { return Modified; }

void TfrmMain::setModified(bool modified)
{
    Modified = modified;
    setWindowModified(modified);
}

DocumentHeader TfrmMain::headerValues() const { return { Patch, DefaultInfo3Value, trackbarTempo->value() }; }

void TfrmMain::applyHeaderValues(const DocumentHeader& header)
{
    Patch = header.Patch;
    setBassSoundChecked(Patch);
    trackbarTempo->setValue(header.Tempo);
    lblTempo->setText(QString::number(trackbarTempo->value()));
}

void TfrmMain::setEditorText(const QString& text) { RichEdit1->setPlainText(text); }

QStringList TfrmMain::autoNameLines(const QStringList& lines) { return AutoNameLinesShowingProgress(lines); }

void TfrmMain::showDocumentName(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    lblFilename->setText(name);
    // "[*]" is where the window system shows the unsaved-changes marker.
    setWindowTitle(QStringLiteral("%1[*] \u2014 Fretwerk Bass").arg(name));
}

void TfrmMain::showRecentFiles(const QStringList& names)
{
    for (int i = 0; i < 3; ++i) {
        if (names.value(i).isEmpty())
            continue;
        if (i == 0)
            FilenameSep->setVisible(true);
        // "&" in a path is a character of the name, not a mnemonic.
        mnuFilename[i]->setText(QString(names[i]).replace(QLatin1Char('&'), QStringLiteral("&&")));
        mnuFilename[i]->setData(names[i]);
        mnuFilename[i]->setVisible(true);
    }
    if (mnuFilename[1]->text() == mnuFilename[0]->text())
        mnuFilename[1]->setVisible(false);
    if (mnuFilename[2]->text() == mnuFilename[0]->text())
        mnuFilename[2]->setVisible(false);
    if (mnuFilename[2]->text() == mnuFilename[1]->text())
        mnuFilename[2]->setVisible(false);
}

void TfrmMain::showFirstLine()
{
    SelectLine(0, false);
    m_chordList->ShowLineInfo(0);
}

void TfrmMain::SetPlayControls(bool enabled)
{
    const QColor text = enabled ? palette().color(QPalette::WindowText) : QColor(128, 128, 128);
    for (QGroupBox* group : { grpPlayControls, grpEditControls }) {
        QPalette groupPalette = group->palette();
        groupPalette.setColor(QPalette::WindowText, text);
        group->setPalette(groupPalette);
        group->setEnabled(enabled);
    }
    Start1->setVisible(enabled);
    Stop1->setVisible(!enabled);
    // New Chord inserts a line, which would shift the lines a playback traces.
    for (QWidget* control : std::initializer_list<QWidget*> {
             btnPrev, btnNext, rdoPlayOptions, chkTrace, chkLoop, chkDotted, chkTriplet, btnNewChord })
        control->setEnabled(enabled);
    // A disabled menu still lets its items' shortcuts through (Ctrl+Z, Ctrl+V, Ctrl+N...).
    if (!enabled) {
        for (QMenu* menu : { File1, Edit1, Instrument1, Help1, Special1 }) {
            for (QAction* item : menu->actions()) {
                if (item->isEnabled() && !item->isSeparator()) {
                    item->setEnabled(false);
                    m_lockedItems << item;
                }
            }
        }
    } else {
        for (QAction* item : std::exchange(m_lockedItems, {}))
            item->setEnabled(true);
    }
    m_playControlsOff = !enabled;
    RichEdit1->setPlaybackLocked(m_playControlsOff || IsPlaying());
    for (QToolButton* button : grpEditControls->findChildren<QToolButton*>())
        button->setEnabled(enabled);
    for (QMenu* menu : { File1, Edit1, Instrument1, Help1, Special1 })
        menu->menuAction()->setEnabled(enabled);
    // The transpose buttons follow the entry mode again once playback is over.
    if (enabled)
        m_commands->applyTransposeRule();
}

void TfrmMain::setPlayButtonCaption(const QString& caption)
{
    btnPlay->setText(caption);
    // Locked from the first moment of a playback, unlocked the moment it ends.
    RichEdit1->setPlaybackLocked(m_playControlsOff || IsPlaying());
}

void TfrmMain::focusEditor() { RichEdit1->setFocus(); }

void TfrmMain::setBusyCursor(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TfrmMain::processEvents() { QCoreApplication::processEvents(); }

int TfrmMain::playOption() const { return std::max(0, playOptionGroup->checkedId()); }

bool TfrmMain::loopChecked() const { return chkLoop->isChecked(); }

bool TfrmMain::traceChecked() const { return chkTrace->isChecked(); }

int TfrmMain::tempo() const { return trackbarTempo->value(); }

unsigned char TfrmMain::patch() const { return static_cast<unsigned char>(Patch & 0x7F); }

void TfrmMain::showPracticeTempo(int tempo) { lblTempo->setText(QString::number(tempo)); }

void TfrmMain::beginEditBlock() { m_lines->beginEditBlock(); }

void TfrmMain::endEditBlock() { m_lines->endEditBlock(); }

bool TfrmMain::isPlaying() const { return IsPlaying(); }

void TfrmMain::clearStopRequested() { m_player->StopRequested = false; }

QString TfrmMain::newLineDuration() const { return NewLineDuration; }

void TfrmMain::setNewLineDuration(const QString& text) { NewLineDuration = text; }

bool TfrmMain::autoCorrect() const { return m_settings.AutoCorrect; }

void TfrmMain::storeChordEntryMode(bool on) { m_settings.ChordEntryMode = on; }

void TfrmMain::storeAutoLineAdvance(bool on) { m_settings.AutoLineAdvance = on; }

bool TfrmMain::dotted() const { return chkDotted->isChecked(); }

void TfrmMain::setDotted(bool checked) { chkDotted->setChecked(checked); }

bool TfrmMain::triplet() const { return chkTriplet->isChecked(); }

void TfrmMain::setTriplet(bool checked) { chkTriplet->setChecked(checked); }

void TfrmMain::setChordEntryMode(bool checked) { chkChordEntryMode->setChecked(checked); }

bool TfrmMain::autoLineAdvance() const { return chkAutoNewLine->isChecked(); }

void TfrmMain::setAutoLineAdvance(bool checked) { chkAutoNewLine->setChecked(checked); }

void TfrmMain::setTransposeEnabled(bool enabled)
{
    btnShiftLeft->setEnabled(enabled);
    btnShiftRight->setEnabled(enabled);
}

bool TfrmMain::isMarkerShown(int slot, int fret) const { return imgAllFrets->isMarkerShown(slot, fret); }

void TfrmMain::showPressedMarker(int slot, int fret) { imgAllFrets->showCell(slot, fret); }

void TfrmMain::setHintsEnabled(bool enabled) { HintsEnabled = enabled; }

void TfrmMain::setTabImportPrompt(TabImportPrompt* prompt) { m_import->setPrompt(prompt); }

void TfrmMain::setImportPartPrompt(ImportPartPrompt* prompt) { m_import->setPartPrompt(prompt); }

void TfrmMain::setImportFormats(const FormatRegistry* formats) { m_import->setFormats(formats); }

void TfrmMain::openImportedDocument(const QStringList& lines, const DocumentHeader& header, const QString& name)
{
    m_document->OpenImported(lines, header, name);
}

} // namespace fw
