#include "NeckView.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace fw {

NeckView::NeckView(QWidget* parent)
    : QWidget(parent)
    , m_hint(NeckGeometry::PictureHint)
{
    setObjectName(QStringLiteral("imgAllFrets"));
    setAccessibleName(QStringLiteral("Fretboard"));
    setFixedSize(FramedWidth, FramedHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize NeckView::sizeHint() const { return { FramedWidth, FramedHeight }; }

void NeckView::ShowMarker(int slot, int fret)
{
    m_markers.ShowMarker(slot, fret);
    update();
}

void NeckView::ShowMarkers(const FretArray& frets)
{
    m_markers.ShowMarkers(frets);
    update();
}

void NeckView::showCell(int slot, int fret)
{
    m_markers.showCell(slot, fret);
    // A press blocks for its sound, so show the marker before that starts.
    repaint();
}

void NeckView::setTuning(const Tuning& tuning)
{
    if (tuning == m_tuning)
        return;
    m_tuning = tuning;
    update();
}

void NeckView::setFretNumbersVisible(bool visible)
{
    m_labels.fretNumbers = visible;
    update();
}

void NeckView::setChordNameVisible(bool visible)
{
    m_labels.chordName = visible;
    update();
}

void NeckView::setChordName(const QString& text)
{
    if (m_labels.chordNameText == text)
        return;
    m_labels.chordNameText = text;
    if (m_labels.chordName)
        update();
}

QPoint NeckView::toPicture(QPoint widgetPoint)
{
    return widgetPoint - QPoint(NeckGeometry::FrameWidth, NeckGeometry::FrameWidth);
}

QPoint NeckView::fromPicture(QPoint picturePoint)
{
    return picturePoint + QPoint(NeckGeometry::FrameWidth, NeckGeometry::FrameWidth);
}

std::optional<NeckCell> NeckView::cellAt(QPoint widgetPoint, int strings)
{
    return NeckGeometry::cellAt(toPicture(widgetPoint), strings);
}

QString NeckView::cellNameAt(QPoint widgetPoint, int strings)
{
    const auto cell = cellAt(widgetPoint, strings);
    return cell ? NeckGeometry::cellName(cell->slot, cell->fret) : QString();
}

QString NeckView::hintAt(QPoint widgetPoint) const
{
    if (const auto cell = cellAt(widgetPoint, m_tuning.stringCount()))
        return NeckGeometry::cellHint(cell->slot, cell->fret, m_tuning);
    if (m_labels.chordName && NeckGeometry::chordNameRect().contains(toPicture(widgetPoint)))
        return NeckGeometry::ChordNameHint;
    return NeckGeometry::PictureHint;
}

void NeckView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.translate(NeckGeometry::FrameWidth, NeckGeometry::FrameWidth);
    NeckPainter::paintAll(painter, m_markers, m_labels, m_tuning.stringCount());
}

void NeckView::mousePressEvent(QMouseEvent* event)
{
    const auto cell = cellAt(event->position().toPoint(), m_tuning.stringCount());
    m_pressedOnCell = cell.has_value();
    if (cell)
        Q_EMIT cellPressed(event->button(), cell->slot, cell->fret);
}

void NeckView::mouseReleaseEvent(QMouseEvent*)
{
    if (m_pressedOnCell)
        Q_EMIT cellReleased();
    m_pressedOnCell = false;
}

void NeckView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    updateHint(hintAt(at));
    updatePointer(at);
}

void NeckView::leaveEvent(QEvent*) { updateHint(NeckGeometry::PictureHint); }

void NeckView::updateHint(const QString& hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    Q_EMIT hintChanged(m_hint);
}

void NeckView::updatePointer(QPoint widgetPoint)
{
    const bool overCell = cellAt(widgetPoint, m_tuning.stringCount()).has_value();
    if (overCell == m_pickShown)
        return;
    m_pickShown = overCell;
    if (overCell) {
        // Drawn for the current screen's ratio, so a move to another screen draws it again.
        if (m_pickCursorRatio != devicePixelRatioF()) {
            m_pickCursorRatio = devicePixelRatioF();
            m_pickCursor = NeckPainter::pickCursor(m_pickCursorRatio);
        }
        setCursor(m_pickCursor);
    } else
        unsetCursor();
}

} // namespace fw
