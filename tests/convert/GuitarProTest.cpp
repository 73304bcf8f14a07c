// Guitar Pro GP3, GP4 and GP5 files of our own making (tests/support/GuitarProWriter), read through
// the registered format as File > Import and the command line read them: whole songs and their tracks.
#include "Conversion.h"
#include "GuitarProSongs.h"
#include "GuitarProWriter.h"
#include "ListCheck.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace fw;
using namespace fw::guitarpro;
using namespace fw::test;

namespace {

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
E, x, 7p, x, x, .E
D, x, 5, x, x, S

D, 0, x, x, x, H
E, x, x, x, 21, H

-- report
2 other tracks not read (only "Bass (pick)" was).)gp") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result
            = GuitarProReader().read(WriteGuitarPro(c.score, c.version), QStringLiteral("song.gp5"), c.options);
        EXPECT_EQ(Dump(result), c.expected);
        // Every line is one the editor reads without complaint.
        for (const LineProblem& problem : CheckLines(result.document->lines, false))
            ADD_FAILURE() << qPrintable(problem.text);
    }
}

// The bytes with the first occurrence of `from` replaced by `to`.

TEST(GuitarProImport, TracksListedAndChosen)
{
    const QByteArray song = WriteGuitarPro(FiveStringSong(), 510);
    QString error;
    const QList<ImportPart> parts = GuitarProReader().listParts(song, error);
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
        const ReadResult result = GuitarProReader().read(choice.file, QStringLiteral("song.gp5"), choice.options);
        const QString first = result.document ? result.document->lines.value(0) : result.error;
        EXPECT_EQ(first, choice.firstLine);
    }
}

} // namespace
