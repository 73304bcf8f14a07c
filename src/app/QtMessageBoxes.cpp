#include "QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace fw {

QtMessageBoxes::QtMessageBoxes(QWidget* parent)
    : m_parent(parent)
{
}

void QtMessageBoxes::errorBox(const QString& text) { QMessageBox::critical(m_parent, QStringLiteral("Error"), text); }

void QtMessageBoxes::plainBox(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, m_parent);
    box.exec();
}

void QtMessageBoxes::warningBox(const QString& text)
{
    QMessageBox::warning(m_parent, QStringLiteral("Warning"), text);
}

void QtMessageBoxes::informationBox(const QString& text)
{
    QMessageBox::information(m_parent, QStringLiteral("Information"), text);
}

MessageBoxes::Answer QtMessageBoxes::askYesNoCancel(const QString& text)
{
    const auto button = QMessageBox::warning(m_parent, QStringLiteral("Warning"), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    if (button == QMessageBox::No)
        return Answer::No;
    return Answer::Cancel;
}

} // namespace fw
