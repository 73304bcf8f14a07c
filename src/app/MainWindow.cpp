#include "MainWindow.h"

#include "AboutBox.h"
#include "ChordEditor.h"
#include "DocumentText.h"
#include "EditGlyphs.h"
#include "FileReading.h"
#include "FindDialog.h"
#include "FingeringCommand.h"
#include "FretNumbersLabel.h"
#include "HelpWindow.h"
#include "LineEditCommands.h"
#include "LineParser.h"
#include "MainWindowLayout.h"
#include "MidiPort.h"
#include "NeckView.h"
#include "NewUserMessage.h"
#include "OptionsDialog.h"
#include "PlainTextEditorLines.h"
#include "PlayClock.h"
#include "QtFileDialogs.h"
#include "QtMessageBoxes.h"
#include "SafeFileWrite.h"
#include "SaveAsMidi.h"
#include "SilentHost.h"
#include "SoundFont.h"
#include "StringListLines.h"
#include "SystemBackend.h"
#include "TextRules.h"
#include "WavRender.h"

#include <QAccessible>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QUrl>

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

// Everything that shows a box holds this one object, so tests can answer in place of a user.
class TfrmMain::BoxesProxy : public MessageBoxes {
public:
    explicit BoxesProxy(QWidget* parent)
        : m_native(parent)
    {
    }
    void retarget(MessageBoxes* boxes) { m_target = boxes ? boxes : &m_native; }
    void errorBox(const QString& text) override { m_target->errorBox(text); }
    void plainBox(const QString& text) override { m_target->plainBox(text); }
    void warningBox(const QString& text) override { m_target->warningBox(text); }
    void informationBox(const QString& text) override { m_target->informationBox(text); }
    Answer askYesNoCancel(const QString& text) override { return m_target->askYesNoCancel(text); }

private:
    QtMessageBoxes m_native;
    MessageBoxes* m_target = &m_native;
};

class TfrmMain::DialogsProxy : public FileDialogs, public SaveFileDialog {
public:
    explicit DialogsProxy(QWidget* parent)
        : m_native(parent)
    {
    }
    void retarget(FileDialogs* dialogs) { m_target = dialogs ? dialogs : &m_native; }
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        return m_target->openFileName(title, folder, filter);
    }
    QString saveFileName(const QString& title, const QString& proposedPath, const QString& filter) override
    {
        return m_target->saveFileName(title, proposedPath, filter);
    }
    QString getSaveFileName(QWidget*, const SaveDialogRequest& request) override
    {
        return saveFileName(request.Title, InitialSavePath(request), QtNameFilters(request.Filter));
    }

private:
    QtFileDialogs m_native;
    FileDialogs* m_target = &m_native;
};

TfrmMain::TfrmMain(Settings settings, std::unique_ptr<MidiBackend> backend, QWidget* parent)
    : QMainWindow(parent)
    , m_settings(std::move(settings))
    , m_boxes(std::make_unique<BoxesProxy>(this))
    , m_dialogs(std::make_unique<DialogsProxy>(this))
    , m_backend(backend ? std::move(backend) : CreateSystemBackend(m_settings.SoundFont))
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
    m_port = std::make_unique<MidiPort>(*m_backend);
    m_port->Device = m_settings.Device;
    m_port->Channel = static_cast<unsigned char>(m_settings.Channel & 0x0F);
    m_port->Octave = m_settings.Octave;
    m_port->setBusyCursor = [this](bool busy) { setBusyCursor(busy); };
    m_clock = std::make_unique<SteadyPlayClock>();
    m_player = std::make_unique<Player>(
        *m_chordList, static_cast<LineDisplay&>(*this), *m_boxes, static_cast<PlayerHost&>(*this), *m_port, *m_clock);
    m_commands = std::make_unique<LineEditCommands>(*m_chordList, static_cast<EditHost&>(*this),
        static_cast<EditControlStates&>(*this), static_cast<PressedMarkers&>(*this), *m_player);
    connectEditControls();
    connectPlayControls();

    trackbarTempo->setRange(MinTempo, MaxTempo);
    if (m_settings.LastDir.isEmpty() || !QFileInfo(m_settings.LastDir).isDir())
        m_settings.LastDir.clear();
    lblChordName->setVisible(m_settings.ShowChordName);
    lblFretNumbers->setVisible(m_settings.ShowFretNumbers);
    MidiHeldOpen = m_settings.ExternalMIDI;
    m_port->MidiHeldOpen = MidiHeldOpen;
    imgAllFrets->setMarkerColor(static_cast<std::uint32_t>(m_settings.MarkerColor));
    imgAllFrets->setMarkerShape(m_settings.MarkerShape);
    m_commands->startUp(m_settings.AutoLineAdvance, m_settings.ChordEntryMode);

    ShowRecentFiles();
    ResetDocument();

    resize(DesignOuterWidth - OuterExtraWidth, DesignOuterHeight - OuterExtraHeight + menuBar()->sizeHint().height());
    ArrangeMainWindow();
    m_chordList->ShowLineInfo(0);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::setMessageBoxes(MessageBoxes* boxes) { m_boxes->retarget(boxes); }

void TfrmMain::setFileDialogs(FileDialogs* dialogs) { m_dialogs->retarget(dialogs); }

MessageBoxes& TfrmMain::messageBoxes() const { return *m_boxes; }

void TfrmMain::buildNeckArea(QWidget* surface)
{
    lblFilename
        = Named(new QLabel(surface), "lblFilename", QStringLiteral("File name"), QStringLiteral("Current file name."));
    lblFilename->setGeometry(4, 2, 487, 16);
    lblFilename->setAlignment(Qt::AlignCenter);
    QFont bold = lblFilename->font();
    bold.setBold(true);
    lblFilename->setFont(bold);

    // The frame lies behind the neck, two pixels outside it on every side; the neck view draws it too.
    shpNeckRect = new QFrame(surface);
    shpNeckRect->setObjectName(QStringLiteral("shpNeckRect"));
    shpNeckRect->setStyleSheet(QStringLiteral("background-color: black;"));
    shpNeckRect->setGeometry(NeckView::FramedLeft, NeckView::FramedTop, NeckView::FramedWidth, NeckView::FramedHeight);
    imgAllFrets = new NeckView(surface);
    imgAllFrets->setObjectName(QStringLiteral("imgAllFrets"));
    imgAllFrets->move(NeckView::FramedLeft, NeckView::FramedTop);
    imgAllFrets->setFretNumbersVisible(false);
    imgAllFrets->setChordNameVisible(false);
    connect(imgAllFrets, &NeckView::hintChanged, this, [this](const QString& hint) {
        if (HintsEnabled)
            statusPanel0->setText(QStringLiteral(" ") + hint);
    });
    connect(imgAllFrets, &NeckView::cellPressed, this,
        [this](Qt::MouseButton button, int slot, int fret) { m_commands->Shape1MouseDown(button, slot, fret); });
    connect(imgAllFrets, &NeckView::cellReleased, this, [this] { RichEdit1->viewport()->repaint(); });

    lblFretNumbers = new FretNumbersLabel(surface);

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
    btnNewChord->setIcon(EditGlyphs::icon(EditGlyph::NewNote));
    btnNewChord->setIconSize(EditGlyphs::designSize(EditGlyph::NewNote));
    btnNewChord->setGeometry(420, 144, 67, 33);

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
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit1, &QWidget::customContextMenuRequested, this, &TfrmMain::mnuEditorPopUpPopup);
}

void TfrmMain::buildEditControls(QWidget* surface)
{
    grpEditControls = Named(new QGroupBox(QStringLiteral("Edit Controls"), surface), "grpEditControls",
        QStringLiteral("Edit Controls"), QString());
    grpEditControls->setGeometry(6, 186, 261, 159);

    struct ButtonLayout {
        const char* name;
        EditGlyph glyph;
        const char* spoken;
        QRect place;
        const char* hint;
    };
    const ButtonLayout buttons[] = {
        { "btnRest", EditGlyph::Rest, "Rest", { 16, 20, 37, 39 }, "Insert a rest in the editor." },
        { "btnDup", EditGlyph::Duplicate, "Duplicate", { 57, 22, 59, 33 }, "Duplicate the current line." },
        { "btnClear", EditGlyph::ClearNotes, "Clear notes", { 120, 22, 50, 33 }, "Clear all notes from current line." },
        { "btnDelete", EditGlyph::DeleteNote, "Delete note", { 174, 22, 59, 33 }, "Delete the current line." },
        { "btnWholeNote", EditGlyph::WholeNote, "Whole note", { 16, 66, 20, 35 },
            "Whole note duration for current line." },
        { "btnHalfNote", EditGlyph::HalfNote, "Half note", { 40, 66, 20, 35 }, "Half note duration for current line." },
        { "btnQuarterNote", EditGlyph::QuarterNote, "Quarter note", { 64, 66, 20, 35 },
            "Quarter note duration for current line." },
        { "btnEighthNote", EditGlyph::EighthNote, "Eighth note", { 88, 66, 20, 35 },
            "Eighth note duration for current line." },
        { "btnSixteenthNote", EditGlyph::SixteenthNote, "Sixteenth note", { 112, 66, 20, 35 },
            "Sixteenth note duration for current line." },
        { "btnThirtySecondNote", EditGlyph::ThirtySecondNote, "Thirty-second note", { 136, 66, 20, 35 },
            "Thirty-second note duration for current line." },
        { "btnSixtyFourthNote", EditGlyph::SixtyFourthNote, "Sixty-fourth note", { 160, 66, 20, 35 },
            "Sixty-fourth note duration for current line." },
        { "btnShiftLeft", EditGlyph::ShiftLeft, "Shift left", { 154, 134, 37, 21 },
            "Transpose down - shift all notes in a chord down one fret." },
        { "btnShiftRight", EditGlyph::ShiftRight, "Shift right", { 200, 134, 37, 21 },
            "Transpose up - shift all notes in a chord up one fret." },
    };
    for (const ButtonLayout& layout : buttons) {
        auto* button = Named(new QToolButton(grpEditControls), layout.name, QString::fromLatin1(layout.spoken),
            QString::fromLatin1(layout.hint));
        button->setIcon(EditGlyphs::icon(layout.glyph));
        button->setIconSize(EditGlyphs::designSize(layout.glyph));
        button->setGeometry(layout.place);
        button->setFocusPolicy(Qt::StrongFocus);
    }
    btnShiftLeft = grpEditControls->findChild<QToolButton*>(QStringLiteral("btnShiftLeft"));
    btnShiftRight = grpEditControls->findChild<QToolButton*>(QStringLiteral("btnShiftRight"));
    chkDotted = Named(new QCheckBox(QStringLiteral("Dotted"), grpEditControls), "chkDotted", QStringLiteral("Dotted"),
        QStringLiteral("Note durations are increased by 1/2 with this is checked."));
    chkDotted->setGeometry(192, 62, 64, 20);
    chkTriplet = Named(new QCheckBox(QStringLiteral("Triplets"), grpEditControls), "chkTriplet",
        QStringLiteral("Triplets"), QStringLiteral("Note durations are divided by 3 with this checked."));
    chkTriplet->setGeometry(192, 82, 64, 20);
    chkAutoNewLine = Named(new QCheckBox(QStringLiteral("Auto Line Advance"), grpEditControls), "chkAutoNewLine",
        QStringLiteral("Auto Line Advance"), QStringLiteral("Automatically starts a new note when a note is clicked."));
    chkAutoNewLine->setGeometry(8, 122, 124, 20);
    chkChordEntryMode = Named(new QCheckBox(QStringLiteral("Chord Entry Mode"), grpEditControls), "chkChordEntryMode",
        QStringLiteral("Chord Entry Mode"), QStringLiteral("Enter multiple notes to sound at the same time."));
    chkChordEntryMode->setGeometry(140, 112, 119, 20);

    auto* panel1 = new QFrame(grpEditControls);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFrameShape(QFrame::HLine);
    panel1->setFrameShadow(QFrame::Sunken);
    panel1->setGeometry(6, 106, 247, 5);
    auto* panel2 = new QFrame(grpEditControls);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFrameShape(QFrame::VLine);
    panel2->setFrameShadow(QFrame::Sunken);
    panel2->setGeometry(133, 112, 5, 41);
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
    connect(addMenuItem(File1, "Open1", QStringLiteral("&Open..."), QStringLiteral("Open a chord list file."),
                QKeySequence(Qt::CTRL | Qt::Key_O)),
        &QAction::triggered, this, &TfrmMain::Open1Click);
    connect(addMenuItem(File1, "Save1", QStringLiteral("&Save..."), QStringLiteral("Save the chord list."),
                QKeySequence(Qt::CTRL | Qt::Key_S)),
        &QAction::triggered, this, &TfrmMain::Save1Click);
    connect(addMenuItem(File1, "SaveAs1", QStringLiteral("Save &As..."),
                QStringLiteral("Save the chord list under a new name."), QKeySequence(Qt::CTRL | Qt::Key_A)),
        &QAction::triggered, this, &TfrmMain::SaveAs1Click);
    connect(addMenuItem(File1, "Print1", QStringLiteral("&Print..."), QStringLiteral("Print the chord list.")),
        &QAction::triggered, this, &TfrmMain::Print1Click);
    connect(addMenuItem(File1, "Options1", QStringLiteral("S&ettings..."), QStringLiteral("Change configuration.")),
        &QAction::triggered, this, &TfrmMain::Options1Click);
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
    connect(Edit1, &QMenu::aboutToShow, this, &TfrmMain::Edit1Click);
    connect(addMenuItem(Edit1, "Undo1", QStringLiteral("&Undo"), QStringLiteral("Undo most recent edit."),
                QKeySequence(Qt::CTRL | Qt::Key_Z)),
        &QAction::triggered, this, &TfrmMain::Undo1Click);
    Edit1->addSeparator();
    connect(addMenuItem(Edit1, "Cut1", QStringLiteral("Cu&t"), QStringLiteral("Remove selected text to Clipboard."),
                QKeySequence(Qt::CTRL | Qt::Key_X)),
        &QAction::triggered, this, &TfrmMain::Cut1Click);
    connect(addMenuItem(Edit1, "Copy1", QStringLiteral("&Copy"), QStringLiteral("Copy selected text to Clipboard."),
                QKeySequence(Qt::CTRL | Qt::Key_C)),
        &QAction::triggered, this, &TfrmMain::Copy1Click);
    connect(addMenuItem(Edit1, "Paste1", QStringLiteral("&Paste"), QStringLiteral("Paste text from Clipboard."),
                QKeySequence(Qt::CTRL | Qt::Key_V)),
        &QAction::triggered, this, &TfrmMain::Paste1Click);
    connect(addMenuItem(Edit1, "Delete1", QStringLiteral("&Delete"),
                QStringLiteral("Delete selected text without writing to Clipboard."),
                QKeySequence(Qt::CTRL | Qt::Key_Delete)),
        &QAction::triggered, this, &TfrmMain::Delete1Click);
    connect(addMenuItem(
                Edit1, "SelectAll1", QStringLiteral("Select &All"), QStringLiteral("Select all lines in chord list.")),
        &QAction::triggered, this, &TfrmMain::SelectAll1Click);
    Edit1->addSeparator();
    Find1 = addMenuItem(Edit1, "Find1", QStringLiteral("&Find..."), QStringLiteral("Find a text string."),
        QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(Find1, &QAction::triggered, this, &TfrmMain::Find1Click);
    FindNext1 = addMenuItem(Edit1, "FindNext1", QStringLiteral("Find &Next"),
        QStringLiteral("Find next occurrence of string."), QKeySequence(Qt::Key_F3));
    connect(FindNext1, &QAction::triggered, this, &TfrmMain::FindNext1Click);

    Special1 = addMenu("Special1", QStringLiteral("&Special"), QStringLiteral("Tablature, MIDI and audio files."));
    connect(addMenuItem(Special1, "Tab1", QStringLiteral("&Tablature..."), QStringLiteral("Show tablature window."),
                QKeySequence(Qt::Key_F4)),
        &QAction::triggered, this, &TfrmMain::Tab1Click);
    connect(addMenuItem(Special1, "ASCIItab1", QStringLiteral("&ASCII Tablature..."),
                QStringLiteral("Show ASCII tablature window."), QKeySequence(Qt::Key_F5)),
        &QAction::triggered, this, &TfrmMain::ASCIItab1Click);
    connect(addMenuItem(Special1, "SaveAsMidiFile1", QStringLiteral("&Midi File..."),
                QStringLiteral("Create a MIDI file."), QKeySequence(Qt::Key_F6)),
        &QAction::triggered, this, &TfrmMain::SaveAsMidiFile1Click);
    connect(addMenuItem(
                Special1, "AudioFile1", QStringLiteral("&Audio File..."), QStringLiteral("Create a WAV audio file.")),
        &QAction::triggered, this, &TfrmMain::SaveAsWavFile);
    connect(addMenuItem(Special1, "OptimizeFingering1", QStringLiteral("Optimize &Fingering"),
                QStringLiteral("Choose strings and frets that are easy to play.")),
        &QAction::triggered, this, [this] { OptimizeFingering(*m_chordList, *this, *m_boxes, *this); });

    Play1 = addMenu("Play1", QStringLiteral("&Play"), QStringLiteral("Play chords."));
    Start1 = addMenuItem(
        Play1, "Start1", QStringLiteral("&Start"), QStringLiteral("Start playing."), QKeySequence(Qt::Key_F2));
    Stop1 = addMenuItem(
        Play1, "Stop1", QStringLiteral("&Stop"), QStringLiteral("Stop Playing."), QKeySequence(Qt::Key_F2));
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
    setBassSoundChecked(DefaultPatch);

    Help1 = addMenu("Help1", QStringLiteral("&Help"), QStringLiteral("Help and information."));
    connect(addMenuItem(Help1, "Contents1", QStringLiteral("&Contents"), QStringLiteral("Main help page."),
                QKeySequence(Qt::Key_F1)),
        &QAction::triggered, this, [] { OpenHelp(HelpCommand::Contents, 0); });
    connect(addMenuItem(Help1, "Topics1", QStringLiteral("&Topics"), QStringLiteral("Topic list.")),
        &QAction::triggered, this, [] { OpenHelp(HelpCommand::Finder, 0); });
    connect(addMenuItem(Help1, "About1", QStringLiteral("&About..."), QStringLiteral("About this program.")),
        &QAction::triggered, this, &TfrmMain::About1Click);
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
    case QEvent::WindowUnblocked:
        // Back from a modal window: take the keyboard again even where no window manager hands it back,
        // so the menu shortcuts work at once.
        activateWindow();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void TfrmMain::FormActivate()
{
    Activated = true;
    if (!m_settings.Welcomed && m_welcome) {
        m_settings.Welcomed = true;
        if (m_welcome->exec() == QDialog::Accepted)
            OpenHelp(HelpCommand::Context, GettingStartedContext);
    }
    if (MidiHeldOpen) {
        QString errorText;
        m_port->OpenMidiOut(errorText);
        m_port->ProgramChange(static_cast<unsigned char>(Patch));
        if (!errorText.isEmpty() && showNoSoundMessage)
            showNoSoundMessage(errorText);
    }
}

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
    m_player->StopRequested = true;
    return true;
}

void TfrmMain::FormClose()
{
    m_port->CloseMidiOut();
    // The instrument in force at exit is the one stored.
    m_settings.Patch = Patch;
    if (saveSettings)
        saveSettings(m_settings);
}

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

void TfrmMain::PlayToggle() { m_player->PlayToggle(); }

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
    ShowCurrentLine();
    if (IsPlaying())
        return;
    if (m_settings.CursorPlays && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        const int line = CurrentLine();
        const QString text = m_lines->lineText(line);
        if (!IsCommentLine(text) && !TrimBlanks(text).isEmpty())
            m_player->PreviewLine(line);
    }
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

void TfrmMain::showMarkers(const FretArray& frets) { imgAllFrets->ShowMarkers(frets); }

bool TfrmMain::chordEntryMode() const { return chkChordEntryMode->isChecked(); }

void TfrmMain::ResetDocumentState()
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
    Info3Value = DefaultInfo3Value;
    m_settings.Octave = -12;
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

std::optional<QByteArray> TfrmMain::readDocumentFile(const QString& fileName)
{
    QString reason;
    std::optional<QByteArray> bytes = ReadWholeFile(fileName, reason);
    if (!bytes)
        m_boxes->errorBox(QStringLiteral("Can't open \"%1\": %2").arg(QDir::toNativeSeparators(fileName), reason));
    return bytes;
}

bool TfrmMain::LoadChordList(const QString& fileName)
{
    const std::optional<QByteArray> bytes = readDocumentFile(fileName);
    if (!bytes)
        return false;
    showDocumentBytes(*bytes);
    return true;
}

void TfrmMain::showDocumentBytes(const QByteArray& bytes)
{
    const QString text = DecodeDocumentBytes(bytes);
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
    if (m_settings.AutoCorrect)
        lines = AutoNameLinesShowingProgress(lines);
    const bool endsWithBreak = text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
    QString editorText = lines.join(QLatin1Char('\n'));
    if (endsWithBreak && !lines.isEmpty())
        editorText += QLatin1Char('\n');
    RichEdit1->setPlainText(editorText);
}

bool TfrmMain::SaveChordList(const QString& fileName)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QStringList lines = HeaderLines({ Patch, Info3Value, trackbarTempo->value() }) + LineTexts(*m_lines);
    const QString error = WriteFileSafely(fileName, EncodeDocumentText(JoinDocumentLines(lines)));
    QApplication::restoreOverrideCursor();
    // The previous file stays as it was: nothing replaces it unless the whole text was written.
    if (!error.isEmpty()) {
        m_boxes->errorBox(error);
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

bool TfrmMain::openDocumentFile(const QString& fileName)
{
    // A file that cannot be read leaves the current document as it is.
    const std::optional<QByteArray> bytes = readDocumentFile(fileName);
    if (!bytes)
        return false;
    ResetDocumentState();
    showDocumentBytes(*bytes);
    setDocumentName(fileName);
    SelectLine(0, false);
    m_chordList->ShowLineInfo(0);
    Modified = false;
    return true;
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

void TfrmMain::connectEditControls()
{
    LineEditCommands& commands = *m_commands;
    connect(btnNewChord, &QToolButton::clicked, this, [&commands] { commands.btnNewChordClick(); });
    const std::pair<const char*, void (LineEditCommands::*)()> buttons[] = {
        { "btnRest", &LineEditCommands::btnRestClick },
        { "btnDup", &LineEditCommands::btnDupClick },
        { "btnClear", &LineEditCommands::btnClearClick },
        { "btnDelete", &LineEditCommands::btnDeleteClick },
        { "btnShiftLeft", &LineEditCommands::btnShiftLeftClick },
        { "btnShiftRight", &LineEditCommands::btnShiftRightClick },
    };
    for (const auto& [name, handler] : buttons) {
        auto* button = grpEditControls->findChild<QToolButton*>(QString::fromLatin1(name));
        connect(button, &QToolButton::clicked, this, [&commands, handler = handler] { (commands.*handler)(); });
    }
    for (const char* name : { "btnWholeNote", "btnHalfNote", "btnQuarterNote", "btnEighthNote", "btnSixteenthNote",
             "btnThirtySecondNote", "btnSixtyFourthNote" }) {
        const QString objectName = QString::fromLatin1(name);
        auto* button = grpEditControls->findChild<QToolButton*>(objectName);
        connect(button, &QToolButton::clicked, this, [&commands, objectName] { commands.DurationClick(objectName); });
    }
    // The handlers run on clicks only, so setting a box from code never runs them.
    connect(chkDotted, &QCheckBox::clicked, this, [&commands] { commands.chkDottedClick(); });
    connect(chkTriplet, &QCheckBox::clicked, this, [&commands] { commands.chkTripletClick(); });
    connect(chkChordEntryMode, &QCheckBox::clicked, this, [&commands] { commands.chkChordEntryModeClick(); });
    connect(chkAutoNewLine, &QCheckBox::clicked, this, [&commands] { commands.chkAutoNewLineClick(); });
}

void TfrmMain::connectPlayControls()
{
    // Any press on Play starts or stops at once, without waiting for the release.
    connect(btnPlay, &QPushButton::pressed, this, &TfrmMain::PlayToggle);
    connect(Start1, &QAction::triggered, this, &TfrmMain::PlayToggle);
    connect(Stop1, &QAction::triggered, this, &TfrmMain::PlayToggle);
    connect(btnNext, &QToolButton::clicked, this, [this] { m_player->StepForward(); });
    connect(btnPrev, &QToolButton::clicked, this, [this] { m_player->StepBack(); });
    connect(playOptionGroup, &QButtonGroup::idClicked, this, &TfrmMain::rdoPlayOptionsClick);
    connect(chkLoop, &QCheckBox::clicked, this, [this] { RichEdit1->setFocus(); });
}

void TfrmMain::rdoPlayOptionsClick()
{
    const bool currentLine = playOptionGroup->checkedId() == PlayCurrentLine;
    chkLoop->setVisible(!currentLine);
    chkTrace->setVisible(!currentLine);
    RichEdit1->setFocus();
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
    for (QWidget* control :
        std::initializer_list<QWidget*> { btnPrev, btnNext, rdoPlayOptions, chkTrace, chkLoop, chkDotted, chkTriplet })
        control->setEnabled(enabled);
    for (QToolButton* button : grpEditControls->findChildren<QToolButton*>())
        button->setEnabled(enabled);
    for (QMenu* menu : { File1, Edit1, Instrument1, Help1, Special1 })
        menu->menuAction()->setEnabled(enabled);
    // The transpose buttons follow the entry mode again once playback is over.
    if (enabled)
        m_commands->applyTransposeRule();
}

void TfrmMain::setPlayButtonCaption(const QString& caption) { btnPlay->setText(caption); }

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

void TfrmMain::SaveAsWavFile()
{
    const RecordedPlayback playback = RecordPlayback(LineTexts(*m_lines), tempo(), patch());
    if (!playback.errors.isEmpty()) {
        for (const QString& error : playback.errors)
            m_boxes->errorBox(error);
        return;
    }
    QString proposed = QFileInfo(m_documentName).completeBaseName() + QStringLiteral(".wav");
    if (!m_settings.LastDir.isEmpty())
        proposed = QDir(m_settings.LastDir).filePath(proposed);
    const QString fileName = m_dialogs->saveFileName(
        QStringLiteral("Save As Audio File"), proposed, QStringLiteral("WAV audio files (*.wav);;All Files (*)"));
    if (fileName.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString error = RenderMessagesToWav(playback.messages, FindSoundFont(m_settings.SoundFont), fileName);
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty())
        m_boxes->errorBox(error);
    else
        m_settings.LastDir = QFileInfo(fileName).absolutePath();
    RichEdit1->setFocus();
}

void TfrmMain::Open1Click()
{
    if (Modified && !ConfirmDiscard())
        return;
    const QString folder = QFileInfo(m_settings.LastDir).isDir() ? m_settings.LastDir : QString();
    const QString chosen = m_dialogs->openFileName(
        QStringLiteral("Open"), folder, QStringLiteral("Fretwerk Bass Files (*.bss);;All Files (*)"));
    if (chosen.isEmpty()) {
        RichEdit1->setFocus();
        return;
    }
    const QFileInfo info(chosen);
    const QString name = info.dir().filePath(info.completeBaseName() + QStringLiteral(".bss"));
    if (!QFileInfo(name).isFile()) {
        m_boxes->errorBox(QDir::toNativeSeparators(name) + QStringLiteral(" doesn't exist!"));
        return;
    }
    if (!openDocumentFile(name))
        return;
    m_settings.LastDir = QFileInfo(name).absolutePath();
    AddRecentFile(name);
    RichEdit1->setFocus();
}

void TfrmMain::SaveAs1Click()
{
    const QString proposed = m_settings.LastDir.isEmpty()
        ? m_documentName
        : QDir(m_settings.LastDir).filePath(QFileInfo(m_documentName).fileName());
    const QString chosen = m_dialogs->saveFileName(
        QStringLiteral("Save As"), proposed, QStringLiteral("Fretwerk Bass files (*.bss);;All Files (*)"));
    if (chosen.isEmpty()) {
        RichEdit1->setFocus();
        return;
    }
    const QFileInfo info(chosen);
    const QString name = info.dir().filePath(info.completeBaseName() + QStringLiteral(".bss"));
    // The document takes the new name only once it has been written there.
    if (!SaveChordList(name))
        return;
    setDocumentName(name);
    Modified = false;
    m_settings.LastDir = QFileInfo(name).absolutePath();
    RichEdit1->setFocus();
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        OpenDroppedFile(urls.first().toLocalFile());
    event->acceptProposedAction();
}

void TfrmMain::OpenDroppedFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile() || info.suffix().compare(QLatin1String("bss"), Qt::CaseInsensitive) != 0)
        return;
    if (Modified && !ConfirmDiscard())
        return;
    if (IsPlaying())
        return;
    if (!openDocumentFile(info.absoluteFilePath()))
        return;
    AddRecentFile(info.absoluteFilePath());
    RichEdit1->setFocus();
}

void TfrmMain::Edit1Click()
{
    const EditCommands::Enabling enabling = EditCommands::EditMenuEnabling(*RichEdit1);
    findChild<QAction*>(QStringLiteral("Undo1"))->setEnabled(enabling.undo);
    findChild<QAction*>(QStringLiteral("Cut1"))->setEnabled(enabling.cut);
    findChild<QAction*>(QStringLiteral("Copy1"))->setEnabled(enabling.copy);
    findChild<QAction*>(QStringLiteral("Delete1"))->setEnabled(enabling.del);
    findChild<QAction*>(QStringLiteral("Paste1"))->setEnabled(enabling.paste);
    Find1->setEnabled(m_find != nullptr);
    FindNext1->setEnabled(m_find != nullptr);
}

void TfrmMain::Undo1Click()
{
    RichEdit1->undo();
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
    QAction* cut = popup.addAction(QStringLiteral("Cut"), this, &TfrmMain::Cut1Click);
    cut->setObjectName(QStringLiteral("Cut2"));
    cut->setEnabled(enabling.cut);
    QAction* copy = popup.addAction(QStringLiteral("Copy"), this, &TfrmMain::Copy1Click);
    copy->setObjectName(QStringLiteral("Copy2"));
    copy->setEnabled(enabling.copy);
    QAction* paste = popup.addAction(QStringLiteral("Paste"), this, &TfrmMain::Paste1Click);
    paste->setObjectName(QStringLiteral("Paste2"));
    paste->setEnabled(enabling.paste);
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

void TfrmMain::setDialogs(TfrmOptions& options, Tfrmfind& find, TfrmAbout& about, TfrmNewUserMessage& welcome)
{
    m_options = &options;
    m_find = &find;
    m_about = &about;
    m_welcome = &welcome;
    m_find->setEditor(RichEdit1);
    options.setSettings(&m_settings);
    options.setMessageBoxes(m_boxes.get());
    options.MidiHeldOpen = MidiHeldOpen;
    options.deviceItems = [this] { return MidiDeviceListItems(*m_port); };
    options.showChordNameLabel = [this](bool visible) { lblChordName->setVisible(visible); };
    options.showFretNumbersLabel = [this](bool visible) { lblFretNumbers->setVisible(visible); };
    options.autoCorrectAll = [this] { AutoCorrectAll(); };
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

void TfrmMain::setPrintDialog(PrintDialog* dialog) { m_printDialog = dialog ? dialog : &m_nativePrintDialog; }

void TfrmMain::Print1Click()
{
    QPrinter printer;
    if (m_printDialog->choosePrinter(this, printer)) {
        printer.setDocName(lblFilename->text());
        RichEdit1->print(&printer);
    }
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

void TfrmMain::setTablatureWindows(TfrmGetTabInfo& titleDialog, TfrmTab& tabWindow)
{
    m_tabWindows = std::make_unique<ModalTablatureWindows>(titleDialog, tabWindow);
}

SaveFileDialog& TfrmMain::saveFileDialog() { return *m_dialogs; }

void TfrmMain::setHintsEnabled(bool enabled) { HintsEnabled = enabled; }

void TfrmMain::Tab1Click()
{
    if (m_tabWindows)
        ShowTablature(*m_chordList, *m_boxes, static_cast<TablatureHost&>(*this), *m_tabWindows,
            TablatureSettings { 0, m_documentName, m_settings.TabPrompt, m_settings.TabFont }, m_settings.LastDir);
    RichEdit1->setFocus();
}

void TfrmMain::ASCIItab1Click()
{
    if (m_tabWindows)
        ShowTablature(*m_chordList, *m_boxes, static_cast<TablatureHost&>(*this), *m_tabWindows,
            TablatureSettings { 1, m_documentName, m_settings.TabPrompt, m_settings.TabFont }, m_settings.LastDir);
    RichEdit1->setFocus();
}

void TfrmMain::SaveAsMidiFile1Click()
{
    SaveAsMidi(*m_chordList, *m_boxes, *m_dialogs, this,
        MidiExportSettings { trackbarTempo->value(), Patch, lblFilename->text() }, m_settings.LastDir);
    RichEdit1->setFocus();
}

} // namespace fw
