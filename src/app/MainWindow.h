#pragma once

#include "ChordList.h"
#include "LineDisplay.h"
#include "Settings.h"

#include <QMainWindow>
#include <memory>

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
class MessageBoxes;
class PlainTextEditorLines;

// The main window: the neck on top, the chord-list editor below it with the edit controls to its
// left and the play controls to its right, the status bar and the menus. The editor's lines are
// the only copy of the document.
class TfrmMain : public QMainWindow, private LineDisplay {
    Q_OBJECT
public:
    explicit TfrmMain(Settings settings = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Tests answer the message boxes instead of a user.
    void setMessageBoxes(MessageBoxes* boxes);
    MessageBoxes& messageBoxes() const;

    ChordList& chordList() { return *m_chordList; }
    EditorLines& editorLines();
    const Settings& settings() const { return m_settings; }
    Settings& settings() { return m_settings; }

    int CurrentLine() const;
    void SelectLine(int line, bool highlight);
    void ShowCurrentLine();
    void ArrangeMainWindow();
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

    QString documentName() const { return m_documentName; }

    int FretCount = 18;
    bool Modified = false;
    bool HintsEnabled = true;
    bool Activated = false;
    bool MidiHeldOpen = false;
    bool StopRequested = false;
    int Patch = 33;
    int Info3Value = 555555;
    QString NewLineDuration = QStringLiteral(" Q");

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // LineDisplay
    void setChordNameCaption(const QString& text) override;
    void setStatusMessage(const QString& text) override;
    void showMarkers(const FretArray& frets) override;
    bool chordEntryMode() const override;

    void buildNeckArea(QWidget* surface);
    void buildPlayButtons(QWidget* surface);
    void buildEditControls(QWidget* surface);
    void buildPlayControls(QWidget* surface);
    void buildEditor(QWidget* surface);
    void buildStatusBar();
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
    void Save1Click();
    void SynthBass11Click(QAction* item);
    void trackbarTempoChange(int position);
    void setDocumentName(const QString& fileName);
    void setBassSoundChecked(int patch);
    void openDocumentFile(const QString& fileName);

    Settings m_settings;
    QString m_documentName;
    std::unique_ptr<MessageBoxes> m_ownBoxes;
    MessageBoxes* m_boxes = nullptr;
    std::unique_ptr<PlainTextEditorLines> m_lines;
    std::unique_ptr<ChordList> m_chordList;
    FretArray m_markers = NoFrets;

public:
    // Controls, named as the rest of the program and the tests know them.
    QLabel* lblFilename = nullptr;
    QFrame* shpNeckRect = nullptr;
    QWidget* imgAllFrets = nullptr;
    QLabel* lblFretNumbers = nullptr;
    QLabel* lblChordName = nullptr;
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
    QLabel* statusPanel0 = nullptr;
    QLabel* statusPanel1 = nullptr;
    QMenu* File1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* Special1 = nullptr;
    QMenu* Play1 = nullptr;
    QMenu* Instrument1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Start1 = nullptr;
    QAction* Stop1 = nullptr;
    QAction* FilenameSep = nullptr;
    QAction* mnuFilename[3] = { nullptr, nullptr, nullptr };
    QActionGroup* bassSounds = nullptr;
};

} // namespace fw
