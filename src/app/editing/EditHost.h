#pragma once

#include <QString>

namespace fw {

// What the edit commands need from the main window besides the chord list. One object (usually the
// window itself) may implement all three.

// The boxes of the Edit Controls group. Setters only change the box: they must not run the box's
// handler (QAbstractButton::setChecked does not emit clicked, so connect the handlers to clicked).
class EditControlStates {
public:
    virtual ~EditControlStates() = default;
    virtual bool dotted() const = 0;
    virtual void setDotted(bool checked) = 0;
    virtual bool triplet() const = 0;
    virtual void setTriplet(bool checked) = 0;
    virtual bool chordEntryMode() const = 0;
    virtual void setChordEntryMode(bool checked) = 0;
    virtual bool autoLineAdvance() const = 0;
    virtual void setAutoLineAdvance(bool checked) = 0;
    // btnShiftLeft and btnShiftRight together.
    virtual void setTransposeEnabled(bool enabled) = 0;
};

// The marker cells as the neck press sees them.
class PressedMarkers {
public:
    virtual ~PressedMarkers() = default;
    virtual bool isMarkerShown(int slot, int fret) const = 0;
    // Shows the cell at once (MarkerColor, MarkerShape) without touching the slot's other cells.
    virtual void showPressedMarker(int slot, int fret) = 0;
};

// Window state and services.
class EditHost {
public:
    virtual ~EditHost() = default;
    // Every command that changes text runs between these, so it is one undo step
    // (QTextCursor::beginEditBlock / endEditBlock). Calls do not nest.
    virtual void beginEditBlock() = 0;
    virtual void endEditBlock() = 0;
    virtual void focusEditor() = 0;
    // A playback is running (the Play button reads "Stop").
    virtual bool isPlaying() const = 0;
    virtual void clearStopRequested() = 0;
    // The per-document duration given to new lines: " Q", " .E", " /H", ...
    virtual QString newLineDuration() const = 0;
    virtual void setNewLineDuration(const QString& text) = 0;
    virtual bool autoCorrect() const = 0;
    // The ChordEntryMode and AutoLineAdvance settings follow their boxes on every click.
    virtual void storeChordEntryMode(bool on) = 0;
    virtual void storeAutoLineAdvance(bool on) = 0;
};

} // namespace fw
