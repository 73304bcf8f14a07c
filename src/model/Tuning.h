#pragma once

#include "ChordDef.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace fw {

inline constexpr int MinTuningStrings = 4;
inline constexpr int MaxTuningStrings = 6;

// The open strings of a bass, lowest first, as note values (one octave above the sound).
// Strings sit in the ChordDef slots from the bottom: the lowest string is slot 6, the next slot 5,
// and so on, so a four-string bass uses slots 3..6 and a six-string bass slots 1..6.
class Tuning {
public:
    // E A D G (40 45 50 55): the tuning of a list without a tuning line.
    Tuning();
    // names: the written pitch names of the strings without octave digits ("Eb", "B"), lowest first.
    Tuning(std::vector<int> openNotes, QStringList names);

    static Tuning Standard() { return Tuning(); }

    int stringCount() const { return static_cast<int>(m_open.size()); }
    int firstSlot() const { return 7 - stringCount(); }
    bool hasSlot(int slot) const { return slot >= firstSlot() && slot <= 6; }
    // String index 0 is the lowest string.
    int slotOfString(int stringIndex) const { return 6 - stringIndex; }
    int stringOfSlot(int slot) const { return 6 - slot; }

    // The open note of a slot, 0 for a slot the tuning has not.
    int openNote(int slot) const;
    // The string's name in messages and hints: "Low " + the lowest string's name, the others their name.
    QString stringName(int slot) const;
    // The written pitch name of a slot's string ("Eb"), without "Low ".
    QString pitchName(int slot) const;
    const std::vector<int>& openNotes() const { return m_open; }
    const QStringList& names() const { return m_names; }

    bool isStandard() const;
    // "* Tuning: B E A D G": octave digits are written only where the names alone would give other notes.
    QString lineText() const;
    // The names as typed in a tuning box: "B E A D G".
    QString namesText() const;

    friend bool operator==(const Tuning& a, const Tuning& b) { return a.m_open == b.m_open; }

private:
    std::vector<int> m_open;
    QStringList m_names;
};

// E A D G, shared so hot paths need not build one.
const Tuning& StandardTuning();

// What a comment that may set something for the list (tuning, time, frets: SpecialLines.h) is.
enum class SpecialLineKind {
    NotSpecial, // does not start like the line
    Valid,
    Invalid, // starts like one but says nothing valid: an ordinary comment, reason says why
};
using TuningLineKind = SpecialLineKind;

struct TuningLineResult {
    TuningLineKind kind = TuningLineKind::NotSpecial;
    Tuning tuning;
    QString reason;
};

// A comment line starting "*Tuning:" or "* Tuning:" (any letter case) followed by 4 to 6 note names,
// lowest first, separated by blanks or commas.
TuningLineResult ParseTuningLine(QStringView line);
// The names alone, as typed in a tuning box ("B E A D G", "B0 E1 A1 D2 G2").
TuningLineResult ParseTuningNames(QStringView names);

// The tuning of a list: its last valid tuning line, else the standard tuning.
Tuning TuningOfLines(const QStringList& lines);

// The lines New starts a chord list with for the "Tuning for new chord lists" setting: its tuning
// line, or none for an empty, invalid or standard setting.
QStringList NewDocumentLines(const QString& newTuning);

// The canonical text of a chord definition with one fret field per string of the tuning.
QString BuildLine(const ChordDef& def, const Tuning& tuning);
// The name of the slot's open note plus fret for the tuning's slots and frets 0..24; otherwise fallback.
QString NoteName(const Tuning& tuning, int slot, int fret, const QString& fallback);
// The name automatic naming gives a parsed line: the note's name, "Rest" or "Chord".
QString AutomaticName(const ChordDef& def, const Tuning& tuning);
// A name the program writes itself (empty, "New", "Rest", "Chord" or a note name such as "F#/Gb", in any
// letter case), or "x", the list's own mark for nothing, typed where no name is meant yet: automatic naming
// may replace it. Any other name ("Gmaj7", "Intro") is the user's own.
bool IsProgramName(QStringView name);

} // namespace fw
