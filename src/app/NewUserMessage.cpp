#include "NewUserMessage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fw {

TfrmNewUserMessage::TfrmNewUserMessage(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmNewUserMessage"));
    setWindowTitle(QStringLiteral("Welcome"));

    auto* heading = new QLabel(QStringLiteral("Welcome to Fretwerk Bass!"), this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSize(headingFont.pointSize() + 4);
    heading->setFont(headingFont);
    heading->setAlignment(Qt::AlignCenter);
    auto* question = new QLabel(QStringLiteral("Would you like to see the 'Getting Started' help topic?"), this);
    auto* yes = new QPushButton(QStringLiteral("Yes"), this);
    yes->setObjectName(QStringLiteral("btnYes"));
    yes->setDefault(true);
    auto* no = new QPushButton(QStringLiteral("No"), this);
    no->setObjectName(QStringLiteral("btnNo"));
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->addWidget(heading);
    column->addSpacing(6);
    column->addWidget(question);
    column->addSpacing(6);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace fw
