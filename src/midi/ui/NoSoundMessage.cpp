#include "NoSoundMessage.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fw {

TfrmNoSoundMessage::TfrmNoSoundMessage(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmNoSoundMessage"));
    setWindowTitle(QStringLiteral("Error opening sound device"));

    auto* heading = new QLabel(QStringLiteral("There was an error opening  the MIDI device/Sound card:"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    lblOpenError = new QLabel(this);
    lblOpenError->setObjectName(QStringLiteral("lblOpenError"));
    lblOpenError->setAlignment(Qt::AlignCenter);
    auto* without = new QLabel(QStringLiteral("Program will function without sound."), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* column = new QVBoxLayout(this);
    column->addWidget(heading);
    column->addWidget(lblOpenError);
    column->addWidget(without);
    column->addWidget(ok, 0, Qt::AlignHCenter);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

TfrmWriteMidiFile::TfrmWriteMidiFile(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("TfrmWriteMidiFile"));
    setWindowTitle(QStringLiteral("This form should never get shown"));
}

} // namespace fw
