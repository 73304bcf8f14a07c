#pragma once

#include "ChordDef.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

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
    bool slur = false; // a slur starts here
    LineMarks words; // accent, staccato, tap and the other-technical words
    // The marks of the note a list has no place for, by the file's name ("fermata", "tenuto").
    QStringList unkept;
};

// One note element as the file has it, its times already in our divisions (Divisions per quarter),
// relative to the start of its measure. Small, since a long score holds millions of them.
struct ReadNote {
    int onset = 0;
    int length = 0;
    short key = -1; // sounding MIDI key; -1 for rests and unpitched notes
    signed char string = 0; // 0: none given
    signed char fret = -1;
    unsigned char staff = 1;
    unsigned char voice = 1;
    bool chord : 1 = false;
    bool rest : 1 = false;
    bool grace : 1 = false;
    bool cue : 1 = false;
    bool unpitched : 1 = false;
    bool tieStart : 1 = false;
    bool tieStop : 1 = false;
    bool rounded : 1 = false; // the file's time did not fall on one of our divisions
    int marks = -1; // index into its part's marks; -1 when it has none
};

// A <time> element: beats (summed for "3+2") over beat-type; 0 for a time it does not give.
struct ReadTime {
    int beats = 0;
    int beatType = 0;
};

struct ReadMeasure {
    // Its notes: the part's notes from firstNote on.
    int firstNote = 0;
    int noteCount = 0;
    int length = 0; // the furthest any voice reached
    std::optional<ReadTime> time; // a time signature at the measure's start
    // Repeats: a forward repeat at its start; a backward repeat at its end, with the times the
    // section is played (0 for none).
    bool repeatForward = false;
    short repeatTimes = 0;
    // Endings: the passes (bit n for pass n) of an ending that starts at this measure, and
    // whether one ends at its end.
    unsigned endingStart = 0;
    bool endingStop = false;
};

// A text a list keeps as a comment at the start of the measure's bar: words, a rehearsal mark, a
// tempo change, a jump.
struct ReadText {
    int measure = 0;
    QString text;
};

struct ReadPart {
    QString id;
    QString name;
    QString instrument; // the score-instrument's name
    QString sound; // the instrument-sound ("pluck.bass.electric")
    int program = -1; // 0..127 from midi-program, -1 when absent
    int tabStaff = 0; // first staff with a TAB clef, 0 for none
    // Sounding MIDI keys of the open strings, by staff: line 1 (the lowest string) first.
    QMap<int, QList<int>> staffTuning;
    QMap<int, int> capo; // by staff
    std::vector<ReadNote> notes;
    std::vector<ReadMarks> marks;
    std::vector<ReadMeasure> measures;
    QList<ReadText> texts;
    // Tempo marks (beats per minute) by measure, in the order the part gives them.
    QList<QPair<int, int>> tempos;
    // Jumps (da capo, dal segno, coda, fine), also among the texts.
    int jumps = 0;
    // Directions and other things of the part a list has no place for, by what they are.
    QMap<QString, int> unkept;
    int badLengths = 0; // durations that are no number, read as none
};

struct ReadScore {
    QString title;
    QString subtitle;
    int tempo = 0; // 0 when the file names none
    int countOff = -1; // a "Count off 4" text, as this program writes it; -1 when there is none
    QList<ReadPart> parts;
};

// Nesting deeper than this is refused: no score needs it, and it would only cost memory.
inline constexpr int MaxXmlDepth = 64;
// Texts are cut here: no title or word of a score is longer.
inline constexpr qsizetype MaxTextLength = 4096;
// Scores with more notes or measures than these (all parts together) are refused: they would make
// more lines than an import keeps, and holding them would fill the memory.
inline constexpr qsizetype MaxReadNotes = 16'000'000;
inline constexpr qsizetype MaxReadMeasures = 4'000'000;

// Reads an uncompressed score-partwise document. Nothing on a file that is not one (not XML, another
// document, too deeply nested), with error saying why.
std::optional<ReadScore> ReadScoreXml(const QByteArray& xml, QString& error);
// The same, read from a device as it delivers the document (a packed score as it unpacks).
std::optional<ReadScore> ReadScoreXml(QIODevice* device, QString& error);

} // namespace fw::musicxml
