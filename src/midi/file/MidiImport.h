#pragma once

#include "MidiParts.h"
#include "Tuning.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace fw {

struct MidiImportOptions {
    // The part: a track of a format-1 file, a channel of a format-0 file (1 the first).
    std::optional<int> track;
    std::optional<int> channel; // 1..16
    // None: the tuning the file's list had (files of this program carry it), else the one that
    // plays every note (ChooseImportTuning).
    std::optional<Tuning> tuning;
    // Notes out of the tuning's range are moved by octaves into it instead of becoming rests.
    bool foldOctaves = false;
};

struct MidiImportResult {
    // The chord list as a file holds it: the four header lines (tempo, patch), a tuning line when the
    // tuning is not the standard one, a frets line for a long neck, a count-off line, then the chord
    // lines with a blank line at every bar line and a time line where the time changes.
    QStringList lines;
    // What was chosen, dropped or guessed, one sentence each: every note that did not come across
    // is counted here.
    QStringList report;
    // Empty on success; otherwise why nothing could be imported.
    QString error;
};

// A Standard MIDI file as a chord list: the part asked for, else the part a bass player means (see
// ChooseMidiPart), fingered for the tuning.
// - Notes starting within a 64th note of each other form one chord line.
// - The rhythm is read as ReadRhythm (MidiRhythm.h) says: a written part as it stands, a played part
//   placed on the grid its onsets imply.
// - A length that is not one of the 21 forms, or that crosses a bar line, becomes tied lines.
// - The file's time signatures give the bar lines (blank lines) and time lines; the first tempo
//   and a bass program become the header's tempo and patch, and a later tempo change a
//   comment line where it happens.
// - Files of this program come back as they were written: the tuning, frets and count-off lines
//   they carry (MidiSetupTexts), their notes line by line.
MidiImportResult ImportMidiChordList(QByteArrayView bytes, const MidiImportOptions& options);

struct MidiPartList {
    std::vector<MidiPart> parts;
    int chosen = -1; // the index of the part an import takes without --track, -1 for none
    QString error;
};

// The parts of a file as a chooser shows them.
MidiPartList ListMidiParts(QByteArrayView bytes);

} // namespace fw
