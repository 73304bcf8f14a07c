#include "TabRhythm.h"

#include "Pitch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>

namespace fw::asciitab {

namespace {

    struct Form {
        QString text;
        int ticks = 0;
        bool triplet = false;
        bool dotted = false;
    };

    // Longest first, so searches stop at the first form that fits.
    const std::vector<Form>& Forms()
    {
        static const std::vector<Form> forms = [] {
            std::vector<Form> list;
            for (const char* mark : { "", ".", "/" }) {
                for (const char* letter : { "W", "H", "Q", "E", "S", "T", "F" }) {
                    const QString text = QLatin1String(mark) + QLatin1String(letter);
                    list.push_back({ text, DurationValue(text, WholeTicks), *mark == '/', *mark == '.' });
                }
            }
            std::sort(list.begin(), list.end(), [](const Form& a, const Form& b) { return a.ticks > b.ticks; });
            return list;
        }();
        return forms;
    }

    // Which lengths up to a limit are sums of the allowed forms.
    const std::vector<bool>& Reachable(bool triplets)
    {
        constexpr int Limit = 3 * WholeTicks;
        static const auto build = [](bool withTriplets) {
            std::vector<bool> reach(Limit + 1, false);
            reach[0] = true;
            for (int t = 1; t <= Limit; ++t)
                for (const Form& form : Forms())
                    if ((withTriplets || !form.triplet) && form.ticks <= t && reach[t - form.ticks]) {
                        reach[t] = true;
                        break;
                    }
            return reach;
        };
        static const std::vector<bool> plain = build(false);
        static const std::vector<bool> all = build(true);
        return triplets ? all : plain;
    }

} // namespace

int FormTicks(QStringView text) { return DurationValue(text, WholeTicks); }

bool IsTripletForm(QStringView text) { return text.startsWith(u'/'); }

QStringList SplitLength(int ticks, bool triplets)
{
    QStringList parts;
    const std::vector<bool>& reach = Reachable(triplets);
    const int limit = static_cast<int>(reach.size()) - 1;
    // Long silences: whole notes until the rest of the length is small enough to plan.
    while (ticks > limit) {
        parts << QStringLiteral("W");
        ticks -= WholeTicks;
    }
    while (ticks > 0) {
        const Form* chosen = nullptr;
        for (const Form& form : Forms()) {
            if ((!triplets && form.triplet) || form.ticks > ticks)
                continue;
            if (reach[ticks - form.ticks]) {
                chosen = &form;
                break;
            }
        }
        if (!chosen) {
            // Not a sum of forms: the nearest shorter one, the remainder is lost.
            for (const Form& form : Forms())
                if ((triplets || !form.triplet) && form.ticks <= ticks) {
                    chosen = &form;
                    break;
                }
            if (!chosen)
                break;
        }
        parts << chosen->text;
        ticks -= chosen->ticks;
    }
    return parts;
}

std::optional<QStringList> FitBar(const std::vector<double>& spans)
{
    const int count = static_cast<int>(spans.size());
    const double total = std::accumulate(spans.begin(), spans.end(), 0.0);
    // The shortest form is 2 ticks; more notes than that allows cannot fill the bar.
    if (count == 0 || count > BarTicks / 2 || total <= 0)
        return std::nullopt;
    // Triplets and dots cost a little, so plain values win whenever they fit as well.
    constexpr double TripletCost = 12;
    constexpr double DottedCost = 4;
    constexpr double Infinite = std::numeric_limits<double>::infinity();
    const std::vector<Form>& forms = Forms();
    std::vector<double> cost(BarTicks + 1, Infinite);
    cost[0] = 0;
    // Only the lengths some choice reaches are visited: a bar of few notes reaches few of them.
    std::vector<int> reached { 0 };
    std::vector<double> next(BarTicks + 1, Infinite);
    std::vector<int> nextReached;
    // choice[i][t]: the form index that brought note i to t ticks.
    std::vector<std::array<signed char, BarTicks + 1>> choice(count);
    for (int i = 0; i < count; ++i) {
        const double ideal = spans[i] / total * BarTicks;
        nextReached.clear();
        for (int f = 0; f < static_cast<int>(forms.size()); ++f) {
            const Form& form = forms[f];
            if (form.ticks > BarTicks || form.ticks < ideal / 3 || form.ticks > ideal * 3)
                continue;
            const double own
                = std::abs(form.ticks - ideal) + (form.triplet ? TripletCost : 0) + (form.dotted ? DottedCost : 0);
            for (int t : reached) {
                const int to = t + form.ticks;
                if (to > BarTicks)
                    continue;
                const double c = cost[t] + own;
                if (next[to] == Infinite)
                    nextReached.push_back(to);
                if (c < next[to]) {
                    next[to] = c;
                    choice[i][to] = static_cast<signed char>(f);
                }
            }
        }
        for (int t : reached)
            cost[t] = Infinite;
        for (int t : nextReached) {
            cost[t] = next[t];
            next[t] = Infinite;
        }
        reached.swap(nextReached);
    }
    if (cost[BarTicks] == Infinite)
        return std::nullopt;
    QStringList result;
    for (int i = count - 1, t = BarTicks; i >= 0; --i) {
        const Form& form = forms[choice[i][t]];
        result.prepend(form.text);
        t -= form.ticks;
    }
    return result;
}

QString DescribeBeats(int ticks)
{
    const int beat = WholeTicks / 4;
    const int whole = ticks / beat;
    const int rest = ticks % beat;
    QString fraction;
    if (rest != 0) {
        const int divisor = std::gcd(rest, beat);
        fraction = QStringLiteral("%1/%2").arg(rest / divisor).arg(beat / divisor);
    }
    QString text;
    if (whole > 0)
        text = QString::number(whole);
    if (!fraction.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + fraction;
    if (text.isEmpty())
        text = QStringLiteral("0");
    const bool plural = whole > 1 || (whole == 1 && rest != 0) || (whole == 0 && rest == 0);
    return text + (plural ? QStringLiteral(" beats") : QStringLiteral(" beat"));
}

} // namespace fw::asciitab
