// Whole files as other programs write them, imported as a bass player reads them.
#include "DocumentText.h"
#include "MidiImport.h"
#include "MidiTestSupport.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <algorithm>
#include <map>

namespace fw {
namespace {

    using test::Be;

    QByteArray VarLen(quint32 value)
    {
        QByteArray bytes(1, static_cast<char>(value & 0x7F));
        while (value >>= 7)
            bytes.prepend(static_cast<char>(0x80 | (value & 0x7F)));
        return bytes;
    }

    // A format-1 file written event by event, as a sequencer saves one: events of a tick in the order
    // note-offs, other events, note-ons.
    QByteArray Bytes(std::initializer_list<int> values)
    {
        QByteArray out;
        for (const int value : values)
            out.append(static_cast<char>(value));
        return out;
    }

    class SongBuilder {
    public:
        SongBuilder& note(int track, int channel, int key, qint64 start, qint64 length)
        {
            add(track, start + length, 0, Bytes({ 0x80 | channel, key, 0 }));
            return add(track, start, 2, Bytes({ 0x90 | channel, key, 100 }));
        }
        SongBuilder& program(int track, int channel, int program)
        {
            return add(track, 0, 1, Bytes({ 0xC0 | channel, program }));
        }
        SongBuilder& bend(int track, int channel, qint64 at)
        {
            return add(track, at, 1, Bytes({ 0xE0 | channel, 0, 0x50 }));
        }
        SongBuilder& meta(int track, qint64 at, int type, const QByteArray& data)
        {
            return add(track, at, 1, QByteArray(1, char(0xFF)) + char(type) + VarLen(data.size()) + data);
        }
        SongBuilder& name(int track, const char* text) { return meta(track, 0, 0x03, text); }
        SongBuilder& tempo(qint64 at, int bpm) { return meta(0, at, 0x51, Be(60000000 / bpm, 3)); }
        SongBuilder& time(qint64 at, int beats, int power)
        {
            return meta(0, at, 0x58, Be(beats, 1) + Be(power, 1) + Be(0x1808, 2));
        }

        QByteArray bytes(int division) const
        {
            const int count = static_cast<int>(m_tracks.rbegin()->first) + 1;
            QByteArray out = QByteArray("MThd") + Be(6, 4) + Be(1, 2) + Be(count, 2) + Be(division, 2);
            for (int t = 0; t < count; ++t) {
                std::vector<Event> events = m_tracks.count(t) ? m_tracks.at(t) : std::vector<Event> {};
                std::stable_sort(events.begin(), events.end(),
                    [](const Event& a, const Event& b) { return std::tie(a.at, a.order) < std::tie(b.at, b.order); });
                QByteArray body;
                qint64 at = 0;
                for (const Event& event : events) {
                    body += VarLen(static_cast<quint32>(event.at - at)) + event.bytes;
                    at = event.at;
                }
                body += QByteArray::fromHex("00ff2f00");
                out += QByteArray("MTrk") + Be(body.size(), 4) + body;
            }
            return out;
        }

    private:
        struct Event {
            qint64 at;
            int order;
            QByteArray bytes;
        };
        SongBuilder& add(int track, qint64 at, int order, const QByteArray& bytes)
        {
            m_tracks[track].push_back({ at, order, bytes });
            return *this;
        }
        std::map<int, std::vector<Event>> m_tracks;
    };

    // A bar of a walking line as a player records it at 480 ticks to the quarter: quarters, two eighths,
    // each note let go early (gated to 80 %) and struck up to 1/96 of a quarter off the beat.
    void PlayedBar(SongBuilder& song, int track, qint64 bar, const std::vector<std::pair<int, int>>& notes)
    {
        const int slips[] = { 5, -5, 3, -4, 2, -3 };
        qint64 at = bar * 1920;
        for (size_t i = 0; i < notes.size(); ++i) {
            const auto [key, length] = notes[i];
            song.note(track, 0, key, at + slips[i % 6], length * 8 / 10);
            at += length;
        }
    }

    QByteArray SequencerSong()
    {
        SongBuilder song;
        song.tempo(0, 96).time(0, 4, 2).name(1, "Bass").program(1, 0, 33);
        PlayedBar(song, 1, 0, { { 28, 480 }, { 31, 480 }, { 33, 240 }, { 33, 240 }, { 35, 480 } });
        PlayedBar(song, 1, 1, { { 36, 960 }, { 28, 480 }, { 28, 480 } });
        return song.bytes(480);
    }

    // The same line on a grid of 96 ticks to the quarter, each note let go a 32nd note early.
    QByteArray GatedSong()
    {
        SongBuilder song;
        const std::pair<int, int> notes[]
            = { { 28, 96 }, { 31, 96 }, { 33, 48 }, { 33, 48 }, { 35, 96 }, { 36, 192 }, { 28, 96 }, { 28, 96 } };
        qint64 at = 0;
        for (const auto& [key, length] : notes) {
            song.note(1, 0, key, at, length - 12);
            at += length;
        }
        return song.bytes(96);
    }

    // A bass lead high up (a bass sound), the bass line low (another bass sound), drums lower still
    // and a piano: the line is the lowest bass part.
    QByteArray LeadAndBassSong()
    {
        SongBuilder song;
        song.tempo(0, 120).name(1, "Lead bass").program(1, 1, 33).name(2, "Bass").program(2, 2, 34);
        song.name(3, "Drums").name(4, "Piano").program(4, 3, 0);
        for (int beat = 0; beat < 4; ++beat) {
            song.note(1, 1, 55 + beat, beat * 96, 96).note(2, 2, 28 + beat, beat * 96, 96);
            song.note(3, 9, 24, beat * 96, 24).note(4, 3, 60, beat * 96, 96);
        }
        return song.bytes(96);
    }

    // A cello's line, and a text track with one low note: the line is the part to take.
    QByteArray LineAndStrayNoteSong()
    {
        SongBuilder song;
        song.name(1, "Cello").program(1, 0, 42).name(2, "Composer").program(2, 1, 42).note(2, 1, 31, 0, 96);
        for (int beat = 0; beat < 12; ++beat)
            song.note(1, 0, 36 + beat % 4, beat * 96, 96);
        return song.bytes(96);
    }

    // 3/4 at 100 beats a minute, 6/8 from the third bar, 140 from the fourth.
    QByteArray ChangingSong()
    {
        SongBuilder song;
        song.tempo(0, 100).time(0, 3, 2).time(576, 6, 3).tempo(864, 140);
        for (qint64 at = 0; at < 1152; at += 144)
            song.note(1, 0, 33, at, 144);
        return song.bytes(96);
    }

    // Low D and a tie across a bar: no program, no text events, on a track of another program.
    QByteArray DropDSong()
    {
        SongBuilder song;
        song.note(1, 0, 26, 0, 192).note(1, 0, 29, 192, 384).note(1, 0, 26, 576, 192);
        return song.bytes(96);
    }

    // One of each thing the reader meets and cannot keep.
    QByteArray EverythingSong()
    {
        SongBuilder song;
        song.tempo(0, 120).time(0, 4, 2).time(384, 5, 5).tempo(384, 90).name(1, "Bass").program(1, 0, 33);
        song.note(1, 0, 28, 0, 96).note(1, 0, 28, 0, 96); // a key struck twice at once
        song.note(1, 0, 12, 96, 96); // below every bass tuning
        song.bend(1, 0, 192).note(1, 0, 31, 192, 96);
        song.note(1, 4, 40, 288, 96); // the same track on another channel
        song.note(1, 0, 33, 288, 6000 * 384); // longer than any music
        song.note(2, 9, 36, 0, 24).name(2, "Drums");
        return song.bytes(96);
    }

    // A fill up to the 19th fret of the G string.
    QByteArray HighSong()
    {
        SongBuilder song;
        song.note(1, 0, 31, 0, 192).note(1, 0, 62, 192, 192);
        return song.bytes(96);
    }

    // Written lengths that end a sixty-fourth note short of the bar line, then a line across it.
    QByteArray OddLengthsSong()
    {
        SongBuilder song;
        qint64 at = 0;
        for (const int length : { 288, 64, 9, 12, 4, 6, 16, 96 }) {
            song.note(1, 0, 33, at, length);
            at += length;
        }
        return song.bytes(96);
    }

    // A played run of thirty-second notes into longer ones, struck a little off the beat.
    QByteArray ThirtySecondsSong()
    {
        SongBuilder song;
        const int slips[] = { 3, -2, 2, -3, 1, 2 };
        qint64 at = 0;
        int i = 0;
        for (const int length : { 60, 60, 120, 240, 480, 960 }) {
            song.note(1, 0, 28 + i, std::max<qint64>(0, at + slips[i]), length * 8 / 10);
            at += length;
            ++i;
        }
        return song.bytes(480);
    }

    QByteArray Exported(const char* example)
    {
        const LoadedDocument document
            = ParseDocumentBytes(test::ReadFileBytes(QStringLiteral(FW_SOURCE_DIR "/examples/") + example));
        const Tuning tuning = TuningOfLines(document.lines);
        ParsedLineList parsed = test::ParseEveryLine(document.lines, tuning);
        SetDurationValues(parsed, MidiWholeNoteTicks);
        return BuildMidiFile(
            parsed, document.header.Tempo, document.header.Patch, tuning, MidiListSetupOf(document.lines));
    }

    struct FileCase {
        const char* what;
        QByteArray bytes;
        MidiImportOptions options;
        QStringList body; // after the header; empty: not compared
        QStringList report; // each must be in the report
        int tempo = 0; // the header's, 0: not compared
        bool restless = false; // no rest line: the example has none
    };

    TEST(MidiImportFilesTest, WholeFilesComeInAsABassPlayerReadsThem)
    {
        MidiImportOptions folded;
        folded.foldOctaves = true;
        MidiImportOptions standard;
        standard.tuning = Tuning();
        MidiImportOptions standardFolded = standard;
        standardFolded.foldOctaves = true;
        const FileCase cases[] = {
            { "a sequencer's gated notes and slipped onsets", SequencerSong(), {},
                { "E, 0, x, x, x, Q", "G, 3, x, x, x, Q", "A, x, 0, x, x, E", "A, x, 0, x, x, E", "B, x, 2, x, x, Q",
                    "", "C, x, 3, x, x, H", "E, 0, x, x, x, Q", "E, 0, x, x, x, Q", "" },
                { "The part is played, not written: 8 of 8 onsets were moved to the nearest eighth notes." }, 96 },
            { "notes let go early on a coarse grid", GatedSong(), {},
                { "E, 0, x, x, x, Q", "G, 3, x, x, x, Q", "A, x, 0, x, x, E", "A, x, 0, x, x, E", "B, x, 2, x, x, Q",
                    "", "C, x, 3, x, x, H", "E, 0, x, x, x, Q", "E, 0, x, x, x, Q", "" },
                {} },
            { "the bass line below a bass lead", LeadAndBassSong(), {},
                { "E, 0, x, x, x, Q", "F, 1, x, x, x, Q", "F#/Gb, 2, x, x, x, Q", "G, 3, x, x, x, Q", "" },
                { "Imported track 3 (\"Bass\"), channel 3: the lowest of 2 bass parts.",
                    "Left out 3 other parts with 12 notes (--list-tracks shows them; --track chooses one)." },
                120 },
            { "a line, not a stray low note", LineAndStrayNoteSong(), {}, {},
                { "Imported track 2 (\"Cello\"), channel 1: it has the lowest notes." } },
            { "time and tempo changes", ChangingSong(), {},
                { "* Time: 3/4", "A, x, 0, x, x, .Q", "A, x, 0, x, x, .Q", "", "A, x, 0, x, x, .Q", "A, x, 0, x, x, .Q",
                    "", "* Time: 6/8", "A, x, 0, x, x, .Q", "A, x, 0, x, x, .Q", "", "* Tempo 140", "A, x, 0, x, x, .Q",
                    "A, x, 0, x, x, .Q", "" },
                { "The tempo changes once; the list starts at 100 and a comment line marks each change." }, 100 },
            { "low D on an unnamed track, tied over the bar", DropDSong(), {},
                { "* Tuning: D A D G", "D, 0, x, x, x, H", "F, 3_, x, x, x, H", "", "F, 3, x, x, x, H",
                    "D, 0, x, x, x, H", "" },
                { "Tuning D A D G: it plays every note.",
                    "1 notes had no single written length or crossed a bar line; each became tied lines." } },
            { "drop D exported and imported back", Exported("drop-d-stomp.bss"), {}, {},
                { "Tuning D A D G: the file says so." }, 0, true },
            { "five strings exported and imported back", Exported("five-string-low-b.bss"), {}, {},
                { "Tuning B E A D G: the file says so." }, 0, true },
            { "one of each thing that cannot come across", EverythingSong(), {}, {},
                { "Imported track 2 (\"Bass\"), channel 1: the only part besides the drums.",
                    "Left out 1 other parts with 1 notes (--list-tracks shows them; --track chooses one).",
                    "Left out 1 notes of the same track on other channels (--channel chooses one).",
                    "1 pitch bends were left out; the notes keep their unbent pitch.",
                    "1 time signatures no time line can hold (such as 5/32) were left out.",
                    "1 notes struck a key that already sounded at the same time; each was taken once.",
                    "1 notes or silences were longer than 256 whole notes and were cut to that.",
                    "1 notes cannot be played on this tuning; they became rests with a comment.",
                    "The tempo changes once; the list starts at 120 and a comment line marks each change." },
                120 },
            { "a note below every tuning folded by octaves", EverythingSong(), folded, {},
                { "Tuning E A D G: it plays the most notes; 1 note is out of its range and moved by octaves into "
                  "it." } },
            { "a line a sixty-fourth short of the bar line, and the lines after it", OddLengthsSong(), {},
                { "A, x, 0, x, x, .H", "A, x, 0, x, x, /H", "A, x, 0, x, x, .F", "A, x, 0, x, x, T",
                    "A, x, 0, x, x, /T", "A, x, 0, x, x, F", "A, x, 0, x, x, /E", "", "A, x, 0, x, x, Q" },
                {} },
            { "thirty-second notes among longer ones", ThirtySecondsSong(), {},
                { "E, 0, x, x, x, T", "F, 1, x, x, x, T", "F#/Gb, 2, x, x, x, S", "G, 3, x, x, x, E",
                    "G#/Ab, 4, x, x, x, Q", "A, x, 0, x, x, H", "" },
                { "The part is played, not written: 6 of 6 onsets were moved to the nearest thirty-second notes." } },
            { "a tuning asked for, a long neck when a note needs it", HighSong(), standard,
                { "* Frets: 24", "G, 3, x, x, x, H", "D, x, x, x, 19, H", "" }, {} },
            { "a tuning asked for, a note below it folded", EverythingSong(), standardFolded, {},
                { "1 notes out of the tuning's range were moved by octaves into it." } },
        };
        for (const FileCase& c : cases) {
            const MidiImportResult result = ImportMidiChordList(c.bytes, c.options);
            ASSERT_TRUE(result.error.isEmpty()) << c.what << ": " << result.error.toStdString();
            const QString report = result.report.join(u'\n');
            for (const QString& line : c.report)
                EXPECT_TRUE(result.report.contains(line)) << c.what << ": " << line.toStdString() << "\nin\n"
                                                          << report.toStdString();
            if (!c.body.isEmpty()) {
                EXPECT_EQ(result.lines.mid(4), c.body) << c.what << "\n"
                                                       << result.lines.mid(4).join(u'|').toStdString();
            }
            if (c.restless) {
                EXPECT_FALSE(result.lines.join(u'\n').contains(QStringLiteral("Rest"))) << c.what;
            }
            if (c.tempo > 0) {
                DocumentHeader header;
                QStringList lines = result.lines;
                ApplyHeaderLines(lines, header);
                EXPECT_EQ(header.Tempo, c.tempo) << c.what;
            }
        }
        // The example's count-off and every line come back.
        const LoadedDocument dropD
            = ParseDocumentBytes(test::ReadFileBytes(QStringLiteral(FW_SOURCE_DIR "/examples/drop-d-stomp.bss")));
        const QStringList back = ImportMidiChordList(Exported("drop-d-stomp.bss"), {}).lines;
        EXPECT_TRUE(back.contains(QStringLiteral("*Count Off 4")));
        EXPECT_TRUE(back.contains(QStringLiteral("* Tuning: D A D G")));
    }

    TEST(MidiImportFilesTest, PartsAreListedWithTheBassLineChosen)
    {
        const MidiPartList list = ListMidiParts(LeadAndBassSong());
        ASSERT_EQ(list.parts.size(), 4u);
        QStringList shown;
        for (const MidiPart& part : list.parts)
            shown << QStringLiteral("%1 %2 %3 %4-%5 %6")
                         .arg(part.number)
                         .arg(part.name, part.instrument())
                         .arg(part.lowest)
                         .arg(part.highest)
                         .arg(part.notes);
        EXPECT_EQ(shown,
            QStringList({ "2 Lead bass Electric Bass (finger) 55-58 4", "3 Bass Electric Bass (pick) 28-31 4",
                "4 Drums Percussion 24-24 4", "5 Piano Acoustic Grand Piano 60-60 4" }));
        EXPECT_EQ(list.chosen, 1);
    }

    TEST(MidiImportFilesTest, ManyTracksTakeLinearTime)
    {
        // 65,535 tracks of one note each, and 1,000,000 empty tracks after a note.
        const QByteArray tiny = QByteArray("MTrk") + Be(12, 4) + QByteArray::fromHex("00903c40 60803c00 00ff2f00");
        const QByteArray empty = QByteArray("MTrk") + Be(4, 4) + QByteArray::fromHex("00ff2f00");
        const QByteArray header = QByteArray("MThd") + Be(6, 4) + Be(1, 2) + Be(65535, 2) + Be(96, 2);
        const QByteArray files[] = { header + tiny.repeated(65535), header + tiny + empty.repeated(1000000) };
        for (const QByteArray& file : files) {
            QElapsedTimer timer;
            timer.start();
            const MidiImportResult result = ImportMidiChordList(file, {});
            EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
            EXPECT_LT(timer.elapsed(), 2000);
            EXPECT_EQ(ListMidiParts(file).error, QString());
        }
    }

} // namespace
} // namespace fw
