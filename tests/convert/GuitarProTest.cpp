// Guitar Pro GP3, GP4 and GP5 files of our own making (tests/support/GuitarProWriter), read through
// the registered format as File > Import and the command line read them: whole songs, hostile files.
#include "Conversion.h"
#include "GuitarProFile.h"
#include "GuitarProWriter.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace fw;
using namespace fw::guitarpro;
using fw::test::GpBeat;
using fw::test::GpNote;
using fw::test::GpRest;
using fw::test::GpTrack;
using fw::test::WriteGuitarPro;

namespace {

const ReaderFormat& GuitarPro()
{
    const ReaderFormat* format = Formats().readerFor(QStringLiteral("song.gp5"));
    EXPECT_NE(format, nullptr);
    return *format;
}

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

// A five-string bass song: every mark, a triplet, a tie across a bar line, a repeat with two
// endings, a change of time signature and tempo, a second voice, and the things left out.
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

// A drop-D four-string bass after a guitar, with nothing special: the plain case of every version.
Score DropDSong()
{
    Score score;
    score.title = QStringLiteral("Drop");
    score.measures.resize(2);
    Track bass = GpTrack(QStringLiteral("Bass (pick)"), 34, { 43, 38, 33, 26 }, 2);
    bass.measures[0].voices[0] = { GpBeat(2, { GpNote(4, 0) }), GpBeat(4, { GpNote(4, 5) }),
        GpBeat(8, { GpNote(3, 7) }), GpBeat(8, { GpNote(3, 5) }) };
    bass.measures[0].voices[0][2].duration.dots = 1;
    bass.measures[0].voices[0][3].duration.value = 16;
    bass.measures[1].voices[0] = { GpBeat(1, { GpNote(4, 0) }) };
    score.tracks = { Guitar(2), Drums(2), bass };
    return score;
}

struct Case {
    const char* name;
    Score score;
    int version;
    ConvertOptions options;
    // The lines (or "error: " and the error), "-- report" and the report.
    QString expected;
};

QString Dump(const ReadResult& result)
{
    QStringList out;
    if (!result.error.isEmpty())
        out.append(QStringLiteral("error: ") + result.error);
    if (result.document)
        out += result.document->lines;
    out.append(QStringLiteral("-- report"));
    out += result.report;
    return out.join(u'\n');
}

TEST(GuitarProImport, WholeSongsOfEveryVersion)
{
    const QList<Case> cases = {
        { "gp5.10 five strings", FiveStringSong(), 510, {}, QString::fromUtf8(R"gp(* Title: Café ’Bleu’
* Sub: Les Mêmes - Déjà vu
* Tuning: B E A D G
* Frets: 24
* Section: Intro
* Repeat 1 of 2
B, 0, x, x, x, x, Q, slap
G, x, 3h, x, x, x, Q
A, x, 5, x, x, x, Q
B, x, x, (2), x, x, Q

B, x, x, 2, x, x, /Q
C#/Db, x, x, 4/, x, x, /Q
E, x, x, 7, x, x, /Q
x, x, x, x, 0m, x, Q
C, x, x, x, x, 5~_, H

* Ending 1
C, x, x, x, x, 5, Q
D, x, x, x, x, 7b9, Q
D, x, x, x, <12>, x, Q
Rest, x, x, x, x, x, Q

* Section: Intro
* Repeat 2 of 2
B, 0, x, x, x, x, Q, slap
G, x, 3h, x, x, x, Q
A, x, 5, x, x, x, Q
B, x, x, (2), x, x, Q

B, x, x, 2, x, x, /Q
C#/Db, x, x, 4/, x, x, /Q
E, x, x, 7, x, x, /Q
x, x, x, x, 0m, x, Q
C, x, x, x, x, 5~, H

* Ending 2
E, x, 0, x, x, x, H, lr
E, x, 0, x, x, x, Q, pm
B, x, x, 2, x, x, Q, staccato

* Time: 3/4
D, x, x, 5, x, x, Q, pop accent
B, x, x, x, 9, x, Q, tap
A, x, /5, x, x, x, Q

B, x, 7, x, x, x, Q
G, x, 3, x, x, x, Q
* Text: fill
G, x, 3, x, x, x, Q

-- report
2 other tracks not read (only "Bass" was).
1 tempo changes not kept (the list plays at 96 throughout): 120 at measure 5.
2 notes of other voices dropped (voice 1 was read).
1 grace notes dropped.
1 lyrics lines dropped.
1 chord diagrams dropped.
1 artificial, tapped, pinch and semi harmonics written as plain notes.
1 trills dropped.
1 tremolo-picked notes written as single notes.
1 fade-ins dropped.
1 hammer-ons, pull-offs, slides and ties dropped: no next note on their string that they can join.)gp") },
        { "gp5.00 five strings as written", FiveStringSong(), 500, { { QStringLiteral("as-written"), QString() } },
            QString::fromUtf8(R"gp(* Title: Café ’Bleu’
* Sub: Les Mêmes - Déjà vu
* Tuning: B E A D G
* Frets: 24
* Section: Intro
* Repeat start
B, 0, x, x, x, x, Q, slap
G, x, 3h, x, x, x, Q
A, x, 5, x, x, x, Q
B, x, x, (2), x, x, Q

B, x, x, 2, x, x, /Q
C#/Db, x, x, 4/, x, x, /Q
E, x, x, 7, x, x, /Q
x, x, x, x, 0m, x, Q
C, x, x, x, x, 5~_, H

* Ending 1
C, x, x, x, x, 5, Q
D, x, x, x, x, 7b9, Q
D, x, x, x, <12>, x, Q
Rest, x, x, x, x, x, Q
* Repeat end: 2 times

* Ending 2
E, x, 0, x, x, x, H, lr
E, x, 0, x, x, x, Q, pm
B, x, x, 2, x, x, Q, staccato

* Time: 3/4
D, x, x, 5, x, x, Q, pop accent
B, x, x, x, 9, x, Q, tap
A, x, /5, x, x, x, Q

B, x, 7, x, x, x, Q
G, x, 3, x, x, x, Q
* Text: fill
G, x, 3, x, x, x, Q

-- report
2 other tracks not read (only "Bass" was).
1 tempo changes not kept (the list plays at 96 throughout): 120 at measure 5.
2 notes of other voices dropped (voice 1 was read).
1 grace notes dropped.
1 lyrics lines dropped.
1 chord diagrams dropped.
1 artificial, tapped, pinch and semi harmonics written as plain notes.
1 trills dropped.
1 tremolo-picked notes written as single notes.
1 fade-ins dropped.
1 hammer-ons, pull-offs, slides and ties dropped: no next note on their string that they can join.)gp") },
        { "gp4.06 five strings", FiveStringSong(), 406, {}, QString::fromUtf8(R"gp(* Title: Café ’Bleu’
* Sub: Les Mêmes - Déjà vu
* Tuning: B E A D G
* Frets: 24
* Section: Intro
* Repeat 1 of 2
B, 0, x, x, x, x, Q, slap
G, x, 3h, x, x, x, Q
A, x, 5, x, x, x, Q
B, x, x, (2), x, x, Q

B, x, x, 2, x, x, /Q
C#/Db, x, x, 4/, x, x, /Q
E, x, x, 7, x, x, /Q
x, x, x, x, 0m, x, Q
C, x, x, x, x, 5~_, H

* Ending 1
C, x, x, x, x, 5, Q
D, x, x, x, x, 7b9, Q
D, x, x, x, <12>, x, Q
Rest, x, x, x, x, x, Q

* Section: Intro
* Repeat 2 of 2
B, 0, x, x, x, x, Q, slap
G, x, 3h, x, x, x, Q
A, x, 5, x, x, x, Q
B, x, x, (2), x, x, Q

B, x, x, 2, x, x, /Q
C#/Db, x, x, 4/, x, x, /Q
E, x, x, 7, x, x, /Q
x, x, x, x, 0m, x, Q
C, x, x, x, x, 5~, H

* Ending 2
E, x, 0, x, x, x, H, lr
E, x, 0, x, x, x, Q, pm
B, x, x, 2, x, x, Q, staccato

* Time: 3/4
D, x, x, 5, x, x, Q, pop accent
B, x, x, x, 9, x, Q, tap
A, x, 5, x, x, x, Q

B, x, 7, x, x, x, Q
G, x, 3, x, x, x, Q
* Text: fill
G, x, 3, x, x, x, Q

-- report
2 other tracks not read (only "Bass" was).
1 tempo changes not kept (the list plays at 96 throughout): 120 at measure 5.
1 grace notes dropped.
1 lyrics lines dropped.
1 chord diagrams dropped.
1 artificial, tapped, pinch and semi harmonics written as plain notes.
1 trills dropped.
1 tremolo-picked notes written as single notes.
1 fade-ins dropped.
1 hammer-ons, pull-offs, slides and ties dropped: no next note on their string that they can join.)gp") },
        { "gp3 five strings", FiveStringSong(), 300, {}, QString::fromUtf8(R"gp(* Title: Café ’Bleu’
* Sub: Les Mêmes - Déjà vu
* Tuning: B E A D G
* Frets: 24
* Section: Intro
* Repeat 1 of 2
B, 0, x, x, x, x, Q, slap
G, x, 3h, x, x, x, Q
A, x, 5, x, x, x, Q
B, x, x, (2), x, x, Q

B, x, x, 2, x, x, /Q
C#/Db, x, x, 4/, x, x, /Q
E, x, x, 7, x, x, /Q
x, x, x, x, 0m, x, Q
C, x, x, x, x, 5~_, H

* Ending 1
C, x, x, x, x, 5, Q
D, x, x, x, x, 7b9, Q
D, x, x, x, <12>, x, Q
Rest, x, x, x, x, x, Q

* Section: Intro
* Repeat 2 of 2
B, 0, x, x, x, x, Q, slap
G, x, 3h, x, x, x, Q
A, x, 5, x, x, x, Q
B, x, x, (2), x, x, Q

B, x, x, 2, x, x, /Q
C#/Db, x, x, 4/, x, x, /Q
E, x, x, 7, x, x, /Q
x, x, x, x, 0m, x, Q
C, x, x, x, x, 5~, H

* Ending 2
E, x, 0, x, x, x, H, lr
E, x, 0, x, x, x, Q
B, x, x, 2, x, x, Q

* Time: 3/4
D, x, x, 5, x, x, Q, pop
B, x, x, x, 9, x, Q, tap
A, x, 5/, x, x, x, Q

B, x, 7, x, x, x, Q
G, x, 3, x, x, x, Q
* Text: fill
G, x, 3, x, x, x, Q

-- report
2 other tracks not read (only "Bass" was).
1 tempo changes not kept (the list plays at 96 throughout): 120 at measure 5.
1 grace notes dropped.
1 chord diagrams dropped.
1 fade-ins dropped.)gp") },
        { "gp4.00 drop D", DropDSong(), 400, {}, QString::fromUtf8(R"gp(* Title: Drop
* Tuning: D A D G
* Frets: 24
D, 0, x, x, x, H
G, 5, x, x, x, Q
E, x, 7, x, x, .E
D, x, 5, x, x, S

D, 0, x, x, x, W

-- report
2 other tracks not read (only "Bass (pick)" was).)gp") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result
            = GuitarPro().read(WriteGuitarPro(c.score, c.version), QStringLiteral("song.gp5"), c.options);
        EXPECT_EQ(Dump(result), c.expected);
    }
}

} // namespace
