#include "Conversion.h"
#include "GpifWriter.h"
#include "GuitarProFile.h"
#include "GuitarProReading.h"
#include "GuitarProWriter.h"
#include "QtPrinters.h"
#include "ZipBytes.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

namespace fw::guitarpro {

// Failures print the note or beat in words rather than bytes.
void PrintTo(const Note& note, std::ostream* out)
{
    *out << "string " << note.string << " fret " << note.fret << (note.tie ? " tie" : "");
}
void PrintTo(const Beat& beat, std::ostream* out)
{
    *out << "1/" << beat.duration.value << " dots " << beat.duration.dots << " " << beat.duration.enters << ":"
         << beat.duration.times << (beat.rest ? " rest" : "") << " notes " << beat.notes.size();
}

} // namespace fw::guitarpro

namespace fw::test {

namespace {

    using namespace guitarpro;

    Beat Rest(int value, int dots = 0)
    {
        Beat beat = GpRest(value);
        beat.duration.dots = dots;
        return beat;
    }

    Beat Play(int value, QList<Note> notes, Attack attack = Attack::Normal)
    {
        Beat beat = GpBeat(value, std::move(notes));
        beat.attack = attack;
        return beat;
    }

    Note At(int string, int fret, const std::function<void(Note&)>& mark = {})
    {
        Note note = GpNote(string, fret);
        if (mark)
            mark(note);
        return note;
    }

    Track MakeTrack(const QString& name, int program, QList<int> tuning, QList<QList<QList<Beat>>> measures)
    {
        Track track;
        track.name = name;
        track.program = program;
        track.tuning = std::move(tuning);
        for (auto& voices : measures)
            track.measures.append(TrackMeasure { std::move(voices) });
        return track;
    }

    // A band song: a guitar, a five-string bass carrying every mark, a drop-D bass and drums, over
    // a repeat with two endings, a change to 3/4 and a change of tempo, with text beyond ASCII.
    Score BandSong()
    {
        Score score;
        score.title = QStringLiteral("Ça ira – Ölüdeniz");
        score.subtitle = QStringLiteral("Live");
        score.artist = QStringLiteral("Björk & Motörhead");
        score.album = QStringLiteral("日本 tour");
        score.tempo = 96;
        score.tempoChanges = { TempoChange { 2, 140 } };
        score.lyrics = 2;
        MeasureHeader intro;
        intro.repeatOpen = true;
        intro.marker = QStringLiteral("Intro");
        MeasureHeader first;
        first.alternateEndings = 1;
        first.repeatPlays = 2;
        MeasureHeader second;
        second.alternateEndings = 2;
        second.time = Meter { 3, 4 };
        MeasureHeader last;
        last.time = Meter { 3, 4 };
        score.measures = { intro, first, second, last };

        const QList<Note> chord = { At(5, 3), At(4, 2), At(3, 0) };
        Track guitar = MakeTrack(QStringLiteral("Guitar"), 29, { 64, 59, 55, 50, 45, 40 },
            { { { Play(1, chord) } }, { { Play(1, chord) } }, { { Play(2, chord, Attack::Normal), Rest(4) } },
                { { Rest(2, 1) } } });
        guitar.capo = 2;

        Beat triplet = Play(8, { At(5, 0) }, Attack::Slap);
        triplet.duration.enters = 3;
        triplet.duration.times = 2;
        Beat popped = triplet;
        popped.attack = Attack::Pop;
        popped.notes = { At(3, 2) };
        Beat tapped = triplet;
        tapped.attack = Attack::Tap;
        tapped.notes = { At(2, 14) };
        Beat grace = Play(8, { At(1, 4) });
        grace.grace = true;
        Beat diagram = Play(2, { At(2, 2) });
        diagram.duration.dots = 1;
        diagram.chordDiagram = true;
        diagram.text = QStringLiteral("rit.");
        Track bass = MakeTrack(QStringLiteral("Bass – 5 cordes"), 33, { 43, 38, 33, 28, 23 },
            {
                { { Play(4, { At(5, 0, [](Note& n) { n.hammer = true; }) }),
                    Play(4, { At(5, 2, [](Note& n) { n.ghost = true; }) }),
                    Play(4, { At(4, 3, [](Note& n) { n.slideOut = SlideOut::Shift; }) }),
                    Play(4, { At(4, 5, [](Note& n) { n.dead = true; }) }) } },
                { { triplet, popped, tapped,
                    Play(4,
                        { At(3, 12,
                            [](Note& n) {
                                n.harmonic = Harmonic::Natural;
                                n.vibrato = true;
                            }) }),
                    Play(2,
                        { At(4, 7,
                            [](Note& n) {
                                n.letRing = n.palmMute = n.staccato = n.accent = true;
                                n.slideIn = SlideIn::FromBelow;
                            }) }) } },
                { { Play(4, { At(4, 7, [](Note& n) { n.tie = true; }) }),
                    Play(4,
                        { At(3, 5,
                            [](Note& n) {
                                n.bendCents = 200;
                                n.bendRelease = true;
                                n.slideOut = SlideOut::Down;
                            }) }),
                    Rest(4) } },
                { { grace, diagram }, { Play(2, { At(1, 9) }), Rest(4) } },
            });
        Track dropD = MakeTrack(QStringLiteral("Drop D"), 34, { 43, 38, 33, 26 },
            { { { Play(1, { At(4, 0) }) } },
                { { Play(1, { At(4, 0, [](Note& n) { n.slideOut = SlideOut::Legato; }) }) } },
                { { Play(2, { At(4, 3, [](Note& n) { n.slideOut = SlideOut::Up; }) }, Attack::Normal), Rest(4) } },
                { { Play(2, { At(3, 5) }), Play(4, { At(3, 5, [](Note& n) { n.tie = true; }) }) } } });
        Track drums = MakeTrack(QStringLiteral("Drums"), 0, {},
            { { { Play(4, { At(1, 36) }), Play(4, { At(1, 36), At(1, 42) }), Rest(2) } }, { { Rest(1) } },
                { { Rest(2, 1) } }, { { Rest(2, 1) } } });
        drums.percussion = true;
        score.tracks = { guitar, bass, dropD, drums };
        return score;
    }

    void ExpectSameScore(const Score& read, const Score& expected)
    {
        EXPECT_EQ(read.title, expected.title);
        EXPECT_EQ(read.subtitle, expected.subtitle);
        EXPECT_EQ(read.artist, expected.artist);
        EXPECT_EQ(read.album, expected.album);
        EXPECT_EQ(read.tempo, expected.tempo);
        EXPECT_EQ(read.lyrics, expected.lyrics);
        ASSERT_EQ(read.tempoChanges.size(), expected.tempoChanges.size());
        for (qsizetype i = 0; i < read.tempoChanges.size(); ++i) {
            EXPECT_EQ(read.tempoChanges[i].measure, expected.tempoChanges[i].measure);
            EXPECT_EQ(read.tempoChanges[i].bpm, expected.tempoChanges[i].bpm);
        }
        EXPECT_EQ(read.measures, expected.measures);
        ASSERT_EQ(read.tracks.size(), expected.tracks.size());
        for (qsizetype t = 0; t < read.tracks.size(); ++t) {
            SCOPED_TRACE(expected.tracks[t].name.toStdString());
            const Track& got = read.tracks[t];
            const Track& want = expected.tracks[t];
            EXPECT_EQ(got.name, want.name);
            EXPECT_EQ(got.program, want.program);
            EXPECT_EQ(got.percussion, want.percussion);
            EXPECT_EQ(got.tuning, want.tuning);
            EXPECT_EQ(got.frets, want.frets);
            EXPECT_EQ(got.capo, want.capo);
            ASSERT_EQ(got.measures.size(), want.measures.size());
            for (qsizetype m = 0; m < got.measures.size(); ++m) {
                SCOPED_TRACE("measure " + std::to_string(m + 1));
                EXPECT_EQ(got.measures[m].voices, want.measures[m].voices);
            }
        }
    }

    enum class Container { Gpx, GpxUncompressed, Gp7 };

    QByteArray Pack(const QByteArray& gpif, Container container)
    {
        if (container == Container::Gp7)
            return Zip({ { "VERSION", "7.0" }, { "Content/score.gpif", gpif } });
        const QByteArray system = PackBcfs({ { "misc.xml", "<misc/>" }, { "score.gpif", gpif } });
        return container == Container::Gpx ? PackBcfz(system) : system;
    }

    std::optional<Score> Read(const QByteArray& bytes, QString& error) { return ReadGuitarProFile(bytes, error); }

    struct WholeFileCase {
        const char* name;
        // Changes the written score.gpif the way other files write it, and the score to expect.
        std::function<void(QByteArray& gpif)> editFile;
        std::function<void(Score& expected)> editExpected;
    };

} // namespace

// Whole files of every container and both dialects, read back into the score they were written from.
TEST(GpifImport, WholeFilesReadAsWritten)
{
    const QList<WholeFileCase> cases = {
        { "band song", {}, {} },
        { "a bar nobody wrote in is a voice without beats",
            [](QByteArray& gpif) {
                // The drums' last bar (the 16th) names no voice.
                QString text = QString::fromUtf8(gpif);
                text.replace(
                    QRegularExpression(QStringLiteral("(<Bar id=\"15\">\\s*<Clef>Neutral</Clef>\\s*<Voices>)\\d+")),
                    QStringLiteral("\\1-1"));
                gpif = text.toUtf8();
            },
            [](Score& expected) { expected.tracks[3].measures[3].voices = { {} }; } },
        { "a double whole is two tied wholes, a tempo in dotted quarters",
            [](QByteArray& gpif) {
                gpif.replace("<NoteValue>Whole</NoteValue>", "<NoteValue>DoubleWhole</NoteValue>");
                gpif.replace("<Value>96</Value>", "<Value>64 3</Value>");
                gpif.replace("<Value>96 2</Value>", "<Value>64 3</Value>");
            },
            [](Score& expected) {
                for (Track& track : expected.tracks) {
                    for (TrackMeasure& measure : track.measures) {
                        QList<Beat>& voice = measure.voices.first();
                        for (qsizetype b = 0; b < voice.size(); ++b) {
                            if (voice[b].duration.value != 1 || voice[b].duration.dots != 0)
                                continue;
                            Beat tied = voice[b];
                            for (Note& note : tied.notes)
                                note.tie = true;
                            voice.insert(++b, tied);
                        }
                    }
                }
            } },
    };
    for (const Container container : { Container::Gpx, Container::GpxUncompressed, Container::Gp7 }) {
        for (const WholeFileCase& wholeCase : cases) {
            SCOPED_TRACE(std::string(wholeCase.name) + (container == Container::Gp7 ? " (.gp)" : " (.gpx)"));
            const Score song = BandSong();
            QByteArray gpif = WriteGpif(song, container == Container::Gp7 ? GpifDialect::Gp7 : GpifDialect::Gp6);
            if (wholeCase.editFile)
                wholeCase.editFile(gpif);
            Score expected = song;
            if (wholeCase.editExpected)
                wholeCase.editExpected(expected);
            QString error;
            const std::optional<Score> read = Read(Pack(gpif, container), error);
            ASSERT_TRUE(read) << error.toStdString();
            EXPECT_EQ(read->version, container == Container::Gp7 ? "Guitar Pro 7 or 8" : "Guitar Pro 6");
            ExpectSameScore(*read, expected);
        }
    }
}

namespace {

    QByteArray Int32(qint32 value)
    {
        QByteArray bytes(4, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    }

} // namespace

// Files that are not Guitar Pro 6-8 files, are damaged, protected or absurd are refused with a
// message that says why; none crashes, hangs or is half read.
TEST(GpifImport, HostileFilesAreRefusedWithAClearMessage)
{
    const QByteArray gpif = WriteGpif(BandSong(), GpifDialect::Gp6);
    const QByteArray gpx = PackBcfz(PackBcfs({ { "score.gpif", gpif } }));
    const auto edited = [&gpif](const char* from, const QByteArray& to) {
        QByteArray copy = gpif;
        return copy.replace(from, to);
    };
    QByteArray manyBars = "<GPIF><MasterBars>";
    for (int i = 0; i <= MaxMeasures; ++i)
        manyBars += "<MasterBar><Time>4/4</Time></MasterBar>";
    manyBars += "</MasterBars></GPIF>";
    QByteArray deep = "<GPIF>";
    for (int i = 0; i < 10000; ++i)
        deep += "<a>";
    // A voice of one bar listed 4000 times, in 2000 bars of 2 tracks: 16 million beats from a small file.
    QString voice;
    for (int i = 0; i < 4000; ++i)
        voice += QStringLiteral("0 ");
    QByteArray shared = "<GPIF><Tracks><Track id=\"0\"/><Track id=\"1\"/></Tracks><MasterBars>";
    for (int i = 0; i < 2000; ++i)
        shared += "<MasterBar><Time>4/4</Time><Bars>0 0</Bars></MasterBar>";
    shared += "</MasterBars><Bars><Bar id=\"0\"><Voices>0</Voices></Bar></Bars><Voices><Voice id=\"0\"><Beats>"
        + voice.toUtf8()
        + "</Beats></Voice></Voices><Beats><Beat id=\"0\"><Rhythm ref=\"0\"/></Beat></Beats><Rhythms><Rhythm "
          "id=\"0\"><NoteValue>Quarter</NoteValue></Rhythm></Rhythms></GPIF>";
    QByteArray backwards = gpx;
    backwards[8] = static_cast<char>(0x80 | 0x08); // a copy from before the start
    const QByteArray ciphered = QByteArray(64, '\x9c') + gpif;

    const QList<std::tuple<const char*, QByteArray, const char*>> cases = {
        { "a web page named .gpx", "<html><body>Not found</body></html>", "not a Guitar Pro file" },
        { "a compressed file system of no name", "BCFZ" + Int32(10) + QByteArray(8, '\0'), "no file system" },
        { "a web page named .gp", Zip({ { "index.html", "<html/>" } }), "holds no \"Content/score.gpif\"" },
        { "cut short", gpx.left(gpx.size() / 2), "it is cut short" },
        { "only its header", "BCFZ", "ends inside its header" },
        { "unpacks beyond 256 MB", "BCFZ" + Int32(300 << 20) + gpx.mid(8), "more than the 268435456 allowed" },
        { "copies from before its start", backwards, "refers back before its start" },
        { "sectors beyond its end", PackBcfs({ { "score.gpif", gpif } }).replace(4 + 0x1000 + 0x94, 4, Int32(999)),
            "sectors beyond its end" },
        { "protected .gp", Zip({ { "Content/score.gpif", ciphered } }), "is protected" },
        { "protected .gpx", PackBcfs({ { "score.gpif", ciphered } }), "is protected" },
        { "an entry named outside the file", Zip({ { "../../.bashrc", "x" }, { "Content/score.gpif", gpif } }),
            "named outside the file" },
        { "not XML", Zip({ { "Content/score.gpif", "<GPIF><Score>" } }), "Not a Guitar Pro 7 or 8 file" },
        { "elements nested without end", Zip({ { "Content/score.gpif", deep } }), "nest deeper" },
        { "too many bars", Zip({ { "Content/score.gpif", manyBars } }), "more than 200000 bars" },
        { "bars shared into millions of beats", Zip({ { "Content/score.gpif", shared } }), "more than 4000000 beats" },
        { "thirteen strings",
            Zip({ { "Content/score.gpif", edited("40 45 50 55 59 64", "1 2 3 4 5 6 7 8 9 10 11 12 13") } }),
            "more than 12 strings" },
        { "fret 31", Zip({ { "Content/score.gpif", edited("<Fret>14</Fret>", "<Fret>31</Fret>") } }),
            "fret 31, beyond 30" },
        { "fret -5", Zip({ { "Content/score.gpif", edited("<Fret>14</Fret>", "<Fret>-5</Fret>") } }),
            "below its open string (fret -5)" },
        { "a note on a string the track lacks",
            Zip({ { "Content/score.gpif", edited("<String>0</String>", "<String>9</String>") } }), "string 10 of" },
        { "a beat without a note value", Zip({ { "Content/score.gpif", edited("<Rhythm ref=\"0\"/>", "") } }),
            "no note value" },
        { "a voice that names no beat", Zip({ { "Content/score.gpif", edited("<Beats>0<", "<Beats>99999<") } }),
            "refers to no beat" },
        { "an unknown note value", Zip({ { "Content/score.gpif", edited(">Quarter<", ">Crotchet<") } }),
            "note value is none" },
        { "a time signature of 4/5", Zip({ { "Content/score.gpif", edited("<Time>4/4</Time>", "<Time>4/5</Time>") } }),
            "no time signature" },
    };
    for (const auto& [name, bytes, message] : cases) {
        SCOPED_TRACE(name);
        QString error;
        const std::optional<Score> score = Read(bytes, error);
        EXPECT_FALSE(score);
        EXPECT_TRUE(error.contains(QString::fromUtf8(message))) << error.toStdString();
    }
}

// The same song as a GP5 file and as Guitar Pro 6 and 7 files becomes the same chord list, played
// out and as written, with the same report, through the registered format as File > Import and the
// command line read it. A song of guitars alone opens at its lowest-tuned track of 4 to 6 strings, and
// its seven-string guitar is listed but refused when asked for, the same in every version.
TEST(GpifImport, SameChordListAsTheSongInGp5)
{
    Score song = BandSong();
    // A GP5 grace note belongs to the note after it, a Guitar Pro 6 one is a beat of its own: both are
    // dropped, but GP5 can only hold the one the writer makes of a beat.
    song.tracks[1].measures[3].voices[0].removeFirst();
    song.tracks[1].measures[3].voices[0].first().duration = NoteValue { 2, 1, 1, 1 };
    // GP5 gives drums strings, one note each; Guitar Pro 6 and 7 none.
    song.tracks[3].tuning = { 0, 0, 0, 0, 0, 0 };
    song.tracks[3].measures[0].voices[0][1].notes[1].string = 2;
    Score guitars = song;
    Track sevenStrings = guitars.tracks[0];
    sevenStrings.name = QStringLiteral("Seven");
    sevenStrings.tuning.append(35);
    guitars.tracks = { sevenStrings, song.tracks[0] };
    const ConvertOptions played;
    const ConvertOptions asWritten { { QStringLiteral("as-written"), QString() } };
    const auto track = [](int number) {
        return ConvertOptions { { QStringLiteral("track"), QString::number(number) } };
    };
    const QList<std::tuple<const char*, Score, ConvertOptions, QString>> cases = {
        { "band song", song, played, QString() },
        { "band song as written", song, asWritten, QString() },
        { "band song, drop-D track", song, track(3), QString() },
        { "guitars", guitars, played,
            QStringLiteral("No track sounds like a bass: read track 2 (\"Guitar\"), the one tuned lowest.") },
        { "guitars, the seven strings asked for", guitars, track(1),
            QStringLiteral("Track 1 (\"Seven\") has 7 strings; a chord list holds 4 to 6.") },
    };
    const ReaderFormat* format = Formats().readerFor(QStringLiteral("song.gp"));
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format, Formats().readerFor(QStringLiteral("song.gpx")));
    EXPECT_EQ(format, Formats().readerFor(QStringLiteral("song.gp5")));
    for (const auto& [name, score, options, message] : cases) {
        SCOPED_TRACE(name);
        const ReadResult gp5 = format->read(WriteGuitarPro(score, 510), QStringLiteral("song.gp5"), options);
        if (gp5.document) {
            ASSERT_GT(gp5.document->lines.size(), 10);
        }
        EXPECT_TRUE(message.isEmpty() || gp5.report.contains(message) || gp5.error.contains(message))
            << gp5.error.toStdString();
        for (const Container container : { Container::Gpx, Container::Gp7 }) {
            const QByteArray bytes
                = Pack(WriteGpif(score, container == Container::Gp7 ? GpifDialect::Gp7 : GpifDialect::Gp6), container);
            const ReadResult read = format->read(bytes, QStringLiteral("song.gp"), options);
            ASSERT_EQ(bool(read.document), bool(gp5.document)) << read.error.toStdString();
            EXPECT_EQ(read.error, gp5.error);
            EXPECT_EQ(read.report, gp5.report);
            if (!read.document)
                continue;
            EXPECT_EQ(read.document->lines, gp5.document->lines);
            EXPECT_EQ(read.document->header.Tempo, gp5.document->header.Tempo);
        }
    }
}

// A second reader (alphaTab under Node, where the set-up script installed it into the build tree,
// or FW_ALPHATAB_DIR names a directory holding node_modules/@coderline/alphatab) hears the same
// strings, frets, onsets and marks in the bass tracks of our files.
TEST(GpifImport, SecondReaderHearsTheSameBassTracks)
{
    const QString modules = SecondReaderModules();
    if (modules.isEmpty())
        GTEST_SKIP() << "Node or the @coderline/alphatab package is not installed (scripts/setup.sh installs them)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Score song = BandSong();
    for (const Container container : { Container::Gpx, Container::Gp7 }) {
        const QString path
            = dir.filePath(container == Container::Gp7 ? QStringLiteral("song.gp") : QStringLiteral("song.gpx"));
        const QByteArray bytes
            = Pack(WriteGpif(song, container == Container::Gp7 ? GpifDialect::Gp7 : GpifDialect::Gp6), container);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QString error;
        const std::optional<Score> ours = ReadGuitarProFile(bytes, error);
        ASSERT_TRUE(ours) << error.toStdString();
        for (const int track : { 1, 2 }) {
            SCOPED_TRACE(path.toStdString() + " track " + std::to_string(track + 1));
            const std::optional<QStringList> theirs = SecondReading(modules, path, track, error);
            ASSERT_TRUE(theirs.has_value()) << error.toStdString();
            EXPECT_EQ(OurReading(ours->tracks[track]), *theirs);
        }
    }
}

} // namespace fw::test
