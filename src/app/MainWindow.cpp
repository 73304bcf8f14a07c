#include "MainWindow.h"

#include "ChordEditor.h"
#include "DocumentText.h"
#include "LineParser.h"
#include "MainWindowLayout.h"
#include "PlainTextEditorLines.h"
#include "QtMessageBoxes.h"
#include "SilentHost.h"
#include "StringListLines.h"
#include "TextRules.h"

#include <QAccessible>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSlider>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>

namespace fw {

namespace {

    // Client-area size of the design; the window's outer size adds the frame, caption and menu.
    constexpr int DesignOuterWidth = 621;
    constexpr int DesignOuterHeight = 432;
    constexpr int OuterExtraWidth = 8;
    constexpr int OuterExtraHeight = 50;

    QString WithoutAmpersand(QString caption) { return caption.remove(QLatin1Char('&')); }

    // Every control carries its hint as status tip and as accessible description, and its caption
    // (or a short spoken name for picture-only buttons) as accessible name.
    template <typename W> W* Named(W* widget, const char* objectName, const QString& spokenName, const QString& hint)
    {
        widget->setObjectName(QString::fromLatin1(objectName));
        widget->setAccessibleName(WithoutAmpersand(spokenName));
        widget->setStatusTip(hint);
        widget->setAccessibleDescription(hint);
        return widget;
    }

    // The window's surface: a one-pixel line along its top edge separates the menu from the neck.
    class MainSurface : public QWidget {
    public:
        using QWidget::QWidget;

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(0, 0, width(), 0);
        }
    };

} // namespace

TfrmMain::TfrmMain(Settings settings, QWidget* parent)
    : QMainWindow(parent)
    , m_settings(std::move(settings))
    , m_ownBoxes(std::make_unique<QtMessageBoxes>(this))
    , m_boxes(m_ownBoxes.get())
{
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QStringLiteral("Fretwerk Bass"));
    setAcceptDrops(true);
    // The layout is drawn for an 8-point dialog font.
    QFont designFont = font();
    designFont.setPointSize(8);
    setFont(designFont);

    auto* surface = new MainSurface(this);
    surface->setObjectName(QStringLiteral("MainSurface"));
    setCentralWidget(surface);

    buildNeckArea(surface);
    buildEditor(surface);
    buildEditControls(surface);
    buildPlayControls(surface);
    buildPlayButtons(surface);
    buildStatusBar();
    buildMenus();

    m_lines = std::make_unique<PlainTextEditorLines>(*RichEdit1);
    m_chordList = std::make_unique<ChordList>(*m_lines, static_cast<LineDisplay&>(*this), *m_boxes);

    trackbarTempo->setRange(MinTempo, MaxTempo);
    if (m_settings.LastDir.isEmpty() || !QFileInfo(m_settings.LastDir).isDir())
        m_settings.LastDir.clear();
    lblChordName->setVisible(m_settings.ShowChordName);
    lblFretNumbers->setVisible(m_settings.ShowFretNumbers);
    MidiHeldOpen = m_settings.ExternalMIDI;
    chkAutoNewLine->setChecked(m_settings.AutoLineAdvance);
    chkChordEntryMode->setChecked(m_settings.ChordEntryMode);

    ShowRecentFiles();
    ResetDocument();

    resize(DesignOuterWidth - OuterExtraWidth, DesignOuterHeight - OuterExtraHeight + menuBar()->sizeHint().height());
    ArrangeMainWindow();
    m_chordList->ShowLineInfo(0);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::setMessageBoxes(MessageBoxes* boxes)
{
    m_boxes = boxes ? boxes : m_ownBoxes.get();
    m_chordList = std::make_unique<ChordList>(*m_lines, static_cast<LineDisplay&>(*this), *m_boxes);
}

MessageBoxes& TfrmMain::messageBoxes() const { return *m_boxes; }

EditorLines& TfrmMain::editorLines() { return *m_lines; }

void TfrmMain::buildNeckArea(QWidget* surface)
{
    lblFilename
        = Named(new QLabel(surface), "lblFilename", QStringLiteral("File name"), QStringLiteral("Current file name."));
    lblFilename->setGeometry(4, 2, 487, 16);
    lblFilename->setAlignment(Qt::AlignCenter);
    QFont bold = lblFilename->font();
    bold.setBold(true);
    lblFilename->setFont(bold);

    // The frame lies behind the neck, two pixels outside it on every side.
    shpNeckRect = new QFrame(surface);
    shpNeckRect->setObjectName(QStringLiteral("shpNeckRect"));
    shpNeckRect->setStyleSheet(QStringLiteral("background-color: black;"));
    imgAllFrets = Named(new QFrame(surface), "imgAllFrets", QStringLiteral("Fretboard"), QStringLiteral("         "));
    imgAllFrets->setStyleSheet(QStringLiteral("background-color: #6b4a2b;"));
    imgAllFrets->setGeometry(5, 18, 484, 160);
    shpNeckRect->setGeometry(
        imgAllFrets->x() - 2, imgAllFrets->y() - 2, imgAllFrets->width() + 4, imgAllFrets->height() + 4);

    lblFretNumbers
        = new QLabel(QStringLiteral("1      2     3      4      5      6      7      8      9      10    11    12    "
                                    "13    14    15    16    17    18"),
            surface);
    lblFretNumbers->setObjectName(QStringLiteral("lblFretNumbers"));
    lblFretNumbers->setGeometry(64, 116, 423, 13);
    lblFretNumbers->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    lblFretNumbers->setAccessibleName(QStringLiteral("Fret numbers"));

    lblChordName
        = Named(new QLabel(surface), "lblChordName", QStringLiteral("Chord name"), QStringLiteral("Chord name."));
    lblChordName->setGeometry(225, 48, 261, 16);
    lblChordName->setAlignment(Qt::AlignCenter);
    lblChordName->setWordWrap(true);
    lblChordName->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    QFont nameFont = lblChordName->font();
    nameFont.setPointSize(10);
    lblChordName->setFont(nameFont);

    btnNewChord = Named(new QToolButton(surface), "btnNewChord", QStringLiteral("New note"),
        QStringLiteral("Finish with the current chord and start a new one."));
    btnNewChord->setText(QStringLiteral("NEW NOTE"));
    btnNewChord->setGeometry(420, 144, 67, 33);
    btnNewChord->setEnabled(false);

    // The hidden cell that carries the neck's mouse handlers.
    auto* shape1 = new QWidget(surface);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setGeometry(-40, -40, 28, 28);
    shape1->hide();
}

void TfrmMain::buildEditor(QWidget* surface)
{
    RichEdit1 = Named(new ChordEditor(surface), "RichEdit1", QStringLiteral("Chord list"),
        QStringLiteral("Chord definition editor."));
    RichEdit1->setGeometry(272, 186, 215, 177);
    connect(RichEdit1, &QPlainTextEdit::textChanged, this, &TfrmMain::RichEdit1Change);
    connect(RichEdit1, &QPlainTextEdit::cursorPositionChanged, this, &TfrmMain::RichEdit1SelectionChange);
    connect(RichEdit1, &QPlainTextEdit::selectionChanged, this, &TfrmMain::RichEdit1SelectionChange);
    connect(RichEdit1, &ChordEditor::keyReleased, this, &TfrmMain::RichEdit1KeyUp);
    connect(RichEdit1, &ChordEditor::mousePressed, this, &TfrmMain::RichEdit1MouseDown);
}

void TfrmMain::buildEditControls(QWidget* surface)
{
    grpEditControls = Named(new QGroupBox(QStringLiteral("Edit Controls"), surface), "grpEditControls",
        QStringLiteral("Edit Controls"), QString());
    grpEditControls->setGeometry(6, 186, 261, 159);

    struct ButtonSpec {
        const char* name;
        const char* text;
        const char* spoken;
        QRect place;
        const char* hint;
    };
    const ButtonSpec buttons[] = {
        { "btnRest", "REST", "Rest", { 16, 20, 37, 39 }, "Insert a rest in the editor." },
        { "btnDup", "Dup", "Duplicate", { 57, 22, 59, 33 }, "Duplicate the current line." },
        { "btnClear", "CLEAR", "Clear notes", { 120, 22, 50, 33 }, "Clear all notes from current line." },
        { "btnDelete", "DELETE", "Delete note", { 174, 22, 59, 33 }, "Delete the current line." },
        { "btnWholeNote", "W", "Whole note", { 16, 66, 20, 35 }, "Whole note duration for current line." },
        { "btnHalfNote", "H", "Half note", { 40, 66, 20, 35 }, "Half note duration for current line." },
        { "btnQuarterNote", "Q", "Quarter note", { 64, 66, 20, 35 }, "Quarter note duration for current line." },
        { "btnEighthNote", "E", "Eighth note", { 88, 66, 20, 35 }, "Eighth note duration for current line." },
        { "btnSixteenthNote", "S", "Sixteenth note", { 112, 66, 20, 35 }, "Sixteenth note duration for current line." },
        { "btnThirtySecondNote", "T", "Thirty-second note", { 136, 66, 20, 35 },
            "Thirty-second note duration for current line." },
        { "btnSixtyFourthNote", "F", "Sixty-fourth note", { 160, 66, 20, 35 },
            "Sixty-fourth note duration for current line." },
        { "btnShiftLeft", "<", "Shift left", { 154, 134, 37, 21 },
            "Transpose down - shift all notes in a chord down one fret." },
        { "btnShiftRight", ">", "Shift right", { 200, 134, 37, 21 },
            "Transpose up - shift all notes in a chord up one fret." },
    };
    for (const ButtonSpec& spec : buttons) {
        auto* button = Named(new QToolButton(grpEditControls), spec.name, QString::fromLatin1(spec.spoken),
            QString::fromLatin1(spec.hint));
        button->setText(QString::fromLatin1(spec.text));
        button->setGeometry(spec.place);
        button->setEnabled(false);
    }
    chkDotted = Named(new QCheckBox(QStringLiteral("Dotted"), grpEditControls), "chkDotted", QStringLiteral("Dotted"),
        QStringLiteral("Note durations are increased by 1/2 with this is checked."));
    chkDotted->setGeometry(192, 62, 64, 20);
    chkTriplet = Named(new QCheckBox(QStringLiteral("Triplets"), grpEditControls), "chkTriplet",
        QStringLiteral("Triplets"), QStringLiteral("Note durations are divided by 3 with this checked."));
    chkTriplet->setGeometry(192, 82, 64, 20);
    chkAutoNewLine = Named(new QCheckBox(QStringLiteral("Auto Line Advance"), grpEditControls), "chkAutoNewLine",
        QStringLiteral("Auto Line Advance"), QStringLiteral("Automatically starts a new note when a note is clicked."));
    chkAutoNewLine->setGeometry(10, 122, 118, 20);
    chkChordEntryMode = Named(new QCheckBox(QStringLiteral("Chord Entry Mode"), grpEditControls), "chkChordEntryMode",
        QStringLiteral("Chord Entry Mode"), QStringLiteral("Enter multiple notes to sound at the same time."));
    chkChordEntryMode->setGeometry(140, 112, 118, 20);
    for (QCheckBox* box : { chkDotted, chkTriplet, chkAutoNewLine, chkChordEntryMode })
        box->setEnabled(false);

    auto* panel1 = new QFrame(grpEditControls);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFrameShape(QFrame::HLine);
    panel1->setFrameShadow(QFrame::Sunken);
    panel1->setGeometry(6, 106, 247, 5);
    auto* panel2 = new QFrame(grpEditControls);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFrameShape(QFrame::VLine);
    panel2->setFrameShadow(QFrame::Sunken);
    panel2->setGeometry(128, 112, 5, 41);
}

void TfrmMain::buildPlayControls(QWidget* surface)
{
    grpPlayControls = Named(new QGroupBox(QStringLiteral("Play Controls"), surface), "grpPlayControls",
        QStringLiteral("Play Controls"), QString());
    grpPlayControls->setGeometry(493, 180, 114, 179);

    rdoPlayOptions = Named(new QGroupBox(grpPlayControls), "rdoPlayOptions", QStringLiteral("Play options"),
        QStringLiteral("Settings for play button."));
    rdoPlayOptions->setGeometry(6, 16, 102, 86);
    playOptionGroup = new QButtonGroup(this);
    const char* options[] = { "All", "From cursor", "Highlighted", "Current line" };
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(options[i]), rdoPlayOptions);
        radio->setObjectName(QStringLiteral("rdoPlayOption%1").arg(i));
        radio->setStatusTip(rdoPlayOptions->statusTip());
        radio->setAccessibleDescription(rdoPlayOptions->statusTip());
        radio->setGeometry(6, 4 + 20 * i, 92, 19);
        playOptionGroup->addButton(radio, i);
    }

    chkLoop = Named(new QCheckBox(QStringLiteral("Loop"), grpPlayControls), "chkLoop", QStringLiteral("Loop"),
        QStringLiteral("Play continuously."));
    chkLoop->setGeometry(8, 104, 50, 19);
    chkTrace = Named(new QCheckBox(QStringLiteral("Trace"), grpPlayControls), "chkTrace", QStringLiteral("Trace"),
        QStringLiteral("Display line while playing."));
    chkTrace->setGeometry(58, 104, 54, 19);

    const QString tempoHint = QStringLiteral("Playback tempo.");
    lblTempo = Named(new QLabel(grpPlayControls), "lblTempo", QStringLiteral("Tempo"), tempoHint);
    lblTempo->setGeometry(8, 124, 98, 14);
    lblTempo->setAlignment(Qt::AlignCenter);
    trackbarTempo
        = Named(new QSlider(Qt::Horizontal, grpPlayControls), "trackbarTempo", QStringLiteral("Tempo"), tempoHint);
    trackbarTempo->setGeometry(6, 138, 102, 20);
    connect(trackbarTempo, &QSlider::valueChanged, this, &TfrmMain::trackbarTempoChange);
    auto* slower = Named(
        new QLabel(QStringLiteral("Slower"), grpPlayControls), "lblSlower", QStringLiteral("Slower"), tempoHint);
    slower->setGeometry(6, 158, 50, 14);
    auto* faster = Named(
        new QLabel(QStringLiteral("Faster"), grpPlayControls), "lblFaster", QStringLiteral("Faster"), tempoHint);
    faster->setGeometry(58, 158, 50, 14);
    faster->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Playback arrives with the player; until then these controls cannot do anything.
    for (QWidget* control : std::initializer_list<QWidget*> { rdoPlayOptions, chkLoop, chkTrace })
        control->setEnabled(false);
}

void TfrmMain::buildPlayButtons(QWidget* surface)
{
    pnlPlayButtons = new QFrame(surface);
    pnlPlayButtons->setObjectName(QStringLiteral("pnlPlayButtons"));
    pnlPlayButtons->setFrameShape(QFrame::StyledPanel);
    pnlPlayButtons->setGeometry(494, 4, 111, 173);

    btnPlay = Named(new QPushButton(QStringLiteral("Play"), pnlPlayButtons), "btnPlay", QStringLiteral("Play"),
        QStringLiteral("Play music."));
    btnPlay->setGeometry(8, 8, 95, 100);
    QFont playFont = btnPlay->font();
    playFont.setPointSize(playFont.pointSize() + 6);
    playFont.setBold(true);
    btnPlay->setFont(playFont);
    btnPrev = Named(
        new QToolButton(pnlPlayButtons), "btnPrev", QStringLiteral("Step back"), QStringLiteral("Step play backward."));
    btnPrev->setArrowType(Qt::LeftArrow);
    btnPrev->setGeometry(8, 116, 45, 48);
    btnNext = Named(new QToolButton(pnlPlayButtons), "btnNext", QStringLiteral("Step forward"),
        QStringLiteral("Step play forward."));
    btnNext->setArrowType(Qt::RightArrow);
    btnNext->setGeometry(58, 116, 45, 48);
    for (QWidget* control : std::initializer_list<QWidget*> { btnPlay, btnPrev, btnNext })
        control->setEnabled(false);
}

void TfrmMain::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    statusPanel0 = new QLabel(bar);
    statusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    statusPanel0->setAccessibleName(QStringLiteral("Message"));
    statusPanel0->setFixedWidth(493);
    statusPanel0->setFrameShape(QFrame::Panel);
    statusPanel0->setFrameShadow(QFrame::Sunken);
    statusPanel1 = new QLabel(bar);
    statusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    statusPanel1->setAccessibleName(QStringLiteral("Line number"));
    statusPanel1->setFrameShape(QFrame::Panel);
    statusPanel1->setFrameShadow(QFrame::Sunken);
    bar->addWidget(statusPanel0);
    bar->addWidget(statusPanel1, 1);
}

QAction* TfrmMain::addMenuItem(
    QMenu* menu, const char* objectName, const QString& caption, const QString& hint, const QKeySequence& shortcut)
{
    auto* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setStatusTip(hint);
    action->setShortcut(shortcut);
    return action;
}

void TfrmMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto addMenu = [bar](const char* objectName, const QString& caption, const QString& hint) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(objectName));
        menu->menuAction()->setObjectName(QString::fromLatin1(objectName));
        menu->menuAction()->setStatusTip(hint);
        return menu;
    };

    File1 = addMenu("File1", QStringLiteral("&File"), QStringLiteral("Open, save and print chord lists."));
    connect(addMenuItem(File1, "New1", QStringLiteral("&New"), QStringLiteral("Start a new chord list."),
                QKeySequence(Qt::CTRL | Qt::Key_N)),
        &QAction::triggered, this, &TfrmMain::New1Click);
    addMenuItem(File1, "Open1", QStringLiteral("&Open..."), QStringLiteral("Open a chord list file."),
        QKeySequence(Qt::CTRL | Qt::Key_O))
        ->setEnabled(false);
    connect(addMenuItem(File1, "Save1", QStringLiteral("&Save..."), QStringLiteral("Save the chord list."),
                QKeySequence(Qt::CTRL | Qt::Key_S)),
        &QAction::triggered, this, &TfrmMain::Save1Click);
    addMenuItem(File1, "SaveAs1", QStringLiteral("Save &As..."),
        QStringLiteral("Save the chord list under a new name."), QKeySequence(Qt::CTRL | Qt::Key_A))
        ->setEnabled(false);
    addMenuItem(File1, "Print1", QStringLiteral("&Print..."), QStringLiteral("Print the chord list."))
        ->setEnabled(false);
    addMenuItem(File1, "Options1", QStringLiteral("S&ettings..."), QStringLiteral("Change configuration."))
        ->setEnabled(false);
    connect(addMenuItem(File1, "Exit1", QStringLiteral("E&xit"), QStringLiteral("Close Fretwerk Bass.")),
        &QAction::triggered, this, &TfrmMain::Exit1Click);
    FilenameSep = File1->addSeparator();
    FilenameSep->setObjectName(QStringLiteral("FilenameSep"));
    for (int i = 0; i < 3; ++i) {
        mnuFilename[i] = addMenuItem(File1, i == 0 ? "mnuFilename0" : (i == 1 ? "mnuFilename1" : "mnuFilename2"),
            QString(), QStringLiteral("Open a recently used chord list."));
        connect(mnuFilename[i], &QAction::triggered, this, [this, i] { OpenRecentFile(mnuFilename[i]->text()); });
    }
    FilenameSep->setVisible(false);
    for (QAction* item : mnuFilename)
        item->setVisible(false);

    Edit1 = addMenu("Edit1", QStringLiteral("&Edit"), QStringLiteral("Chord list editing operations."));
    addMenuItem(Edit1, "Undo1", QStringLiteral("&Undo"), QStringLiteral("Undo most recent edit."),
        QKeySequence(Qt::CTRL | Qt::Key_Z));
    Edit1->addSeparator();
    addMenuItem(Edit1, "Cut1", QStringLiteral("Cu&t"), QStringLiteral("Remove selected text to Clipboard."),
        QKeySequence(Qt::CTRL | Qt::Key_X));
    addMenuItem(Edit1, "Copy1", QStringLiteral("&Copy"), QStringLiteral("Copy selected text to Clipboard."),
        QKeySequence(Qt::CTRL | Qt::Key_C));
    addMenuItem(Edit1, "Paste1", QStringLiteral("&Paste"), QStringLiteral("Paste text from Clipboard."),
        QKeySequence(Qt::CTRL | Qt::Key_V));
    addMenuItem(Edit1, "Delete1", QStringLiteral("&Delete"),
        QStringLiteral("Delete selected text without writing to Clipboard."), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    addMenuItem(Edit1, "SelectAll1", QStringLiteral("Select &All"), QStringLiteral("Select all lines in chord list."));
    Edit1->addSeparator();
    addMenuItem(Edit1, "Find1", QStringLiteral("&Find..."), QStringLiteral("Find a text string."),
        QKeySequence(Qt::CTRL | Qt::Key_F));
    addMenuItem(Edit1, "FindNext1", QStringLiteral("Find &Next"), QStringLiteral("Find next occurrence of string."),
        QKeySequence(Qt::Key_F3));
    for (QAction* item : Edit1->actions())
        item->setEnabled(item->isSeparator());

    Special1 = addMenu("Special1", QStringLiteral("&Special"), QStringLiteral("Tablature, MIDI and audio files."));
    addMenuItem(Special1, "Tab1", QStringLiteral("&Tablature..."), QStringLiteral("Show tablature window."),
        QKeySequence(Qt::Key_F4))
        ->setEnabled(false);
    addMenuItem(Special1, "ASCIItab1", QStringLiteral("&ASCII Tablature..."),
        QStringLiteral("Show ASCII tablature window."), QKeySequence(Qt::Key_F5))
        ->setEnabled(false);
    addMenuItem(Special1, "SaveAsMidiFile1", QStringLiteral("&Midi File..."), QStringLiteral("Create a MIDI file."),
        QKeySequence(Qt::Key_F6))
        ->setEnabled(false);
    addMenuItem(Special1, "AudioFile1", QStringLiteral("&Audio File..."), QStringLiteral("Create a WAV audio file."))
        ->setEnabled(false);

    Play1 = addMenu("Play1", QStringLiteral("&Play"), QStringLiteral("Play chords."));
    Start1 = addMenuItem(
        Play1, "Start1", QStringLiteral("&Start"), QStringLiteral("Start playing."), QKeySequence(Qt::Key_F2));
    Stop1 = addMenuItem(
        Play1, "Stop1", QStringLiteral("&Stop"), QStringLiteral("Stop Playing."), QKeySequence(Qt::Key_F2));
    Start1->setEnabled(false);
    Stop1->setVisible(false);

    Instrument1 = addMenu("Instrument1", QStringLiteral("&Bass Sounds"), QStringLiteral("Other Bass Sounds"));
    bassSounds = new QActionGroup(this);
    bassSounds->setExclusive(true);
    const std::pair<const char*, const char*> sounds[] = {
        { "AcousticBass1", "Acoustic Bass" },
        { "ElectricBassfinger1", "Electric Bass (finger)" },
        { "ElectricBasspick1", "Electric Bass (pick)" },
        { "FretlessBass1", "Fretless Bass" },
        { "SlapBass11", "Slap Bass 1" },
        { "SlapBass21", "Slap Bass 2" },
        { "SynthBass11", "Synth Bass 1" },
    };
    int tag = 33;
    for (const auto& [name, caption] : sounds) {
        QAction* item = addMenuItem(Instrument1, name, QString::fromLatin1(caption), QStringLiteral("Bass Sound"));
        item->setCheckable(true);
        item->setData(tag++);
        bassSounds->addAction(item);
    }
    connect(bassSounds, &QActionGroup::triggered, this, &TfrmMain::SynthBass11Click);
    setBassSoundChecked(33);

    Help1 = addMenu("Help1", QStringLiteral("&Help"), QStringLiteral("Help and information."));
    addMenuItem(
        Help1, "Contents1", QStringLiteral("&Contents"), QStringLiteral("Main help page."), QKeySequence(Qt::Key_F1))
        ->setEnabled(false);
    addMenuItem(Help1, "Topics1", QStringLiteral("&Topics"), QStringLiteral("Topic list."))->setEnabled(false);
    addMenuItem(Help1, "About1", QStringLiteral("&About..."), QStringLiteral("About this program."))->setEnabled(false);
}

bool TfrmMain::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::StatusTip:
        // Hints go to panel 0 only, and only while no modal window of ours is showing its own.
        if (HintsEnabled)
            statusPanel0->setText(QStringLiteral(" ") + static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    case QEvent::WindowActivate:
        if (!Activated)
            FormActivate();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void TfrmMain::FormActivate() { Activated = true; }

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TfrmMain::FormCloseQuery()
{
    if (IsPlaying())
        return false;
    if (Modified && !ConfirmDiscard())
        return false;
    StopRequested = true;
    return true;
}

void TfrmMain::FormClose() { }

void TfrmMain::resizeEvent(QResizeEvent* event)
{
    ArrangeMainWindow();
    QMainWindow::resizeEvent(event);
}

void TfrmMain::ArrangeMainWindow()
{
    if (!RichEdit1 || !centralWidget())
        return;
    const QWidget* surface = centralWidget();
    MainWindowLayoutInput in {
        surface->width() + OuterExtraWidth,
        surface->height() + statusBar()->height() + OuterExtraHeight,
        statusBar()->height(),
        shpNeckRect->geometry(),
        grpPlayControls->geometry(),
        RichEdit1->geometry(),
        pnlPlayButtons->geometry(),
        grpEditControls->geometry(),
    };
    const MainWindowLayout out = fw::ArrangeMainWindow(in);
    grpPlayControls->setGeometry(out.playControls);
    RichEdit1->setGeometry(out.editor);
    pnlPlayButtons->setGeometry(out.playButtons);
    grpEditControls->setGeometry(out.editControls);
}

bool TfrmMain::IsPlaying() const { return btnPlay->text() == QLatin1String("Stop"); }

int TfrmMain::CurrentLine() const { return m_lines->currentLine(); }

void TfrmMain::SelectLine(int line, bool highlight) { m_lines->selectLine(line, highlight); }

void TfrmMain::ShowCurrentLine()
{
    RichEdit1->setReadOnly(false);
    if (IsPlaying()) {
        RichEdit1->setReadOnly(true);
        return;
    }
    m_chordList->ShowLineInfo(CurrentLine());
}

void TfrmMain::RichEdit1SelectionChange()
{
    if (!m_lines)
        return;
    statusPanel1->setText(QStringLiteral("Line %1").arg(CurrentLine() + 1));
}

void TfrmMain::RichEdit1MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        ShowCurrentLine();
}

void TfrmMain::RichEdit1KeyUp(int key)
{
    Q_UNUSED(key);
    ShowCurrentLine();
    if (IsPlaying())
        return;
    if (m_settings.AutoCorrect) {
        m_lines->beginEditBlock();
        m_chordList->AutoNameLine(CurrentLine());
        m_lines->endEditBlock();
        // Renaming parses the line again, which blanks the chord name; show the line as it now reads.
        m_chordList->ShowLineInfo(CurrentLine());
    }
}

void TfrmMain::RichEdit1Change()
{
    if (m_lines && m_lines->lineCount() >= 1)
        Modified = true;
}

void TfrmMain::Exit1Click() { close(); }

void TfrmMain::New1Click()
{
    if (Modified && !ConfirmDiscard())
        return;
    ResetDocument();
    SelectLine(0, false);
    m_chordList->ShowLineInfo(0);
    RichEdit1->setFocus();
    Modified = false;
}

void TfrmMain::Save1Click()
{
    SaveDocument();
    RichEdit1->setFocus();
}

void TfrmMain::SynthBass11Click(QAction* item)
{
    Patch = item->data().toInt() - 1;
    item->setChecked(true);
    Modified = true;
}

void TfrmMain::setBassSoundChecked(int patch)
{
    const QList<QAction*> items = bassSounds->actions();
    items[BassSoundIndexForPatch(patch)]->setChecked(true);
}

void TfrmMain::trackbarTempoChange(int position)
{
    lblTempo->setText(QString::number(position));
    Modified = true;
}

void TfrmMain::setChordNameCaption(const QString& text)
{
    if (lblChordName->text() != text)
        lblChordName->setText(text);
}

void TfrmMain::setStatusMessage(const QString& text) { statusPanel0->setText(text); }

void TfrmMain::showMarkers(const FretArray& frets) { m_markers = frets; }

bool TfrmMain::chordEntryMode() const { return chkChordEntryMode->isChecked(); }

void TfrmMain::ResetDocumentState()
{
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
    chkDotted->setChecked(false);
    chkTriplet->setChecked(false);
    Info3Value = DefaultInfo3Value;
    m_settings.Octave = -12;
    NewLineDuration = QStringLiteral(" Q");
    Modified = false;
}

void TfrmMain::setDocumentName(const QString& fileName)
{
    m_documentName = fileName;
    lblFilename->setText(QFileInfo(fileName).fileName());
}

void TfrmMain::ResetDocument()
{
    RichEdit1->clear();
    setDocumentName(QStringLiteral("Untitled.bss"));
    ResetDocumentState();
}

bool TfrmMain::LoadChordList(const QString& fileName)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly)) {
        m_boxes->errorBox(QStringLiteral("Can't open \"%1\": %2")
                              .arg(QDir::toNativeSeparators(fileName),
                                  QFileInfo(fileName).isDir() ? QStringLiteral("it is a folder") : file.errorString()));
        return false;
    }
    const QString text = DecodeDocumentBytes(file.readAll());
    QStringList lines = SplitDocumentLines(text);
    DocumentHeader header;
    header.Patch = Patch;
    header.Info3Value = Info3Value;
    header.Tempo = trackbarTempo->value();
    ApplyHeaderLines(lines, header);
    Patch = header.Patch;
    setBassSoundChecked(Patch);
    Info3Value = header.Info3Value;
    trackbarTempo->setValue(header.Tempo);
    lblTempo->setText(QString::number(trackbarTempo->value()));

    // Renaming happens before the text reaches the editor: the same result as renaming each
    // editor line, in one step and fast for long files.
    if (m_settings.AutoCorrect) {
        StringListLines renamed(lines);
        SilentHost silent;
        ChordList renamer(renamed, silent, silent);
        for (int i = 0; i <= renamed.lineCount(); ++i)
            renamer.AutoNameLine(i);
        lines = renamed.lines();
    }
    const bool endsWithBreak = text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
    QString editorText = lines.join(QLatin1Char('\n'));
    if (endsWithBreak && !lines.isEmpty())
        editorText += QLatin1Char('\n');
    RichEdit1->setPlainText(editorText);
    return true;
}

bool TfrmMain::SaveChordList(const QString& fileName)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QStringList lines = HeaderLines({ Patch, Info3Value, trackbarTempo->value() });
    for (int i = 0; i < m_lines->lineCount(); ++i)
        lines.append(m_lines->lineText(i));
    QSaveFile file(fileName);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok)
        ok = file.write(EncodeDocumentText(JoinDocumentLines(lines))) >= 0;
    ok = ok && file.commit();
    QApplication::restoreOverrideCursor();
    if (!ok) {
        // The previous file stays as it was: nothing replaces it unless the whole text was written.
        m_boxes->errorBox(
            QStringLiteral("Can't save \"%1\": %2").arg(QDir::toNativeSeparators(fileName), file.errorString()));
        return false;
    }
    return true;
}

bool TfrmMain::SaveDocument()
{
    if (!SaveChordList(m_documentName))
        return false;
    setDocumentName(m_documentName);
    Modified = false;
    return true;
}

bool TfrmMain::ConfirmDiscard()
{
    if (!m_settings.Prompts)
        return true;
    const QString name = QFileInfo(m_documentName).fileName();
    switch (m_boxes->askYesNoCancel(QStringLiteral(" Save changes to \"%1\"?").arg(name))) {
    case MessageBoxes::Answer::Yes:
        // A failed save must not let the caller throw the changes away.
        return SaveDocument();
    case MessageBoxes::Answer::No:
        return true;
    case MessageBoxes::Answer::Cancel:
        break;
    }
    return false;
}

void TfrmMain::AddRecentFile(const QString& fileName)
{
    m_settings.RecentFile2 = m_settings.RecentFile1;
    m_settings.RecentFile1 = m_settings.RecentFile0;
    m_settings.RecentFile0 = fileName;
    ShowRecentFiles();
}

void TfrmMain::ShowRecentFiles()
{
    const QString* names[3] = { &m_settings.RecentFile0, &m_settings.RecentFile1, &m_settings.RecentFile2 };
    for (int i = 0; i < 3; ++i) {
        if (names[i]->isEmpty())
            continue;
        if (i == 0)
            FilenameSep->setVisible(true);
        mnuFilename[i]->setText(*names[i]);
        mnuFilename[i]->setVisible(true);
    }
    if (mnuFilename[1]->text() == mnuFilename[0]->text())
        mnuFilename[1]->setVisible(false);
    if (mnuFilename[2]->text() == mnuFilename[0]->text())
        mnuFilename[2]->setVisible(false);
    if (mnuFilename[2]->text() == mnuFilename[1]->text())
        mnuFilename[2]->setVisible(false);
}

void TfrmMain::openDocumentFile(const QString& fileName)
{
    ResetDocumentState();
    if (!LoadChordList(fileName)) {
        ResetDocument();
        return;
    }
    setDocumentName(fileName);
    SelectLine(0, false);
    m_chordList->ShowLineInfo(0);
    Modified = false;
}

void TfrmMain::OpenRecentFile(const QString& fileName)
{
    if (Modified && !ConfirmDiscard())
        return;
    if (!QFileInfo::exists(fileName)) {
        m_boxes->errorBox(fileName + QStringLiteral(" doesn't exist!"));
        return;
    }
    openDocumentFile(fileName);
    RichEdit1->setFocus();
}

void TfrmMain::OpenCommandLineFile(const QStringList& arguments)
{
    const QString joined = arguments.mid(1, 5).join(QLatin1Char(' ')).trimmed();
    if (joined.isEmpty())
        return;
    const QFileInfo info(joined);
    if (!info.isFile() || info.suffix().compare(QLatin1String("bss"), Qt::CaseInsensitive) != 0)
        return;
    openDocumentFile(info.absoluteFilePath());
    AddRecentFile(info.absoluteFilePath());
}

} // namespace fw
