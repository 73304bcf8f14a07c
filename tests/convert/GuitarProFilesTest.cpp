// Guitar Pro files that must be refused whole, the order repeats are played in, and the same files
// read by a second reader.
#include "Conversion.h"
#include "GuitarProConversion.h"
#include "GuitarProFile.h"
#include "GuitarProReading.h"
#include "GuitarProSongs.h"
#include "GuitarProWriter.h"
#include "MeasureOrder.h"
#include "QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fw;
using namespace fw::guitarpro;
using namespace fw::test;

namespace {

// The score model's, not the chord list's.
using fw::guitarpro::Attack;
using fw::guitarpro::SlideIn;

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

TEST(GuitarProImport, DamagedAndForeignFilesRefusedWhole)
{
    Score sevenStrings = DropDSong();
    sevenStrings.tracks = { GpTrack(QStringLiteral("ERB"), 33, { 48, 43, 38, 33, 28, 23, 18 }, 2) };
    Score eightStrings = DropDSong();
    eightStrings.tracks[2].tuning = { 48, 43, 38, 33, 28, 23, 18, 13 };
    Score longNeck = DropDSong();
    longNeck.tracks[2].frets = 100;
    const QByteArray song = WriteGuitarPro(DropDSong(), 500);
    const struct {
        const char* name;
        QByteArray file;
        QString error;
    } cases[] = {
        { "a web page", "<!DOCTYPE html><html><body>Not found</body></html>",
            QStringLiteral("This is not a Guitar Pro file: it does not begin as Guitar Pro files (GP3 to GP5, GPX, GP7 "
                           "and GP8) do.") },
        { "GPX", QByteArray("BCFZ") + QByteArray(40, '\x01'),
            QStringLiteral("Not a readable Guitar Pro 6 file: its compressed data refers back before its start.") },
        { "empty", QByteArray(),
            QStringLiteral("This is not a Guitar Pro file: it does not begin as Guitar Pro files (GP3 to GP5, GPX, GP7 "
                           "and GP8) do.") },
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
        { "100 frets", WriteGuitarPro(longNeck, 300),
            QStringLiteral("Track 3 has 100 frets and a capo at fret 0 (a track this program reads has at most 99 "
                           "frets and a capo at most at fret 30): the file is damaged.") },
        { "only a seven-string bass", WriteGuitarPro(sevenStrings, 510),
            QStringLiteral("No track of the file has 4 to 6 strings (drums aside): there is no bass part to read.") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result = GuitarProReader().read(c.file, QStringLiteral("song.gp5"), {});
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
    const QString modules = SecondReaderModules();
    if (modules.isEmpty())
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
        const std::optional<QStringList> theirs = SecondReading(modules, path, bass, error);
        ASSERT_TRUE(theirs.has_value()) << qPrintable(error);
        EXPECT_EQ(OurReading(ours->tracks[bass]), *theirs);
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
