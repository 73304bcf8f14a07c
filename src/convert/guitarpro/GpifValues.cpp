#include "GpifValues.h"

#include <algorithm>
#include <utility>

namespace fw::guitarpro {

bool Numbers(QStringView text, qsizetype limit, QList<int>& numbers)
{
    numbers.clear();
    qsizetype at = 0;
    while (at < text.size()) {
        if (text[at].isSpace()) {
            ++at;
            continue;
        }
        qsizetype end = at;
        while (end < text.size() && !text[end].isSpace())
            ++end;
        bool ok = false;
        const int value = text.sliced(at, end - at).toInt(&ok);
        if (!ok || numbers.size() >= limit)
            return false;
        numbers.append(value);
        at = end;
    }
    return true;
}

Harmonic HarmonicOf(const QString& type)
{
    if (type == QLatin1String("Natural"))
        return Harmonic::Natural;
    if (type == QLatin1String("Artificial") || type == QLatin1String("Feedback"))
        return Harmonic::Artificial;
    if (type == QLatin1String("Pinch"))
        return Harmonic::Pinch;
    if (type == QLatin1String("Tap"))
        return Harmonic::Tapped;
    if (type == QLatin1String("Semi"))
        return Harmonic::Semi;
    return Harmonic::None;
}

int NoteValueOf(const QString& name)
{
    static const std::pair<QLatin1StringView, int> Values[] = {
        { QLatin1StringView("Whole"), 1 },
        { QLatin1StringView("Half"), 2 },
        { QLatin1StringView("Quarter"), 4 },
        { QLatin1StringView("Eighth"), 8 },
        { QLatin1StringView("16th"), 16 },
        { QLatin1StringView("32nd"), 32 },
        { QLatin1StringView("64th"), 64 },
        { QLatin1StringView("128th"), 128 },
        // The model's shortest note: what is shorter is heard as it.
        { QLatin1StringView("256th"), 128 },
    };
    const auto found = std::find_if(
        std::begin(Values), std::end(Values), [&name](const auto& entry) { return name == entry.first; });
    return found != std::end(Values) ? found->second : 0;
}

} // namespace fw::guitarpro
