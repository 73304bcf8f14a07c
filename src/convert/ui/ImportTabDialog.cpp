#include "ImportTabDialog.h"

#include "DialogButtons.h"
#include "FixedPitchFont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fw {

namespace {

    // Typing pauses this long before the preview is rebuilt, so long tabs stay responsive.
    constexpr int PreviewDelayMs = 150;

    struct RhythmChoice {
        TabRhythm rhythm;
        const char* caption;
        const char* hint;
    };
    const RhythmChoice RhythmChoices[] = {
        { TabRhythm::Uniform, "Every note one unit", "Every note gets the unit's duration." },
        { TabRhythm::Grid, "One character one unit", "Each character of the tab lasts one unit; gaps become rests." },
        { TabRhythm::Proportional, "Each bar a bar of 4/4", "The spacing inside each bar gives the durations." },
        { TabRhythm::Line, "Rhythm line above the tab", "A line of durations (Q, .E, /S) above each block." },
    };

    QLabel* MakeLabel(const QString& caption, QWidget* buddy, QWidget* parent, const char* objectName)
    {
        auto* label = new QLabel(caption, parent);
        label->setObjectName(QLatin1String(objectName));
        label->setBuddy(buddy);
        QString spoken = caption;
        label->setAccessibleName(spoken.remove(u'&'));
        buddy->setAccessibleName(label->accessibleName());
        return label;
    }

    void Hint(QWidget* widget, const QString& hint)
    {
        widget->setToolTip(hint);
        widget->setAccessibleDescription(hint);
    }

    QPlainTextEdit* MakeTextBox(QWidget* parent, const char* objectName, bool readOnly)
    {
        auto* box = new QPlainTextEdit(parent);
        box->setObjectName(QLatin1String(objectName));
        box->setReadOnly(readOnly);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        // Tab moves on to the next control, so the dialog works from the keyboard alone.
        box->setTabChangesFocus(true);
        box->setFont(FixedPitchFont());
        return box;
    }

} // namespace

ImportTabDialog::ImportTabDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ImportTabDialog"));
    setWindowTitle(QStringLiteral("Import Tab"));
    resize(900, 560);

    edtText = MakeTextBox(this, "edtText", false);
    cboRhythm = new QComboBox(this);
    cboRhythm->setObjectName(QStringLiteral("cboRhythm"));
    for (const RhythmChoice& choice : RhythmChoices) {
        cboRhythm->addItem(QString::fromLatin1(choice.caption), static_cast<int>(choice.rhythm));
        cboRhythm->setItemData(cboRhythm->count() - 1, QString::fromLatin1(choice.hint), Qt::ToolTipRole);
    }
    cboUnit = new QComboBox(this);
    cboUnit->setObjectName(QStringLiteral("cboUnit"));
    for (const char* mark : { "", ".", "/" })
        for (const char* letter : { "W", "H", "Q", "E", "S", "T", "F" })
            cboUnit->addItem(QLatin1String(mark) + QLatin1String(letter));
    chkAsWritten = new QCheckBox(QStringLiteral("Repeats as &written"), this);
    chkAsWritten->setObjectName(QStringLiteral("chkAsWritten"));
    chkAsWritten->setAccessibleName(QStringLiteral("Repeats as written"));
    memPreview = MakeTextBox(this, "memPreview", true);
    memReport = MakeTextBox(this, "memReport", true);
    memReport->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    std::tie(btnOK, btnCancel) = MakeOkCancelButtons(this);

    QLabel* textLabel = MakeLabel(QStringLiteral("&Tab text"), edtText, this, "lblText");
    QLabel* rhythmLabel = MakeLabel(QStringLiteral("&Rhythm"), cboRhythm, this, "lblRhythm");
    m_unitLabel = MakeLabel(QStringLiteral("&Unit"), cboUnit, this, "lblUnit");
    QLabel* previewLabel = MakeLabel(QStringLiteral("Chord &list"), memPreview, this, "lblPreview");
    QLabel* reportLabel = MakeLabel(QStringLiteral("Re&port"), memReport, this, "lblReport");
    Hint(edtText, QStringLiteral("The tab as text; edit it here before importing."));
    Hint(cboRhythm, QStringLiteral("How the notes get their durations."));
    Hint(cboUnit, QStringLiteral("The duration of one note, or of one character of the tab."));
    Hint(
        chkAsWritten, QStringLiteral("Keep repeated bars once, between repeat comments, instead of playing them out."));
    Hint(memPreview, QStringLiteral("The chord list OK imports."));
    Hint(memReport, QStringLiteral("What the import dropped or guessed."));

    auto* choices = new QHBoxLayout;
    choices->addWidget(rhythmLabel);
    choices->addWidget(cboRhythm);
    choices->addSpacing(12);
    choices->addWidget(m_unitLabel);
    choices->addWidget(cboUnit);
    choices->addSpacing(12);
    choices->addWidget(chkAsWritten);
    choices->addStretch();
    auto* columns = new QGridLayout;
    columns->addWidget(textLabel, 0, 0);
    columns->addWidget(edtText, 1, 0, 3, 1);
    columns->addWidget(previewLabel, 0, 1);
    columns->addWidget(memPreview, 1, 1);
    columns->addWidget(reportLabel, 2, 1);
    columns->addWidget(memReport, 3, 1);
    columns->setRowStretch(1, 3);
    columns->setRowStretch(3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    setTabOrder(edtText, cboRhythm);
    setTabOrder(cboRhythm, cboUnit);
    setTabOrder(cboUnit, chkAsWritten);
    setTabOrder(chkAsWritten, memPreview);
    setTabOrder(memPreview, memReport);
    setTabOrder(memReport, btnOK);
    setTabOrder(btnOK, btnCancel);

    m_previewTimer.setSingleShot(true);
    m_previewTimer.setInterval(PreviewDelayMs);
    connect(&m_previewTimer, &QTimer::timeout, this, &ImportTabDialog::refreshPreview);
    connect(edtText, &QPlainTextEdit::textChanged, this, &ImportTabDialog::schedulePreview);
    connect(cboRhythm, &QComboBox::currentIndexChanged, this, &ImportTabDialog::refreshPreview);
    connect(cboUnit, &QComboBox::currentIndexChanged, this, &ImportTabDialog::refreshPreview);
    connect(chkAsWritten, &QCheckBox::toggled, this, &ImportTabDialog::refreshPreview);
    connect(btnOK, &QPushButton::clicked, this, [this] {
        refreshPreview();
        if (m_result.error.isEmpty())
            accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ImportTabDialog::setSource(const QString& title, const QString& text, const TabImportOptions& options)
{
    setWindowTitle(title);
    m_options = options;
    const QSignalBlocker blockRhythm(cboRhythm);
    const QSignalBlocker blockUnit(cboUnit);
    cboRhythm->setCurrentIndex(cboRhythm->findData(static_cast<int>(options.rhythm)));
    cboUnit->setCurrentIndex(std::max(0, cboUnit->findText(options.unit)));
    const QSignalBlocker blockAsWritten(chkAsWritten);
    chkAsWritten->setChecked(options.asWritten);
    {
        const QSignalBlocker blockText(edtText);
        edtText->setPlainText(text);
    }
    refreshPreview();
}

TabImportOptions ImportTabDialog::options() const
{
    TabImportOptions options = m_options;
    options.rhythm = static_cast<TabRhythm>(cboRhythm->currentData().toInt());
    options.unit = cboUnit->currentText();
    options.asWritten = chkAsWritten->isChecked();
    return options;
}

void ImportTabDialog::schedulePreview() { m_previewTimer.start(); }

void ImportTabDialog::refreshPreview()
{
    m_previewTimer.stop();
    const TabImportOptions current = options();
    // The line rhythm takes its durations from the tab; the unit only fills gaps there.
    m_result = ImportAsciiTabText(edtText->toPlainText(), current);
    memPreview->setPlainText(m_result.lines.join(u'\n'));
    memReport->setPlainText(m_result.error.isEmpty() ? m_result.report.join(u'\n') : m_result.error);
    btnOK->setEnabled(m_result.error.isEmpty());
}

std::optional<TabImport> DialogTabImportPrompt::ask(
    QWidget* parent, const QString& title, const QString& text, const TabImportOptions& options)
{
    ImportTabDialog dialog(parent);
    dialog.setSource(title, text, options);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.imported();
}

} // namespace fw
