#pragma once

#include "MidiFileReader.h"

#include <QString>
#include <optional>
#include <vector>

namespace fw {

inline constexpr int MidiDrumChannel = 9; // channel 10 as players count
// Programs 33 to 40 as players count them (32 to 39 on the wire): the bass sounds.
constexpr bool IsBassProgram(int program) { return program >= 32 && program <= 39; }

// The parts of a MIDI file as a bass player chooses among them: one part per track of a format-1
// file, numbered as the tracks are, or one per channel of a format-0 file, numbered as the channels
// are (1 to 16). A track whose notes lie on several channels is the part of one of them (the one
// the choice below prefers); the note track of a file of this program is one part over all its
// channels (slap, pop and a string's own channels), as its list was one.
struct MidiPart {
    int number = 0;
    int trackIndex = 0; // into MidiSong::tracks
    int trackNumber = 0; // in the file, 1 the first
    int channel = 0; // 0-based; the first of them for a part over several channels
    bool everyChannel = false; // every channel of the track but the drum channel
    QString name; // the track's name, trimmed
    int program = -1; // 0-based, -1 for none
    int notes = 0;
    int lowest = -1; // MIDI keys
    int highest = -1;
    double averageKey = 0;
    // Notes of the part's track on other channels, which the part leaves out.
    int otherNotes = 0;

    bool isDrums() const;
    // A bass sound (IsBassProgram) or a name that says bass.
    bool isBass() const;
    // "Electric Bass (finger)", "Percussion", "" without a program.
    QString instrument() const;
    // "track 3 ("Bass"), channel 2"
    QString describe() const;
};

// Every part with notes, in the order of their numbers.
std::vector<MidiPart> MidiParts(const MidiSong& song);

struct MidiPartChoice {
    std::optional<MidiPart> part; // none: error says why
    QString reason; // "its sound is a bass"
    QString error;
};

// The part to import: the track (or, in a format-0 file, the channel) and channel asked for, or else
// the part a bass player means: among the bass parts the lowest (by its average key), else the
// lowest part; never the drum channel unless asked for.
MidiPartChoice ChooseMidiPart(
    const MidiSong& song, const std::vector<MidiPart>& parts, std::optional<int> track, std::optional<int> channel);

} // namespace fw
