#pragma once

#include <QPushButton>

namespace fw {

// The big Play/Stop button: a press with any mouse button, the keyboard or an assistive tool's
// press action starts or stops at once, without waiting for the release.
class PlayButton : public QPushButton {
    Q_OBJECT
public:
    explicit PlayButton(const QString& caption, QWidget* parent = nullptr);

Q_SIGNALS:
    void toggleRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace fw
