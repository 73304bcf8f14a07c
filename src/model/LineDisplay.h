#pragma once

#include "ChordDef.h"
#include "Tuning.h"

#include <QString>

namespace fw {

// What showing a line touches in the main window.
class LineDisplay {
public:
    virtual ~LineDisplay() = default;
    virtual void setChordNameCaption(const QString& text) = 0;
    virtual void setStatusMessage(const QString& text) = 0;
    virtual void showMarkers(const FretArray& frets) = 0;
    virtual bool chordEntryMode() const = 0;
    // The list's tuning, told before the markers of a line are shown, so the neck has its strings.
    virtual void showTuning(const Tuning&) { }
    // The highest fret the list allows (its "* Frets:" line, else FretCount), told with the tuning.
    virtual void showFretLimit(int) { }
};

} // namespace fw
