#pragma once

#include "Tuning.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

namespace fw {

struct MidiImportOptions {
    std::optional<int> track; // 1 = the file's first track
    std::optional<int> channel; // 1..16
    Tuning tuning;
};

struct MidiImportResult {
    // The chord list as a file holds it: the four header lines (tempo, patch), a tuning line when the
    // tuning is not the standard one, then the chord lines with a blank line at every bar line.
    QStringList lines;
    // What was chosen, dropped or guessed, one sentence each.
    QStringList report;
    // Empty on success; otherwise why nothing could be imported.
    QString error;
};

// A Standard MIDI file as a chord list: the bass part's notes (the track and channel asked for, else
// a bass program 33..40 in the numbers players see (32..39 on the wire), else the lowest average
// pitch; never the drum channel 10 unless asked), fingered for the tuning.
// - Notes starting within a 64th note of each other form one chord line.
// - A note lasts until the next onset. In a part whose every silence is an exact written length
//   (files of this program and of notation programs) every silence becomes rest lines; in a played
//   part, a silence is a rest only when it is at least an eighth note and at least as long as the
//   note before it sounded, and shorter ones are articulation.
// - A length that is not one of the 21 forms becomes the largest form that fits and rest lines for
//   the rest, so no time is lost.
// - A bar line of the file's time signature becomes a blank line; the first tempo (1..500) and a
//   bass program become the header's tempo and patch.
MidiImportResult ImportMidiChordList(QByteArrayView bytes, const MidiImportOptions& options);

} // namespace fw
