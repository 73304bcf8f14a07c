#pragma once

#include "DocumentText.h"
#include "GuitarProScore.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace fw::guitarpro {

// One track as --list-tracks and the window's chooser show it.
struct TrackSummary {
    int number = 0; // 1 the first
    QString name;
    QString instrument; // "Electric Bass (finger), tuned B E A D G", "Percussion"
    int strings = 0;
    int lowest = -1; // lowest and highest MIDI key its notes sound, -1 without notes
    int highest = -1;
    int notes = 0;
    int voices = 1;
    bool chosen = false; // the track an import reads without --track
};
QList<TrackSummary> SummariseTracks(const Score& score);

// The track a bass player means, as an index into score.tracks: of the tracks with 4 to 6 strings
// that are not drums, the first with notes whose sound is a bass (General MIDI 33 to 40, counted
// from 1) or whose lowest string lies below A1; without one, the lowest-tuned of them. -1 when no
// track has 4 to 6 strings.
int ChooseBassTrack(const Score& score);

struct ConversionOptions {
    int track = 0; // 1 the first; 0 for ChooseBassTrack's choice
    int voice = 0; // 1 the first; 0 for the first
    // Each measure once, in the order written, with the repeat signs as comments; otherwise the
    // repeats and alternate endings are played out in the order they sound.
    bool asWritten = false;
};

struct Conversion {
    QString error; // why nothing was converted; empty on success
    QStringList lines; // the chord list
    int tempo = 120;
    int patch = DefaultPatch; // the bass sound, a General MIDI program counted from 0
    // What was left out or changed, one sentence each ("3 grace notes dropped.").
    QStringList report;
};

// One track of a score as a chord list: its tuning and neck (tuning and frets lines), a blank line
// after each measure, time lines where the time signature changes, the title, artist and album as
// title and sub lines, and the techniques the list has marks for.
Conversion ConvertScore(const Score& score, const ConversionOptions& options);

// "Electric Bass (finger)" for program 33 (counted from 0).
QString GeneralMidiName(int program);

} // namespace fw::guitarpro
