// Reading and converting Guitar Pro 6 (.gpx) and 7 (.gp) files, in processor time of the reading
// thread, with the limits of GP5 files at a tenth of the bars: the XML spends some 4 KB on a bar of
// eighths, so 10,000 bars are 40 MB of score.gpif and 100,000 would pass the 256 MB a file may
// unpack to. A bass track of 1,000 bars in at most 150 ms, and 10,000 in at most 12 times that.
#include "BestOfRuns.h"
#include "Conversion.h"
#include "GpifWriter.h"
#include "GuitarProWriter.h"
#include "ZipBytes.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace fw::guitarpro;

// A bass line with a drummer: eighths on a five-string bass, a hammer-on and a slide every bar, a
// tie across every fourth bar line, and a drum track beside it.
Score Song(int bars)
{
    Score score;
    score.title = QStringLiteral("Benchmark");
    score.measures.resize(bars);
    Track bass = fw::test::GpTrack(QStringLiteral("Bass"), 33, { 43, 38, 33, 28, 23 }, bars);
    Track drums = fw::test::GpTrack(QStringLiteral("Drums"), 0, { 0, 0, 0, 0, 0, 0 }, bars);
    drums.percussion = true;
    for (int bar = 0; bar < bars; ++bar) {
        QList<Beat>& line = bass.measures[bar].voices[0];
        for (int eighth = 0; eighth < 8; ++eighth) {
            Note note = fw::test::GpNote(1 + (bar + eighth) % 5, (bar * 3 + eighth) % 12);
            note.hammer = eighth == 2;
            note.slideOut = eighth == 5 ? SlideOut::Legato : SlideOut::None;
            if (eighth == 0 && bar % 4 == 1) {
                note = bass.measures[bar - 1].voices[0].last().notes.first();
                note.tie = true;
                note.hammer = false;
                note.slideOut = SlideOut::None;
            }
            line.append(fw::test::GpBeat(8, { note }));
        }
        QList<Beat>& beat = drums.measures[bar].voices[0];
        for (int quarter = 0; quarter < 4; ++quarter)
            beat.append(fw::test::GpBeat(4, { fw::test::GpNote(1, quarter % 2 ? 38 : 36) }));
    }
    score.tracks = { bass, drums };
    return score;
}

QByteArray FileOf(const Score& score, const char* kind)
{
    if (qstrcmp(kind, "gpx") == 0)
        return fw::test::PackBcfz(
            fw::test::PackBcfs({ { "score.gpif", fw::test::WriteGpif(score, fw::test::GpifDialect::Gp6) } }));
    return fw::test::Zip({ { "Content/score.gpif", fw::test::WriteGpif(score, fw::test::GpifDialect::Gp7) } });
}

double TimeRead(
    const fw::ReaderFormat& format, const QByteArray& bytes, const QString& name, int runs, qsizetype& lines)
{
    return fw::bench::BestCpuMilliseconds(runs, [&] {
        const fw::ReadResult result = format.read(bytes, name, {});
        lines = result.document ? result.document->lines.size() : -1;
    });
}

} // namespace

constexpr int Rounds = 5;

// An argument (gpx or gp) times that container alone.
int main(int argc, char** argv)
{
    bool ok = true;
    for (const char* kind : { "gpx", "gp" }) {
        if (argc > 1 && qstrcmp(argv[1], kind) != 0)
            continue;
        const QString name = QStringLiteral("song.") + QLatin1String(kind);
        const fw::ReaderFormat* format = fw::Formats().readerFor(name);
        if (!format)
            return 2;
        const int bars = 1'000;
        const QByteArray smallFile = FileOf(Song(bars), kind);
        const QByteArray largeFile = FileOf(Song(bars * 10), kind);
        qsizetype smallLines = 0;
        qsizetype largeLines = 0;
        TimeRead(*format, largeFile, name, 1, largeLines);
        double smallMs = 1e300;
        std::vector<double> ratios;
        for (int round = 0; round < Rounds; ++round) {
            const double roundSmallMs = TimeRead(*format, smallFile, name, 3, smallLines);
            ratios.push_back(TimeRead(*format, largeFile, name, 2, largeLines) / roundSmallMs);
            smallMs = std::min(smallMs, roundSmallMs);
        }
        std::fprintf(stderr, "%s: %lld and %lld bytes, %lld and %lld chord-list lines\n", kind,
            static_cast<long long>(smallFile.size()), static_cast<long long>(largeFile.size()),
            static_cast<long long>(smallLines), static_cast<long long>(largeLines));
        const QString figure = QStringLiteral("%1 import %2 bars").arg(QLatin1String(kind)).arg(bars);
        fw::bench::PrintFigure(qPrintable(figure), smallMs, " ms", "<=", 150, ok);
        fw::bench::PrintFigure(
            qPrintable(figure + QStringLiteral(" x10 / x1")), fw::bench::Median(ratios), "", "<=", 12, ok);
        ok = ok && smallLines > bars && largeLines > bars * 10;
    }
    return ok ? 0 : 1;
}
