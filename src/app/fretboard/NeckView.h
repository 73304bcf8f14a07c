#pragma once

#include "MarkerGrid.h"
#include "NeckGeometry.h"
#include "NeckPainter.h"

#include <QString>
#include <QWidget>

#include <optional>

class QPainter;

namespace fw {

// The fretboard as one widget: the black frame, the neck picture, the marker cells drawn as an overlay,
// the fret-number and chord-name labels. It is framedWidth() x FramedHeight design pixels (FramedWidth
// with 18 frets, wider by a fret pitch for each further fret); the main window places it at FramedLeft,
// FramedTop so the picture itself lands at 5, 18.
//
// Presses on a visible cell (slots 3..6) come out as cellPressed; what they do is the editing layer's
// business. Pointer moves give the hint of the cell under the pointer (or the picture's blank hint)
// through hintChanged; the window copies it to status panel 0.
class NeckView : public QWidget {
    Q_OBJECT

public:
    static constexpr int FramedLeft = NeckGeometry::PictureLeft - NeckGeometry::FrameWidth;
    static constexpr int FramedTop = NeckGeometry::PictureTop - NeckGeometry::FrameWidth;
    static constexpr int FramedWidth = NeckGeometry::PictureWidth + 2 * NeckGeometry::FrameWidth;
    static constexpr int FramedHeight = NeckGeometry::PictureHeight + 2 * NeckGeometry::FrameWidth;

    explicit NeckView(QWidget* parent = nullptr);

    // The marker state; ShowMarker/ShowMarkers/showCell through here repaint the view.
    const MarkerGrid& markers() const { return m_markers; }
    void ShowMarker(int slot, int fret);
    void ShowMarkers(const FretArray& frets);
    // A press shows its cell at once, leaving the slot's other cells alone.
    void showCell(int slot, int fret);
    bool isMarkerShown(int slot, int fret) const { return m_markers.isShown(slot, fret); }
    // Settings; they take effect on the next ShowMarker(s) or showCell.
    void setMarkerColor(std::uint32_t settingValue) { m_markers.setMarkerColor(settingValue); }
    void setMarkerShape(int settingCode) { m_markers.setMarkerShape(settingCode); }

    // The strings drawn and pressed, and the note names of the hints.
    void setTuning(const Tuning& tuning);
    const Tuning& tuning() const { return m_tuning; }

    // The frets drawn and pressed (the list's fret limit, FretCount to MaxFretLimit); the view takes the
    // width of that neck.
    void setFretCount(int frets);
    int fretCount() const { return m_markers.fretCount(); }
    static int framedWidth(int frets) { return NeckGeometry::pictureWidth(frets) + 2 * NeckGeometry::FrameWidth; }

    // lblFretNumbers and lblChordName.
    void setFretNumbersVisible(bool visible);
    bool fretNumbersVisible() const { return m_labels.fretNumbers; }
    void setChordNameVisible(bool visible);
    bool chordNameVisible() const { return m_labels.chordName; }
    void setChordName(const QString& text);
    QString chordName() const { return m_labels.chordNameText; }

    // Widget coordinates to picture coordinates and back.
    static QPoint toPicture(QPoint widgetPoint);
    static QPoint fromPicture(QPoint picturePoint);
    // The visible cell under a widget point, and its object name ("DOT_s03_f07"), empty when none,
    // on a neck with the given number of strings and frets.
    static std::optional<NeckCell> cellAt(
        QPoint widgetPoint, int strings = NeckGeometry::FourStrings, int frets = FretCount);
    static QString cellNameAt(QPoint widgetPoint, int strings = NeckGeometry::FourStrings, int frets = FretCount);
    // The hint for a widget point: a cell's note, the chord-name label's hint, or the picture's blank hint.
    QString hintAt(QPoint widgetPoint) const;
    // The hint under the pointer now.
    QString hint() const { return m_hint; }

    QSize sizeHint() const override;

    // The keyboard's cell: arrows move it over the strings and frets, Space presses it as the left
    // button does and Delete as the middle button does.
    NeckCell focusCell() const { return m_focusCell; }
    void setFocusCell(NeckCell cell);
    // "A string, fret 3: C".
    QString focusCellText(NeckCell cell) const;

Q_SIGNALS:
    // Left, middle or right button on a visible cell; the receiver decides which buttons count.
    void cellPressed(Qt::MouseButton button, int slot, int fret);
    // The button went up after a press on a cell (the editor repaints at once).
    void cellReleased();
    void hintChanged(const QString& hint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateHint(const QString& hint);
    void updatePointer(QPoint widgetPoint);

    MarkerGrid m_markers;
    Tuning m_tuning;
    NeckPainter::Labels m_labels;
    QString m_hint;
    void paintFocusCell(QPainter& painter) const;

    NeckCell m_focusCell { NeckGeometry::FirstVisibleSlot, 0 };
    bool m_pressedOnCell = false;
    bool m_pickShown = false;
    QCursor m_pickCursor;
    qreal m_pickCursorRatio = 0;
};

} // namespace fw
