#pragma once

#include <QDialog>

namespace fw {

// The Settings dialog; its tabs arrive with the settings store.
class TfrmOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOptions(QWidget* parent = nullptr);
};

} // namespace fw
