#include "QtFileDialogs.h"

#include <QFileDialog>

namespace fw {

QtFileDialogs::QtFileDialogs(QWidget* parent)
    : m_parent(parent)
{
}

QString QtFileDialogs::openFileName(const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(m_parent, title, folder, filter);
}

QString QtFileDialogs::saveFileName(const QString& title, const QString& proposedPath, const QString& filter)
{
    return QFileDialog::getSaveFileName(m_parent, title, proposedPath, filter);
}

} // namespace fw
