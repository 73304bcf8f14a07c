#include "OptionsDialog.h"

namespace fw {

TfrmOptions::TfrmOptions(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmOptions"));
    setWindowTitle(QStringLiteral("Settings"));
}

} // namespace fw
