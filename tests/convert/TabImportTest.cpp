#include "AsciiTab.h"
#include "AsciiTabReader.h"
#include "CliRunner.h"
#include "Conversion.h"
#include "LineParser.h"
#include "TabBuilder.h"
#include "TestFiles.h"
#include "Tuning.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString CorpusDir = QStringLiteral(FW_SOURCE_DIR "/tests/convert/corpus");

QStringList FileLines(const QString& path)
{
    return fw::SplitDocumentLines(fw::DecodeDocumentBytes(fw::test::ReadFileBytes(path)));
}

// "--rhythm grid --unit S --as-written" as the command line gives it to the formats.
fw::ConvertOptions OptionsOf(const QString& path)
{
    fw::ConvertOptions options;
    const QStringList words
        = QString::fromUtf8(fw::test::ReadFileBytes(path)).simplified().split(u' ', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size(); ++i) {
        const bool flag = i + 1 == words.size() || words[i + 1].startsWith(QLatin1String("--"));
        const QString name = words[i].mid(2);
        options.insert(name, flag ? QString() : words[++i]);
    }
    return options;
}

int RunCli(const QStringList& args, QString* err = nullptr)
{
    const fw::test::CliRun run = fw::test::RunCli(args);
    if (err)
        *err = run.err;
    return run.exitCode;
}

// Every tab of the corpus reads as its chord list, with its report, through the .tab reader that
// File > Import and fretwerk-cli convert use.
TEST(TabCorpus, EveryTabReadsAsItsChordListAndReport)
{
    const QStringList tabs = QDir(CorpusDir).entryList({ QStringLiteral("*.tab") }, QDir::Files, QDir::Name);
    ASSERT_GE(tabs.size(), 20);
    for (const QString& tab : tabs) {
        const QString base = CorpusDir + u'/' + tab.chopped(4);
        SCOPED_TRACE(tab.toStdString());
        const fw::ReadResult result
            = fw::ReadFileAs(fw::Formats(), base + QStringLiteral(".tab"), OptionsOf(base + QStringLiteral(".args")));
        ASSERT_TRUE(result.document) << result.error.toStdString();
        EXPECT_EQ(result.document->lines.join(u'\n'), FileLines(base + QStringLiteral(".bss")).join(u'\n'));
        EXPECT_EQ(result.report.join(u'\n'), FileLines(base + QStringLiteral(".report")).join(u'\n'));
    }
}

struct GeneratedList {
    fw::ParsedLineList parsed; // as the parser leaves a list: chord entries, blank entries, closing blank
    QStringList expected; // the chord lines and bar ends the reader must give back
};

// Random bars of 1 to 16 columns (more are cut from the tab) with notes, chords and rests on every
// string of the tuning and every duration form.
GeneratedList Generate(const fw::Tuning& tuning, QRandomGenerator& random)
{
    static const QStringList forms = [] {
        QStringList all;
        for (const char* mark : { "", ".", "/" })
            for (const char* letter : { "W", "H", "Q", "E", "S", "T", "F" })
                all << QLatin1String(mark) + QLatin1String(letter);
        return all;
    }();
    GeneratedList list;
    if (!tuning.isStandard())
        list.expected << tuning.lineText();
    fw::ChordDef blank;
    blank.Name = QStringLiteral(" ");
    const int bars = random.bounded(1, 12);
    for (int b = 0; b < bars; ++b) {
        const int columns = random.bounded(1, fw::MaxTabColumns + 1);
        for (int c = 0; c < columns; ++c) {
            fw::ChordDef def;
            const int kind = random.bounded(10);
            for (int slot = tuning.firstSlot(); slot <= 6; ++slot)
                if (kind > 0 && random.bounded(tuning.stringCount()) == 0)
                    def.Frets[slot] = random.bounded(fw::FretCount + 1);
            if (kind > 0 && fw::AutomaticName(def, tuning) == QLatin1String("Rest"))
                def.Frets[tuning.firstSlot() + random.bounded(tuning.stringCount())]
                    = random.bounded(fw::FretCount + 1);
            def.Duration = forms[random.bounded(forms.size())];
            def.Name = fw::AutomaticName(def, tuning);
            list.parsed << def;
            list.expected << fw::BuildLine(def, tuning);
        }
        list.parsed << blank;
        list.expected << QString();
    }
    list.parsed << blank;
    return list;
}

// Lists written with the rhythm line and read back with the line rhythm come back the same:
// frets, durations and bars, for four, five and six strings.
TEST(RhythmLine, GeneratedListsComeBackAsTheyWere)
{
    QRandomGenerator random(14);
    const fw::Tuning tunings[] = { fw::Tuning(), fw::ParseTuningNames(u"D A D G").tuning,
        fw::ParseTuningNames(u"B E A D G").tuning, fw::ParseTuningNames(u"B E A D G C").tuning };
    for (const fw::Tuning& tuning : tunings) {
        for (int round = 0; round < 25; ++round) {
            SCOPED_TRACE(tuning.namesText().toStdString() + " round " + std::to_string(round));
            const GeneratedList list = Generate(tuning, random);
            const fw::Tablature tab = fw::Tablature::Build(list.parsed, tuning);
            const QStringList text = fw::BuildAsciiTab(tab, QStringLiteral("Generated"), QString(), true).Lines;
            fw::TabImportOptions options;
            options.rhythm = fw::TabRhythm::Line;
            // The tab names its tuning: drop D comes back as drop D without being told.
            const fw::TabImport back = fw::ImportAsciiTabText(text.join(u'\n'), options);
            ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
            QStringList chordLines;
            for (const QString& line : back.lines)
                if (!line.startsWith(QLatin1String("* Title:")))
                    chordLines << line;
            ASSERT_EQ(chordLines.join(u'\n'), list.expected.join(u'\n')) << text.join(u'\n').toStdString();
        }
    }
}

// Lists in other tunings, exported as ASCII tab and imported back through the .tab reader, keep their
// tuning and every note's pitch; with the rhythm line the durations come back too.
TEST(TabTuningRoundTrip, ExportedTabReadsBackAtTheSamePitches)
{
    const QStringList lists[] = {
        { "* Tuning: D A D G", "D, 0, x, x, x, Q", "Fifth, 0, 0, x, x, E", "", "A, x, 0, x, x, H",
            "G, x, x, x, 12, Q" },
        { "* Tuning: B E A D G", "B, 0, x, x, x, x, Q", "Chord, x, 2, 4, x, 5, .E", "", "E, 5, x, x, x, x, /S" },
        { "* Tuning: B E A D G C", "C, x, x, x, x, x, 3, Q", "Low, 1, x, x, x, x, x, E", "", "D, x, x, x, 0, x, x, H" },
        { "* Tuning: B E A D# G", "D#, x, x, x, 0, x, Q", "B, 0, x, x, x, x, Q" },
    };
    QTemporaryDir dir;
    for (const QStringList& lines : lists) {
        SCOPED_TRACE(lines.first().toStdString());
        const fw::Tuning tuning = fw::TuningOfLines(lines);
        for (const bool rhythmLine : { false, true }) {
            const QString path = dir.filePath(QStringLiteral("song.tab"));
            fw::ConvertOptions writeOptions;
            if (rhythmLine)
                writeOptions.insert(QStringLiteral("rhythm-line"), QString());
            const fw::WriteResult written
                = fw::Formats().writerFor(path)->write({ lines, {}, QStringLiteral("song.bss") }, path, writeOptions);
            ASSERT_TRUE(written.error.isEmpty()) << written.error.toStdString();
            fw::ConvertOptions readOptions;
            if (rhythmLine)
                readOptions.insert(QStringLiteral("rhythm"), QStringLiteral("line"));
            const fw::ReadResult read = fw::ReadFileAs(fw::Formats(), path, readOptions);
            ASSERT_TRUE(read.document) << read.error.toStdString();
            const QStringList& back = read.document->lines;
            ASSERT_TRUE(fw::TuningOfLines(back) == tuning) << back.join(u'\n').toStdString();
            // The notes by pitch (and duration with the rhythm line), in order.
            const auto notes = [&tuning, rhythmLine](const QStringList& list) {
                QStringList out;
                for (int i = 0; i < list.size(); ++i) {
                    fw::ChordDef def;
                    fw::ParseLineText(list[i], i, def, tuning);
                    if (!fw::IsNoteEntry(def))
                        continue;
                    QStringList pitches;
                    for (int slot = tuning.firstSlot(); slot <= 6; ++slot)
                        pitches << QString::number(def.Frets[slot] < 0 ? -1 : tuning.openNote(slot) + def.Frets[slot]);
                    out << pitches.join(u' ') + (rhythmLine ? u' ' + def.Duration : QString());
                }
                return out;
            };
            EXPECT_EQ(notes(back).join(u'\n').toStdString(), notes(lines).join(u'\n').toStdString())
                << "rhythm line " << rhythmLine;
        }
    }
}

// Chord lines and bar ends: comments and count-off lines aside, a run of blank lines one bar end,
// and the last bar closed.
QStringList ChordLinesAndBars(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : lines) {
        if (line.startsWith(u'*'))
            continue;
        if (line.trimmed().isEmpty() && (kept.isEmpty() || kept.last().isEmpty()))
            continue;
        kept << (line.trimmed().isEmpty() ? QString() : line);
    }
    if (!kept.isEmpty() && !kept.last().isEmpty())
        kept << QString();
    return kept;
}

// The same round trip through the command-line tool, and the writers reached through the layer
// write what the old verbs write, byte for byte.
TEST(ConvertCli, RoundTripsAndWritesTheSameBytesAsTheExportVerbs)
{
    QTemporaryDir dir;
    const QString walking = QStringLiteral(FW_SOURCE_DIR "/tests/cli/data/walking.bss");
    const QString tab = dir.filePath(QStringLiteral("w.tab"));
    const QString back = dir.filePath(QStringLiteral("back.bss"));
    QString err;
    ASSERT_EQ(RunCli({ "tab", walking, "-o", tab, "--rhythm-line" }), 0);
    ASSERT_EQ(RunCli({ "convert", tab, "-o", back, "--rhythm", "line" }, &err), 0) << err.toStdString();
    EXPECT_TRUE(err.startsWith(QLatin1String("Read 2 tab blocks of 4 strings: 3 bars, 8 chord lines.\n")))
        << err.toStdString();
    QProcess autoname;
    autoname.start(QStringLiteral(FW_CLI_PATH), { QStringLiteral("autoname"), walking });
    ASSERT_TRUE(autoname.waitForFinished(60000));
    const QStringList named = QString::fromUtf8(autoname.readAllStandardOutput()).split(u'\n');
    EXPECT_EQ(ChordLinesAndBars(FileLines(back)).join(u'\n'), ChordLinesAndBars(named).join(u'\n'));
    // The count-off goes into the tab's header and comes back as the list's own count-off line.
    EXPECT_TRUE(FileLines(tab).contains(QStringLiteral("Count off: 4")));
    EXPECT_TRUE(FileLines(back).contains(QStringLiteral("*Count Off 4")));

    struct Writer {
        const char* verb;
        const char* extension;
    };
    for (const Writer writer : { Writer { "midi", "mid" }, Writer { "tab", "tab" }, Writer { "pdf", "pdf" } }) {
        SCOPED_TRACE(writer.extension);
        const QString verbOut = dir.filePath(QStringLiteral("verb.") + QLatin1String(writer.extension));
        const QString layerOut = dir.filePath(QStringLiteral("layer.") + QLatin1String(writer.extension));
        ASSERT_EQ(RunCli({ QLatin1String(writer.verb), walking, "-o", verbOut }), 0);
        ASSERT_EQ(RunCli({ "convert", walking, "-o", layerOut }, &err), 0) << err.toStdString();
        // A PDF carries its creation time; the other files must match to the byte.
        if (QLatin1String(writer.extension) == QLatin1String("pdf"))
            EXPECT_TRUE(fw::test::ReadFileBytes(layerOut).startsWith("%PDF"));
        else
            EXPECT_EQ(fw::test::ReadFileBytes(layerOut), fw::test::ReadFileBytes(verbOut));
    }
    ASSERT_EQ(RunCli({ "convert", walking, "-o", dir.filePath(QStringLiteral("copy.bss")) }), 0);
    EXPECT_EQ(fw::test::ReadFileBytes(dir.filePath(QStringLiteral("copy.bss"))), fw::test::ReadFileBytes(walking));
}

// Files that are not tabs are refused with a message that says why, and nothing is written.
TEST(ConvertCli, RefusesHostileInputWithAClearMessage)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* message;
    };
    QByteArray huge(fw::MaxTabFileBytes + 1, '-');
    QByteArray longLines;
    for (int i = 0; i < 4; ++i)
        longLines += "|" + QByteArray(2'000'000, '-') + "5|\n";
    const Case cases[] = {
        { "binary.tab", QByteArray("G|--5--|\n\0\x01\x02\xff", 14), "This is not a text file: it holds binary data." },
        { "huge.tab", huge, "The file is too large for a tab: 64 MB (at most 64 MB)." },
        { "prose.txt", "Dear diary,\ntoday I played bass.\n--\n",
            "No tab found: the text has no block of 4 to 6 string lines" },
        { "three.tab", "G|--5--|\nD|-----|\nA|-----|\n", "No tab found" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString in = dir.filePath(QLatin1String(c.name));
        const QString out = dir.filePath(QStringLiteral("out.bss"));
        ASSERT_TRUE(fw::test::WriteFileBytes(in, c.bytes));
        QString err;
        EXPECT_EQ(RunCli({ "convert", in, "-o", out }, &err), 2);
        EXPECT_TRUE(err.contains(QLatin1String(c.message))) << err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    // Two-million-character lines still read, as one bar whose note is kept (a whole bar, as the
    // proportional rhythm measures it).
    const QString in = dir.filePath(QStringLiteral("long.tab"));
    ASSERT_TRUE(fw::test::WriteFileBytes(in, longLines));
    const fw::ReadResult read = fw::ReadFileAs(fw::Formats(), in, {});
    ASSERT_TRUE(read.document) << read.error.toStdString();
    EXPECT_EQ(read.document->lines.value(0), QStringLiteral("Chord, 5, 5, 5, 5, W"));
    QString err;
    EXPECT_EQ(RunCli({ "convert", in, "-o", dir.filePath(QStringLiteral("x.bss")), "--rhythm", "swing" }, &err), 2);
    EXPECT_TRUE(err.contains(QLatin1String("--rhythm must be uniform, grid, proportional or line")))
        << err.toStdString();
    EXPECT_EQ(RunCli({ "convert", in, "-o", dir.filePath(QStringLiteral("x.doc")) }, &err), 2);
    EXPECT_TRUE(err.contains(QLatin1String("cannot write"))) << err.toStdString();
}

} // namespace
