#pragma once

#include "ScoreReader.h"
#include "XmlCursor.h"

#include <QMap>

namespace fw::musicxml {

// What one <note> element holds. Its duration is in the file's divisions (decimal, as MusicXML
// allows); its marks, when it has any, are appended to the part's.
struct NoteElement {
    ReadNote note;
    double duration = 0;
    bool durationGiven = true; // false when <duration> is there but holds no number
};

// Reads the <note> element the cursor stands on. transpose: semitones from written to sounding
// pitch by staff, 0 for all staves.
NoteElement ReadNoteElement(XmlCursor& xml, ReadPart& part, const QMap<int, int>& transpose);

} // namespace fw::musicxml
