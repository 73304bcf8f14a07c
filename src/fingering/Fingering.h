#pragma once

#include "Tuning.h"

#include <vector>

namespace fw {

// Where one note is played. slot is a string slot of the tuning (6 the lowest); slot 0 and fret -1
// mark a note that no string of the tuning can play.
// What a note at this fret costs the fretting hand: an open string nothing; a fretted note a finger,
// so an open string is the cheaper choice when the rest is equal, as bass players use open strings
// to gain time; above the 12th fret, where the frets are narrow and the sound thinner, one more per
// fret, which keeps lines low on the neck unless the notes want the high frets.
constexpr long long FretEffort(int fret) { return fret <= 0 ? 0 : 1 + (fret > 12 ? fret - 12 : 0); }

struct Placement {
    int slot = 0;
    int fret = NotPlayedFret;

    bool playable() const { return slot != 0; }
    friend bool operator==(const Placement&, const Placement&) = default;
};

// One event of a line: the note values (one octave above the sound) struck together; empty for a rest.
using FingeringEvent = std::vector<int>;
// The placements of one event, in the order of its notes.
using FingeredEvent = std::vector<Placement>;

// Two notes of neighbouring events that one string must play: a tie, hammer-on, pull-off or legato
// slide joins note `from` of the event before to note `to` of this event (indexes into their notes).
struct StringLink {
    int from = 0;
    int to = 0;
};

// What else a fingering must respect.
struct FingeringRules {
    // By event: its links to the event before (a missing or empty entry: none).
    std::vector<std::vector<StringLink>> links;
    // By event: strings (one bit per string index, 0 the lowest) held by notes the fingering does not
    // place (dead notes without a fret, harmonics), where none of its notes may go.
    std::vector<unsigned> heldStrings;
    // The highest fret (the list's fret limit).
    int fretLimit = FretCount;
};

struct Fingering {
    std::vector<FingeredEvent> events;
    // The total cost of the chosen placements; see FingeringCost.
    long long cost = 0;
    // How many notes no string could play (their placements are not playable).
    int unplayableNotes = 0;
};

// Chooses a string and fret (0..rules.fretLimit) for every note so that the total cost of the line is the
// least possible. Exact: dynamic programming over every playable placement of each event combined
// with every hand position that reaches it, so the time grows linearly with the number of notes.
// A chord's notes take distinct strings, lower notes on lower strings. Notes outside the tuning's
// range, and the highest notes of a chord that cannot be played together, are left unplayable.
// Linked notes stay on one string wherever any fingering allows it.
Fingering FingerEvents(
    const std::vector<FingeringEvent>& events, const Tuning& tuning, const FingeringRules& rules = {});

// As FingerEvents, but an event whose entry in kept is not empty is played where kept says (one
// placement per note, in the order of its notes): only the other events are chosen, around them.
Fingering FingerAround(const std::vector<FingeringEvent>& events, const std::vector<FingeredEvent>& kept,
    const Tuning& tuning, const FingeringRules& rules = {});

// The cost of given placements (the hand position chosen as well as it can be), so that a line as
// written can be compared with its optimised fingering. Unplayable placements are left out.
long long FingeringCost(
    const std::vector<FingeredEvent>& events, const Tuning& tuning, const FingeringRules& rules = {});

} // namespace fw
