#include "TransposeDialog.h"

#include "DialogButtons.h"
#include "Pitch.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

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

    auto* which = new QGroupBox(QStringLiteral("Lines to move"), this);
    which->setObjectName(QStringLiteral("grpLines"));
    rdoHighlighted = NamedControl(new QRadioButton(QStringLiteral("&Highlighted lines"), which), "rdoHighlighted",
        QStringLiteral("Highlighted lines"), QStringLiteral("Move only the lines highlighted in the chord list."));
    rdoWholeList = NamedControl(new QRadioButton(QStringLiteral("&Whole list"), which), "rdoWholeList",
        QStringLiteral("Whole list"), QStringLiteral("Move every line of the chord list."));
    auto* whichLayout = new QVBoxLayout(which);
    whichLayout->addWidget(rdoHighlighted);
    whichLayout->addWidget(rdoWholeList);

    std::tie(btnOK, btnCancel) = MakeOkCancelButtons(this);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    auto* semitonesLabel = new QLabel(QStringLiteral("&Semitones:"), this);
    semitonesLabel->setBuddy(spnSemitones);
    form->addRow(semitonesLabel, spnSemitones);
    form->addRow(QString(), lblMove);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(which);
    layout->addLayout(buttons);
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
