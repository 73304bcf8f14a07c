// Guitar Pro GP3, GP4 and GP5 files of our own making (tests/support/GuitarProWriter), read through
// the registered format as File > Import and the command line read them: whole songs, hostile files.
#include "Conversion.h"
#include "GuitarProConversion.h"
#include "GuitarProFile.h"
#include "GuitarProReading.h"
#include "GuitarProWriter.h"
#include "ListCheck.h"
#include "MeasureOrder.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fw;
using namespace fw::guitarpro;
using fw::test::GpBeat;
using fw::test::GpNote;
using fw::test::GpRest;
using fw::test::GpTrack;
using fw::test::OurReading;
using fw::test::WriteGuitarPro;

namespace {

// The score model's, not the chord list's.
using fw::guitarpro::Attack;
using fw::guitarpro::SlideIn;

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

// A drop-D four-string bass after a guitar and drums, up to fret 21 of its 24.
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
    bass.measures[1].voices[0] = { GpBeat(2, { GpNote(4, 0) }), GpBeat(2, { GpNote(1, 21) }) };
    score.tracks = { Guitar(2), Drums(2), bass };
    return score;
}

// A capo, a bend that reaches past the last fret, and a damaged tie.
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

// A bass written in the second voice, the first left empty.
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

struct Case {
    const char* name;
    Score score;
    int version;
    ConvertOptions options;
    // The tempo, the General MIDI sound and the lines (or "error: " and the error), "-- report" and
    // the report.
    QString expected;
};

QString Dump(const ReadResult& result)
{
    QStringList out;
    if (!result.error.isEmpty())
        out.append(QStringLiteral("error: ") + result.error);
    if (result.document) {
        out.append(
            QStringLiteral("tempo %1, sound %2").arg(result.document->header.Tempo).arg(result.document->header.Patch));
        out += result.document->lines;
    }
    out.append(QStringLiteral("-- report"));
    out += result.report;
    return out.join(u'\n');
}

TEST(GuitarProImport, WholeSongsOfEveryVersion)
{
    const QList<Case> cases = {
        { "gp5.10 five strings", FiveStringSong(), 510, {}, QString::fromUtf8(R"gp(tempo 96, sound 33
* Title: Café ’Bleu’
* Sub: Les Mêmes - Déjà vu
* Tuning: B E A D G
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
            QString::fromUtf8(R"gp(tempo 96, sound 33
* Title: Café ’Bleu’
* Sub: Les Mêmes - Déjà vu
* Tuning: B E A D G
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
* Repeat end x2

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
        { "gp4.06 five strings", FiveStringSong(), 406, {}, QString::fromUtf8(R"gp(tempo 96, sound 33
* Title: Café ’Bleu’
* Sub: Les Mêmes - Déjà vu
* Tuning: B E A D G
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
        { "gp3 five strings", FiveStringSong(), 300, {}, QString::fromUtf8(R"gp(tempo 96, sound 33
* Title: Café ’Bleu’
* Sub: Les Mêmes - Déjà vu
* Tuning: B E A D G
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
        { "gp5.00 capo", CapoSong(), 500, {}, QString::fromUtf8(R"gp(tempo 120, sound 34
* Frets: 24
F#/Gb, x, x, x, 23b25, Q
F#/Gb, 2, x, x, x, Q
Rest, x, x, x, x, Q
Rest, x, x, x, x, Q

-- report
Capo at fret 2: every fret written 2 higher.
1 tied notes dropped: no note before them to continue, and no fret of their own.)gp") },
        { "gp5.10 second voice", SecondVoiceSong(), 510, {}, QString::fromUtf8(R"gp(tempo 120, sound 33
C, x, 3, x, x, H
E, 0, x, x, x, H

C, x, 3, x, x, H
E, 0, x, x, x, H

-- report
Voice 2 read: the voices before it have no notes.)gp") },
        { "gp4.00 drop D", DropDSong(), 400, {}, QString::fromUtf8(R"gp(tempo 120, sound 34
* Title: Drop
* Tuning: D A D G
* Frets: 24
D, 0, x, x, x, H
G, 5, x, x, x, Q
E, x, 7, x, x, .E
D, x, 5, x, x, S

D, 0, x, x, x, H
E, x, x, x, 21, H

-- report
2 other tracks not read (only "Bass (pick)" was).)gp") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result
            = GuitarPro().read(WriteGuitarPro(c.score, c.version), QStringLiteral("song.gp5"), c.options);
        EXPECT_EQ(Dump(result), c.expected);
        // Every line is one the editor reads without complaint.
        for (const LineProblem& problem : CheckLines(result.document->lines, false))
            ADD_FAILURE() << qPrintable(problem.text);
    }
}

// The bytes with the first occurrence of `from` replaced by `to`.
QByteArray Patched(QByteArray bytes, const QByteArray& from, const QByteArray& to)
{
    const qsizetype at = bytes.indexOf(from);
    EXPECT_GE(at, 0);
    return bytes.replace(at, from.size(), to);
}

QByteArray Ints(std::initializer_list<qint32> values)
{
    QByteArray bytes;
    for (qint32 value : values) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(static_cast<char>((value >> shift) & 0xFF));
    }
    return bytes;
}

TEST(GuitarProImport, TracksListedAndChosen)
{
    const QByteArray song = WriteGuitarPro(FiveStringSong(), 510);
    QString error;
    const QList<ImportPart> parts = GuitarPro().listParts(song, error);
    ASSERT_EQ(parts.size(), 3) << qPrintable(error);
    QStringList shown;
    for (const ImportPart& part : parts)
        shown.append(QStringLiteral("%1 %2 | %3 | %4 strings | %5 | %6 notes | voices %7%8")
                         .arg(part.number)
                         .arg(part.name, part.instrument)
                         .arg(part.strings)
                         .arg(KeyRangeText(part.lowest, part.highest))
                         .arg(part.notes)
                         .arg(part.voices)
                         .arg(part.chosen ? QStringLiteral(" | chosen") : QString()));
    EXPECT_EQ(shown,
        QStringList({ QStringLiteral(
                          "1 Lead | Overdriven Guitar, tuned E A D G B E | 6 strings | C5-E5 | 12 notes | voices 1"),
            QStringLiteral(
                "2 Bass | Electric Bass (finger), tuned B E A D G | 5 strings | B0-D3 | 22 notes | voices 2 | chosen"),
            QStringLiteral("3 Drums | Percussion | 6 strings | - | 6 notes | voices 1") }));

    // --track reads another track, or says why it cannot.
    const struct {
        QByteArray file;
        ConvertOptions options;
        QString firstLine; // of the list, or the error
    } choices[] = {
        { song, { { QStringLiteral("track"), QStringLiteral("1") } },
            QStringLiteral("* Title: Caf\u00e9 \u2019Bleu\u2019") },
        { song, { { QStringLiteral("track"), QStringLiteral("3") } },
            QStringLiteral("Track 3 (\"Drums\") is a drum track: it has no strings and frets to read.") },
        { song, { { QStringLiteral("track"), QStringLiteral("4") } },
            QStringLiteral("The file has 3 tracks; there is no track 4.") },
        { song, { { QStringLiteral("voice"), QStringLiteral("3") } },
            QStringLiteral("Track 2 (\"Bass\") has no voice 3: it has 2.") },
    };
    for (const auto& choice : choices) {
        const ReadResult result = GuitarPro().read(choice.file, QStringLiteral("song.gp5"), choice.options);
        const QString first = result.document ? result.document->lines.value(0) : result.error;
        EXPECT_EQ(first, choice.firstLine);
    }
}

TEST(GuitarProImport, DamagedAndForeignFilesRefusedWhole)
{
    Score sevenStrings = DropDSong();
    sevenStrings.tracks = { GpTrack(QStringLiteral("ERB"), 33, { 48, 43, 38, 33, 28, 23, 18 }, 2) };
    Score eightStrings = DropDSong();
    eightStrings.tracks[2].tuning = { 48, 43, 38, 33, 28, 23, 18, 13 };
    Score longNeck = DropDSong();
    longNeck.tracks[2].frets = 31;
    const QByteArray song = WriteGuitarPro(DropDSong(), 500);
    const struct {
        const char* name;
        QByteArray file;
        QString error;
    } cases[] = {
        { "a web page", "<!DOCTYPE html><html><body>Not found</body></html>",
            QStringLiteral("This is not a Guitar Pro file: it does not begin as GP3, GP4 and GP5 files do.") },
        { "GPX", QByteArray("BCFZ") + QByteArray(40, '\x01'),
            QStringLiteral("Not a readable Guitar Pro 6 file: its compressed data refers back before its start.") },
        { "empty", QByteArray(),
            QStringLiteral("This is not a Guitar Pro file: it does not begin as GP3, GP4 and GP5 files do.") },
        { "millions of measures", Patched(song, Ints({ 2, 3 }), Ints({ 50'000'000, 3 })),
            QStringLiteral("The file claims 50000000 measures (a Guitar Pro file this program reads has 1 to 200000): "
                           "it is damaged.") },
        { "millions of tracks", Patched(song, Ints({ 2, 3 }), Ints({ 2, 4'000'000 })),
            QStringLiteral("The file claims 4000000 tracks (a Guitar Pro file this program reads has 1 to 1000): it "
                           "is damaged.") },
        { "more measures than bytes", Patched(song, Ints({ 2, 3 }), Ints({ 150'000, 3 })),
            QStringLiteral("The file claims 150000 measures (a Guitar Pro file this program reads has 1 to 200000): "
                           "it is damaged.") },
        { "eight strings", WriteGuitarPro(eightStrings, 406),
            QStringLiteral("The file claims 8 strings in track 3 (a Guitar Pro file this program reads has 1 to 7): it "
                           "is damaged.") },
        { "31 frets", WriteGuitarPro(longNeck, 300),
            QStringLiteral("Track 3 has 31 frets and a capo at fret 0 (a track this program reads has at most 30 "
                           "frets): the file is damaged.") },
        { "only a seven-string bass", WriteGuitarPro(sevenStrings, 510),
            QStringLiteral("No track of the file has 4 to 6 strings (drums aside): there is no bass part to read.") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result = GuitarPro().read(c.file, QStringLiteral("song.gp5"), {});
        EXPECT_FALSE(result.document.has_value());
        EXPECT_EQ(result.error, c.error);
    }

    // Cut short anywhere, a file of any version is refused, never read in part.
    for (int version : { 300, 400, 500, 510 }) {
        const QByteArray whole = WriteGuitarPro(FiveStringSong(), version);
        int refused = 0;
        for (qsizetype size = 0; size < whole.size(); ++size) {
            QString error;
            refused += !ReadGuitarProFile(whole.left(size), error).has_value() && !error.isEmpty();
        }
        EXPECT_EQ(refused, whole.size()) << version;
    }
}

// The same files read by alphaTab under Node, where the set-up script installed it into the build
// tree (or FW_ALPHATAB_DIR names a directory holding node_modules/@coderline/alphatab).
TEST(GuitarProImport, SecondReaderReadsTheSameBassTrack)
{
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    QString modules = qEnvironmentVariable("FW_ALPHATAB_DIR");
    if (modules.isEmpty())
        modules = QStringLiteral(FW_BINARY_DIR "/alphatab");
    if (node.isEmpty() || !QDir(modules + QStringLiteral("/node_modules/@coderline/alphatab")).exists())
        GTEST_SKIP() << "Node or the @coderline/alphatab package is not installed (scripts/setup.sh installs them)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        Score score;
        int version;
    } files[] = { { FiveStringSong(), 300 }, { FiveStringSong(), 406 }, { FiveStringSong(), 500 },
        { FiveStringSong(), 510 }, { DropDSong(), 400 } };
    for (const auto& file : files) {
        SCOPED_TRACE(file.version);
        const QString path = dir.filePath(QStringLiteral("song%1.gp").arg(file.version));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(WriteGuitarPro(file.score, file.version));
        out.close();
        QString error;
        const std::optional<Score> ours = ReadGuitarProFile(WriteGuitarPro(file.score, file.version), error);
        ASSERT_TRUE(ours.has_value()) << qPrintable(error);
        const int bass = ChooseBassTrack(*ours);
        QProcess second;
        second.start(node,
            { QStringLiteral(FW_SOURCE_DIR "/tests/convert/SecondReader.cjs"), modules, path, QString::number(bass) });
        ASSERT_TRUE(second.waitForFinished(60000));
        ASSERT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();
        const QStringList theirs = QString::fromUtf8(second.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(OurReading(ours->tracks[bass]), theirs);
    }
}

// Measures played out: "|:" opens a repeat, ":|3" ends one played 3 times, "[1,2]" makes an ending
// of the passes named. The order as measure numbers from 1, comments in brackets.
QString PlayedOut(const QStringList& marks, bool asWritten = false)
{
    QList<MeasureHeader> measures(marks.size());
    for (qsizetype m = 0; m < marks.size(); ++m) {
        const QString& mark = marks[m];
        measures[m].repeatOpen = mark.contains(QStringLiteral("|:"));
        const qsizetype end = mark.indexOf(QStringLiteral(":|"));
        if (end >= 0)
            measures[m].repeatPlays = mark.mid(end + 2, 1).toInt();
        const qsizetype ending = mark.indexOf(u'[');
        if (ending >= 0) {
            for (const QString& pass : mark.mid(ending + 1, mark.indexOf(u']') - ending - 1).split(u','))
                measures[m].alternateEndings |= 1u << (pass.toInt() - 1);
        }
    }
    QStringList shown;
    const std::optional<QList<PlayedMeasure>> order = MeasureOrder(measures, asWritten, 1000);
    for (const PlayedMeasure& played : order.value()) {
        for (const QString& line : played.before)
            shown.append(u'(' + line.mid(2) + u')');
        shown.append(QString::number(played.measure + 1));
        for (const QString& line : played.after)
            shown.append(u'(' + line.mid(2) + u')');
    }
    return shown.join(u' ');
}

TEST(GuitarProImport, RepeatsPlayedOutInTheOrderTheySound)
{
    const struct {
        QStringList marks;
        QString order;
    } cases[] = {
        // Three endings, the third after the last pass.
        { { "|:", "", "[1]:|3", "[2]:|3", "[3]", "" },
            "(Repeat 1 of 3) 1 2 (Ending 1) 3 (Repeat 2 of 3) 1 2 (Ending 2) 4 (Repeat 3 of 3) 1 2 (Ending 3) 5 6" },
        // An ending of two passes, two measures long.
        { { "|:", "[1,2]", "[1,2]:|3", "[3]" },
            "(Repeat 1 of 3) 1 (Ending 1) 2 3 (Repeat 2 of 3) 1 (Ending 1) 2 3 (Repeat 3 of 3) 1 (Ending 3) 4" },
        // A repeat without an open goes back to the start, or to the end of the repeat before.
        { { "", ":|2", "", ":|2" }, "(Repeat 1 of 2) 1 2 (Repeat 2 of 2) 1 2 (Repeat 1 of 2) 3 4 (Repeat 2 of 2) 3 4" },
        // A repeat opened and never closed is played once.
        { { "|:", "", "|:", ":|2" }, "1 2 (Repeat 1 of 2) 3 4 (Repeat 2 of 2) 3 4" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlayedOut(c.marks), c.order) << qPrintable(c.marks.join(u' '));
    EXPECT_EQ(PlayedOut({ "|:", "[1]:|2", "[2]" }, true), "(Repeat start) 1 (Ending 1) 2 (Repeat end x2) (Ending 2) 3");
}

} // namespace
