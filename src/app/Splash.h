#pragma once

#include <QWidget>

namespace fw {

// The start-up picture, painted by the program itself.
class TfrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Shows the splash for at least the given time, then hides it.
void ShowSplash(int milliseconds);

} // namespace fw
