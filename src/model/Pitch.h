#pragma once

#include <QString>
#include <QStringView>

namespace fw {

// The frets of a list without a "* Frets:" line; such a line allows up to MaxFretLimit.
inline constexpr int FretCount = 18;
inline constexpr int MaxFretLimit = 24;
inline constexpr int FirstBassSlot = 3;
inline constexpr int LastBassSlot = 6;
inline constexpr int NotPlayedFret = -1;
inline constexpr unsigned char NotPlayedNote = 255;

// Open-string note values by slot 1..6 (High E, B, G, D, A, Low E); one octave above the bass's sound.
int OpenStringNote(int slot);
// The string's name as messages spell it ("Low E", "A", ...).
QString StringName(int slot);

QString PitchClassName(int noteValue);
// The name of the slot's open note plus fret for bass slots and frets 0..24; otherwise fallback unchanged.
QString NoteName(int slot, int fret, const QString& fallback);

// Transpositions go at most two octaves either way: further, no note of a bass stays on the neck.
inline constexpr int MaxTransposeSemitones = 24;
// How far a transposition moves, as users read it: "2 semitones up", "1 semitone down".
QString SemitonesText(int semitones);

// Ticks to the whole note at which every duration form (dotted, triplet) is a whole number: the
// MIDI file's resolution, and the unit of bar lengths.
inline constexpr int WholeTicks = 384;

// Length of a duration text ("Q", ".e", "/W", ...) for the given whole-note value; 0 when invalid.
int DurationValue(QStringView text, int whole);

// Milliseconds of a whole note at the given quarter-note tempo, with the integer steps the player uses.
int WholeNoteLength(int tempo);

} // namespace fw
