#pragma once

#include "Practice.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace fw {

// "Practice": how a speed-training run starts, rises and ends. Start confirms; the plan is kept
// for the next opening.
class TfrmPractice : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPractice(QWidget* parent = nullptr);

    PracticePlan plan() const;
    void setPlan(const PracticePlan& plan);
    // The tempo the percentages are shares of; the dialog shows the tempos they give.
    void setDocumentTempo(int tempo);

    QSpinBox* spnStart = nullptr;
    QSpinBox* spnStep = nullptr;
    QSpinBox* spnPasses = nullptr;
    QSpinBox* spnTarget = nullptr;
    QCheckBox* chkMetronome = nullptr;
    QLabel* lblStartTempo = nullptr;
    QLabel* lblTargetTempo = nullptr;
    QLabel* lblTempos = nullptr;
    QLabel* lblProblem = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void refresh();

    int m_documentTempo = 120;
};

} // namespace fw
