// Plays a 300-entry chord list of sixteenth, thirty-second and sixty-fourth notes at tempo 300 with
// the real clock into a recording port, and compares every note start with the ideal schedule.

#include "HeadlessPlayback.h"
#include "MidiPort.h"
#include "Pitch.h"
#include "PlayClock.h"
#include "RecordingBackend.h"

#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace fw;

int main()
{
    constexpr int Entries = 300;
    constexpr int Tempo = 300;
    const char* const durations[] = { "S", "T", "F" };
    QStringList lines;
    std::vector<std::int64_t> lengthsUs;
    for (int i = 0; i < Entries; ++i) {
        const char* duration = durations[(i * 7 + i / 3) % 3];
        lines << QStringLiteral("N, %1, x, x, x, %2").arg(i % 12).arg(QLatin1String(duration));
        lengthsUs.push_back(
            static_cast<std::int64_t>(DurationValue(QString::fromLatin1(duration), WholeNoteLength(Tempo))) * 1000);
    }

    SteadyPlayClock clock;
    RecordingBackend recorder(clock);
    MidiPort port(recorder);
    HeadlessPlayback playback(lines, Tempo, 33, port, clock);

    timespec cpuStart {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuStart);
    const std::int64_t wallStart = clock.nowUs();
    playback.play();
    const std::int64_t wallEnd = clock.nowUs();
    timespec cpuEnd {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuEnd);

    // The playback's schedule starts at its first program change (the count-off's, with no clicks).
    std::vector<std::int64_t> starts;
    std::int64_t lastOff = 0;
    for (const TimedMessage& m : recorder.messages) {
        if (m.status() == 0x90)
            starts.push_back(m.timeUs);
        if (m.status() == 0x80)
            lastOff = m.timeUs;
    }
    if (recorder.messages.isEmpty() || starts.size() != lengthsUs.size()) {
        std::fprintf(stderr, "bench_playback: expected %d note starts, got %zu\n", Entries, starts.size());
        return 1;
    }
    const std::int64_t origin = recorder.messages.first().timeUs;
    std::vector<std::int64_t> errors;
    std::int64_t ideal = origin;
    for (size_t i = 0; i < starts.size(); ++i) {
        errors.push_back(std::abs(starts[i] - ideal));
        ideal += lengthsUs[i];
    }
    const std::int64_t drift = lastOff - ideal;
    std::sort(errors.begin(), errors.end());
    const auto at
        = [&errors](double q) { return errors[std::min(errors.size() - 1, static_cast<size_t>(q * errors.size()))]; };
    const double cpuUs = (cpuEnd.tv_sec - cpuStart.tv_sec) * 1e6 + (cpuEnd.tv_nsec - cpuStart.tv_nsec) / 1e3;
    const double wallUs = static_cast<double>(wallEnd - wallStart);

    std::printf("playback: %d entries at tempo %d, %.3f s\n", Entries, Tempo, wallUs / 1e6);
    std::printf("note-start error: median %lld us, p99 %lld us, max %lld us\n", static_cast<long long>(at(0.5)),
        static_cast<long long>(at(0.99)), static_cast<long long>(errors.back()));
    std::printf("end drift: %lld us\n", static_cast<long long>(drift));
    std::printf("cpu: %.1f%% of wall time\n", 100.0 * cpuUs / wallUs);
    const bool ok = at(0.99) <= 1000 && std::abs(drift) <= 1000 && cpuUs <= 0.10 * wallUs;
    std::printf("targets (p99 <= 1000 us, drift <= 1000 us, cpu <= 10%%): %s\n", ok ? "met" : "MISSED");
    return ok ? 0 : 1;
}
