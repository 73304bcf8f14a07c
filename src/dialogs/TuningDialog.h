#pragma once

#include "Retune.h"
#include "Tuning.h"

#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace fw {

// Special > Tuning...: a preset or a typed tuning, checked as it is typed, and whether the notes keep
// their pitches or their frets. The caller moves the chord list once the dialog is accepted.
class TfrmTuning : public QDialog {
    Q_OBJECT
public:
    struct Preset {
        QString caption;
        QString names;
    };
    static const QList<Preset>& Presets();

    explicit TfrmTuning(QWidget* parent = nullptr);

    // Shows the list's tuning: its preset when it has one, else the names in the text box.
    void setTuning(const Tuning& tuning);
    // The tuning typed or chosen; nothing while the text names none.
    std::optional<Tuning> chosenTuning() const;
    RetuneMode mode() const;

    // Shows the dialog modally and returns its result; exec() unless a test replaces it.
    std::function<int()> showModal;

    void cboPresetChange(int index);
    void edtTuningChange(const QString& text);

    QComboBox* cboPreset = nullptr;
    QLineEdit* edtTuning = nullptr;
    QLabel* lblCheck = nullptr;
    QRadioButton* rdoKeepPitches = nullptr;
    QRadioButton* rdoKeepFrets = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};

} // namespace fw
