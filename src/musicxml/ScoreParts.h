#pragma once

#include "ScoreReader.h"

#include <QList>
#include <QSet>
#include <QString>

namespace fw::musicxml {

// A note that sounds and takes time: no rest, no unpitched, grace or cue note.
inline bool Sounds(const ReadNote& note) { return !note.rest && !note.unpitched; }
inline bool Timed(const ReadNote& note) { return !note.grace && !note.cue; }
inline bool SoundsInTime(const ReadNote& note) { return Sounds(note) && Timed(note); }

// The voices of a part an import can read. A staff that only repeats another staff's notes (the
// tablature under the notation, or the other way round) is a copy: its voices are not counted, and
// of the two the TAB staff is the one read, for its strings and frets.
struct PartVoices {
    struct Voice {
        int number = 0; // as the file numbers it
        int staff = 0; // where most of its notes are
        int notes = 0;
        double meanKey = 0;
    };
    QList<Voice> voices; // by the file's number: --voice N reads voices[N - 1]
    QSet<int> copies; // staves that repeat another
};
PartVoices VoicesOf(const ReadPart& part);

// The voices an import reads by default: on each staff that is no copy, the lowest voice (by its
// notes on average) among those with at least a quarter as many notes as the fullest, so that a bass
// line kept in a second voice is the one read, and a line that moves between two staves arrives
// whole. As indexes into voices.voices.
QList<int> DefaultVoices(const PartVoices& voices);

// A part as the chooser and --list-tracks show it.
struct PartSummary {
    QString name; // the part's name, else its id
    QString instrument; // the instrument's name, else the part's
    int lowest = -1; // MIDI keys of its notes, -1 without notes
    int highest = -1;
    int strings = 0; // of its TAB staff, 0 without one
    int notes = 0; // notes that sound, copies left out
    int voices = 0;
    double meanKey = 0;
    bool bass = false; // a bass by its name, its instrument's sound or its MIDI program
};
QList<PartSummary> SummariesOf(const ReadScore& score);

// The part a bass player means: among the bass instruments and the parts with a TAB staff, the one
// whose notes lie lowest on average; without such a part, the lowest of all; the first part when
// none has notes. An index into the parts.
int DefaultPart(const QList<PartSummary>& parts);

} // namespace fw::musicxml
