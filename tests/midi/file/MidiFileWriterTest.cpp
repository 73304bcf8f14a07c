#include "MidiFileWriter.h"
#include "MidiFileReader.h"
#include "MidiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace fw {
namespace {

    QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

    const QByteArray Header = Hex("4d546864 00000006 0001 0002 0060");

    QByteArray ConductorTrack(const char* tempoBytes, const char* patchByte = "21")
    {
        return Hex("4d54726b 00000016") + Hex("00c0") + Hex(patchByte) + Hex("00ff5804 04021808") + Hex("00ff5103")
            + Hex(tempoBytes) + Hex("00ff2f00");
    }

    // A note track around the given note events: track name first, end of track last.
    QByteArray NoteTrack(const QByteArray& events)
    {
        const QByteArray body = Hex("00ff030d") + QByteArray("Fretwerk Bass") + events + Hex("00ff2f00");
        QByteArray length(4, 0);
        for (int i = 0; i < 4; ++i)
            length[i] = static_cast<char>((body.size() >> (24 - 8 * i)) & 0xFF);
        return Hex("4d54726b") + length + body;
    }

    QByteArray NoteEvents(const QStringList& lines, int tempo = 120)
    {
        const QByteArray file = BuildMidiFile(test::ParseForMidi(lines), tempo, 33);
        const qsizetype start = 14 + 30 + 8 + 17; // header, conductor track, note track head, track name
        return file.mid(start, file.size() - start - 4);
    }

    class RecordingBoxes : public MessageBoxes {
    public:
        void errorBox(const QString&) override { }
        void plainBox(const QString& text) override { plain << text; }
        void warningBox(const QString&) override { }
        void informationBox(const QString&) override { }
        Answer askYesNoCancel(const QString&) override { return Answer::Cancel; }
        QStringList plain;
    };

    TEST(MidiFileWriter, WorkedExampleIsByteExact)
    {
        const QByteArray expected = Header + ConductorTrack("07a120")
            + NoteTrack(Hex("0090 3c00") + Hex("001f7f") + Hex("603c00") + Hex("001f00"));
        EXPECT_EQ(BuildMidiFile(test::ParseForMidi({ QStringLiteral("G, 3, x, x, x, Q") }), 120, 33).toHex(' '),
            expected.toHex(' '));
    }

    TEST(MidiFileWriter, PrimitiveWritersReturnTheirByteCounts)
    {
        MidiFileWriter writer;
        EXPECT_EQ(writer.WriteByte(0xAB), 1);
        EXPECT_EQ(writer.WriteWord(0x1234), 2);
        EXPECT_EQ(writer.WriteDWord(0xDEADBEEF), 4);
        EXPECT_EQ(writer.WriteChunkId("MTrk"), 4);
        EXPECT_EQ(writer.Bytes(), Hex("ab 1234 deadbeef") + QByteArray("MTrk"));
        writer.PatchDWord(3, 0x01020304);
        EXPECT_EQ(writer.Bytes().mid(3, 4), Hex("01020304"));
    }

    TEST(MidiFileWriter, VariableLengthQuantities)
    {
        const struct {
            quint32 value;
            const char* bytes;
        } cases[] = { { 0, "00" }, { 96, "60" }, { 127, "7f" }, { 128, "8100" }, { 384, "8300" }, { 576, "8440" },
            { 16383, "ff7f" }, { 16384, "818000" }, { 0x0FFFFFFF, "ffffff7f" } };
        for (const auto& c : cases) {
            MidiFileWriter writer;
            const QByteArray expected = Hex(c.bytes);
            EXPECT_EQ(writer.WriteVarLen(c.value), expected.size()) << c.value;
            EXPECT_EQ(writer.Bytes().toHex(), expected.toHex()) << c.value;
        }
    }

    TEST(MidiFileWriter, MalformedChunkIdIsReportedAndSkipped)
    {
        RecordingBoxes boxes;
        MidiFileWriter writer(&boxes);
        EXPECT_EQ(writer.WriteChunkId("MTr"), 0);
        EXPECT_EQ(writer.WriteChunkId("MTrkk"), 0);
        EXPECT_TRUE(writer.Bytes().isEmpty());
        EXPECT_EQ(boxes.plain, QStringList({ "Error: ID <> 4 charsMTr", "Error: ID <> 4 charsMTrkk" }));
    }

    TEST(MidiFileWriter, EventWritersCountWhatTheyWrite)
    {
        MidiFileWriter writer;
        int total = 0;
        total += writer.WriteHeader();
        EXPECT_EQ(total, 14);
        EXPECT_EQ(writer.WriteProgramChange(33), 3);
        EXPECT_EQ(writer.WriteTimeSignature(), 8);
        EXPECT_EQ(writer.WriteTempo(120), 7);
        EXPECT_EQ(writer.WriteTrackName(QStringLiteral("abc")), 7);
        EXPECT_EQ(writer.WriteEndOfTrack(), 4);
        EXPECT_EQ(writer.WriteFirstNoteOn(31), 4);
        EXPECT_EQ(writer.WriteFirstSilentNoteOn(), 4);
        EXPECT_EQ(writer.WriteNoteOn(31), 3);
        EXPECT_EQ(writer.WriteNoteOff(384, 31), 4);
        EXPECT_EQ(writer.Bytes().size(), 14 + 3 + 8 + 7 + 7 + 4 + 4 + 4 + 3 + 4);
    }

    TEST(MidiFileWriter, TempoBytes)
    {
        const struct {
            int tempo;
            const char* bytes;
        } cases[] = { { 500, "01d4c0" }, { 120, "07a120" }, { 60, "0f4240" }, { 4, "e4e1c0" },
            // 60000000, 30000000 and 20000000 do not fit 24 bits: the slowest value the event holds.
            { 3, "ffffff" }, { 2, "ffffff" }, { 1, "ffffff" } };
        for (const auto& c : cases) {
            const QByteArray file
                = BuildMidiFile(test::ParseForMidi({ QStringLiteral("G, 3, x, x, x, Q") }), c.tempo, 33);
            EXPECT_EQ(file.mid(14 + 8 + 11 + 4, 3).toHex(), QByteArray(c.bytes)) << c.tempo;
        }
        EXPECT_EQ(TempoMicroseconds(0), MidiMaxTempoValue);
    }

    TEST(MidiFileWriter, PatchGoesIntoTheProgramChange)
    {
        const QByteArray file = BuildMidiFile(test::ParseForMidi({ QStringLiteral("G, 3, x, x, x, Q") }), 120, 38);
        EXPECT_EQ(file, Header + ConductorTrack("07a120", "26") + NoteTrack(Hex("00903c00 001f7f 603c00 001f00")));
    }

    TEST(MidiFileWriter, FirstEntryRestStartsWithSilentPlaceholder)
    {
        EXPECT_EQ(NoteEvents({ "Rest, x, x, x, x, Q", "G, 3, x, x, x, E" }).toHex(' '),
            Hex("00903c00 603c00" // the rest: key 60 silent for a quarter
                "003c00 001f7f 303c00 001f00") // a later empty G string: running-status placeholder
                .toHex(' '));
    }

    TEST(MidiFileWriter, LaterNotesUseRunningStatus)
    {
        // Open G string is note 55, written as 43; A string fret 2 is 47, written as 35.
        EXPECT_EQ(NoteEvents({ "G, x, x, x, 0, E", "B, x, 2, x, x, /Q" }).toHex(' '),
            Hex("00902b7f 302b00 003c00 00237f 203c00 002300").toHex(' '));
    }

    TEST(MidiFileWriter, FourNoteChordCarriesItsLengthOnTheGString)
    {
        // G fret 4 -> 47, D fret 5 -> 43, A fret 5 -> 38, Low E fret 3 -> 31; a half note is 192 ticks.
        EXPECT_EQ(NoteEvents({ "Chord, 3, 5, 5, 4, H" }).toHex(' '),
            Hex("00902f7f 002b7f 00267f 001f7f 81402f00 002b00 002600 001f00").toHex(' '));
    }

    TEST(MidiFileWriter, CommentsBlanksAndCountOffAddNoTime)
    {
        const QByteArray plain = NoteEvents({ "G, 3, x, x, x, .Q", "A, 5, x, x, x, W" });
        const QByteArray mixed = NoteEvents(
            { "*Count Off 4", "* a comment", "G, 3, x, x, x, .Q", "", "", "*Title: x", "A, 5, x, x, x, W", "" });
        EXPECT_EQ(mixed.toHex(' '), plain.toHex(' '));
        EXPECT_EQ(plain.toHex(' '), Hex("00903c00 001f7f 81103c00 001f00 003c00 00217f 83003c00 002100").toHex(' '));
    }

    TEST(MidiFileWriter, TrackLengthsArePatchedToTheChunkSizes)
    {
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QStringLiteral("Chord, %1, x, %2, x, W").arg(i % 12).arg(i % 7) << QString();
        const QByteArray file = BuildMidiFile(test::ParseForMidi(lines), 120, 33);
        qsizetype at = 14;
        int tracks = 0;
        while (at < file.size()) {
            ASSERT_EQ(file.mid(at, 4), QByteArray("MTrk"));
            const auto length = qFromBigEndian<quint32>(file.constData() + at + 4);
            at += 8 + length;
            ASSERT_EQ(file.mid(at - 4, 4), Hex("00ff2f00"));
            ++tracks;
        }
        EXPECT_EQ(at, file.size());
        EXPECT_EQ(tracks, 2);
    }

    TEST(MidiFileWriter, WritesTheFileAndReportsFailures)
    {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const ParsedLineList parsed = test::ParseForMidi({ QStringLiteral("G, 3, x, x, x, Q") });
        const QString path = dir.filePath(QStringLiteral("song.mid"));
        QString error;
        ASSERT_TRUE(WriteMidiFile(path, parsed, 120, 33, &error)) << error.toStdString();
        QFile written(path);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(written.readAll(), BuildMidiFile(parsed, 120, 33));

        const QString missing = dir.filePath(QStringLiteral("no/such/folder/song.mid"));
        EXPECT_FALSE(WriteMidiFile(missing, parsed, 120, 33, &error));
        EXPECT_TRUE(error.contains(missing)) << error.toStdString();
        EXPECT_FALSE(QFile::exists(missing));
    }

    TEST(MidiFileWriter, FailedWriteLeavesThePreviousFileAlone)
    {
        // A name so long that no temporary file can be made beside it: the save must fail before
        // touching the existing file.
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QString(250, u'a') + QStringLiteral(".mid"));
        {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("previous");
        }
        QString error;
        EXPECT_FALSE(WriteMidiFile(path, test::ParseForMidi({ QStringLiteral("G, 3, x, x, x, Q") }), 120, 33, &error));
        EXPECT_FALSE(error.isEmpty());
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("previous"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }

    TEST(MidiFileWriter, ProposedFileName)
    {
        EXPECT_EQ(ProposedMidiFileName(QStringLiteral("/home/me/blues.bss")), QStringLiteral("/home/me/blues.MID"));
        EXPECT_EQ(ProposedMidiFileName(QStringLiteral("Untitled.bss")), QStringLiteral("Untitled.MID"));
        EXPECT_EQ(ProposedMidiFileName(QStringLiteral("/a.b/song")), QStringLiteral("/a.b/song.MID"));
    }

    // Time lines give time signatures where the time changes (6/8 clicked in dotted quarters); a tie
    // across a bar line is one note; a slapped line sounds on a channel set to Slap Bass 1, a ghost
    // note softly; a rest in a marked list takes its time without the silent key 60.
    TEST(MidiFileWriter, MarkedListHasTimeSignaturesTiedNotesAndChannelsOfItsOwn)
    {
        const QByteArray file = BuildMidiFile(
            test::ParseForMidi({ "* Time: 3/4", "G, 3, x, x, x, H", "G, 3_, x, x, x, Q", "", "G, 3, x, x, x, H",
                "Rest, x, x, x, x, Q", "", "* Time: 6/8", "E, 0, x, x, x, .Q, slap", "A, x, (2), x, x, .Q" }),
            120, 33);
        EXPECT_EQ(file.mid(14, 39).toHex(' '),
            Hex("4d54726b 0000001f 00c021 00ff5804 03021808 00ff5103 07a120 8440ff5804 06032408 00ff2f00").toHex(' '));

        const MidiReadResult read = ReadMidiFile(file);
        ASSERT_TRUE(read.song) << read.error.toStdString();
        ASSERT_EQ(read.song->tracks.size(), 2u);
        const MidiTrack& track = read.song->tracks[1];
        const struct {
            qint64 start, end;
            int key, velocity, channel;
        } expected[]
            = { { 0, 192, 31, 127, 0 }, { 192, 480, 31, 127, 0 }, { 576, 720, 28, 127, 1 }, { 720, 864, 35, 45, 0 } };
        ASSERT_EQ(track.notes.size(), std::size(expected));
        for (size_t i = 0; i < std::size(expected); ++i) {
            const MidiNote& note = track.notes[i];
            EXPECT_EQ((std::array { note.start(), note.end(), qint64(note.key()), qint64(note.velocity()),
                          qint64(note.channel()) }),
                (std::array { expected[i].start, expected[i].end, qint64(expected[i].key), qint64(expected[i].velocity),
                    qint64(expected[i].channel) }))
                << i;
        }
        EXPECT_EQ(track.programs[1], 36);
        EXPECT_TRUE(track.silentMarks.empty());
        EXPECT_EQ(track.endTick, 864);
    }

} // namespace
} // namespace fw
