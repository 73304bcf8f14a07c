#pragma once

#include <QDialog>

class QLabel;

namespace fw {

// The About box: product name and version over a picture of a neck.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
    QLabel* lblVersion = nullptr;

    void FormActivate();
    void btnOKClick();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace fw
