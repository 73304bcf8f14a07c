#pragma once

#include "MessageBoxes.h"

class QWidget;

namespace fw {

// Native message boxes, each with the buttons and icon its kind calls for.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent);
    void errorBox(const QString& text) override;
    void plainBox(const QString& text) override;
    void warningBox(const QString& text) override;
    void informationBox(const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;

private:
    QWidget* m_parent;
};

} // namespace fw
