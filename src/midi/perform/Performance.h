#pragma once

#include "ChordDef.h"
#include "TimeSignature.h"
#include "Tuning.h"

#include <QString>
#include <vector>

namespace fw {

// How a parsed chord list sounds, as timed MIDI events: the one mapping behind live playback, the
// WAV render, play --events and the MIDI file.
//
// A note without marks sounds on the base channel (the port's channel; channel 1 in a file) at
// velocity 127 from its line's start to its end, the strings of a line in slot order, exactly as
// lists without marks always sounded. Marks (Marks.h) change velocity, length, key or channel:
//
//   accent         127; the other notes of a list that has accents sound at 100 so it stands out
//   ghost (5)      velocity 45                  dead m, 5m   velocity 70, at most 60 ms
//   tap            four fifths of the velocity  pm           three quarters of it, half the length
//   staccato       half the length              lr           held until the next note on its string
//   harmonic <12>  the open string's harmonic (HarmonicSemitones) at the line's velocity
//   tie 5_         one note-on, held through the tied notes (across bar lines too)
//   slap, pop      programs 36 and 37 (Slap Bass 1 and 2) on channels of their own
//
// Hammer-ons, pull-offs and legato slides, slides in and out, bends and vibrato need the state of
// a channel (pitch bend, modulation, legato), so the notes of such a run on one string sound on a
// channel of that string's own: its pitch-bend range is set to 24 semitones (RPN 0) and, where a
// note leads into the next without a new pick, its legato switch (CC 68) is on. The next note then
// starts before the previous one ends, which a synthesizer in legato mode (FluidSynth among them)
// plays without a new attack; both stay real notes in a MIDI file, the second at four fifths of its
// velocity where a player has no legato mode. Slides and bends are pitch-bend ramps in 10 ms steps
// (a legato slide over the last half of the note, at most 200 ms; a slide in from 3 semitones
// below or above over at most 100 ms; a slide out 5 semitones over at most 200 ms; a bend over the
// first half, at most 250 ms); vibrato is the modulation wheel (CC 1) at 64.
//
// Extra channels are taken only as marks need them, lowest free first, never channel 10: slap, pop,
// then the strings' own, lowest string first. Each is set up at the start of the range (program or
// bend range, no bend, no modulation, the legato switch), as a device keeps what an earlier list
// left on a channel.

// Status bytes of the channel messages, without their channel.
namespace status {
    inline constexpr int NoteOff = 0x80;
    inline constexpr int NoteOn = 0x90;
    inline constexpr int Control = 0xB0;
    inline constexpr int Program = 0xC0;
    inline constexpr int PitchBend = 0xE0;
}

// Where an event stands among the events of the same time.
enum class EventPhase : unsigned char {
    Ending, // note-offs of notes that end here
    ClickOff, // the speed trainer's metronome
    ClickOn,
    Show, // an entry starts: markers, trace and name
    Starting, // set-up, pitch bends, modulation and note-ons
    Released, // the notes a legato note took over from end after it started
};

struct SoundEvent {
    long long time = 0; // in the entries' DurationValue units from the start of the range
    EventPhase phase = EventPhase::Starting;
    // The status byte with its channel (0x80 note-off, 0x90 note-on, 0xB0, 0xC0, 0xE0); 0 for Show.
    unsigned char status = 0;
    // Note events: the note value, one octave above the sound like ChordDef::Notes; else data 1.
    unsigned char data1 = 0;
    unsigned char data2 = 0;
    int entry = -1; // Show: the index of the entry into the parsed list

    bool isShow() const { return status == 0; }
    bool isNote() const { return kind() == status::NoteOn || kind() == status::NoteOff; }
    int kind() const { return status & 0xF0; }
    int channel() const { return status & 0x0F; }
    friend bool operator==(const SoundEvent&, const SoundEvent&) = default;
};

struct PerformOptions {
    // Units of the entries' DurationValue per whole note (milliseconds for playback, ticks for a file).
    int whole = 0;
    // Milliseconds per whole note at the tempo: the fixed lengths (a dead note's 60 ms) follow it.
    int wholeMs = 2000;
    unsigned char channel = 0;
    // The chosen sound, for the channels of a string's own.
    unsigned char patch = 33;
};

struct Performance {
    // By time, then phase; at one time and phase, in string slot order.
    std::vector<SoundEvent> events;
    // The range's length: the sum of its entries' lengths.
    long long length = 0;
    // Some entry of the range has marks (otherwise every note is a plain note of its line).
    bool marked = false;
};

namespace sound {
    inline constexpr int FullVelocity = 127;
    inline constexpr int PlainVelocityAmongAccents = 100;
    inline constexpr int GhostVelocity = 45;
    inline constexpr int DeadVelocity = 70;
    inline constexpr int DeadMaxMs = 60;
    inline constexpr int SlapProgram = 36;
    inline constexpr int PopProgram = 37;
    inline constexpr int BendRangeSemitones = 24;
    inline constexpr int BendCentre = 8192;
    inline constexpr int VibratoDepth = 64;
    inline constexpr int LegatoSwitch = 68;
    inline constexpr int Modulation = 1;
    inline constexpr int RampStepMs = 10;
    inline constexpr int SlideMaxMs = 200;
    inline constexpr int SlideInMaxMs = 100;
    inline constexpr int BendMaxMs = 250;
    inline constexpr int SlideInSemitones = 3;
    inline constexpr int SlideOutSemitones = 5;
    inline constexpr int DrumChannel = 9;
}

// The events of the note entries first..last of parsed (indexes into it; clipped to it), whose
// DurationValue is in options.whole units. Marks whose partner lies outside the range sound as if
// the range were the whole list.
Performance Perform(
    const ParsedLineList& parsed, int first, int last, const Tuning& tuning, const PerformOptions& options);

// The pitch-bend value for a shift in semitones on a channel of a string's own.
int PitchBendValue(double semitones);

// The beat a time signature is counted in: simple times in their unit (3/4 in quarters, 7/8 in
// eighths), compound times (6/8, 9/8, 12/16) in dotted beats of three units, as they are felt.
struct MeterBeat {
    QString duration; // "Q", ".Q", "E", ...: a duration text of the beat
    int ticks = 0; // of WholeTicks to the whole note
    int perBar = 0;
};
MeterBeat BeatOf(const TimeSignature& time);

} // namespace fw
