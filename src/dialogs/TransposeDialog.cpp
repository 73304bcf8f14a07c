#include "TransposeDialog.h"

#include "DialogButtons.h"
#include "Pitch.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace fw {

TfrmTranspose::TfrmTranspose(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmTranspose"));
    setWindowTitle(QStringLiteral("Transpose"));
    setAccessibleName(QStringLiteral("Transpose"));
    showModal = [this] { return exec(); };

    spnSemitones = NamedControl(new QSpinBox(this), "spnSemitones", QStringLiteral("Semitones:"),
        QStringLiteral("How far the notes move: up for a positive number, down for a negative one; 12 is an octave."));
    spnSemitones->setRange(-MaxTransposeSemitones, MaxTransposeSemitones);
    lblMove = new QLabel(this);
    lblMove->setObjectName(QStringLiteral("lblMove"));

    rdoHighlighted = NamedControl(new QRadioButton(QStringLiteral("&Highlighted lines"), this), "rdoHighlighted",
        QStringLiteral("Highlighted lines"), QStringLiteral("Move only the lines highlighted in the chord list."));
    rdoWholeList = NamedControl(new QRadioButton(QStringLiteral("&Whole list"), this), "rdoWholeList",
        QStringLiteral("Whole list"), QStringLiteral("Move every line of the chord list."));
    QGroupBox* which
        = MakeRadioGroup(this, "grpLines", QStringLiteral("Lines to move"), { rdoHighlighted, rdoWholeList });

    auto* form = new QFormLayout;
    auto* semitonesLabel = new QLabel(QStringLiteral("&Semitones:"), this);
    semitonesLabel->setObjectName(QStringLiteral("lblSemitones"));
    semitonesLabel->setBuddy(spnSemitones);
    form->addRow(semitonesLabel, spnSemitones);
    form->addRow(QString(), lblMove);
    LayOutFormDialog(this, form, which, btnOK, btnCancel);
    setTabOrder(spnSemitones, rdoHighlighted);
    setTabOrder(rdoHighlighted, rdoWholeList);
    setTabOrder(rdoWholeList, btnOK);
    setTabOrder(btnOK, btnCancel);

    connect(spnSemitones, &QSpinBox::valueChanged, this, &TfrmTranspose::spnSemitonesChange);
    spnSemitonesChange(spnSemitones->value());
    prepare(false);
}

void TfrmTranspose::prepare(bool linesHighlighted)
{
    rdoHighlighted->setEnabled(linesHighlighted);
    (linesHighlighted ? rdoHighlighted : rdoWholeList)->setChecked(true);
    spnSemitones->setFocus();
    spnSemitones->selectAll();
}

void TfrmTranspose::spnSemitonesChange(int value)
{
    lblMove->setText(value == 0 ? QStringLiteral("Choose a number other than 0.") : SemitonesText(value) + u'.');
    lblMove->setAccessibleName(lblMove->text());
    btnOK->setEnabled(value != 0);
}

int TfrmTranspose::semitones() const { return spnSemitones->value(); }

bool TfrmTranspose::highlightedOnly() const { return rdoHighlighted->isChecked(); }

} // namespace fw
