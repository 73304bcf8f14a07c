#pragma once

#include <QDialog>

namespace fw {

// Offered once, at a user's first start: opens the Getting Started help on Yes.
class TfrmNewUserMessage : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNewUserMessage(QWidget* parent = nullptr);
};

} // namespace fw
