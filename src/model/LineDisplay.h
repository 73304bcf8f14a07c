#pragma once

#include "ChordDef.h"

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
};

} // namespace fw
