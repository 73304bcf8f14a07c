#include "AboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace fw {

namespace {

    // The box's picture: a few frets of a bass neck, drawn rather than stored.
    class AboutPicture : public QWidget {
    public:
        using QWidget::QWidget;

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.fillRect(rect(), QColor(0x1d, 0x35, 0x57));
            const QRectF neck(10, 35, width() - 20, 48);
            painter.fillRect(neck, QColor(0x6b, 0x4a, 0x2b));
            painter.setPen(QPen(QColor(0xd9, 0xd9, 0xd9), 2));
            for (int wire = 1; wire < 7; ++wire)
                painter.drawLine(
                    QPointF(neck.left() + wire * 40, neck.top()), QPointF(neck.left() + wire * 40, neck.bottom()));
            painter.setBrush(QColor(0xee, 0xee, 0xee));
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QPointF(neck.left() + 100, neck.center().y()), 4, 4);
            painter.drawEllipse(QPointF(neck.left() + 180, neck.center().y()), 4, 4);
            for (int string = 0; string < 4; ++string) {
                painter.setPen(QPen(QColor(0xe8, 0xc3, 0x6a), 1.0 + string * 0.6));
                const qreal y = neck.top() + 8 + string * 10.5;
                painter.drawLine(QPointF(neck.left(), y), QPointF(neck.right(), y));
            }
        }
    };

} // namespace

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setAccessibleName(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint);
    setFixedSize(323, 285);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    auto* image = new AboutPicture(panel);
    image->setObjectName(QStringLiteral("Image1"));
    image->setAccessibleName(QStringLiteral("Bass neck"));
    image->setFixedSize(300, 115);
    auto* product = new QLabel(QStringLiteral("Fretwerk Bass"), panel);
    product->setObjectName(QStringLiteral("Label3"));
    product->setAlignment(Qt::AlignCenter);
    QFont productFont(QStringLiteral("Times New Roman"));
    productFont.setPixelSize(21);
    product->setFont(productFont);
    product->setAccessibleName(QStringLiteral("Fretwerk Bass"));
    lblVersion = new QLabel(panel);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignCenter);
    QFont versionFont(QStringLiteral("Times New Roman"));
    versionFont.setPixelSize(13);
    lblVersion->setFont(versionFont);
    lblVersion->setAccessibleName(QStringLiteral("Version"));
    auto* ok = new QPushButton(QStringLiteral("OK"), panel);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setAccessibleName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TfrmAbout::btnOKClick);

    auto* column = new QVBoxLayout(panel);
    column->addWidget(image, 0, Qt::AlignHCenter);
    column->addSpacing(8);
    column->addWidget(product);
    column->addWidget(lblVersion);
    column->addStretch(1);
    column->addWidget(ok, 0, Qt::AlignHCenter);
}

void TfrmAbout::showEvent(QShowEvent* event)
{
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    FormActivate();
    QDialog::showEvent(event);
}

void TfrmAbout::FormActivate() { lblVersion->setText(QStringLiteral("Version 1.0")); }

void TfrmAbout::btnOKClick() { accept(); }

} // namespace fw
