#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>

// Playing techniques written in a chord list.
//
// Per-note marks live inside a string's fret field, as web tabs write them; per-line marks in one
// optional field after the duration:
//
//   A, x, 0h, x, x, E            hammer-on from the open A string ...
//   B, x, 2, x, x, E             ... to fret 2 (no new pick)
//   E, 0, x, x, x, S, slap       a slapped open E
//
// Fret field forms (letters in either case; BuildLine writes them in the canonical spelling shown):
//
//   5h  7p        hammer-on / pull-off into the next note on this string (higher / lower fret)
//   5/  7\        legato slide up / down into the next note on this string; with no next note on
//                 the string it is a slide out (off the note, up / down)
//   /5  \5        slide in from below / from above (before the fret)
//   (5)           ghost note
//   m   5m        dead note, without or with a fret (the fret is kept for exports; no pitch sounds)
//   <12> <3.2>    natural harmonic at a node, in frets with at most one decimal (12, 7, 5, 4, 3.2, 9,
//                 19, 24, 2.7, 5.8, 9.7, 8, 17, ...: every node of harmonics 2 to 8 up to fret 24)
//   7b9           bend up to the pitch of fret 9 (1 to 6 frets above the note)
//   5~            vibrato
//   5_            tie: held into the next note on this string, which has the same fret (or the same
//                 harmonic) and is not attacked again; may cross a bar line
//
// A field is written: [slide in] core [bend] [~] [link], where core is "5", "(5)", "<12>", "m" or
// "5m" and link one of h p / \ _. Which go together:
//   - dead notes take no other mark;
//   - harmonics take vibrato and a tie only;
//   - a bend goes on a plain note, with vibrato;
//   - slide in goes on a plain note, with vibrato and any link;
//   - plain and ghost notes take vibrato and any link.
// The suffixes may be typed in any order ("5_~" reads as "5~_"); each at most once.
//
// "The next note on this string" is that string's note in the next note entry of the list: comment,
// count-off and blank (bar) lines in between are passed over; a rest, or a next entry that does not
// play the string, leaves the mark without a partner (an error for h, p and _, a slide out for / \).
//
// Per-line words (after the duration, separated by blanks, any case, each at most once): slap, pop,
// tap (one of the three), accent, staccato, pm (palm mute), lr (let ring: each note rings until the
// next note on its string; not with pm or staccato). Canonical order: slap pop tap accent staccato pm lr.

namespace fw {

// How a note leads into the next note on its string.
enum class NoteLink : unsigned char {
    None,
    HammerOn, // "5h": the next note is higher and sounds without a new pick
    PullOff, // "7p": the next note is lower and sounds without a new pick
    SlideUp, // "5/": slides up into the next note without a new pick, or slides out upward
    SlideDown, // "7\": slides down into the next note, or slides out downward
    Tie, // "5_": held into the next note (same fret), which is not attacked again
};

enum class SlideIn : unsigned char {
    None,
    FromBelow, // "/5"
    FromAbove, // "\5"
};

enum class NoteKind : unsigned char {
    Normal,
    Ghost, // "(5)": very soft
    Dead, // "m", "5m": muted and percussive, no pitch
    Harmonic, // "<12>": the natural harmonic of the open string at a node
};

// The marks of one note (one string of one line). Frets[slot] of the line holds the fret as always:
//   - a dead note without a fret ("m") has Frets[slot] == -1 (so marks-blind code takes it for a
//     string not played); use IsStruck to tell it from an empty string;
//   - a harmonic has the fret nearest its node in Frets[slot] (12 for "<12>", 3 for "<3.2>"); its
//     sounding pitch is the open note plus HarmonicSemitones(harmonicNode).
// Notes[slot] is always the open note plus Frets[slot] (255 when Frets[slot] is -1).
struct NoteMarks {
    NoteKind kind = NoteKind::Normal;
    SlideIn slideIn = SlideIn::None;
    NoteLink link = NoteLink::None;
    bool vibrato = false;
    // The fret whose pitch a bend reaches (higher than the note's fret); -1 without a bend.
    signed char bendTarget = -1;
    // Harmonics only: the node in tenths of a fret (120 for "<12>", 32 for "<3.2>"); 0 otherwise.
    short harmonicNode = 0;

    bool any() const { return *this != NoteMarks {}; }
    bool hasBend() const { return bendTarget >= 0; }
    // Hammer-on, pull-off, legato slide or tie: the note is joined to the next note on its string
    // (a slide only when that note exists), which then sounds without a new attack.
    bool joinsNext() const { return link != NoteLink::None; }
    friend bool operator==(const NoteMarks&, const NoteMarks&) = default;
};

// By string slot 1..6, like ChordDef::Frets; [0] unused.
using MarkArray = std::array<NoteMarks, 7>;

// How every note of a line is struck.
enum class Attack : unsigned char { Normal, Slap, Pop, Tap };

// The per-line words.
struct LineMarks {
    Attack attack = Attack::Normal;
    bool accent = false;
    bool staccato = false;
    bool palmMute = false; // "pm"
    bool letRing = false; // "lr": each note rings until the next note on its string

    bool any() const { return *this != LineMarks {}; }
    friend bool operator==(const LineMarks&, const LineMarks&) = default;
};

// The semitones a natural harmonic at a node (tenths of a fret) sounds above its open string:
// 12 at fret 12, 19 at 7 and 19, 24 at 5 and 24, 28 at 4, 9 and 16, 31 at 3.2, 34 at 2.7, 5.8 and
// 9.7, 36 at 2.3, 8 and 17. 0 when the node is none of these.
int HarmonicSemitones(int nodeTenths);
// The node nearest a written value (tenths of a fret) within a quarter fret, in canonical tenths
// ("3" and "3.2" give 32); 0 when there is none.
int HarmonicNodeNear(int tenths);
// "12", "3.2": a node as the fret field writes it.
QString HarmonicNodeText(int nodeTenths);
// The fret nearest a node, stored in Frets for a harmonic.
int HarmonicFret(int nodeTenths);

// The canonical text of one fret field: "x", "5", "(5)h", "/7~", "<12>_", "m", "7b9".
QString FretFieldText(int fret, const NoteMarks& marks);
// The per-line words in canonical order ("slap", "pm"), or as a reader says them ("slap", "palm mute").
QStringList LineMarkWords(const LineMarks& marks, bool spelledOut = false);
// The canonical per-line field without its comma ("slap pm"); empty for no marks.
QString LineMarksText(const LineMarks& marks);

// Reads a per-line field (the text after the duration's comma). False when it is not made only of
// the words; true with a non-empty conflict text when the words exclude one another.
bool ParseLineMarks(QStringView field, LineMarks& marks, QString& conflict);

// A fret field that is not a plain fret number, read by the grammar above (for the line parser).
enum class FretFieldError {
    None,
    NotANumber, // not of the grammar: the parser's "not a number" message
    TooHigh, // the fret (or the harmonic's fret) is above the limit
    Combination, // marks that do not go together
    Bend, // the target is not 1 to 6 frets above the note
    Harmonic, // no harmonic node near the written value
};
struct MarkedFret {
    int fret = -1;
    NoteMarks marks;
    FretFieldError error = FretFieldError::None;
    // Bend: the target fret; Harmonic: the written value in tenths.
    int value = 0;
};
// field is trimmed and is neither "x" nor a plain integer.
MarkedFret ReadMarkedFret(QStringView field, int fretLimit);

// The most a bend reaches above its note, in frets.
inline constexpr int MaxBendFrets = 6;

} // namespace fw
