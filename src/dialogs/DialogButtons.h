#pragma once

#include <QString>
#include <QWidget>
#include <utility>

class QPushButton;

namespace fw {

// The "OK" (default) and "Cancel" buttons every dialog of ours closes with, in that order, named
// btnOK and btnCancel and spoken by their captions.
std::pair<QPushButton*, QPushButton*> MakeOkCancelButtons(QWidget* parent);

// A control of a dialog with its object name, heard by name (its visible label) and described by its
// hint, which is its tooltip too.
template <typename W> W* NamedControl(W* widget, const char* objectName, const QString& name, const QString& hint)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(name);
    widget->setAccessibleDescription(hint);
    widget->setToolTip(hint);
    return widget;
}

} // namespace fw
