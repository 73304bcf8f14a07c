#include "OptionsDialog.h"

#include "DialogButtons.h"
#include "MessageBoxes.h"
#include "NeckPainter.h"
#include "Tuning.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <tuple>

namespace fw {

namespace {

    constexpr int MarkerWidth = 16;
    constexpr int MarkerHeight = 11;
    constexpr int FretPitch = 24;
    constexpr int StringPitch = 13;

    // An explanation under a control: wrapped, indented to the control's text.
    QLabel* Explanation(const QString& text, QWidget* parent)
    {
        auto* label = new QLabel(text, parent);
        label->setWordWrap(true);
        label->setContentsMargins(20, 0, 0, 6);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Disabled, QPalette::WindowText).darker(130));
        label->setPalette(palette);
        return label;
    }

    QCheckBox* CheckWithExplanation(
        QVBoxLayout* column, const char* name, const QString& caption, const QString& explanation, QWidget* parent)
    {
        auto* box = new QCheckBox(caption, parent);
        box->setObjectName(QString::fromLatin1(name));
        box->setAccessibleName(QString(caption).remove(QLatin1Char('&')).trimmed());
        box->setAccessibleDescription(explanation.trimmed());
        box->setToolTip(explanation.trimmed());
        column->addWidget(box);
        column->addWidget(Explanation(explanation, parent));
        return box;
    }

    // A few frets of the neck under the sample markers.
    class NeckPiece : public QWidget {
    public:
        using QWidget::QWidget;

        static QPoint markerPosition(int string, int fret)
        {
            return { fret * FretPitch - FretPitch / 2 - MarkerWidth / 2 + 4, stringY(string) - MarkerHeight / 2 };
        }
        QSize sizeHint() const override { return { 5 * FretPitch + 8, 4 * StringPitch + 8 }; }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            QLinearGradient wood(0, 0, 0, height());
            wood.setColorAt(0.0, QColor(0x6A, 0x3C, 0x22));
            wood.setColorAt(0.5, QColor(0x4E, 0x2A, 0x16));
            wood.setColorAt(1.0, QColor(0x3A, 0x1E, 0x0E));
            painter.fillRect(rect(), wood);
            for (int fret = 0; fret <= 5; ++fret) {
                const int x = fret * FretPitch + 4;
                painter.fillRect(QRect(x - 1, 0, 2, height()), NeckPainter::WireColor);
            }
            for (int string = 0; string < 4; ++string)
                painter.fillRect(QRect(0, stringY(string), width(), 1 + string / 2), NeckPainter::StringColor);
        }

    private:
        static int stringY(int string) { return 10 + string * StringPitch; }
    };

} // namespace

std::optional<QColor> QtColorChooser::chooseColor(QWidget* parent)
{
    const QColor chosen = QColorDialog::getColor(m_last, parent);
    if (!chosen.isValid())
        return std::nullopt;
    m_last = chosen;
    return chosen;
}

QColor MarkerColorFromSetting(int value) { return ColorFromSetting(static_cast<std::uint32_t>(value)); }

int MarkerColorToSetting(const QColor& color) { return color.red() | (color.green() << 8) | (color.blue() << 16); }

SampleMarker::SampleMarker(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(MarkerWidth, MarkerHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SampleMarker::setBrushColor(const QColor& color)
{
    m_color = color;
    update();
}

void SampleMarker::setShape(int code)
{
    m_shape = code;
    update();
}

void SampleMarker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    NeckPainter::paintMarker(painter, rect(), MarkerShapeFromSetting(m_shape), m_color);
}

TfrmOptions::TfrmOptions(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmOptions"));
    setWindowTitle(QStringLiteral("Settings"));
    setAccessibleName(QStringLiteral("Settings"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setAccessibleName(QStringLiteral("Settings pages"));
    PageControl1->addTab(buildGeneralTab(), QStringLiteral("General"));
    PageControl1->addTab(buildMarkersTab(), QStringLiteral("Markers"));
    PageControl1->addTab(buildTablatureTab(), QStringLiteral("Tablature"));
    PageControl1->addTab(buildMidiTab(), QStringLiteral("MIDI"));
    // Only at creation: later showings keep the page the user left open.
    PageControl1->setCurrentIndex(0);

    std::tie(btnOK, btnCancel) = MakeOkCancelButtons(this);
    connect(btnOK, &QPushButton::clicked, this, &TfrmOptions::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOptions::btnCancelClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(PageControl1);
    column->addLayout(buttons);

    // As tall as the wrapped explanations need at this width, whatever the font, so none is cut.
    setFixedWidth(420);
    setFixedHeight(column->totalHeightForWidth(420));
}

QWidget* TfrmOptions::buildGeneralTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabGeneral"));
    auto* column = new QVBoxLayout(page);
    chkSavePrompts = CheckWithExplanation(column, "chkSavePrompts", QStringLiteral("Warning: \"Save changes to...\" "),
        QStringLiteral("Displays message prompts to warn you before you proceed with an operation that will cause you "
                       "to lose your work."),
        page);
    chkCursorPlays = CheckWithExplanation(column, "chkCursorPlays", QStringLiteral("Cursor up/down plays chords"),
        QStringLiteral("Chords are played when up and down keys are used."), page);
    chkShowChordName = CheckWithExplanation(column, "chkShowChordName", QStringLiteral("Show note name"),
        QStringLiteral("Display the current note name above the guitar neck. "), page);
    chkShowFretNumbers = CheckWithExplanation(column, "chkShowFretNumbers", QStringLiteral("Show fret numbers"),
        QStringLiteral("Display fret numbers below guitar neck."), page);
    chkAutoCorrect = CheckWithExplanation(column, "chkAutoCorrect", QStringLiteral("Auto note correction"),
        QStringLiteral("Ensure that note names are correct. "), page);
    BuildNewTuningRow(column, page);
    column->addStretch(1);
    return page;
}

void TfrmOptions::BuildNewTuningRow(QVBoxLayout* column, QWidget* page)
{
    const QString caption = QStringLiteral("Tuning for new chord lists");
    const QString hint = QStringLiteral("Note names, lowest string first (such as B E A D G); empty for E A D G.");
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(caption + QStringLiteral(":"), page);
    label->setObjectName(QStringLiteral("lblNewTuning"));
    edtNewTuning = new QLineEdit(page);
    edtNewTuning->setObjectName(QStringLiteral("edtNewTuning"));
    edtNewTuning->setAccessibleName(caption);
    edtNewTuning->setAccessibleDescription(hint);
    edtNewTuning->setToolTip(hint);
    label->setBuddy(edtNewTuning);
    row->addWidget(label);
    row->addWidget(edtNewTuning, 1);
    column->addLayout(row);
    // Checked as it is typed: a text that names no tuning says why in its tool tip and is not stored.
    connect(edtNewTuning, &QLineEdit::textChanged, this, [this, hint](const QString& text) {
        const TuningLineResult result = ParseTuningNames(text);
        const bool good = text.trimmed().isEmpty() || result.kind == TuningLineKind::Valid;
        edtNewTuning->setToolTip(good ? hint : result.reason);
        edtNewTuning->setAccessibleDescription(good ? hint : result.reason);
        edtNewTuning->setStyleSheet(good ? QString() : QStringLiteral("color: #b00020;"));
    });
}

QWidget* TfrmOptions::buildMarkersTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabMarkers"));
    auto* column = new QVBoxLayout(page);

    auto* heading = new QLabel(QStringLiteral("Guitar neck markers"), page);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    column->addWidget(heading);
    auto* about = new QLabel(
        QStringLiteral("These options allow you to change the color and shape of the chord fingering markers."), page);
    about->setWordWrap(true);
    column->addWidget(about);

    auto* colorRow = new QHBoxLayout;
    auto* colorLabel = new QLabel(QStringLiteral("Marker Color"), page);
    Button1 = new QPushButton(QStringLiteral("Select..."), page);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleDescription(QStringLiteral("Choose the colour of the chord fingering markers."));
    colorLabel->setBuddy(Button1);
    connect(Button1, &QPushButton::clicked, this, &TfrmOptions::Button1Click);
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(Button1);
    colorRow->addStretch(1);
    column->addLayout(colorRow);

    auto* row = new QHBoxLayout;
    rdoMarkerShape = new QGroupBox(QStringLiteral("Marker Shape"), page);
    rdoMarkerShape->setObjectName(QStringLiteral("rdoMarkerShape"));
    rdoMarkerShape->setAccessibleName(QStringLiteral("Marker Shape"));
    rdoMarkerShapeButtons = new QButtonGroup(rdoMarkerShape);
    auto* shapes = new QVBoxLayout(rdoMarkerShape);
    const QStringList captions = { QStringLiteral("Rectangle"), QStringLiteral("Square"), QStringLiteral("Ellipse"),
        QStringLiteral("Circle") };
    for (int i = 0; i < captions.size(); ++i) {
        auto* radio = new QRadioButton(captions.at(i), rdoMarkerShape);
        radio->setObjectName(QStringLiteral("rdoMarkerShape%1").arg(captions.at(i)));
        radio->setAccessibleName(captions.at(i));
        rdoMarkerShapeButtons->addButton(radio, i);
        shapes->addWidget(radio);
    }
    connect(rdoMarkerShapeButtons, &QButtonGroup::idClicked, this, &TfrmOptions::rdoMarkerShapeClick);
    row->addWidget(rdoMarkerShape);

    auto* sample = new QGroupBox(QStringLiteral("Sample"), page);
    sample->setObjectName(QStringLiteral("grpSample"));
    sample->setAccessibleName(QStringLiteral("Sample"));
    auto* sampleLayout = new QVBoxLayout(sample);
    auto* neck = new NeckPiece(sample);
    neck->setObjectName(QStringLiteral("imgSampleNeck"));
    neck->setAccessibleName(QStringLiteral("Sample markers on the neck"));
    neck->setFixedSize(neck->sizeHint());
    sampleLayout->addWidget(neck, 0, Qt::AlignCenter);
    SampleMarker** markers[] = { &shpSampleMarker1, &shpSampleMarker2, &shpSampleMarker3 };
    const QPoint places[]
        = { NeckPiece::markerPosition(0, 2), NeckPiece::markerPosition(1, 4), NeckPiece::markerPosition(3, 3) };
    for (int i = 0; i < 3; ++i) {
        *markers[i] = new SampleMarker(neck);
        (*markers[i])->setObjectName(QStringLiteral("shpSampleMarker%1").arg(i + 1));
        (*markers[i])->move(places[i]);
    }
    row->addWidget(sample, 1);
    column->addLayout(row);
    column->addStretch(1);
    setSamples(MarkerColorFromSetting(Settings().MarkerColor), m_shapeCode);
    return page;
}

QWidget* TfrmOptions::buildTablatureTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabTablature"));
    auto* column = new QVBoxLayout(page);
    chkShowTabPrompt = CheckWithExplanation(column, "chkShowTabPrompt",
        QStringLiteral("Prompt before showing tablature"),
        QStringLiteral("Displays a box for entering titles to print at the top of the tab. Comment lines containing \" "
                       "* Title: \" and \" * Sub: \" can be used to specify tab titles."),
        page);
    chkTabFont = CheckWithExplanation(column, "chkTabFont", QStringLiteral("Use bold font for graphic tab"),
        QStringLiteral("When viewing or printing graphic tab, show all the tabulature numbers in bold font."), page);
    column->addStretch(1);
    return page;
}

QWidget* TfrmOptions::buildMidiTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabMIDI"));
    auto* column = new QVBoxLayout(page);

    const auto addList = [&](const char* name, const QString& caption, const QString& explanation) {
        auto* label = new QLabel(caption, page);
        auto* list = new QComboBox(page);
        list->setObjectName(QString::fromLatin1(name));
        list->setAccessibleName(caption);
        list->setAccessibleDescription(explanation);
        list->setToolTip(explanation);
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        list->setMinimumWidth(200);
        label->setBuddy(list);
        column->addWidget(label);
        column->addWidget(list, 0, Qt::AlignLeft);
        column->addWidget(Explanation(explanation, page));
        return list;
    };
    cboDevice = addList("cboDevice", QStringLiteral("Device"),
        QStringLiteral("Select a driver for your sound card or external MIDI device."));
    cboChannel = addList("cboChannel", QStringLiteral("Channel"),
        QStringLiteral("Select a channel for MIDI output. (Channel 10 is used for drum sounds.)"));
    // Only a choice of the user's warns, not the refill at each showing.
    connect(cboDevice, &QComboBox::activated, this, &TfrmOptions::cboDeviceChange);

    chkExternalMIDI = CheckWithExplanation(column, "chkExternalMIDI", QStringLiteral("External MIDI"),
        QStringLiteral("Check this when using external MIDI devices."), page);
    chkExternalMIDI->installEventFilter(this);

    const QString soundFontHint
        = QStringLiteral("The General MIDI SoundFont the built-in synthesizer plays; a new one is used from the next "
                         "start.");
    auto* soundFontLabel = new QLabel(QStringLiteral("SoundFont"), page);
    soundFontLabel->setObjectName(QStringLiteral("lblSoundFont"));
    edtSoundFont = new QLineEdit(page);
    edtSoundFont->setObjectName(QStringLiteral("edtSoundFont"));
    edtSoundFont->setReadOnly(true);
    edtSoundFont->setMinimumWidth(260);
    edtSoundFont->setAccessibleName(QStringLiteral("SoundFont"));
    edtSoundFont->setAccessibleDescription(soundFontHint);
    edtSoundFont->setToolTip(soundFontHint);
    soundFontLabel->setBuddy(edtSoundFont);
    btnSoundFont = new QPushButton(QStringLiteral("Browse..."), page);
    btnSoundFont->setObjectName(QStringLiteral("btnSoundFont"));
    btnSoundFont->setAccessibleName(QStringLiteral("Browse..."));
    btnSoundFont->setAccessibleDescription(QStringLiteral("Choose a SoundFont file."));
    connect(btnSoundFont, &QPushButton::clicked, this, &TfrmOptions::btnSoundFontClick);
    auto* soundFontRow = new QHBoxLayout;
    soundFontRow->addWidget(edtSoundFont, 1);
    soundFontRow->addWidget(btnSoundFont);
    column->addWidget(soundFontLabel);
    column->addLayout(soundFontRow);
    column->addWidget(Explanation(soundFontHint, page));
    column->addStretch(1);
    return page;
}

void TfrmOptions::setColorChooser(ColorChooser* chooser) { m_chooser = chooser ? chooser : &m_ownChooser; }

void TfrmOptions::setSamples(const QColor& color, int shape)
{
    for (SampleMarker* marker : { shpSampleMarker1, shpSampleMarker2, shpSampleMarker3 }) {
        marker->setBrushColor(color);
        marker->setShape(shape);
    }
}

void TfrmOptions::showEvent(QShowEvent* event)
{
    FormActivate();
    QDialog::showEvent(event);
}

void TfrmOptions::FormActivate()
{
    if (!m_settings)
        return;
    const Settings& s = *m_settings;
    chkSavePrompts->setChecked(s.Prompts);
    chkCursorPlays->setChecked(s.CursorPlays);
    chkShowChordName->setChecked(s.ShowChordName);
    chkShowFretNumbers->setChecked(s.ShowFretNumbers);
    chkAutoCorrect->setChecked(s.AutoCorrect);
    edtNewTuning->setText(s.NewTuning);
    chkShowTabPrompt->setChecked(s.TabPrompt);
    chkTabFont->setChecked(s.TabFont);
    chkExternalMIDI->setChecked(s.ExternalMIDI);
    m_soundFont = s.SoundFont;
    edtSoundFont->setText(soundFontInUse ? soundFontInUse(s.SoundFont) : s.SoundFont);

    m_shapeCode = s.MarkerShape;
    const int shapeIndex = m_shapeCode <= 1 ? m_shapeCode : m_shapeCode - 2;
    if (QAbstractButton* radio = rdoMarkerShapeButtons->button(shapeIndex))
        radio->setChecked(true);
    setSamples(MarkerColorFromSetting(s.MarkerColor), s.MarkerShape);

    cboChannel->clear();
    for (int channel = 1; channel <= 16; ++channel) {
        QString text = channel <= 10 ? QLatin1Char(' ') + QString::number(channel) : QString::number(channel);
        if (channel == 1)
            text += QStringLiteral(" (Default)");
        else if (channel == 10)
            text += QStringLiteral(" (Drums)");
        cboChannel->addItem(text);
    }
    cboChannel->setCurrentIndex(s.Channel);

    cboDevice->clear();
    const QStringList devices = deviceItems ? deviceItems() : QStringList();
    cboDevice->addItems(devices);
    cboDevice->setCurrentIndex(devices.isEmpty() ? -1 : s.Device + 1);
}

void TfrmOptions::rdoMarkerShapeClick(int index)
{
    m_shapeCode = index >= 2 ? index + 2 : index;
    if (QAbstractButton* radio = rdoMarkerShapeButtons->button(index))
        radio->setChecked(true);
    setSamples(shpSampleMarker1->brushColor(), m_shapeCode);
}

void TfrmOptions::Button1Click()
{
    if (const std::optional<QColor> chosen = m_chooser->chooseColor(this))
        setSamples(*chosen, m_shapeCode);
}

void TfrmOptions::cboDeviceChange()
{
    if (MidiHeldOpen && m_boxes)
        m_boxes->warningBox(QStringLiteral("This program was started with 'External MIDI' Checked.  If you select a "
                                           "new MIDI device it won't be used until the program is started again."));
}

void TfrmOptions::chkExternalMIDIMouseUp()
{
    if (m_boxes)
        m_boxes->warningBox(QStringLiteral("This option does not take effect until the program has been restarted."));
}

bool TfrmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == chkExternalMIDI) {
        // The warning waits until the box has taken the click, so it shows over the new state. The space
        // key toggles the box too and warns the same way for keyboard users.
        bool warn = false;
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            warn = chkExternalMIDI->rect().contains(mouse->position().toPoint());
        } else if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            warn = key->key() == Qt::Key_Space && !key->isAutoRepeat();
        }
        if (warn)
            QMetaObject::invokeMethod(this, &TfrmOptions::chkExternalMIDIMouseUp, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmOptions::btnOKClick()
{
    if (m_settings) {
        Settings& s = *m_settings;
        s.Prompts = chkSavePrompts->isChecked();
        s.TabPrompt = chkShowTabPrompt->isChecked();
        s.CursorPlays = chkCursorPlays->isChecked();
        s.TabFont = chkTabFont->isChecked();
        s.ShowChordName = chkShowChordName->isChecked();
        if (showChordNameLabel)
            showChordNameLabel(s.ShowChordName);
        s.ShowFretNumbers = chkShowFretNumbers->isChecked();
        if (showFretNumbersLabel)
            showFretNumbersLabel(s.ShowFretNumbers);
        s.MarkerColor = MarkerColorToSetting(shpSampleMarker1->brushColor());
        s.MarkerShape = m_shapeCode;
        s.Channel = cboChannel->currentIndex();
        s.Octave = -12;
        s.Device = cboDevice->currentIndex() - 1;
        s.ExternalMIDI = chkExternalMIDI->isChecked();
        s.SoundFont = m_soundFont;
        const QString newTuning = edtNewTuning->text().trimmed();
        if (newTuning.isEmpty() || ParseTuningNames(newTuning).kind == TuningLineKind::Valid)
            s.NewTuning = newTuning;
        s.AutoCorrect = chkAutoCorrect->isChecked();
        if (s.AutoCorrect && autoCorrectAll)
            autoCorrectAll();
    }
    accept();
}

void TfrmOptions::btnCancelClick() { reject(); }

void TfrmOptions::btnSoundFontClick()
{
    const QString current = edtSoundFont->text();
    const QString chosen = chooseSoundFont ? chooseSoundFont(current)
                                           : QFileDialog::getOpenFileName(this, QStringLiteral("SoundFont"), current,
                                               QStringLiteral("SoundFont files (*.sf2 *.sf3);;All Files (*)"));
    if (chosen.isEmpty())
        return;
    m_soundFont = chosen;
    edtSoundFont->setText(chosen);
}

} // namespace fw
