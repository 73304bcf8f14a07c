#include "TuningDialog.h"

#include "DialogButtons.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace fw {

namespace {

    const QString CustomCaption = QStringLiteral("Custom");

    // The strings as a user reads them: "Low B, E, A, D, G".
    QString Description(const Tuning& tuning)
    {
        QStringList names;
        for (int slot = 6; slot >= tuning.firstSlot(); --slot)
            names << tuning.stringName(slot);
        return QStringLiteral("%1 strings: %2").arg(tuning.stringCount()).arg(names.join(QStringLiteral(", ")));
    }

} // namespace

const QList<TfrmTuning::Preset>& TfrmTuning::Presets()
{
    static const QList<Preset> presets {
        { QStringLiteral("Four-string E A D G"), QStringLiteral("E A D G") },
        { QStringLiteral("Drop D: D A D G"), QStringLiteral("D A D G") },
        { QStringLiteral("Half step down: Eb Ab Db Gb"), QStringLiteral("Eb Ab Db Gb") },
        { QStringLiteral("Five-string B E A D G"), QStringLiteral("B E A D G") },
        { QStringLiteral("Five-string E A D G C"), QStringLiteral("E A D G C") },
        { QStringLiteral("Six-string B E A D G C"), QStringLiteral("B E A D G C") },
    };
    return presets;
}

TfrmTuning::TfrmTuning(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmTuning"));
    setWindowTitle(QStringLiteral("Tuning"));
    setAccessibleName(QStringLiteral("Tuning"));
    showModal = [this] { return exec(); };

    cboPreset = NamedControl(new QComboBox(this), "cboPreset", QStringLiteral("Preset:"),
        QStringLiteral("A common tuning, or Custom to type your own."));
    for (const Preset& preset : Presets())
        cboPreset->addItem(preset.caption, preset.names);
    cboPreset->addItem(CustomCaption, QString());
    edtTuning = NamedControl(new QLineEdit(this), "edtTuning", QStringLiteral("Strings:"),
        QStringLiteral("4 to 6 note names, lowest string first, such as B E A D G; an octave digit is optional (B0)."));
    lblCheck = new QLabel(this);
    lblCheck->setObjectName(QStringLiteral("lblCheck"));
    lblCheck->setWordWrap(true);

    rdoKeepPitches = NamedControl(new QRadioButton(QStringLiteral("Keep the pitches"), this), "rdoKeepPitches",
        QStringLiteral("Keep the pitches"),
        QStringLiteral("Each note sounds as before, on the strings and frets easiest to play in the new tuning."));
    rdoKeepFrets = NamedControl(new QRadioButton(QStringLiteral("Keep the frets"), this), "rdoKeepFrets",
        QStringLiteral("Keep the frets"),
        QStringLiteral("Each note stays on its string and fret and sounds in the new tuning."));
    rdoKeepPitches->setChecked(true);
    QGroupBox* moves
        = MakeRadioGroup(this, "grpNotes", QStringLiteral("Notes already written"), { rdoKeepPitches, rdoKeepFrets });

    auto* form = new QFormLayout;
    auto* presetLabel = new QLabel(QStringLiteral("&Preset:"), this);
    presetLabel->setBuddy(cboPreset);
    auto* stringsLabel = new QLabel(QStringLiteral("&Strings:"), this);
    stringsLabel->setBuddy(edtTuning);
    form->addRow(presetLabel, cboPreset);
    form->addRow(stringsLabel, edtTuning);
    form->addRow(QString(), lblCheck);
    LayOutFormDialog(this, form, moves, btnOK, btnCancel);

    connect(cboPreset, &QComboBox::activated, this, &TfrmTuning::cboPresetChange);
    connect(edtTuning, &QLineEdit::textChanged, this, &TfrmTuning::edtTuningChange);
    setTuning(StandardTuning());
}

void TfrmTuning::setTuning(const Tuning& tuning)
{
    const QString names = tuning.namesText();
    const int preset = cboPreset->findData(names);
    cboPreset->setCurrentIndex(preset >= 0 ? preset : cboPreset->count() - 1);
    edtTuning->setText(names);
    edtTuningChange(names);
}

void TfrmTuning::cboPresetChange(int index)
{
    const QString names = cboPreset->itemData(index).toString();
    if (!names.isEmpty())
        edtTuning->setText(names);
    edtTuning->setFocus();
}

void TfrmTuning::edtTuningChange(const QString& text)
{
    const TuningLineResult result = ParseTuningNames(text);
    const bool valid = result.kind == TuningLineKind::Valid;
    lblCheck->setText(valid ? Description(result.tuning) : result.reason);
    lblCheck->setAccessibleName(lblCheck->text());
    btnOK->setEnabled(valid);
    // Typing a preset's names shows that preset; anything else is Custom.
    const int preset = valid ? cboPreset->findData(result.tuning.namesText()) : -1;
    cboPreset->setCurrentIndex(preset >= 0 ? preset : cboPreset->count() - 1);
}

std::optional<Tuning> TfrmTuning::chosenTuning() const
{
    TuningLineResult result = ParseTuningNames(edtTuning->text());
    if (result.kind != TuningLineKind::Valid)
        return std::nullopt;
    return result.tuning;
}

RetuneMode TfrmTuning::mode() const
{
    return rdoKeepFrets->isChecked() ? RetuneMode::KeepFrets : RetuneMode::KeepPitches;
}

} // namespace fw
