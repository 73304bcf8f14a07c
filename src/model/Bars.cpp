#include "Bars.h"

#include "TextRules.h"

#include <numeric>

namespace fw {

std::vector<Bar> BarsOf(const ParsedLineList& parsed)
{
    std::vector<Bar> bars;
    TimeSignature time;
    bool timeSet = false;
    bool inBar = false;
    long long start = 0;
    for (int i = 0; i < parsed.size(); ++i) {
        const ChordDef& def = parsed[i];
        if (def.Time) {
            time = *def.Time;
            timeSet = true;
            continue;
        }
        if (!IsNoteEntry(def)) {
            // Count-off entries have an empty name and take no part; a blank entry closes the bar.
            if (!def.Name.isEmpty() && TrimBlanks(def.Name).isEmpty())
                inBar = false;
            continue;
        }
        if (!inBar) {
            Bar bar;
            bar.number = static_cast<int>(bars.size()) + 1;
            bar.firstEntry = i;
            bar.time = time;
            bar.timeSet = timeSet;
            bar.timeChanges = timeSet && (bars.empty() || !bars.back().timeSet || !(bars.back().time == time));
            bar.startTicks = start;
            bars.push_back(bar);
            inBar = true;
        }
        Bar& bar = bars.back();
        bar.lastEntry = i;
        const int ticks = DurationValue(def.Duration, WholeTicks);
        bar.ticks += ticks;
        start += ticks;
    }
    return bars;
}

QString BarLengthText(long long ticks, const TimeSignature& time)
{
    long long numerator = ticks;
    long long denominator = WholeTicks;
    const long long divisor = std::gcd(numerator, denominator);
    if (divisor > 0) {
        numerator /= divisor;
        denominator /= divisor;
    }
    if (denominator < time.unit && time.unit % denominator == 0) {
        numerator *= time.unit / denominator;
        denominator = time.unit;
    }
    return QStringLiteral("%1/%2").arg(numerator).arg(denominator);
}

QString BarLengthProblem(const Bar& bar)
{
    if (bar.addsUp())
        return QString();
    const QString subject = bar.number > 0 ? QStringLiteral("Bar %1").arg(bar.number) : QStringLiteral("This bar");
    return QStringLiteral("%1 lasts %2, not %3.").arg(subject, BarLengthText(bar.ticks, bar.time), bar.time.text());
}

} // namespace fw
