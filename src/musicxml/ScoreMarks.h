#pragma once

#include "MarkRepair.h"
#include "ScoreReader.h"
#include "Tuning.h"

#include <QList>
#include <QStringList>

namespace fw::musicxml {

// What a score's marks became on import, counted for the import's report.
struct MarkLosses {
    int harmonics = 0; // artificial, at no node, or without string and fret: written as fretted notes
    int bends = 0; // not a whole 1 to 6 semitones up
    int releases = 0; // pre-bends and releases
    int combinations = 0; // marks of a note or line that do not go together
    int linksTurned = 0; // hammer-ons and pull-offs turned to the next note's direction
    int linksDropped = 0; // links without a next note on their string that they can join

    // The report's sentences, in a fixed order; none when nothing was lost.
    QStringList sentences() const;
};

// The marks of a note placed on slot at fret. byFile: the file gave string and fret. A harmonic
// moves fret to the fret nearest its node; leeway says what its slide may become.
NoteMarks NoteMarksOf(const ReadNote& note, const ReadMarks& read, int slot, int& fret, bool byFile,
    const Tuning& tuning, LinkLeeway& leeway, MarkLosses& losses);

// The words of a line sounding these notes: any note's accent, staccato, tap, slap, pop, palm mute
// or let ring.
LineMarks LineMarksOf(const QList<ReadNote>& notes, const ReadPart& part, MarkLosses& losses);

// The marks a note of part has; none when it has none.
const ReadMarks& MarksOf(const ReadPart& part, const ReadNote& note);

} // namespace fw::musicxml
