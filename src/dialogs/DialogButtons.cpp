#include "DialogButtons.h"

#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

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

QGroupBox* MakeRadioGroup(
    QWidget* parent, const char* objectName, const QString& title, std::initializer_list<QRadioButton*> radios)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(objectName));
    auto* layout = new QVBoxLayout(group);
    for (QRadioButton* radio : radios)
        layout->addWidget(radio);
    return group;
}

void LayOutFormDialog(QDialog* dialog, QFormLayout* form, QGroupBox* choices, QPushButton*& ok, QPushButton*& cancel)
{
    std::tie(ok, cancel) = MakeOkCancelButtons(dialog);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(choices);
    layout->addLayout(buttons);
}

} // namespace fw
