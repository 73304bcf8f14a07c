#pragma once

#include "GuitarProScore.h"

#include <QByteArray>

namespace fw::test {

// Writes a score as a GP3 (300), GP4 (400, 406), or GP5 (500, 510) file, laid out as the public
// descriptions of those formats say, so that the tests and benchmarks have files of every version
// without depending on anyone's songs. What a version cannot hold is left out (GP3 has no
// staccato, palm mute or slide kinds; GP3 and GP4 one voice); GP3's vibrato and natural harmonics
// go on the beat when any of its notes has them. Tracks get MIDI channels in order (drums on
// channel 10); each beat's chord diagram is written out in full in the version's own layout.
QByteArray WriteGuitarPro(const guitarpro::Score& score, int version);

// Small pieces for hand-made scores.
guitarpro::Note GpNote(int string, int fret);
guitarpro::Beat GpBeat(int value, QList<guitarpro::Note> notes = {});
guitarpro::Beat GpRest(int value);
// A bass track of the given MIDI keys, highest string first (43 38 33 28 for E A D G), with
// `measures` empty measures.
guitarpro::Track GpTrack(const QString& name, int program, QList<int> tuning, int measures);

} // namespace fw::test
