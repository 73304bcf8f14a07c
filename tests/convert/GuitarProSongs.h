#pragma once

// Guitar Pro songs of our own for the import tests, written out by GuitarProWriter: a five-string
// bass beside a guitar and drums with every mark, a drop-D bass, and a few smaller cases.

#include "Conversion.h"
#include "GuitarProScore.h"

namespace fw::test {

// The registered reader of GP3, GP4 and GP5 files, as File > Import... and the command line reach it.
const ReaderFormat& GuitarProReader();

// A five-string bass song: every mark, a triplet, a tie across a bar line, a repeat with two
// endings, a change of time signature and tempo, a second voice, and the things left out; the bass
// is the second of three tracks.
guitarpro::Score FiveStringSong();
// A drop-D four-string bass after a guitar and drums, with a pull-off, up to fret 21 of its 24.
guitarpro::Score DropDSong();
// A capo, a bend that reaches past the last fret, and a damaged tie.
guitarpro::Score CapoSong();
// A bass written in the second voice, the first left empty.
guitarpro::Score SecondVoiceSong();

} // namespace fw::test
