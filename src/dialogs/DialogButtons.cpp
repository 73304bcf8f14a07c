#include "DialogButtons.h"

#include <QPushButton>

namespace fw {

namespace {
    QPushButton* MakeButton(QWidget* parent, const QString& caption, const QString& objectName)
    {
        auto* button = new QPushButton(caption, parent);
        button->setObjectName(objectName);
        button->setAccessibleName(caption);
        return button;
    }
} // namespace

std::pair<QPushButton*, QPushButton*> MakeOkCancelButtons(QWidget* parent)
{
    QPushButton* ok = MakeButton(parent, QStringLiteral("OK"), QStringLiteral("btnOK"));
    ok->setDefault(true);
    return { ok, MakeButton(parent, QStringLiteral("Cancel"), QStringLiteral("btnCancel")) };
}

} // namespace fw
