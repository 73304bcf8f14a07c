#include "MidiFileWriter.h"
#include "MidiTestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace fw {
namespace {

    // Decodes a file with the independent midicsv tool; one entry per CSV record, blanks removed.
    QStringList DecodeWithMidicsv(const QString& path)
    {
        QProcess process;
        process.start(QStringLiteral("midicsv"), { path });
        if (!process.waitForFinished(10000) || process.exitCode() != 0) {
            ADD_FAILURE() << "midicsv failed: " << process.readAllStandardError().toStdString();
            return {};
        }
        QStringList records;
        for (const QString& line :
            QString::fromLatin1(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
            records << line.trimmed().remove(u' ');
        return records;
    }

    QStringList ExportAndDecode(const QStringList& lines, int tempo, int patch)
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.mid"));
        QString error;
        if (!WriteMidiFile(path, test::ParseForMidi(lines), tempo, patch, &error)) {
            ADD_FAILURE() << error.toStdString();
            return {};
        }
        return DecodeWithMidicsv(path);
    }

    TEST(MidiFileDecode, MidicsvReadsTheConductorTrack)
    {
        const QStringList records = ExportAndDecode({ QStringLiteral("G, 3, x, x, x, Q") }, 100, 35);
        ASSERT_GE(records.size(), 7);
        EXPECT_EQ(records.mid(0, 6),
            QStringList({ "0,0,Header,1,2,96", "1,0,Start_track", "1,0,Program_c,0,35", "1,0,Time_signature,4,2,24,8",
                "1,0,Tempo,600000", "1,0,End_track" }));
        EXPECT_EQ(records.last(), "0,0,End_of_file");
    }

    TEST(MidiFileDecode, NotesAndTimesOfAMixedChordList)
    {
        const QStringList lines { "*Title: Decode", "*Count Off 2", "E, 0, x, x, x, Q", "Chord, 3, 5, x, x, .E",
            "* comment", "Rest, x, x, x, x, /Q", "", "G, x, x, x, 0, H", "Chord, 3, 5, 5, 4, W" };
        const QStringList records = ExportAndDecode(lines, 120, 33);
        const qsizetype start = records.indexOf(QStringLiteral("2,0,Title_t,\"FretwerkBass\""));
        ASSERT_GE(start, 0);
        // Note values are one octave above the sound: written keys are 12 lower. Times in ticks at 96
        // per quarter: Q 96, .E 72, /Q 32, H 192, W 384.
        const QStringList expected { "2,0,Note_on_c,0,60,0", "2,0,Note_on_c,0,28,127", "2,96,Note_on_c,0,60,0",
            "2,96,Note_on_c,0,28,0", "2,96,Note_on_c,0,60,0", "2,96,Note_on_c,0,38,127", "2,96,Note_on_c,0,31,127",
            "2,168,Note_on_c,0,60,0", "2,168,Note_on_c,0,38,0", "2,168,Note_on_c,0,31,0", "2,168,Note_on_c,0,60,0",
            "2,200,Note_on_c,0,60,0", "2,200,Note_on_c,0,43,127", "2,392,Note_on_c,0,43,0", "2,392,Note_on_c,0,47,127",
            "2,392,Note_on_c,0,43,127", "2,392,Note_on_c,0,38,127", "2,392,Note_on_c,0,31,127",
            "2,776,Note_on_c,0,47,0", "2,776,Note_on_c,0,43,0", "2,776,Note_on_c,0,38,0", "2,776,Note_on_c,0,31,0",
            "2,776,End_track" };
        EXPECT_EQ(records.mid(start + 1, expected.size()), expected);
    }

} // namespace
} // namespace fw
