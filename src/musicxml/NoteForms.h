#pragma once

#include <QString>
#include <QStringView>
#include <array>

namespace fw::musicxml {

// Divisions per quarter note in the files we write: every one of the 21 duration forms is a whole
// number of them (the shortest, a sixty-fourth divided by three, is 2; a dotted sixty-fourth is 9).
inline constexpr int Divisions = 96;
inline constexpr int WholeDivisions = 4 * Divisions;

// One duration form of a chord-list line and how it is notated. A triplet form lasts a third of its
// letter, so it is written as the next shorter note value, three in the time of two: "/Q" (a third of
// a quarter) is a triplet eighth.
struct NoteForm {
    const char* text; // as the program writes it: "Q", ".Q", "/Q"
    int divisions;
    const char* type; // the notated value
    bool dotted;
    bool triplet;
};

inline constexpr int NoteFormCount = 21;
const std::array<NoteForm, NoteFormCount>& NoteForms();

// Case-blind; nullptr for a text that is not one of the forms.
const NoteForm* FormOfDuration(QStringView text);
// The form lasting exactly this many divisions (at Divisions per quarter), or nullptr.
const NoteForm* FormOfLength(long long divisions);
// The longest form that is not longer than divisions, or nullptr when even the shortest is.
const NoteForm* LongestFormWithin(long long divisions);

// A MIDI key spelled as notation writes it, with sharps.
struct SpelledPitch {
    char step; // 'C'..'B'
    int alter; // 0 or 1
    int octave;
};
SpelledPitch SpellKey(int key);
// The MIDI key of a step, alteration and octave; -1 for a step that is not A..G.
int KeyOfPitch(QChar step, int alter, int octave);

} // namespace fw::musicxml
