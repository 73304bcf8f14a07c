#include "NeckLabels.h"

#include "NeckGeometry.h"
#include "NeckPainter.h"

#include <QPainter>

namespace fw {

namespace {

    // A label drawn by the neck's painter, in neck-picture coordinates, over the given part of the picture.
    void PlaceOverNeck(QLabel& label, const QRect& pictureRect)
    {
        label.setAttribute(Qt::WA_TranslucentBackground);
        label.setAttribute(Qt::WA_TransparentForMouseEvents);
        label.setGeometry(pictureRect.translated(NeckGeometry::PictureLeft, NeckGeometry::PictureTop));
    }

    QPainter& InPictureCoordinates(QPainter& painter, const QWidget& label)
    {
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(NeckGeometry::PictureLeft - label.x(), NeckGeometry::PictureTop - label.y());
        return painter;
    }

} // namespace

FretNumbersLabel::FretNumbersLabel(QWidget* parent)
    : QLabel(NeckGeometry::FretNumbersCaption, parent)
{
    setObjectName(QStringLiteral("lblFretNumbers"));
    PlaceOverNeck(*this, NeckGeometry::fretNumbersRect());
}

void FretNumbersLabel::setFretCount(int frets)
{
    m_frets = frets;
    PlaceOverNeck(*this, NeckGeometry::fretNumbersRect(frets));
    update();
}

void FretNumbersLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    NeckPainter::paintFretNumbers(InPictureCoordinates(painter, *this), m_frets);
}

ChordNameLabel::ChordNameLabel(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("lblChordName"));
    PlaceOverNeck(*this, NeckGeometry::chordNameRect());
}

void ChordNameLabel::setFretCount(int frets)
{
    m_frets = frets;
    PlaceOverNeck(*this, NeckGeometry::chordNameRect(frets));
    update();
}

void ChordNameLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    NeckPainter::paintChordName(InPictureCoordinates(painter, *this), text(), m_frets);
}

} // namespace fw
