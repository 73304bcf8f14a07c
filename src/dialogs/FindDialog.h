#pragma once

#include <QDialog>

namespace fw {

// The find dialog; its search arrives with the Edit menu.
class Tfrmfind : public QDialog {
    Q_OBJECT
public:
    explicit Tfrmfind(QWidget* parent = nullptr);
};

} // namespace fw
