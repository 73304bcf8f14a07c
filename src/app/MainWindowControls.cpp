#include "MainWindow.h"

#include "Accessibility.h"
#include "ChordEditor.h"
#include "EditGlyphs.h"
#include "LineEditCommands.h"
#include "NeckLabels.h"
#include "NeckView.h"
#include "PlayButton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolButton>

// The main window's controls, placed as designed, with their names, hints and spoken names.
namespace fw {

namespace {

    QString WithoutAmpersand(QString caption) { return caption.remove(QLatin1Char('&')); }

    // Every control carries its hint as status tip and as accessible description. Labels and
    // captioned controls are heard by their visible text, which assistive tools read as it changes;
    // only picture-only controls get a short spoken name of their own.
    bool HasVisibleText(QWidget* widget)
    {
        if (qobject_cast<QLabel*>(widget))
            return true;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return !button->text().isEmpty();
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            return !group->title().isEmpty();
        return false;
    }

    template <typename W> W* Named(W* widget, const char* objectName, const QString& spokenName, const QString& hint)
    {
        widget->setObjectName(QString::fromLatin1(objectName));
        if (!HasVisibleText(widget))
            widget->setAccessibleName(WithoutAmpersand(spokenName));
        widget->setStatusTip(hint);
        widget->setAccessibleDescription(hint);
        return widget;
    }

} // namespace

void TfrmMain::buildNeckArea(QWidget* surface)
{
    lblFilename
        = Named(new QLabel(surface), "lblFilename", QStringLiteral("File name"), QStringLiteral("Current file name."));
    lblFilename->setAlignment(Qt::AlignCenter);
    QFont bold = lblFilename->font();
    bold.setBold(true);
    lblFilename->setFont(bold);

    // The frame lies behind the neck, two pixels outside it on every side; the neck view draws it too.
    shpNeckRect = new QFrame(surface);
    shpNeckRect->setObjectName(QStringLiteral("shpNeckRect"));
    shpNeckRect->setStyleSheet(QStringLiteral("background-color: black;"));
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

    lblChordName = Named(
        new ChordNameLabel(surface), "lblChordName", QStringLiteral("Chord name"), QStringLiteral("Chord name."));

    btnNewChord = Named(new QToolButton(surface), "btnNewChord", QStringLiteral("New note"),
        QStringLiteral("Finish with the current chord and start a new one."));
    btnNewChord->setIcon(EditGlyphs::icon(EditGlyph::NewNote));
    btnNewChord->setIconSize(EditGlyphs::designSize(EditGlyph::NewNote));
    placeNeckArea(FretCount);

    // The hidden cell that carries the neck's mouse handlers.
    auto* shape1 = new QWidget(surface);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setGeometry(-40, -40, 28, 28);
    shape1->hide();
}

void TfrmMain::placeNeckArea(int frets)
{
    imgAllFrets->setFretCount(frets);
    // Each fret beyond the eighteenth lengthens the neck at its body end; what lies along it follows.
    const int longer = NeckView::framedWidth(frets) - NeckView::FramedWidth;
    shpNeckRect->setGeometry(NeckView::FramedLeft, NeckView::FramedTop, imgAllFrets->width(), NeckView::FramedHeight);
    lblFilename->setGeometry(4, 2, 487 + longer, 16);
    lblFretNumbers->setFretCount(frets);
    lblChordName->setFretCount(frets);
    btnNewChord->setGeometry(420 + longer, 144, 67, 33);
}

void TfrmMain::buildEditor(QWidget* surface)
{
    RichEdit1 = Named(new ChordEditor(surface), "RichEdit1", QStringLiteral("Chord list"),
        QStringLiteral("Chord definition editor."));
    RichEdit1->setGeometry(272, 186, 215, 177);
    // Only a change of the text counts: an undo group that changed nothing does not.
    connect(RichEdit1->document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (removed != 0 || added != 0)
            RichEdit1Change();
    });
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

    btnPlay = Named(new PlayButton(QStringLiteral("Play"), pnlPlayButtons), "btnPlay", QStringLiteral("Play"),
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
    statusPanel0 = new AnnouncingLabel(bar);
    statusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    statusPanel0->setFixedWidth(493);
    statusPanel0->setFrameShape(QFrame::Panel);
    statusPanel0->setFrameShadow(QFrame::Sunken);
    statusPanel1 = new AnnouncingLabel(bar);
    statusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    statusPanel1->setFrameShape(QFrame::Panel);
    statusPanel1->setFrameShadow(QFrame::Sunken);
    bar->addWidget(statusPanel0);
    bar->addWidget(statusPanel1, 1);
}

void TfrmMain::showLoopAndTraceForOption()
{
    const bool currentLine = playOptionGroup->checkedId() == PlayCurrentLine;
    chkLoop->setVisible(!currentLine);
    chkTrace->setVisible(!currentLine);
}

void TfrmMain::setKeyboardOrder()
{
    // Top to bottom, left to right: the neck row, then the editing row.
    QList<QWidget*> order { imgAllFrets, btnNewChord, btnPlay, btnPrev, btnNext };
    for (const char* name : { "btnRest", "btnDup", "btnClear", "btnDelete", "btnWholeNote", "btnHalfNote",
             "btnQuarterNote", "btnEighthNote", "btnSixteenthNote", "btnThirtySecondNote", "btnSixtyFourthNote" })
        order << grpEditControls->findChild<QToolButton*>(QString::fromLatin1(name));
    order << chkDotted << chkTriplet << chkChordEntryMode << chkAutoNewLine << btnShiftLeft << btnShiftRight
          << RichEdit1;
    order << playOptionGroup->button(0) << playOptionGroup->button(1) << playOptionGroup->button(2)
          << playOptionGroup->button(3) << chkLoop << chkTrace << trackbarTempo;
    Accessibility::ChainTabOrder(order);
}

} // namespace fw
