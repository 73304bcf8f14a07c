#include "GuitarProSongs.h"

#include "GuitarProWriter.h"

#include <gtest/gtest.h>

namespace fw::test {

using namespace guitarpro;

namespace {

    Note With(Note note, void (*set)(Note&))
    {
        set(note);
        return note;
    }

    Beat Triplet(int value, QList<Note> notes)
    {
        Beat beat = GpBeat(value, std::move(notes));
        beat.duration.enters = 3;
        beat.duration.times = 2;
        return beat;
    }

    // A six-string guitar and a drum kit beside the bass, so that the bass has to be found.
    Track Guitar(int measures)
    {
        Track guitar = GpTrack(QStringLiteral("Lead"), 29, { 64, 59, 55, 50, 45, 40 }, measures);
        for (TrackMeasure& measure : guitar.measures)
            measure.voices[0] = { GpBeat(1, { GpNote(1, 12), GpNote(2, 13) }) };
        return guitar;
    }

    Track Drums(int measures)
    {
        Track drums = GpTrack(QStringLiteral("Drums"), 0, { 0, 0, 0, 0, 0, 0 }, measures);
        drums.percussion = true;
        for (TrackMeasure& measure : drums.measures)
            measure.voices[0] = { GpBeat(1, { GpNote(1, 36) }) };
        return drums;
    }

} // namespace

const ReaderFormat& GuitarProReader()
{
    static const ReaderFormat none;
    const ReaderFormat* format = Formats().readerFor(QStringLiteral("song.gp5"));
    if (!format)
        ADD_FAILURE() << "no reader for .gp5";
    return format ? *format : none;
}

Score FiveStringSong()
{
    Score score;
    score.title = QStringLiteral("Caf\u00e9 \u2019Bleu\u2019");
    score.artist = QStringLiteral("Les M\u00eames");
    score.album = QStringLiteral("D\u00e9j\u00e0 vu");
    score.tempo = 96;
    score.lyrics = 1;
    score.measures.resize(6);
    score.measures[0].repeatOpen = true;
    score.measures[0].marker = QStringLiteral("Intro");
    score.measures[2].alternateEndings = 0b01;
    score.measures[2].repeatPlays = 2;
    score.measures[3].alternateEndings = 0b10;
    for (int m = 4; m < 6; ++m)
        score.measures[m].time = { 3, 4 };
    score.tempoChanges = { { 4, 120 } };

    Track bass = GpTrack(QStringLiteral("Bass"), 33, { 43, 38, 33, 28, 23 }, 6);
    Beat slap = GpBeat(4, { GpNote(5, 0) });
    slap.attack = Attack::Slap;
    bass.measures[0].voices[0] = { slap, GpBeat(4, { With(GpNote(4, 3), [](Note& n) { n.hammer = true; }) }),
        GpBeat(4, { GpNote(4, 5) }), GpBeat(4, { With(GpNote(3, 2), [](Note& n) { n.ghost = true; }) }) };
    bass.measures[1].voices[0] = { Triplet(8, { GpNote(3, 2) }),
        Triplet(8, { With(GpNote(3, 4), [](Note& n) { n.slideOut = SlideOut::Shift; }) }), Triplet(8, { GpNote(3, 7) }),
        GpBeat(4, { With(GpNote(2, 0), [](Note& n) { n.dead = true; }) }),
        GpBeat(2, { With(GpNote(1, 5), [](Note& n) { n.vibrato = true; }) }) };
    bass.measures[2].voices[0] = { GpBeat(4, { With(GpNote(1, 0), [](Note& n) { n.tie = true; }) }),
        GpBeat(4, { With(GpNote(1, 7), [](Note& n) { n.bendCents = 200; }) }),
        GpBeat(4, { With(GpNote(2, 12), [](Note& n) { n.harmonic = Harmonic::Natural; }) }), GpRest(4) };
    bass.measures[3].voices[0] = { GpBeat(2, { With(GpNote(4, 0), [](Note& n) { n.letRing = true; }) }),
        GpBeat(4, { With(GpNote(4, 0), [](Note& n) { n.palmMute = true; }) }),
        GpBeat(4, { With(GpNote(3, 2), [](Note& n) { n.staccato = true; }) }) };
    Beat pop = GpBeat(4, { With(GpNote(3, 5), [](Note& n) { n.accent = true; }) });
    pop.attack = Attack::Pop;
    Beat tap = GpBeat(4, { GpNote(2, 9) });
    tap.attack = Attack::Tap;
    bass.measures[4].voices[0] = { pop, tap, GpBeat(4, { With(GpNote(4, 5), [](Note& n) {
                                      n.slideIn = SlideIn::FromBelow;
                                      n.slideOut = SlideOut::Down;
                                  }) }) };
    Beat faded = GpBeat(4, { With(GpNote(4, 3), [](Note& n) { n.graceBefore = true; }) });
    faded.fadeIn = true;
    faded.chordDiagram = true;
    faded.text = QStringLiteral("fill");
    bass.measures[5].voices[0]
        = { GpBeat(4, { With(GpNote(4, 7), [](Note& n) { n.harmonic = Harmonic::Artificial; }) }),
              GpBeat(4,
                  { With(GpNote(4, 3),
                      [](Note& n) {
                          n.tremoloPicking = true;
                          n.trill = true;
                      }) }),
              faded };
    bass.measures[5].voices.append(QList<Beat> { GpBeat(2, { GpNote(1, 2) }), GpBeat(4, { GpNote(1, 4) }) });
    score.tracks = { Guitar(6), bass, Drums(6) };
    return score;
}

Score DropDSong()
{
    Score score;
    score.title = QStringLiteral("Drop");
    score.measures.resize(2);
    Track bass = GpTrack(QStringLiteral("Bass (pick)"), 34, { 43, 38, 33, 26 }, 2);
    bass.measures[0].voices[0] = { GpBeat(2, { GpNote(4, 0) }), GpBeat(4, { GpNote(4, 5) }),
        GpBeat(8, { With(GpNote(3, 7), [](Note& n) { n.hammer = true; }) }), GpBeat(8, { GpNote(3, 5) }) };
    bass.measures[0].voices[0][2].duration.dots = 1;
    bass.measures[0].voices[0][3].duration.value = 16;
    bass.measures[1].voices[0] = { GpBeat(2, { GpNote(4, 0) }), GpBeat(2, { GpNote(1, 21) }) };
    score.tracks = { Guitar(2), Drums(2), bass };
    return score;
}

Score CapoSong()
{
    Score score;
    score.measures.resize(1);
    Track bass = GpTrack(QStringLiteral("Bass"), 34, { 43, 38, 33, 28 }, 1);
    bass.capo = 2;
    Note tieFromNothing = GpNote(2, -9);
    tieFromNothing.tie = true;
    bass.measures[0].voices[0] = { GpBeat(4, { With(GpNote(1, 21), [](Note& n) { n.bendCents = 200; }) }),
        GpBeat(4, { GpNote(4, 0) }), GpBeat(4, { tieFromNothing }), GpRest(4) };
    score.tracks = { bass };
    return score;
}

Score SecondVoiceSong()
{
    Score score;
    score.measures.resize(2);
    Track bass = GpTrack(QStringLiteral("Bass"), 33, { 43, 38, 33, 28 }, 2);
    for (TrackMeasure& measure : bass.measures) {
        Beat empty = GpRest(1);
        empty.empty = true;
        measure.voices = { { empty }, { GpBeat(2, { GpNote(3, 3) }), GpBeat(2, { GpNote(4, 0) }) } };
    }
    score.tracks = { bass };
    return score;
}

} // namespace fw::test
