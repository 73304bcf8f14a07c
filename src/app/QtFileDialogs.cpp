#include "QtFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

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

QString QtFileDialogs::saveFileNameUnchecked(const QString& title, const QString& proposedPath, const QString& filter)
{
    return QFileDialog::getSaveFileName(
        m_parent, title, proposedPath, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

bool QtFileDialogs::confirmOverwrite(const QString& path)
{
    // The file dialog's own wording, so the question reads the same wherever it is asked.
    const QString text
        = QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName());
    return QMessageBox::warning(
               m_parent, QStringLiteral("Confirm Save As"), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace fw
