#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace fw {

// Special > Transpose...: how many semitones the notes move, and whether the highlighted lines or
// the whole list. The caller moves the notes once the dialog is accepted. Made once and kept, so
// that the next opening offers the last number again.
class TfrmTranspose : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTranspose(QWidget* parent = nullptr);

    // Called before each opening: the highlighted lines are offered, and chosen, only when there
    // are some; the number is selected, so typing replaces it.
    void prepare(bool linesHighlighted);
    int semitones() const;
    bool highlightedOnly() const;

    // Shows the dialog modally and returns its result; exec() unless a test replaces it.
    std::function<int()> showModal;

    void spnSemitonesChange(int value);

    QSpinBox* spnSemitones = nullptr;
    QLabel* lblMove = nullptr;
    QRadioButton* rdoHighlighted = nullptr;
    QRadioButton* rdoWholeList = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};

} // namespace fw
