#include "TabWindows.h"

namespace fw {

TfrmTab::TfrmTab(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmTab"));
    setWindowTitle(QStringLiteral("Tablature"));
    resize(628, 415);
}

TfrmGetTabInfo::TfrmGetTabInfo(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmGetTabInfo"));
    setWindowTitle(QStringLiteral("Tabulature "));
    resize(325, 186);
}

} // namespace fw
