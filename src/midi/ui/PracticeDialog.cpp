#include "PracticeDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace fw {

namespace {

    // Optionally with a label after the box (the tempo a percentage gives).
    QSpinBox* AddSpinBox(QWidget* parent, QFormLayout* form, const char* objectName, const QString& caption,
        const QString& hint, int minimum, int maximum, const QString& suffix, QLabel* after = nullptr)
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
        auto* row = new QHBoxLayout;
        row->addWidget(box);
        if (after)
            row->addWidget(after, 1);
        else
            row->addStretch(1);
        form->addRow(label, row);
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
    lblStartTempo = new QLabel(this);
    lblStartTempo->setObjectName(QStringLiteral("lblStartTempo"));
    lblTargetTempo = new QLabel(this);
    lblTargetTempo->setObjectName(QStringLiteral("lblTargetTempo"));
    spnStart = AddSpinBox(this, form, "spnStart", QStringLiteral("&Start at"),
        QStringLiteral("Tempo of the first passes, as a share of the document's tempo."), MinPracticePercent,
        MaxPracticePercent, percent, lblStartTempo);
    spnStep = AddSpinBox(this, form, "spnStep", QStringLiteral("&Raise by"),
        QStringLiteral("How much faster each new tempo is."), 1, MaxPracticePercent, percent);
    spnPasses = AddSpinBox(this, form, "spnPasses", QStringLiteral("&Passes per tempo"),
        QStringLiteral("How often the passage is played before the tempo rises."), 1, MaxPracticePasses, QString());
    spnTarget = AddSpinBox(this, form, "spnTarget", QStringLiteral("&Target"),
        QStringLiteral("The tempo the run ends at, as a share of the document's tempo."), MinPracticePercent,
        MaxPracticePercent, percent, lblTargetTempo);
    chkMetronome = new QCheckBox(QStringLiteral("&Metronome"), this);
    chkMetronome->setObjectName(QStringLiteral("chkMetronome"));
    chkMetronome->setAccessibleName(QStringLiteral("Metronome"));
    chkMetronome->setAccessibleDescription(
        QStringLiteral("A click on every quarter, louder on the first of each bar of four."));
    chkMetronome->setToolTip(chkMetronome->accessibleDescription());
    layout->addWidget(chkMetronome);
    lblTempos = new QLabel(this);
    lblTempos->setObjectName(QStringLiteral("lblTempos"));
    lblTempos->setWordWrap(true);
    layout->addWidget(lblTempos);
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
    // The boxes one width, the widest value's, so they and the tempos beside them line up.
    int width = 0;
    for (QSpinBox* box : { spnStart, spnStep, spnPasses, spnTarget })
        width = std::max(width, box->sizeHint().width());
    for (QSpinBox* box : { spnStart, spnStep, spnPasses, spnTarget }) {
        box->setFixedWidth(width);
        connect(box, &QSpinBox::valueChanged, this, &TfrmPractice::refresh);
    }
    setPlan(PracticePlan {});
    // Wide enough for its title in a window frame and for the list of tempos.
    setMinimumWidth(360);
}

void TfrmPractice::setDocumentTempo(int tempo)
{
    m_documentTempo = tempo;
    refresh();
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

    // What the shares mean at the document's tempo.
    const auto bpm
        = [this](int percent) { return QStringLiteral("%1 BPM").arg(PercentTempo(m_documentTempo, percent)); };
    lblStartTempo->setText(bpm(spnStart->value()));
    lblTargetTempo->setText(bpm(spnTarget->value()));
    spnStart->setAccessibleDescription(
        QStringLiteral("Tempo of the first passes, as a share of the document's tempo: %1.")
            .arg(lblStartTempo->text()));
    spnTarget->setAccessibleDescription(
        QStringLiteral("The tempo the run ends at, as a share of the document's tempo: %1.")
            .arg(lblTargetTempo->text()));
    QStringList tempos;
    if (problem.isEmpty()) {
        const std::vector<int> passes = PassTempos(plan(), m_documentTempo);
        for (size_t i = 0; i < passes.size(); i += static_cast<size_t>(spnPasses->value()))
            tempos << QString::number(passes[i]);
    }
    lblTempos->setText(tempos.isEmpty() ? QString()
                                        : QStringLiteral("Tempos of the document's %1 BPM: %2 BPM.")
                                              .arg(m_documentTempo)
                                              .arg(tempos.join(QStringLiteral(", "))));
    lblTempos->setAccessibleName(lblTempos->text());
    lblTempos->setVisible(!tempos.isEmpty());
}

} // namespace fw
