#pragma once

#include "Pitch.h"

#include <QLabel>

namespace fw {

// The fret numbers over the neck. Its caption spaces the numbers for a particular font; it is drawn
// with each number centred under its fret instead, so it lines up in any font and at any scale.
class FretNumbersLabel : public QLabel {
    Q_OBJECT
public:
    explicit FretNumbersLabel(QWidget* parent = nullptr);
    // One number per fret of the neck, the label as long as the neck.
    void setFretCount(int frets);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_frets = FretCount;
};

// The caret line's name over the sky above the neck, on a dark backdrop so it reads on any part of
// the picture. A label of its own, so screen readers find it.
class ChordNameLabel : public QLabel {
    Q_OBJECT
public:
    explicit ChordNameLabel(QWidget* parent = nullptr);
    // Reaches as far right over the sky as the neck does.
    void setFretCount(int frets);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_frets = FretCount;
};

} // namespace fw
