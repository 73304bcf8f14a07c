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

    QSpinBox* spnStart = nullptr;
    QSpinBox* spnStep = nullptr;
    QSpinBox* spnPasses = nullptr;
    QSpinBox* spnTarget = nullptr;
    QCheckBox* chkMetronome = nullptr;
    QLabel* lblProblem = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void refresh();
};

} // namespace fw
