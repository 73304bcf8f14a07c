#include "PracticeDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace fw {

namespace {

    QSpinBox* AddSpinBox(QWidget* parent, QFormLayout* form, const char* objectName, const QString& caption,
        const QString& hint, int minimum, int maximum, const QString& suffix)
    {
        auto* box = new QSpinBox(parent);
        box->setObjectName(QLatin1String(objectName));
        box->setRange(minimum, maximum);
        box->setSuffix(suffix);
        auto* label = new QLabel(caption, parent);
        label->setObjectName(QStringLiteral("lbl") + QLatin1String(objectName + 3));
        label->setBuddy(box);
        QString spoken = caption;
        spoken.remove(QLatin1Char('&'));
        box->setAccessibleName(spoken);
        label->setAccessibleName(spoken);
        box->setAccessibleDescription(hint);
        box->setToolTip(hint);
        form->addRow(label, box);
        return box;
    }

} // namespace

TfrmPractice::TfrmPractice(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmPractice"));
    setWindowTitle(QStringLiteral("Practice"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    const QString percent = QStringLiteral(" %");
    spnStart = AddSpinBox(this, form, "spnStart", QStringLiteral("&Start at"),
        QStringLiteral("Tempo of the first passes, as a share of the document's tempo."), MinPracticePercent,
        MaxPracticePercent, percent);
    spnStep = AddSpinBox(this, form, "spnStep", QStringLiteral("&Raise by"),
        QStringLiteral("How much faster each new tempo is."), 1, MaxPracticePercent, percent);
    spnPasses = AddSpinBox(this, form, "spnPasses", QStringLiteral("&Passes per tempo"),
        QStringLiteral("How often the passage is played before the tempo rises."), 1, MaxPracticePasses, QString());
    spnTarget = AddSpinBox(this, form, "spnTarget", QStringLiteral("&Target"),
        QStringLiteral("The tempo the run ends at, as a share of the document's tempo."), MinPracticePercent,
        MaxPracticePercent, percent);
    chkMetronome = new QCheckBox(QStringLiteral("&Metronome"), this);
    chkMetronome->setObjectName(QStringLiteral("chkMetronome"));
    chkMetronome->setAccessibleName(QStringLiteral("Metronome"));
    chkMetronome->setAccessibleDescription(
        QStringLiteral("A click on every quarter, louder on the first of each bar of four."));
    chkMetronome->setToolTip(chkMetronome->accessibleDescription());
    layout->addWidget(chkMetronome);
    lblProblem = new QLabel(this);
    lblProblem->setObjectName(QStringLiteral("lblProblem"));
    lblProblem->setWordWrap(true);
    layout->addWidget(lblProblem);

    auto* buttons = new QDialogButtonBox(this);
    btnStart = buttons->addButton(QStringLiteral("Start"), QDialogButtonBox::AcceptRole);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnStart->setAccessibleName(QStringLiteral("Start"));
    btnStart->setAccessibleDescription(QStringLiteral("Start the run."));
    btnStart->setDefault(true);
    btnCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAccessibleName(QStringLiteral("Cancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QSpinBox* box : { spnStart, spnStep, spnPasses, spnTarget })
        connect(box, &QSpinBox::valueChanged, this, &TfrmPractice::refresh);
    setPlan(PracticePlan {});
}

PracticePlan TfrmPractice::plan() const
{
    return { spnStart->value(), spnStep->value(), spnPasses->value(), spnTarget->value(), chkMetronome->isChecked() };
}

void TfrmPractice::setPlan(const PracticePlan& plan)
{
    spnStart->setValue(plan.startPercent);
    spnStep->setValue(plan.stepPercent);
    spnPasses->setValue(plan.passes);
    spnTarget->setValue(plan.targetPercent);
    chkMetronome->setChecked(plan.metronome);
    refresh();
}

void TfrmPractice::refresh()
{
    const QString problem = PracticePlanError(plan());
    lblProblem->setText(problem);
    lblProblem->setAccessibleName(problem);
    lblProblem->setVisible(!problem.isEmpty());
    btnStart->setEnabled(problem.isEmpty());
}

} // namespace fw
