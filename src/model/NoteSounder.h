#pragma once

#include "ChordDef.h"

namespace fw {

// Sounds a set of notes for a short time without letting other input in (previews, neck presses,
// edit commands): open the port for use, select the instrument, play, close.
class NoteSounder {
public:
    virtual ~NoteSounder() = default;
    virtual void soundNotes(const NoteArray& notes, int milliseconds) = 0;
};

} // namespace fw
