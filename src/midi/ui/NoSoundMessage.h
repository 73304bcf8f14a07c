#pragma once

#include <QDialog>

class QLabel;

namespace fw {

// Tells the user at start-up that the MIDI device held open for the run could not be opened.
class TfrmNoSoundMessage : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNoSoundMessage(QWidget* parent = nullptr);
    QLabel* lblOpenError = nullptr;
};

// Never shown: it only exists because every window of the program is created at start.
class TfrmWriteMidiFile : public QWidget {
    Q_OBJECT
public:
    explicit TfrmWriteMidiFile(QWidget* parent = nullptr);
};

} // namespace fw
