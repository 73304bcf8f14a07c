#pragma once

#include <QList>
#include <QString>

// A Guitar Pro score as every reader gives it (GP3, GP4 and GP5 binary files, GPX and GP7/8 files
// with their score.gpif) and as the conversion to a chord list takes it (GuitarProConversion.h).
//
// The fields say what the file says, in plain terms that do not depend on the version: strings are
// numbered as GP3-5 number them (1 the highest; GPX and GP7/8 count from 0 the lowest, and their
// reader turns them round), pitches are MIDI keys, note values are
// Guitar Pro's (4 a quarter). A reader fills what its version holds and leaves the rest at the
// defaults; it keeps what the conversion drops (second voices, grace notes, lyrics, chord diagrams)
// as flags and counts, so that the import can say what it left out.
//
// Measures are shared by all tracks: Score::measures holds their headers (time signature, repeats,
// endings, marker), and each Track holds one TrackMeasure per header, in the same order.

namespace fw::guitarpro {

// The limits every reader keeps to; a file beyond them is refused as damaged or absurd, before
// anything is allocated for it.
inline constexpr int MaxTracks = 1000;
inline constexpr int MaxMeasures = 200000;
inline constexpr int MaxStrings = 7;
inline constexpr int MaxFrets = 30;
inline constexpr int MaxBeatsPerVoice = 4096;

// A note value as written: the kind of note, its dots and the tuplet it belongs to.
struct NoteValue {
    int value = 4; // 1 whole, 2 half, 4 quarter ... 64 sixty-fourth, 128 hundred-twenty-eighth
    int dots = 0; // 0 to 2
    // A tuplet plays `enters` notes in the time of `times` (a triplet is 3 in 2); 1 in 1 without one.
    int enters = 1;
    int times = 1;

    friend bool operator==(const NoteValue&, const NoteValue&) = default;
};

// A slide into a note, before it sounds.
enum class SlideIn : unsigned char {
    None,
    FromBelow,
    FromAbove,
};

// A slide that leaves a note.
enum class SlideOut : unsigned char {
    None,
    Shift, // slides into the next note on the string, which is picked again
    Legato, // slides into the next note on the string, which is not picked again
    Down, // slides off the note downward, into no note
    Up, // slides off the note upward
};

enum class Harmonic : unsigned char {
    None,
    Natural, // touched at a node of the open string: the fret says which
    Artificial, // fretted and touched an interval higher
    Tapped,
    Pinch,
    Semi,
};

// How every note of a beat is struck.
enum class Attack : unsigned char {
    Normal,
    Slap,
    Pop,
    Tap,
};

struct Note {
    int string = 1; // 1 the highest string of the track
    // As written. A tied note's fret is what the file says, which may be nothing useful: the
    // conversion takes the fret of the note it continues.
    int fret = 0;
    bool tie = false; // continues the last note on this string, without a new attack
    bool ghost = false;
    bool dead = false;
    bool accent = false; // accentuated, or heavily so
    bool hammer = false; // a hammer-on or pull-off into the next note on this string
    SlideIn slideIn = SlideIn::None;
    SlideOut slideOut = SlideOut::None;
    Harmonic harmonic = Harmonic::None;
    // A bend: the highest pitch it reaches above the fretted note, in cents (100 a semitone); 0
    // without a bend. preBend: the string is bent before the note sounds; release: the bend comes
    // back down while the note sounds.
    int bendCents = 0;
    bool preBend = false;
    bool bendRelease = false;
    bool vibrato = false;
    bool letRing = false;
    bool palmMute = false;
    bool staccato = false;
    // Played before the note, in time of its own (a GP3-5 grace note belongs to the note it leads to).
    bool graceBefore = false;
    bool trill = false;
    bool tremoloPicking = false;

    friend bool operator==(const Note&, const Note&) = default;
};

struct Beat {
    NoteValue duration;
    // Silent for its duration: a rest, or a beat without notes.
    bool rest = false;
    // An empty beat, as GP3-5 fill a measure nobody wrote in; a voice of empty beats alone is an
    // empty measure, read as a whole-measure rest.
    bool empty = false;
    // A grace beat (GPX and GP7/8 write grace notes as beats): it takes no time of the bar.
    bool grace = false;
    QList<Note> notes;
    Attack attack = Attack::Normal;
    bool fadeIn = false;
    bool tremoloBar = false; // a whammy-bar dip or dive
    bool chordDiagram = false;
    QString text; // text written above the beat, "" for none

    friend bool operator==(const Beat&, const Beat&) = default;
};

// One track's part of one measure: its voices, the first the main one.
struct TrackMeasure {
    QList<QList<Beat>> voices;
};

// A time signature (named apart from the chord list's own TimeSignature).
struct Meter {
    int numerator = 4;
    int denominator = 4;

    friend bool operator==(const Meter&, const Meter&) = default;
};

// What a measure is for every track.
struct MeasureHeader {
    // The time signature in force in this measure (readers carry it on from the measure before).
    Meter time;
    bool repeatOpen = false; // a repeat starts here
    // A repeat ends here and the section is played this many times in all (2: once again); 0 when
    // no repeat ends here.
    int repeatPlays = 0;
    // The passes of the enclosing repeat on which this measure is played as an alternate ending:
    // bit 0 the first pass, bit 1 the second... 0 when it is no ending.
    unsigned alternateEndings = 0;
    QString marker; // a section name ("Chorus"), "" for none

    friend bool operator==(const MeasureHeader&, const MeasureHeader&) = default;
};

struct Track {
    QString name;
    int program = 0; // General MIDI program, 0 to 127 (32 to 39 are basses)
    bool percussion = false; // a drum track: its "frets" are drum sounds
    // The MIDI key of each open string, string 1 (the highest) first.
    QList<int> tuning;
    int frets = 24;
    int capo = 0; // the fret of a capo, 0 without one
    QList<TrackMeasure> measures; // one per MeasureHeader
};

// A change of tempo after the start, at the measure where it happens.
struct TempoChange {
    int measure = 0; // index into Score::measures
    int bpm = 0;
};

struct Score {
    QString version; // "FICHIER GUITAR PRO v5.10", "GP7"...: for messages
    QString title;
    QString subtitle;
    QString artist;
    QString album;
    int tempo = 120; // quarter notes a minute at the start
    QList<MeasureHeader> measures;
    QList<Track> tracks;
    QList<TempoChange> tempoChanges;
    int lyrics = 0; // lines (or syllables) of lyrics the file holds
    int jumps = 0; // da capo, dal segno, coda and fine signs
};

} // namespace fw::guitarpro
