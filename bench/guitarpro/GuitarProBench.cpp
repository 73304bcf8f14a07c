// A GP5 song of 10,000 bars of bass (and ten times as many), read and converted to a chord list, to
// show that the import takes little time and grows with the length and no faster. The targets
// apply to the processor time this process spends (the machine is shared); wall-clock times are
// printed beside them.
#include "BestOfRuns.h"
#include "GuitarProConversion.h"
#include "GuitarProFile.h"
#include "GuitarProWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>

namespace {

using namespace fw::guitarpro;

// A bass line of eighths with the marks a real part has: hammer-ons, slides, ghost and dead notes,
// a tie into the next bar, and a repeat every eight bars.
QByteArray MakeSong(int bars)
{
    Score score;
    score.title = QStringLiteral("Benchmark");
    score.measures.resize(bars);
    Track bass = fw::test::GpTrack(QStringLiteral("Bass"), 33, { 43, 38, 33, 28 }, bars);
    for (int m = 0; m < bars; ++m) {
        score.measures[m].repeatOpen = m % 8 == 0;
        score.measures[m].repeatPlays = m % 8 == 7 ? 2 : 0;
        QList<Beat>& beats = bass.measures[m].voices[0];
        for (int b = 0; b < 8; ++b) {
            Note note = fw::test::GpNote(4 - b % 3, (m + b) % 12);
            note.hammer = b == 1;
            note.slideOut = b == 3 ? SlideOut::Legato : SlideOut::None;
            note.ghost = b == 5;
            note.dead = b == 6;
            note.tie = b == 0 && m > 0;
            beats.append(fw::test::GpBeat(8, { note }));
        }
    }
    score.tracks = { bass };
    return fw::test::WriteGuitarPro(score, 510);
}

struct Times {
    double cpuMs = 0;
    double readCpuMs = 0; // reading alone, without the conversion
    double wallMs = 0;
    qsizetype bytes = 0;
    qsizetype lines = 0;
    bool ok = true;
};

Times Measure(int bars)
{
    const QByteArray song = MakeSong(bars);
    Times times;
    times.bytes = song.size();
    const auto work = [&] {
        QString error;
        const std::optional<Score> score = ReadGuitarProFile(song, error);
        const Conversion converted = score ? ConvertScore(*score, {}) : Conversion();
        times.ok = score && converted.error.isEmpty();
        times.lines = converted.lines.size();
    };
    times.cpuMs = fw::bench::BestCpuMilliseconds(3, work);
    times.readCpuMs = fw::bench::BestCpuMilliseconds(3, [&] {
        QString error;
        times.ok = times.ok && ReadGuitarProFile(song, error).has_value();
    });
    times.wallMs = fw::bench::BestMilliseconds(3, work);
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // --write FILE BARS: the song alone, to time another reader on the same file.
    if (argc == 4 && QByteArray(argv[1]) == "--write") {
        QFile file(QString::fromLocal8Bit(argv[2]));
        return file.open(QIODevice::WriteOnly) && file.write(MakeSong(std::max(QByteArray(argv[3]).toInt(), 1))) > 0
            ? 0
            : 1;
    }
    const Times thousand = Measure(1000);
    std::printf("GP5 of 1000 bars (to set beside other readers): read %.1f ms, read and converted %.1f ms (cpu)\n",
        thousand.readCpuMs, thousand.cpuMs);
    const Times small = Measure(10000);
    const Times large = Measure(100000);
    std::printf("GP5 of 10000 bars: %lld bytes, %lld lines; wall clock %.1f ms\n", static_cast<long long>(small.bytes),
        static_cast<long long>(small.lines), small.wallMs);
    std::printf("GP5 of 100000 bars: %lld bytes, %lld lines; wall clock %.1f ms\n", static_cast<long long>(large.bytes),
        static_cast<long long>(large.lines), large.wallMs);
    bool ok = thousand.ok && small.ok && large.ok;
    fw::bench::PrintFigure("guitar pro import 10000 bars (cpu)", small.cpuMs, " ms", "<=", 150, ok);
    fw::bench::PrintFigure("guitar pro import growth 10k -> 100k", large.cpuMs / small.cpuMs, "", "<=", 12, ok);
    return ok ? 0 : 1;
}
