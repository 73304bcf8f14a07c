#include "MainWindow.h"
#include "MainWindowProxies.h"

#include "AboutBox.h"
#include "Accessibility.h"
#include "ChordDocument.h"
#include "ChordEditor.h"
#include "DocumentText.h"
#include "EditGlyphs.h"
#include "FileReading.h"
#include "FindDialog.h"
#include "HelpWindow.h"
#include "ImportWiring.h"
#include "LineEditCommands.h"
#include "LineParser.h"
#include "MainWindowLayout.h"
#include "MidiPort.h"
#include "NeckLabels.h"
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
    m_port->noSoundNotice = [this](const QString& errorText) {
        if (showNoSoundMessage)
            showNoSoundMessage(errorText);
    };
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
    setMinimumSize(minimumWindowSize());
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

QSize TfrmMain::minimumWindowSize() const
{
    // Smaller, the controls would cover each other.
    const QSize outer = fw::MinimumOuterSize(layoutInput(), OuterExtraWidth, OuterExtraHeight);
    return { outer.width() - OuterExtraWidth, outer.height() - OuterExtraHeight + menuBar()->sizeHint().height() };
}

MainWindowLayoutInput TfrmMain::layoutInput() const
{
    const QWidget* surface = centralWidget();
    return {
        surface->width() + OuterExtraWidth,
        surface->height() + statusBar()->height() + OuterExtraHeight,
        statusBar()->height(),
        shpNeckRect->geometry(),
        grpPlayControls->geometry(),
        RichEdit1->geometry(),
        pnlPlayButtons->geometry(),
        grpEditControls->geometry(),
    };
}

void TfrmMain::ArrangeMainWindow()
{
    if (!RichEdit1 || !centralWidget())
        return;
    const MainWindowLayout out = fw::ArrangeMainWindow(layoutInput());
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
        if (joinTyping)
            m_chordList->AutoNameTypedLine(CurrentLine());
        else
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
        setModified(true);
}

void TfrmMain::Exit1Click() { close(); }

void TfrmMain::SynthBass11Click(QAction* item)
{
    Patch = item->data().toInt() - 1;
    item->setChecked(true);
    setModified(true);
}

void TfrmMain::setBassSoundChecked(int patch)
{
    const QList<QAction*> items = bassSounds->actions();
    items[BassSoundIndexForPatch(patch)]->setChecked(true);
}

void TfrmMain::trackbarTempoChange(int position)
{
    lblTempo->setText(QString::number(position));
    setModified(true);
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
