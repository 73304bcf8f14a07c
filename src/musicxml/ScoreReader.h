#pragma once

#include "ChordDef.h"

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace fw::musicxml {

// The playing techniques of one note element, as the file writes them (MarkNotations.h).
struct ReadMarks {
    // A hammer-on, pull-off, slide or glissando starts on this note.
    NoteLink link = NoteLink::None;
    // A slide off the note: <doit/> up, <falloff/> down.
    NoteLink slideOff = NoteLink::None;
    SlideIn slideIn = SlideIn::None; // <scoop/>, <plop/>
    NoteKind kind = NoteKind::Normal; // ghost and dead by the notehead, harmonic by <harmonic>
    bool artificialHarmonic = false;
    // The written pitch of a harmonic is the one it sounds (false: the pitch of the string as it is
    // played or touched, as natural harmonics are usually notated).
    bool soundingHarmonic = false;
    double bendAlter = 0; // semitones; 0 without a bend
    bool bendRelease = false; // a pre-bend or a release
    bool vibrato = false; // a wavy line starts here
    LineMarks words; // accent, staccato, tap and the other-technical words
};

// One note element as the file has it, its times already in our divisions (Divisions per quarter),
// relative to the start of its measure.
struct ReadNote {
    long long onset = 0;
    long long length = 0;
    int staff = 1;
    int voice = 1;
    int key = -1; // sounding MIDI key; -1 for rests and unpitched notes
    int string = 0; // 0: none given
    int fret = -1;
    bool chord = false;
    bool rest = false;
    bool grace = false;
    bool cue = false;
    bool unpitched = false;
    bool tieStart = false;
    bool tieStop = false;
    bool rounded = false; // the file's time did not fall on one of our divisions
    ReadMarks marks;
};

// A <time> element: beats (summed for "3+2") over beat-type; 0 for a time it does not give.
struct ReadTime {
    int beats = 0;
    int beatType = 0;
};

struct ReadMeasure {
    long long length = 0; // the furthest any voice reached
    QList<ReadNote> notes;
    std::optional<ReadTime> time; // a time signature at the measure's start
};

struct ReadPart {
    QString id;
    QString name;
    int program = -1; // 0..127 from midi-program, -1 when absent
    int tabStaff = 0; // first staff with a TAB clef, 0 for none
    int bassStaff = 0; // first staff with an F clef, 0 for none
    // Sounding MIDI keys of the open strings, by staff: line 1 (the lowest string) first.
    QMap<int, QList<int>> staffTuning;
    QList<ReadMeasure> measures;
    int dynamics = 0;
    int lyrics = 0;
};

struct ReadScore {
    QString title;
    QString subtitle;
    int tempo = 0; // 0 when the file names none
    QList<ReadPart> parts;
};

// Nesting deeper than this is refused: no score needs it, and it would only cost memory.
inline constexpr int MaxXmlDepth = 64;

// Reads an uncompressed score-partwise document. Nothing on a file that is not one (not XML, another
// document, too deeply nested), with error saying why.
std::optional<ReadScore> ReadScoreXml(const QByteArray& xml, QString& error);

} // namespace fw::musicxml
