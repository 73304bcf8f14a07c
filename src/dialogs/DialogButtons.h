#pragma once

#include <QString>
#include <QWidget>
#include <initializer_list>
#include <utility>

class QDialog;
class QFormLayout;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace fw {

// The "OK" (default) and "Cancel" buttons every dialog of ours closes with, in that order, named
// btnOK and btnCancel and spoken by their captions.
std::pair<QPushButton*, QPushButton*> MakeOkCancelButtons(QWidget* parent);

// A titled group of radio buttons, one under the other.
QGroupBox* MakeRadioGroup(
    QWidget* parent, const char* objectName, const QString& title, std::initializer_list<QRadioButton*> radios);

// The body of a small dialog: the form of labelled fields, the group of choices under it, and the
// OK and Cancel buttons made with MakeOkCancelButtons in a row at the right, accepting and rejecting.
void LayOutFormDialog(QDialog* dialog, QFormLayout* form, QGroupBox* choices, QPushButton*& ok, QPushButton*& cancel);

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
