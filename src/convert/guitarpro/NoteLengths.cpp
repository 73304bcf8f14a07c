#include "NoteLengths.h"

#include "Pitch.h"

#include <algorithm>

namespace fw::guitarpro {

namespace {

    // Every note value down to a 128th, with up to two dots, in a tuplet of up to 13 is a whole
    // number of these to the whole note (512 times 3 * 3 * 5 * 7 * 11 * 13).
    constexpr long long WholeFine = 512LL * 45045;
    constexpr long long FinePerTick = WholeFine / WholeTicks;

    long long FineLength(const NoteValue& duration)
    {
        const long long value = std::clamp(duration.value, 1, 1024);
        const int dots = std::clamp(duration.dots, 0, 3);
        const long long enters = std::clamp(duration.enters, 1, 1024);
        const long long times = std::clamp(duration.times, 1, 1024);
        return WholeFine * times * ((2LL << dots) - 1) / (value * enters * (1LL << dots));
    }

    bool Fillable(long long ticks) { return ticks == 0 || (ticks >= 2 && ticks != 3 && ticks != 5 && ticks != 7); }

} // namespace

long long MeterTicks(int numerator, int denominator)
{
    return static_cast<long long>(WholeTicks) * std::max(numerator, 1) / std::clamp(denominator, 1, WholeTicks);
}

BeatTicks PlaceBeats(const QList<Beat>& beats)
{
    BeatTicks placed;
    std::vector<long long>& starts = placed.starts;
    starts.reserve(beats.size() + 1);
    long long fine = 0;
    starts.push_back(0);
    bool exact = true;
    for (const Beat& beat : beats) {
        const long long start = fine;
        if (!beat.grace)
            fine += FineLength(beat.duration);
        exact = exact && fine % FinePerTick == 0 && Fillable((fine - start) / FinePerTick);
        starts.push_back(fine);
    }
    for (long long& start : starts)
        start = exact ? start / FinePerTick : (start + FinePerTick) / (2 * FinePerTick) * 2;
    placed.rounded = !exact;
    return placed;
}

} // namespace fw::guitarpro
