#pragma once

#include <QDialog>

namespace fw {

// The tablature window; drawing and the ASCII view arrive with the tablature commands.
class TfrmTab : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTab(QWidget* parent = nullptr);
};

// Asks for the titles printed above the tablature.
class TfrmGetTabInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGetTabInfo(QWidget* parent = nullptr);
};

} // namespace fw
