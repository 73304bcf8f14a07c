#include "FindDialog.h"

namespace fw {

Tfrmfind::Tfrmfind(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Tfrmfind"));
    setWindowTitle(QStringLiteral("Find Text"));
}

} // namespace fw
