#include "FretNumbersLabel.h"

#include "NeckGeometry.h"
#include "NeckPainter.h"

#include <QPainter>

namespace fw {

FretNumbersLabel::FretNumbersLabel(QWidget* parent)
    : QLabel(NeckGeometry::FretNumbersCaption, parent)
{
    setObjectName(QStringLiteral("lblFretNumbers"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QRect place = NeckGeometry::fretNumbersRect().translated(NeckGeometry::PictureLeft, NeckGeometry::PictureTop);
    setGeometry(place);
}

void FretNumbersLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The painter works in neck-picture coordinates.
    painter.translate(NeckGeometry::PictureLeft - x(), NeckGeometry::PictureTop - y());
    NeckPainter::paintFretNumbers(painter);
}

} // namespace fw
