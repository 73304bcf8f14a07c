#include "NeckView.h"

#include "Pitch.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

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
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleDescription(focusCellText(m_focusCell));
}

QString NeckView::focusCellText(NeckCell cell) const
{
    return QStringLiteral("%1 string, fret %2: %3")
        .arg(m_tuning.stringName(cell.slot))
        .arg(cell.fret)
        .arg(NoteName(m_tuning, cell.slot, cell.fret, QString()));
}

void NeckView::setFocusCell(NeckCell cell)
{
    if (!NeckGeometry::isVisibleCell(cell.slot, cell.fret, m_tuning.stringCount(), fretCount()))
        return;
    m_focusCell = cell;
    const QString text = focusCellText(cell);
    setAccessibleDescription(text);
    // The cell's name reaches the status bar as a pointed-at cell's hint does.
    updateHint(text);
    update();
}

void NeckView::keyPressEvent(QKeyEvent* event)
{
    NeckCell cell = m_focusCell;
    switch (event->key()) {
    case Qt::Key_Up:
        cell.slot = std::max(cell.slot - 1, m_tuning.firstSlot());
        break;
    case Qt::Key_Down:
        cell.slot = std::min(cell.slot + 1, static_cast<int>(NeckGeometry::LastSlot));
        break;
    case Qt::Key_Left:
        cell.fret = std::max(cell.fret - 1, 0);
        break;
    case Qt::Key_Right:
        cell.fret = std::min(cell.fret + 1, fretCount());
        break;
    case Qt::Key_Home:
        cell.fret = 0;
        break;
    case Qt::Key_End:
        cell.fret = fretCount();
        break;
    case Qt::Key_Space:
    case Qt::Key_Delete:
        if (!event->isAutoRepeat()) {
            Q_EMIT cellPressed(
                event->key() == Qt::Key_Space ? Qt::LeftButton : Qt::MiddleButton, m_focusCell.slot, m_focusCell.fret);
            // The press's command hands the focus to the editor, as a mouse press wants; from the keyboard
            // the next arrows and Space belong to the neck again, so one note follows another.
            setFocus(Qt::OtherFocusReason);
        }
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    setFocusCell(cell);
}

void NeckView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    setFocusCell(m_focusCell);
}

void NeckView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

QSize NeckView::sizeHint() const { return { framedWidth(fretCount()), FramedHeight }; }

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
    // The focus stays on its string where the new tuning has it, else on the nearest one.
    NeckCell cell = m_focusCell;
    cell.slot = std::max(cell.slot, m_tuning.firstSlot());
    m_focusCell = cell;
    setAccessibleDescription(focusCellText(m_focusCell));
    update();
}

void NeckView::setFretCount(int frets)
{
    if (frets == fretCount())
        return;
    m_markers.setFretCount(frets);
    setFixedSize(framedWidth(fretCount()), FramedHeight);
    // The keyboard's cell stays where it is, or moves to the last fret of a shorter neck.
    m_focusCell.fret = std::min(m_focusCell.fret, fretCount());
    setAccessibleDescription(focusCellText(m_focusCell));
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

std::optional<NeckCell> NeckView::cellAt(QPoint widgetPoint, int strings, int frets)
{
    return NeckGeometry::cellAt(toPicture(widgetPoint), strings, frets);
}

QString NeckView::cellNameAt(QPoint widgetPoint, int strings, int frets)
{
    const auto cell = cellAt(widgetPoint, strings, frets);
    return cell ? NeckGeometry::cellName(cell->slot, cell->fret) : QString();
}

QString NeckView::hintAt(QPoint widgetPoint) const
{
    if (const auto cell = cellAt(widgetPoint, m_tuning.stringCount(), fretCount()))
        return NeckGeometry::cellHint(cell->slot, cell->fret, m_tuning);
    if (m_labels.chordName && NeckGeometry::chordNameRect(fretCount()).contains(toPicture(widgetPoint)))
        return NeckGeometry::ChordNameHint;
    return NeckGeometry::PictureHint;
}

void NeckView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.translate(NeckGeometry::FrameWidth, NeckGeometry::FrameWidth);
    NeckPainter::paintAll(painter, m_markers, m_labels, m_tuning);
    if (hasFocus())
        paintFocusCell(painter);
}

void NeckView::paintFocusCell(QPainter& painter) const
{
    // A ring in the marker's place, in two colours so it shows on the sky and on the wood alike.
    const QRectF cell
        = NeckGeometry::markerRect(m_focusCell.slot, m_focusCell.fret, fretCount()).adjusted(-1, -1, 0, 0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawRect(cell);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(cell);
}

void NeckView::mousePressEvent(QMouseEvent* event)
{
    const auto cell = cellAt(event->position().toPoint(), m_tuning.stringCount(), fretCount());
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
    const bool overCell = cellAt(widgetPoint, m_tuning.stringCount(), fretCount()).has_value();
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
