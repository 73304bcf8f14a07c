#include "Splash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QThread>

namespace fw {

TfrmSplash::TfrmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TfrmSplash"));
    setAccessibleName(QStringLiteral("Fretwerk Bass"));
    setFixedSize(306, 160);
}

void TfrmSplash::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x1d, 0x35, 0x57));
    sky.setColorAt(1, QColor(0x0b, 0x13, 0x2b));
    painter.fillRect(rect(), sky);

    // A short stretch of neck with four strings under the name.
    const QRectF neck(18, 96, 270, 40);
    painter.fillRect(neck, QColor(0x6b, 0x4a, 0x2b));
    painter.setPen(QPen(QColor(0xd9, 0xd9, 0xd9), 2));
    for (int wire = 1; wire < 6; ++wire)
        painter.drawLine(QPointF(neck.left() + wire * 45, neck.top()), QPointF(neck.left() + wire * 45, neck.bottom()));
    for (int string = 0; string < 4; ++string) {
        const qreal y = neck.top() + 6 + string * 9.5;
        painter.setPen(QPen(QColor(0xe8, 0xc3, 0x6a), 1.0 + string * 0.5));
        painter.drawLine(QPointF(neck.left(), y), QPointF(neck.right(), y));
    }

    QFont title = font();
    title.setPointSize(22);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 18, width(), 44), Qt::AlignCenter, QStringLiteral("Fretwerk Bass"));
    QFont sub = font();
    sub.setPointSize(9);
    painter.setFont(sub);
    painter.setPen(QColor(0xc8, 0xd3, 0xe0));
    painter.drawText(QRect(0, 62, width(), 20), Qt::AlignCenter, QStringLiteral("Version 1.0"));
    painter.setPen(QColor(0x3a, 0x55, 0x7a));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ShowSplash(int milliseconds)
{
    TfrmSplash splash;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        splash.move(screen->availableGeometry().center() - splash.rect().center());
    QElapsedTimer shown;
    shown.start();
    splash.show();
    splash.repaint();
    // Only let the window system map and paint the splash; user input waits until the program runs.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while (shown.elapsed() < milliseconds) {
        QThread::msleep(10);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    splash.hide();
}

} // namespace fw
