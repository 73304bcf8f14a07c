// Importing MIDI files as chord lists: a file of 65,535 one-note tracks and one of 1,000,000 empty
// tracks each in at most 2 s (the reader and the choice of part are linear in the tracks), and the
// choice of tuning at most 10 % more than an import with the tuning given, on a long bass line.
#include "BestOfRuns.h"
#include "MidiBenchBytes.h"
#include "MidiImport.h"

#include <cstdio>
#include <vector>

using fw::bench::BestCpuMilliseconds;
using fw::bench::BigEndian;
using fw::bench::Median;

namespace {

QByteArray Header(int tracks)
{
    return QByteArray("MThd") + BigEndian(6, 4) + BigEndian(1, 2) + BigEndian(tracks, 2) + BigEndian(96, 2);
}

QByteArray Track(const QByteArray& events) { return QByteArray("MTrk") + BigEndian(events.size(), 4) + events; }

// A walking line of eighths and quarters over two octaves from the low E, 40,000 notes.
QByteArray BassLine()
{
    QByteArray events = QByteArray::fromHex("00c021");
    const int keys[] = { 28, 31, 33, 35, 36, 38, 40, 43, 45, 47, 48, 45, 43, 40, 38, 35 };
    for (int i = 0; i < 40000; ++i) {
        const char key = static_cast<char>(keys[i % 16] + (i / 160) % 2 * 2);
        events += QByteArray::fromHex("0090") + key + char(100);
        events += (i % 3 == 0 ? QByteArray::fromHex("60") : QByteArray::fromHex("30")) + key + char(0);
    }
    return Header(1) + Track(events + QByteArray::fromHex("00ff2f00"));
}

} // namespace

int main()
{
    const QByteArray tiny = Track(QByteArray::fromHex("00903c40 60803c00 00ff2f00"));
    const QByteArray manyTracks = Header(65535) + tiny.repeated(65535);
    const QByteArray emptyTracks = Header(65535) + tiny + Track(QByteArray::fromHex("00ff2f00")).repeated(1000000);
    bool ok = true;
    for (const auto& [name, file] : { std::pair { "import 65,535 one-note tracks", &manyTracks },
             std::pair { "import 1,000,000 empty tracks", &emptyTracks } }) {
        bool imported = false;
        const double ms
            = BestCpuMilliseconds(1, [&] { imported = fw::ImportMidiChordList(*file, {}).error.isEmpty(); });
        ok = ok && imported;
        fw::bench::PrintFigure(name, ms, " ms", "<=", 2000, ok);
    }
    const QByteArray line = BassLine();
    fw::MidiImportOptions given;
    given.tuning = fw::Tuning();
    std::fprintf(
        stderr, "bass line: %lld lines\n", static_cast<long long>(fw::ImportMidiChordList(line, {}).lines.size()));
    std::vector<double> ratios;
    for (int round = 0; round < 5; ++round) {
        const double chosen = BestCpuMilliseconds(3, [&] { fw::ImportMidiChordList(line, {}); });
        const double known = BestCpuMilliseconds(3, [&] { fw::ImportMidiChordList(line, given); });
        ratios.push_back(chosen / known);
    }
    fw::bench::PrintFigure("import with the tuning chosen / given", Median(ratios), "", "<=", 1.10, ok);
    return ok ? 0 : 1;
}
