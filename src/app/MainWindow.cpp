#include "MainWindow.h"
#include "MainWindowProxies.h"

#include "AboutBox.h"
#include "Accessibility.h"
#include "ChordDocument.h"
#include "ChordEditor.h"
#include "Conversion.h"
#include "DocumentText.h"
#include "EditGlyphs.h"
#include "FileReading.h"
#include "FindDialog.h"
#include "FingeringCommand.h"
#include "FretNumbersLabel.h"
#include "HelpWindow.h"
#include "ImportWiring.h"
#include "LineEditCommands.h"
#include "LineParser.h"
#include "MainWindowLayout.h"
#include "MidiPort.h"
#include "NeckView.h"
#include "NewUserMessage.h"
#include "OptionsDialog.h"
#include "PlainTextEditorLines.h"
#include "PlayButton.h"
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
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <utility>

namespace fw {

namespace {

    // Client-area size of the design; the window's outer size adds the frame, caption and menu.
    constexpr int DesignOuterWidth = 621;
    constexpr int DesignOuterHeight = 432;
    constexpr int OuterExtraWidth = 8;
    constexpr int OuterExtraHeight = 50;

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

TfrmMain::TfrmMain(Settings settings, std::unique_ptr<MidiBackend> backend, QWidget* parent)
    : QMainWindow(parent)
    , m_settings(std::move(settings))
    , m_boxes(std::make_unique<BoxesProxy>(this))
    , m_dialogs(std::make_unique<DialogsProxy>(this))
    , m_backend(backend ? std::move(backend) : CreateSystemBackend(m_settings.SoundFont))
{
    Accessibility::Install();
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
    // The offset is fixed; a stored value other than -12 never reaches the port.
    m_settings.Octave = -12;
    m_port->Octave = m_settings.Octave;
    m_port->setBusyCursor = [this](bool busy) { setBusyCursor(busy); };
    m_clock = std::make_unique<SteadyPlayClock>();
    m_player = std::make_unique<Player>(
        *m_chordList, static_cast<LineDisplay&>(*this), *m_boxes, static_cast<PlayerHost&>(*this), *m_port, *m_clock);
    m_commands = std::make_unique<LineEditCommands>(*m_chordList, static_cast<EditHost&>(*this),
        static_cast<EditControlStates&>(*this), static_cast<PressedMarkers&>(*this), *m_player);
    m_document = std::make_unique<ChordDocument>(
        *m_lines, static_cast<DocumentHost&>(*this), *m_boxes, *m_dialogs, m_settings);
    connectEditControls();
    connectPlayControls();
    setKeyboardOrder();

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
    m_import = std::make_unique<ImportWiring>(*this, *m_dialogs, *m_boxes);

    resize(DesignOuterWidth - OuterExtraWidth, DesignOuterHeight - OuterExtraHeight + menuBar()->sizeHint().height());
    ArrangeMainWindow();
    m_chordList->ShowLineInfo(0);
    Accessibility::DescribeHints(this);
    // The neck leads the focus order, yet the program starts where the user types.
    RichEdit1->setFocus();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::setMessageBoxes(MessageBoxes* boxes) { m_boxes->retarget(boxes); }

void TfrmMain::setFileDialogs(FileDialogs* dialogs) { m_dialogs->retarget(dialogs); }

MessageBoxes& TfrmMain::messageBoxes() const { return *m_boxes; }

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
    connect(addMenuItem(File1, "Import1", QStringLiteral("&Import..."),
                QStringLiteral("Import a tab or another file as a new chord list.")),
        &QAction::triggered, this, [this] { m_import->importFile(); });
    Export1 = File1->addMenu(QStringLiteral("&Export"));
    Export1->setObjectName(QStringLiteral("Export1"));
    Export1->menuAction()->setStatusTip(QStringLiteral("Write the chord list in another format."));
    for (const WriterFormat& writer : Formats().writers()) {
        if (writer.extensions.contains(QStringLiteral("bss")))
            continue;
        connect(addMenuItem(Export1, "ExportFormat1", writer.name + QStringLiteral("..."),
                    QStringLiteral("Write the chord list as %1.").arg(writer.name)),
            &QAction::triggered, this, [this, writer] { m_import->exportAs(writer); });
    }
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
        connect(mnuFilename[i], &QAction::triggered, this,
            [this, i] { OpenRecentFile(mnuFilename[i]->data().toString()); });
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
    connect(addMenuItem(Edit1, "PasteTab1", QStringLiteral("Paste Ta&b"),
                QStringLiteral("Paste tablature from the Clipboard as chord lines.")),
        &QAction::triggered, this, [this] { m_import->pasteTab(); });
    connect(addMenuItem(Edit1, "Delete1", QStringLiteral("&Delete"),
                QStringLiteral("Delete selected text without writing to Clipboard."),
                QKeySequence(Qt::CTRL | Qt::Key_Delete)),
        &QAction::triggered, this, &TfrmMain::Delete1Click);
    connect(addMenuItem(
                Edit1, "SelectAll1", QStringLiteral("Select &All"), QStringLiteral("Select all lines in chord list.")),
        &QAction::triggered, this, &TfrmMain::SelectAll1Click);
    Edit1->addSeparator();
    // The editor's other clipboard keys run the menu's commands too.
    findChild<QAction*>(QStringLiteral("Cut1"))->setShortcuts({ Qt::CTRL | Qt::Key_X, Qt::SHIFT | Qt::Key_Delete });
    findChild<QAction*>(QStringLiteral("Copy1"))->setShortcuts({ Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert });
    findChild<QAction*>(QStringLiteral("Paste1"))->setShortcuts({ Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert });
    // Items greyed while the menu was open take their keys again once it closes.
    connect(Edit1, &QMenu::aboutToHide, this, [this] {
        for (QAction* item : Edit1->actions())
            item->setEnabled(true);
    });
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
    connect(addMenuItem(Special1, "Tuning1", QStringLiteral("T&uning..."),
                QStringLiteral("Choose the tuning of this chord list.")),
        &QAction::triggered, this, &TfrmMain::Tuning1Click);
    connect(addMenuItem(Special1, "OptimizeFingering1", QStringLiteral("Optimize &Fingering"),
                QStringLiteral("Choose strings and frets that are easy to play.")),
        &QAction::triggered, this, [this] { OptimizeFingering(*m_chordList, *this, *m_boxes, *this); });

    Play1 = addMenu("Play1", QStringLiteral("&Play"), QStringLiteral("Play chords."));
    Start1 = addMenuItem(
        Play1, "Start1", QStringLiteral("&Start"), QStringLiteral("Start playing."), QKeySequence(Qt::Key_F2));
    Stop1 = addMenuItem(
        Play1, "Stop1", QStringLiteral("&Stop"), QStringLiteral("Stop Playing."), QKeySequence(Qt::Key_F2));
    Stop1->setVisible(false);
    Practice1 = addMenuItem(
        Play1, "Practice1", QStringLiteral("&Practice..."), QStringLiteral("Loop a passage and speed it up."));

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
    CloseProgramHelp();
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
    // The release of an undo or redo key renames nothing, or the undone rename would come back at once.
    if (m_settings.AutoCorrect && !RichEdit1->undoneSinceKeyPress()) {
        // A rename caused by typing is undone with the typing.
        const bool joinTyping = RichEdit1->editedSinceKeyPress();
        m_lines->beginQuietBlock(joinTyping);
        m_chordList->AutoNameLine(CurrentLine());
        m_lines->endQuietBlock();
        if (joinTyping)
            RichEdit1->extendTypingStep();
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
    connect(static_cast<PlayButton*>(btnPlay), &PlayButton::toggleRequested, this, &TfrmMain::PlayToggle);
    connect(Start1, &QAction::triggered, this, &TfrmMain::PlayToggle);
    connect(Stop1, &QAction::triggered, this, &TfrmMain::PlayToggle);
    connect(Practice1, &QAction::triggered, this, &TfrmMain::Practice1Click);
    connect(btnNext, &QToolButton::clicked, this, [this] { m_player->StepForward(); });
    connect(btnPrev, &QToolButton::clicked, this, [this] { m_player->StepBack(); });
    connect(playOptionGroup, &QButtonGroup::idClicked, this, &TfrmMain::rdoPlayOptionsClick);
    // However the option is set (a click, a new document, a file opened), Loop and Trace follow it.
    connect(playOptionGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            showLoopAndTraceForOption();
    });
    connect(chkLoop, &QCheckBox::clicked, this, [this] { RichEdit1->setFocus(); });
}

void TfrmMain::rdoPlayOptionsClick()
{
    showLoopAndTraceForOption();
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
    options.soundFontInUse = [](const QString& stored) { return FindSoundFont(stored); };
}

void TfrmMain::setPrintDialog(PrintDialog* dialog) { m_printDialog = dialog ? dialog : &m_nativePrintDialog; }

void TfrmMain::setTablatureWindows(TfrmGetTabInfo& titleDialog, TfrmTab& tabWindow)
{
    m_tabWindows = std::make_unique<ModalTablatureWindows>(titleDialog, tabWindow);
}

SaveFileDialog& TfrmMain::saveFileDialog() { return *m_dialogs; }

} // namespace fw
