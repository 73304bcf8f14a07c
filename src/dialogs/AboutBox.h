#pragma once

#include <QDialog>

class QLabel;

namespace fw {

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
    QLabel* lblVersion = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace fw
