#include "PlayButton.h"

#include <QMouseEvent>

namespace fw {

PlayButton::PlayButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{
    connect(this, &QPushButton::pressed, this, &PlayButton::toggleRequested);
}

void PlayButton::mousePressEvent(QMouseEvent* event)
{
    // The left button goes the usual way and comes out as pressed(); the others only press.
    if (event->button() == Qt::LeftButton) {
        QPushButton::mousePressEvent(event);
        return;
    }
    event->accept();
    if (isEnabled())
        Q_EMIT toggleRequested();
}

} // namespace fw
