#pragma once

#include "Accessibility.h"
#include "ChordDocument.h"
#include "ChordList.h"
#include "DocumentText.h"
#include "EditHost.h"
#include "LineDisplay.h"
#include "MainWindowLayout.h"
#include "NeckLabels.h"
#include "Player.h"
#include "SaveFileDialog.h"
#include "Settings.h"
#include "ShowTablature.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;
class QToolButton;

namespace fw {

class ChordEditor;
class FileDialogs;
class FormatRegistry;
class ImportPartPrompt;
class ImportWiring;
class LineEditCommands;
class MessageBoxes;
class MidiBackend;
class MidiPort;
class NeckView;
class PlainTextEditorLines;
class SteadyPlayClock;
class TabImportPrompt;
class TfrmAbout;
class TfrmNewUserMessage;
class TfrmOptions;
class Tfrmfind;
class TfrmTranspose;
class TfrmTuning;

// The main window: the neck on top, the chord-list editor below it with the edit controls to its
// left and the play controls to its right, the status bar and the menus. The editor's lines are
// the only copy of the document.
class TfrmMain : public QMainWindow,
                 private LineDisplay,
                 private PlayerHost,
                 private EditHost,
                 private EditControlStates,
                 private PressedMarkers,
                 private TablatureHost,
                 private DocumentHost {
    Q_OBJECT
public:
    // The header values and the file name the document is saved with.
    DocumentHeader documentHeader() const { return headerValues(); }
    QString documentName() const { return m_document->name(); }
    // Without a backend the program sounds through the system's: the built-in synthesizer and the
    // MIDI output ports.
    explicit TfrmMain(
        Settings settings = {}, std::unique_ptr<MidiBackend> backend = nullptr, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Tests answer the message boxes and file dialogs instead of a user.
    void setMessageBoxes(MessageBoxes* boxes);
    MessageBoxes& messageBoxes() const;
    void setFileDialogs(FileDialogs* dialogs);
    // The title dialog and the tablature window, created with the other windows at start.
    void setTablatureWindows(TfrmGetTabInfo& titleDialog, TfrmTab& tabWindow);
    // The other modal windows; their menu items do nothing until these are set.
    void setDialogs(TfrmOptions& options, Tfrmfind& find, TfrmAbout& about, TfrmNewUserMessage& welcome);
    // Tests choose a printer (or a PDF file) without the platform dialog.
    void setPrintDialog(PrintDialog* dialog);
    // Tests answer the import dialog of File > Import... and Edit > Paste Tab.
    void setTabImportPrompt(TabImportPrompt* prompt);
    // Tests answer the chooser of a file's parts, and import through formats of their own (null: the
    // program's dialog and formats).
    void setImportPartPrompt(ImportPartPrompt* prompt);
    void setImportFormats(const FormatRegistry* formats);
    // Opens imported lines as a new document that has never been saved, named name.
    void openImportedDocument(const QStringList& lines, const DocumentHeader& header, const QString& name);
    // Writes the settings when the window closes; the application stores them for the user.
    std::function<void(const Settings&)> saveSettings;
    SaveFileDialog& saveFileDialog();
    // Shows the device error dialog: at start-up for a device held open, and the first time a sound
    // finds the built-in synthesizer silent. The application sets it to its modal dialog.
    std::function<void(const QString& errorText)> showNoSoundMessage;
    // Asks for the plan of a practice run (nothing: cancelled); the practice dialog unless a test
    // answers instead.
    std::function<std::optional<PracticePlan>()> askPracticePlan;
    // Tests look at the editor's context menu instead of showing it; unset, it pops up at the pointer.
    std::function<void(QMenu& popup)> showEditorPopup;

    Player& player() { return *m_player; }

    ChordList& chordList() { return *m_chordList; }
    const Settings& settings() const { return m_settings; }
    Settings& settings() { return m_settings; }

    int CurrentLine() const;
    void SelectLine(int line, bool highlight);
    void ShowCurrentLine();
    void ArrangeMainWindow();
    // The smallest size at which no control covers another.
    QSize minimumWindowSize() const;
    bool IsPlaying() const;

    void ResetDocument();
    void ResetDocumentState();
    bool LoadChordList(const QString& fileName);
    bool SaveChordList(const QString& fileName);
    bool SaveDocument();
    bool ConfirmDiscard();
    void AddRecentFile(const QString& fileName);
    void ShowRecentFiles();
    void OpenRecentFile(const QString& fileName);
    // Arguments 1 to 5 of the command line, joined by blanks, may name a chord-list file to open.
    void OpenCommandLineFile(const QStringList& arguments);

    // The first of the files dropped on the window, when it is a chord list.
    void OpenDroppedFile(const QString& fileName);

    bool Modified = false;
    bool HintsEnabled = true;
    bool Activated = false;
    bool MidiHeldOpen = false;
    int Patch = DefaultPatch;
    QString NewLineDuration = QStringLiteral(" Q");

    void PlayToggle();
    // Runs as the Edit menu opens: items follow the selection, the undo history and the clipboard.
    void Edit1Click();
    void AutoCorrectAll();
    QStringList AutoNameLinesShowingProgress(const QStringList& lines);
    void Options1Click();
    // Special > Tuning...: the chosen tuning's line written and the notes moved, as one undo step.
    void Tuning1Click();
    TfrmTuning& tuningDialog();
    // Special > Transpose...: the notes of the highlighted lines, or of the whole list, moved by the
    // chosen number of semitones, as one undo step.
    void Transpose1Click();
    TfrmTranspose& transposeDialog();
    void About1Click();
    void Print1Click();
    void Tab1Click();
    void ASCIItab1Click();
    void SaveAsMidiFile1Click();
    void SaveAsWavFile();
    void Practice1Click();

protected:
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // LineDisplay
    void setChordNameCaption(const QString& text) override;
    void setStatusMessage(const QString& text) override;
    void showMarkers(const FretArray& frets) override;
    void showTuning(const Tuning& tuning) override;
    void showFretLimit(int frets) override;
    bool chordEntryMode() const override;

    // PlayerHost
    void SetPlayControls(bool enabled) override;
    void setPlayButtonCaption(const QString& caption) override;
    void focusEditor() override;
    void setBusyCursor(bool busy) override;
    void processEvents() override;
    int playOption() const override;
    bool loopChecked() const override;
    bool traceChecked() const override;
    int tempo() const override;
    unsigned char patch() const override;
    void showPracticeTempo(int tempo) override;

    // EditHost
    void beginEditBlock() override;
    void endEditBlock() override;
    bool isPlaying() const override;
    void clearStopRequested() override;
    QString newLineDuration() const override;
    void setNewLineDuration(const QString& text) override;
    bool autoCorrect() const override;
    void storeChordEntryMode(bool on) override;
    void storeAutoLineAdvance(bool on) override;

    // EditControlStates
    bool dotted() const override;
    void setDotted(bool checked) override;
    bool triplet() const override;
    void setTriplet(bool checked) override;
    void setChordEntryMode(bool checked) override;
    bool autoLineAdvance() const override;
    void setAutoLineAdvance(bool checked) override;
    void setTransposeEnabled(bool enabled) override;

    // TablatureHost
    void setHintsEnabled(bool enabled) override;

    // DocumentHost
    bool modified() const override;
    void setModified(bool modified) override;
    void resetDocumentState() override;
    DocumentHeader headerValues() const override;
    void applyHeaderValues(const DocumentHeader& header) override;
    void setEditorText(const QString& text) override;
    QStringList autoNameLines(const QStringList& lines) override;
    void showDocumentName(const QString& fileName) override;
    void showRecentFiles(const QStringList& names) override;
    void showFirstLine() override;

    // PressedMarkers
    bool isMarkerShown(int slot, int fret) const override;
    void showPressedMarker(int slot, int fret) override;

    void connectEditControls();
    void connectPlayControls();
    void rdoPlayOptionsClick();
    void showLoopAndTraceForOption();
    void setKeyboardOrder();

    MainWindowLayoutInput layoutInput() const;
    void buildNeckArea(QWidget* surface);
    // The neck, its frame and labels, and the New note button at its right end, for a neck of frets frets.
    void placeNeckArea(int frets);
    void buildPlayButtons(QWidget* surface);
    void buildEditControls(QWidget* surface);
    void buildPlayControls(QWidget* surface);
    void buildEditor(QWidget* surface);
    void buildStatusBar();
    void buildTechniqueMenu(QMenu* parent);
    void buildMenus();
    QAction* addMenuItem(QMenu* menu, const char* objectName, const QString& caption, const QString& hint,
        const QKeySequence& shortcut = {});

    void FormActivate();
    bool FormCloseQuery();
    void FormClose();
    void RichEdit1Change();
    void RichEdit1KeyUp(int key);
    void RichEdit1MouseDown(Qt::MouseButton button);
    void RichEdit1SelectionChange();
    void Exit1Click();
    void New1Click();
    void Open1Click();
    void SaveAs1Click();
    void Undo1Click();
    void Redo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Delete1Click();
    void SelectAll1Click();
    void mnuEditorPopUpPopup(const QPoint& position);
    void Find1Click();
    void FindNext1Click();
    void Save1Click();
    void SynthBass11Click(QAction* item);
    void trackbarTempoChange(int position);
    void setBassSoundChecked(int patch);

    class BoxesProxy;
    class DialogsProxy;

    Settings m_settings;
    std::unique_ptr<BoxesProxy> m_boxes;
    std::unique_ptr<DialogsProxy> m_dialogs;
    std::unique_ptr<PlainTextEditorLines> m_lines;
    std::unique_ptr<ChordList> m_chordList;
    std::unique_ptr<MidiBackend> m_backend;
    std::unique_ptr<MidiPort> m_port;
    std::unique_ptr<SteadyPlayClock> m_clock;
    std::unique_ptr<Player> m_player;
    std::unique_ptr<LineEditCommands> m_commands;
    std::unique_ptr<ChordDocument> m_document;
    std::unique_ptr<ModalTablatureWindows> m_tabWindows;
    std::unique_ptr<ImportWiring> m_import;
    QtPrintDialog m_nativePrintDialog;
    PrintDialog* m_printDialog = &m_nativePrintDialog;
    TfrmOptions* m_options = nullptr;
    Tfrmfind* m_find = nullptr;
    TfrmTuning* m_tuningDialog = nullptr;
    TfrmTranspose* m_transposeDialog = nullptr;
    TfrmAbout* m_about = nullptr;
    TfrmNewUserMessage* m_welcome = nullptr;
    // The menu items a playback disabled, enabled again when it ends.
    QList<QAction*> m_lockedItems;
    bool m_playControlsOff = false;

public:
    // Controls, named as the rest of the program and the tests know them.
    QLabel* lblFilename = nullptr;
    QFrame* shpNeckRect = nullptr;
    NeckView* imgAllFrets = nullptr;
    FretNumbersLabel* lblFretNumbers = nullptr;
    ChordNameLabel* lblChordName = nullptr;
    QFrame* pnlPlayButtons = nullptr;
    QPushButton* btnPlay = nullptr;
    QToolButton* btnPrev = nullptr;
    QToolButton* btnNext = nullptr;
    QGroupBox* grpEditControls = nullptr;
    QToolButton* btnNewChord = nullptr;
    ChordEditor* RichEdit1 = nullptr;
    QGroupBox* grpPlayControls = nullptr;
    QGroupBox* rdoPlayOptions = nullptr;
    QButtonGroup* playOptionGroup = nullptr;
    QCheckBox* chkLoop = nullptr;
    QCheckBox* chkTrace = nullptr;
    QSlider* trackbarTempo = nullptr;
    QLabel* lblTempo = nullptr;
    QCheckBox* chkDotted = nullptr;
    QCheckBox* chkTriplet = nullptr;
    QCheckBox* chkAutoNewLine = nullptr;
    QCheckBox* chkChordEntryMode = nullptr;
    QToolButton* btnShiftLeft = nullptr;
    QToolButton* btnShiftRight = nullptr;
    AnnouncingLabel* statusPanel0 = nullptr;
    AnnouncingLabel* statusPanel1 = nullptr;
    QMenu* File1 = nullptr;
    QMenu* Export1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* Special1 = nullptr;
    QMenu* Play1 = nullptr;
    QMenu* Instrument1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Find1 = nullptr;
    QAction* FindNext1 = nullptr;
    QAction* Start1 = nullptr;
    QAction* Stop1 = nullptr;
    QAction* Practice1 = nullptr;
    QAction* FilenameSep = nullptr;
    QAction* mnuFilename[3] = { nullptr, nullptr, nullptr };
    QActionGroup* bassSounds = nullptr;
};

} // namespace fw
