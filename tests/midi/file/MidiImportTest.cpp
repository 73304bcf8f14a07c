#include "MidiImport.h"
#include "DocumentText.h"
#include "LineParser.h"
#include "MidiFileWriter.h"
#include "MidiTestSupport.h"
#include "Refinger.h"
#include "TestFiles.h"

#include <QFile>
#include <random>

namespace fw {
namespace {

    using test::Be;

    // What a note entry means, whatever strings and names were chosen: sorted pitches and ticks.
    struct Meaning {
        std::vector<int> pitches;
        int ticks = 0;
        friend bool operator==(const Meaning&, const Meaning&) = default;
    };

    std::string Show(const std::vector<Meaning>& meanings)
    {
        std::string text;
        for (const Meaning& meaning : meanings) {
            for (int pitch : meaning.pitches)
                text += std::to_string(pitch) + "+";
            text += std::to_string(meaning.ticks) + " ";
        }
        return text;
    }

    Meaning MeaningOf(const ChordDef& def, const Tuning& tuning)
    {
        Meaning meaning { EventNotes(def, tuning), DurationValue(def.Duration, MidiWholeNoteTicks) };
        std::sort(meaning.pitches.begin(), meaning.pitches.end());
        return meaning;
    }

    // The note entries of imported lines, read on their own tuning line.
    std::vector<Meaning> ImportedMeanings(const QStringList& lines)
    {
        const Tuning tuning = TuningOfLines(lines);
        std::vector<Meaning> meanings;
        for (int i = 0; i < lines.size(); ++i) {
            ChordDef def;
            const QString error = ParseLineText(lines[i], i, def, tuning).errorText;
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
            if (IsNoteEntry(def))
                meanings.push_back(MeaningOf(def, tuning));
        }
        return meanings;
    }

    // A random list on a tuning: chords of distinct strings, rests, every written length. The writer
    // takes up to four notes from slots 3..6, so five-string pitches ride in those slots.
    ParsedLineList RandomList(std::mt19937& random, const Tuning& tuning, int entries, std::vector<Meaning>& meanings)
    {
        static const char* durations[] = { "W", ".W", "/W", "H", ".H", "/H", "Q", ".Q", "/Q", "E", ".E", "/E", "S",
            ".S", "/S", "T", ".T", "/T", "F", ".F", "/F" };
        ParsedLineList list;
        for (int i = 0; i < entries; ++i) {
            ChordDef def;
            def.Name = QStringLiteral("N");
            def.Duration = QString::fromLatin1(durations[random() % 21]);
            const int notes = random() % 5 == 0 ? 0 : 1 + static_cast<int>(random() % 3) / 2 * (1 + random() % 3);
            std::vector<int> strings(tuning.stringCount());
            std::iota(strings.begin(), strings.end(), 0);
            std::shuffle(strings.begin(), strings.end(), random);
            std::vector<int> pitches;
            for (int n = 0; n < notes && n < 4; ++n)
                pitches.push_back(tuning.openNotes()[strings[n]] + static_cast<int>(random() % (FretCount + 1)));
            for (size_t n = 0; n < pitches.size(); ++n)
                def.Notes[3 + n] = static_cast<unsigned char>(pitches[n]);
            def.DurationValue = DurationValue(def.Duration, MidiWholeNoteTicks);
            std::sort(pitches.begin(), pitches.end());
            meanings.push_back({ pitches, def.DurationValue });
            list.append(def);
            if (random() % 7 == 0) {
                ChordDef blank; // a bar line of the list
                blank.Name = QStringLiteral(" ");
                list.append(blank);
            }
        }
        return list;
    }

    TEST(MidiImportTest, ExportedListsComeBackEntryByEntry)
    {
        std::mt19937 random(14);
        const Tuning tunings[] = { Tuning(), ParseTuningNames(QStringLiteral("B E A D G")).tuning,
            ParseTuningNames(QStringLiteral("D A D G")).tuning };
        for (const Tuning& tuning : tunings) {
            for (int round = 0; round < 40; ++round) {
                std::vector<Meaning> written;
                const ParsedLineList list = RandomList(random, tuning, 1 + round * 3, written);
                // Tempos 1 to 3 do not fit the file's 24-bit tempo; from 4 up each comes back exactly.
                const int tempo = 4 + static_cast<int>(random() % 497);
                const int patch = 32 + static_cast<int>(random() % 8);
                const MidiImportResult imported
                    = ImportMidiChordList(BuildMidiFile(list, tempo, patch), { std::nullopt, std::nullopt, tuning });
                ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
                EXPECT_EQ(Show(ImportedMeanings(imported.lines)), Show(written)) << tuning.namesText().toStdString();
                LoadedDocument document = ParseDocumentBytes(EncodeDocumentText(JoinDocumentLines(imported.lines)));
                EXPECT_EQ(document.header.Patch, patch);
                EXPECT_EQ(document.header.Tempo, tempo);
            }
        }
        auto roundTrip = [](const QStringList& lines, const DocumentHeader& header, const char* name) {
            const ParsedLineList parsed = test::ParseForMidi(lines);
            std::vector<Meaning> written;
            for (const ChordDef& def : parsed) {
                if (IsNoteEntry(def))
                    written.push_back(MeaningOf(def, Tuning()));
            }
            const MidiImportResult imported
                = ImportMidiChordList(BuildMidiFile(parsed, header.Tempo, header.Patch), {});
            EXPECT_EQ(Show(ImportedMeanings(imported.lines)), Show(written)) << name;
            EXPECT_EQ(imported.lines.mid(0, 4), HeaderLines(header).mid(0, 4)) << name;
        };
        for (const char* name : { "walking-in-g.bss", "twelve-bar-blues.bss", "sixteenth-street-funk.bss" }) {
            const LoadedDocument example
                = ParseDocumentBytes(test::ReadFileBytes(QStringLiteral(FW_SOURCE_DIR "/examples/") + name));
            roundTrip(example.lines, example.header, name);
        }
        // A marked list sounds over several channels (slap, pop, the A string's own for its
        // hammer-on): the import takes them all as the one part they are.
        roundTrip({ "E, 0, x, x, x, Q, slap", "A, x, 0h, x, x, Q", "B, x, 2, x, x, Q", "D, x, x, 0, x, Q, pop",
                      "G, 3, x, x, x, Q" },
            DocumentHeader {}, "marked");
    }

    // Builders for files written by hand: a header and tracks of raw event bytes.
    QByteArray Header(int format, int tracks, int division)
    {
        return QByteArray("MThd") + Be(6, 4) + Be(format, 2) + Be(tracks, 2) + Be(division, 2);
    }
    QByteArray Track(const QByteArray& events) { return QByteArray("MTrk") + Be(events.size(), 4) + events; }
    QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }
    const QByteArray End = Hex("00ff2f00");

    struct HostileCase {
        const char* what;
        QByteArray bytes;
        const char* error;
    };

    TEST(MidiImportTest, HostileFilesGiveAClearMessage)
    {
        const QByteArray note = Hex("00903c40 6080 3c00"); // a quarter note at division 96, running status
        const QByteArray good = Header(0, 1, 96) + Track(note + End);
        const HostileCase cases[] = {
            { "empty", QByteArray(), "Not a Standard MIDI file: it does not start with an \"MThd\" header." },
            { "text", QByteArray("G, 3, x, x, x, Q\r\n"), "Not a Standard MIDI file" },
            { "header cut short", good.left(11),
                "The MIDI file header is cut short or damaged (its length says 6 bytes)." },
            { "header length beyond the file", QByteArray("MThd") + Be(0x7FFFFFF0, 4) + Be(0, 6),
                "The MIDI file header is cut short or damaged (its length says 2147483632 bytes)." },
            { "format 2", Header(2, 1, 96) + Track(note + End),
                "The MIDI file has format 2; only formats 0 and 1 can be imported." },
            { "zero division", Header(0, 1, 0) + Track(note + End),
                "The MIDI file header gives a time division of 0 ticks per quarter note." },
            { "SMPTE division", Header(0, 1, 0xE728) + Track(note + End), "The MIDI file counts time in SMPTE frames" },
            { "track cut short", good.left(good.size() - 3),
                "Track 1 is cut short: its length says 12 bytes, the file holds 9 more." },
            { "huge track length", Header(0, 1, 96) + QByteArray("MTrk") + Be(0xFFFFFFFF, 4) + note,
                "Track 1 is cut short: its length says 4294967295 bytes, the file holds 8 more." },
            { "ends inside a chunk header", good + QByteArray("MTr"),
                "The MIDI file ends inside a chunk header, 3 bytes after the last chunk." },
            { "event cut short", Header(0, 1, 96) + Track(Hex("00903c")),
                "Track 1, byte 2 of the track: the track is cut short inside an event." },
            { "delta of five bytes", Header(0, 1, 96) + Track(Hex("8181818101903c40") + End),
                "Track 1, byte 4 of the track: a variable-length number is longer than four bytes." },
            { "data byte without status", Header(0, 1, 96) + Track(Hex("003c40") + End),
                "Track 1, byte 1 of the track: a data byte stands where an event must start (no running status)." },
            { "meta length beyond the track", Header(0, 1, 96) + Track(Hex("00ff037f414243")),
                "Track 1, byte 4 of the track: a meta event of 127 bytes runs past the end of the track." },
            { "system exclusive length beyond the track", Header(0, 1, 96) + Track(Hex("00f08fffff7f")),
                "Track 1, byte 6 of the track: a system exclusive event of 33554431 bytes runs past the end of the "
                "track." },
            { "longer than any music", Header(0, 1, 96) + Track(Hex("0090287f") + Hex("ffffff7f287f").repeated(2049)),
                "Track 1, byte 1544 of the track: the track lasts longer than 68719476735 ticks." },
            { "status byte 0xF4", Header(0, 1, 96) + Track(Hex("00f4") + End),
                "Track 1, byte 2 of the track: status byte 0xF4 is not allowed in a MIDI file." },
            { "no track", Header(1, 0, 96), "The MIDI file holds no track." },
            { "no notes", Header(1, 2, 96) + Track(Hex("00ff510307a120") + End) + Track(Hex("00c021") + End),
                "The file holds no notes." },
            { "only drums", Header(0, 1, 96) + Track(Hex("0099244060892400") + End), "The file holds no notes on the" },
            { "no such track", Header(1, 1, 96) + Track(note + End), "The file has 1 tracks; there is no track 3." },
        };
        for (const HostileCase& c : cases) {
            MidiImportOptions options;
            if (QByteArrayView(c.what) == QByteArrayView("no such track"))
                options.track = 3;
            const MidiImportResult result = ImportMidiChordList(c.bytes, options);
            EXPECT_TRUE(result.error.startsWith(QString::fromLatin1(c.error)))
                << c.what << ": " << result.error.toStdString();
            EXPECT_TRUE(result.lines.isEmpty()) << c.what;
        }
        // The same bytes in a file that is well formed import as one quarter note.
        EXPECT_EQ(ImportMidiChordList(good, {}).lines.mid(4), QStringList({ "C, x, x, x, 17, Q" }));
    }

    struct PartCase {
        const char* what;
        QByteArray bytes;
        MidiImportOptions options;
        QStringList body; // the lines after the header
        const char* firstReport;
    };

    TEST(MidiImportTest, ChoosesTheBassPartAndReadsItsRhythm)
    {
        // Track 2: a piano part high up; track 3: a bass part (program 33) at the low E; track 4: a
        // low part on channel 2 without a program; channel 10 holds drums with the lowest keys.
        const QByteArray conductor = Track(Hex("00ff510307a120 00ff580403021808") + End); // 120 bpm, 3/4
        const QByteArray piano = Track(Hex("00ff0305506961 6e6f 00904840 60804800") + End);
        const QByteArray bass = Track(Hex("00c121 00911c40 60811c00 00911f40 60811f00") + End);
        const QByteArray low = Track(Hex("00921a40 8140821a00") + End);
        const QByteArray drums = Track(Hex("00992440 3089 2400") + End);
        const QByteArray song = Header(1, 5, 96) + conductor + piano + bass + low + drums;
        MidiImportOptions fiveStrings;
        fiveStrings.tuning = ParseTuningNames(QStringLiteral("B E A D G")).tuning;
        MidiImportOptions track2;
        track2.track = 2;
        MidiImportOptions channel3;
        channel3.channel = 3;
        channel3.tuning = ParseTuningNames(QStringLiteral("D A D G")).tuning;
        // A played part at division 480: two notes let go a little early, an eighth note and a silence
        // of a half note, which is a rest of its own, then a last quarter note.
        const QByteArray played = Header(0, 1, 480)
            + Track(Hex("00901c50 833f801c00 21901f50 833f801f00 21902150 8170802100 8740901c50 8360801c00") + End);
        MidiImportOptions trackAndChannel;
        trackAndChannel.track = 1;
        trackAndChannel.channel = 1;
        const PartCase cases[] = {
            { "the bass sound wins", song, {}, { "* Time: 3/4", "E, 0, x, x, x, Q", "G, 3, x, x, x, Q" },
                "Imported track 3, channel 2: its sound is a bass." },
            { "on five strings", song, fiveStrings, { "* Time: 3/4", "E, x, 0, x, x, x, Q", "G, x, 3, x, x, x, Q" },
                "Imported track 3, channel 2: its sound is a bass." },
            { "a track asked for, high up: six strings and a long neck", song, track2,
                { "* Tuning: B E A D G C", "* Frets: 24", "* Time: 3/4", "C, x, x, x, x, x, 24, Q" },
                "Imported track 2 (\"Piano\"), channel 1: the only part with notes." },
            { "a channel asked for, down to the low D", song, channel3, { "* Time: 3/4", "D, 0, x, x, x, H" },
                "Imported track 4, channel 3: the only part with notes." },
            { "played notes: articulation gaps are no rests, a half-note silence is", played, {},
                { "E, 0, x, x, x, Q", "G, 3, x, x, x, Q", "A, 5, x, x, x, E", "Rest, x, x, x, x, .Q", "",
                    "Rest, x, x, x, x, E", "E, 0, x, x, x, Q" },
                "Imported track 1, channel 1: the only part with notes." },
            { "a format-0 file's one track and a channel", played, trackAndChannel,
                { "E, 0, x, x, x, Q", "G, 3, x, x, x, Q", "A, 5, x, x, x, E", "Rest, x, x, x, x, .Q", "",
                    "Rest, x, x, x, x, E", "E, 0, x, x, x, Q" },
                "Imported track 1, channel 1: the only part with notes." },
        };
        for (const PartCase& c : cases) {
            const MidiImportResult result = ImportMidiChordList(c.bytes, c.options);
            ASSERT_TRUE(result.error.isEmpty()) << c.what << ": " << result.error.toStdString();
            QStringList body = result.lines.mid(4);
            if (c.options.tuning && !c.options.tuning->isStandard()) {
                EXPECT_EQ(body.takeFirst(), c.options.tuning->lineText()) << c.what;
            }
            EXPECT_EQ(body, c.body) << c.what << "\n" << body.join(u'|').toStdString();
            EXPECT_EQ(result.report.value(0), QString::fromLatin1(c.firstReport)) << c.what;
        }
    }

} // namespace
} // namespace fw
