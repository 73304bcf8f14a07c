#include "Practice.h"

#include "DocumentText.h"
#include "Pitch.h"

#include <QStringList>
#include <algorithm>

namespace fw {

QString PracticePlanError(const PracticePlan& plan)
{
    auto inRange = [](int value) { return value >= MinPracticePercent && value <= MaxPracticePercent; };
    if (!inRange(plan.startPercent) || !inRange(plan.targetPercent))
        return QStringLiteral("The tempos must be %1% to %2%.").arg(MinPracticePercent).arg(MaxPracticePercent);
    if (plan.startPercent > plan.targetPercent)
        return QStringLiteral("The start tempo must not be above the target tempo.");
    if (plan.stepPercent < 1 || plan.stepPercent > MaxPracticePercent)
        return QStringLiteral("The step must be 1% to %1%.").arg(MaxPracticePercent);
    if (plan.passes < 1 || plan.passes > MaxPracticePasses)
        return QStringLiteral("The passes per tempo must be 1 to %1.").arg(MaxPracticePasses);
    return QString();
}

std::optional<PracticePlan> ParsePracticePlan(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 4)
        return std::nullopt;
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    PracticePlan plan;
    plan.startPercent = values[0];
    plan.stepPercent = values[1];
    plan.passes = values[2];
    plan.targetPercent = values[3];
    return plan;
}

int PercentTempo(int documentTempo, int percent)
{
    return std::clamp(documentTempo * percent / 100, MinTempo, MaxTempo);
}

std::vector<int> PassTempos(const PracticePlan& plan, int documentTempo)
{
    std::vector<int> tempos;
    if (!PracticePlanError(plan).isEmpty())
        return tempos;
    for (int percent = plan.startPercent;; percent = std::min(percent + plan.stepPercent, plan.targetPercent)) {
        const int tempo = PercentTempo(documentTempo, percent);
        tempos.insert(tempos.end(), static_cast<size_t>(plan.passes), tempo);
        if (percent >= plan.targetPercent)
            break;
    }
    return tempos;
}

std::vector<MetronomeClick> MetronomeClicks(int passMs, int quarterMs)
{
    std::vector<MetronomeClick> clicks;
    if (quarterMs <= 0)
        return clicks;
    for (int beat = 0; beat * quarterMs < passMs; ++beat)
        clicks.push_back({ beat * quarterMs, beat % 4 == 0 });
    return clicks;
}

std::vector<MetronomeClick> BarClicks(const std::vector<MeteredBar>& bars, int passMs)
{
    std::vector<MetronomeClick> clicks;
    for (const MeteredBar& bar : bars) {
        if (bar.beatMs <= 0)
            continue;
        for (int time = bar.startMs; time < bar.endMs && time < passMs; time += bar.beatMs) {
            if (time >= 0)
                clicks.push_back({ time, time == bar.startMs });
        }
    }
    return clicks;
}

} // namespace fw
