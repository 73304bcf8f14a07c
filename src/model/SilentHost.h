#pragma once

#include "LineDisplay.h"
#include "MessageBoxes.h"

namespace fw {

// A display and message boxes that show nothing: for headless tools that only need the text.
class SilentHost : public LineDisplay, public MessageBoxes {
public:
    void setChordNameCaption(const QString&) override { }
    void setStatusMessage(const QString&) override { }
    void showMarkers(const FretArray&) override { }
    bool chordEntryMode() const override { return m_chordEntryMode; }
    void setChordEntryMode(bool on) { m_chordEntryMode = on; }

    void errorBox(const QString&) override { }
    void plainBox(const QString&) override { }
    void warningBox(const QString&) override { }
    void informationBox(const QString&) override { }
    Answer askYesNoCancel(const QString&) override { return Answer::Cancel; }

private:
    bool m_chordEntryMode = false;
};

} // namespace fw
