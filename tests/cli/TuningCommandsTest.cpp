// The command-line verbs on five- and six-string lists and with --tuning, run as the user runs them.
#include "CliRunner.h"
#include "QtPrinters.h"
#include "SmfReader.h"
#include "TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using fw::test::SmfReader;

namespace {

using fw::test::CliRun;
using fw::test::RunCli;

// The keys of the note-ons `play --events` prints, in order.
QList<int> NoteOnKeys(const QString& events)
{
    QList<int> keys;
    static const QRegularExpression noteOn(
        QStringLiteral("^\\S+ 90 ([0-9A-F]{2}) ([0-9A-F]{2})$"), QRegularExpression::MultilineOption);
    for (auto it = noteOn.globalMatch(events); it.hasNext();) {
        const auto match = it.next();
        if (match.captured(2) != QLatin1String("00"))
            keys << match.captured(1).toInt(nullptr, 16);
    }
    return keys;
}

struct TuningCli : testing::Test {
    QTemporaryDir dir;
    QString write(const QString& name, const QStringList& lines)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(fw::test::WriteFileBytes(path, lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n"));
        return path;
    }
    QString out(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

const QStringList SixString { "* Tuning: B E A D G C", "B, 0, x, x, x, x, x, Q", "Chord, x, 2, x, x, x, 5, E", "",
    "C, x, x, x, x, x, 0, H" };

} // namespace

TEST_F(TuningCli, PlayAndMidiSoundTheTuningsNotes)
{
    const QString six = write("six.bss", SixString);
    const CliRun played = RunCli({ "play", six, "--events", "--tempo", "500" });
    EXPECT_EQ(played.exitCode, 0) << played.err.toStdString();
    // Note values are one octave above the sound: B 35 -> key 23; E string fret 2 is 42; C fret 5 is 65.
    EXPECT_EQ(NoteOnKeys(QString::fromUtf8(played.out)), QList<int>({ 23, 53, 30, 48 }));

    ASSERT_EQ(RunCli({ "midi", six, "-o", out("six.mid") }).exitCode, 0);
    const auto song = SmfReader::Read(fw::test::ReadFileBytes(out("six.mid")));
    ASSERT_TRUE(song.error.isEmpty()) << song.error.toStdString();
    QList<std::pair<int, quint32>> notes;
    for (const auto& note : song.notes)
        notes << std::pair { note.key, note.length };
    EXPECT_EQ(notes, (QList<std::pair<int, quint32>> { { 23, 96 }, { 30, 48 }, { 53, 48 }, { 48, 192 } }));

    // A four-string file played as drop D: the low string sounds a whole step down.
    const QString four = write("four.bss", { "E, 0, x, x, x, Q", "A, x, 0, x, x, Q" });
    const CliRun dropped = RunCli({ "play", four, "--events", "--tuning", "D A D G" });
    EXPECT_EQ(NoteOnKeys(QString::fromUtf8(dropped.out)), QList<int>({ 26, 33 }));
    const CliRun bad = RunCli({ "midi", four, "--tuning", "E A H", "-o", out("bad.mid") });
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err, "fretwerk-cli: --tuning \"E A H\": \"H\" is not a note name.\n");
}

TEST_F(TuningCli, TabHasOneLinePerStringAndCheckNamesTheStrings)
{
    struct Row {
        QStringList lines;
        int strings;
    };
    const Row rows[] = {
        { { "G, 3, x, x, x, Q" }, 4 },
        { { "* Tuning: B E A D G", "B, 0, x, x, x, x, Q" }, 5 },
        { SixString, 6 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.strings);
        ASSERT_EQ(RunCli({ "tab", write("t.bss", row.lines), "-o", out("t.tab") }).exitCode, 0);
        const QStringList tab = QString::fromLatin1(fw::test::ReadFileBytes(out("t.tab"))).split("\r\n");
        // A list with a tuning line names each string before its line.
        const char* stringLine = row.strings == 4 ? "^\\|-" : "^[A-G][#b]? *\\|-";
        EXPECT_EQ(tab.filter(QRegularExpression(QLatin1String(stringLine))).size(), row.strings);
    }
    // Highest string on top: the C string's frets 5 and 0 first, the E string's 2, the Low B's 0 last;
    // the tuning heads the file.
    const QStringList six = QString::fromLatin1(fw::test::ReadFileBytes(out("t.tab"))).split("\r\n");
    EXPECT_EQ(six.first(), QStringLiteral("Tuning: B E A D G C"));
    EXPECT_EQ(six.mid(6, 6),
        QStringList({ "C|-------------------5--------|-------------0------------|",
            "G|----------------------------|--------------------------|",
            "D|----------------------------|--------------------------|",
            "A|----------------------------|--------------------------|",
            "E|-------------------2--------|--------------------------|",
            "B|---------0------------------|--------------------------|" }));

    const QString broken = write(
        "broken.bss", { "* Tuning: B E A D G", "E, 0, x, x, x, Q", "N, x, q, x, x, x, Q", "N, 19, x, x, x, x, Q" });
    const CliRun check = RunCli({ "check", broken });
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.out,
        "Line 2    Not enough commas.\nLine 3    Fret number for E string (\"q\") not a number.\n"
        "Line 4    Fret Number for Low B string (\"19\") must be lower than 19.\n");
}

TEST_F(TuningCli, RetuneMovesTheFileAndKeepsItsHeader)
{
    const QString input = write("in.bss",
        { "*Info 1: Fretwerk Bass Version 1.0 File Information", "*Info 2:33", "*Info 3:555555", "*Info 4:100",
            "* Title: Song", "E, 0, x, x, x, Q", "G, 3, x, x, x, Q" });
    const CliRun five = RunCli({ "retune", input, "--tuning", "B E A D G", "-o", out("five.bss") });
    EXPECT_EQ(five.exitCode, 0) << five.err.toStdString();
    EXPECT_EQ(fw::test::ReadFileBytes(out("five.bss")),
        "*Info 1: Fretwerk Bass Version 1.0 File Information\r\n*Info 2:33\r\n*Info 3:555555\r\n*Info 4:100\r\n"
        "* Title: Song\r\n* Tuning: B E A D G\r\nE, x, 0, x, x, x, Q\r\nG, x, 3, x, x, x, Q\r\n");

    const CliRun frets
        = RunCli({ "retune", out("five.bss"), "--tuning", "D A D G", "--keep", "frets", "-o", out("d.bss") });
    EXPECT_EQ(frets.exitCode, 0) << frets.err.toStdString();
    EXPECT_TRUE(fw::test::ReadFileBytes(out("d.bss"))
                    .endsWith("* Tuning: D A D G\r\nD, 0, x, x, x, Q\r\nF, 3, x, x, x, Q\r\n"));

    const QString low = write("low.bss", { "* Tuning: B E A D G", "B, 0, x, x, x, x, Q" });
    const CliRun lost = RunCli({ "retune", low, "--tuning", "E A D G", "-o", out("four.bss") });
    EXPECT_EQ(lost.exitCode, 1);
    EXPECT_EQ(lost.err, "Line 3    B (Low B string, fret 0): no string of the new tuning can play it.\n");
    EXPECT_EQ(fw::test::ReadFileBytes(out("four.bss")),
        "* Tuning: E A D G\r\n* Not playable on this tuning: B (Low B string, fret 0) in B E A D G\r\n"
        "Rest, x, x, x, x, Q\r\n");
    EXPECT_EQ(RunCli({ "retune", low, "-o", out("x.bss") }).exitCode, 2);
}
