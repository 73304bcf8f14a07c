#include "TabTuning.h"

#include "Pitch.h"

#include <QRegularExpression>
#include <algorithm>

namespace fw::asciitab {

namespace {

    QString LabelName(const QString& label)
    {
        if (label.isEmpty())
            return label;
        return label.left(1).toUpper() + label.mid(1);
    }

    // Lowered tunings are spelled with flats ("Eb"), as tabs name them.
    Tuning Shifted(const Tuning& tuning, int semitones, bool lowestOnly)
    {
        std::vector<int> open = tuning.openNotes();
        QStringList names;
        for (int i = 0; i < static_cast<int>(open.size()); ++i) {
            if (i == 0 || !lowestOnly)
                open[i] += semitones;
            const QString full = PitchClassName(open[i]);
            names << (full.contains(u'/') ? full.section(u'/', 1, 1) : full);
        }
        return Tuning(std::move(open), names);
    }

} // namespace

Tuning StandardTuning(int strings)
{
    if (strings == 5)
        return Tuning({ 35, 40, 45, 50, 55 }, { "B", "E", "A", "D", "G" });
    if (strings == 6)
        return Tuning({ 35, 40, 45, 50, 55, 60 }, { "B", "E", "A", "D", "G", "C" });
    return Tuning();
}

std::optional<Tuning> TuningFromText(const QString& text, int strings)
{
    const TuningLineResult lowestFirst = ParseTuningNames(text);
    if (lowestFirst.kind == TuningLineKind::Valid && lowestFirst.tuning.stringCount() == strings)
        return lowestFirst.tuning;
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    QStringList tokens = text.split(separators, Qt::SkipEmptyParts);
    std::reverse(tokens.begin(), tokens.end());
    const TuningLineResult highestFirst = ParseTuningNames(tokens.join(u' '));
    if (highestFirst.kind == TuningLineKind::Valid && highestFirst.tuning.stringCount() == strings)
        return highestFirst.tuning;
    const QString phrase = text.toLower().simplified();
    const Tuning standard = StandardTuning(strings);
    if (phrase.contains(QLatin1String("drop d")) && strings == 4)
        return Shifted(standard, -2, true);
    if (phrase.contains(QLatin1String("drop a")) && strings >= 5)
        return Shifted(standard, -2, true);
    if (phrase.contains(QLatin1String("drop c")) && strings == 4)
        return Shifted(Shifted(standard, -2, false), -2, true);
    static const QRegularExpression halfDown(QStringLiteral(
        "half[- ]?step down|1/2 step down|down (a )?half[- ]?step|eb standard|e flat|eb tuning|d# standard"));
    static const QRegularExpression wholeDown(
        QStringLiteral("whole[- ]?step down|full[- ]?step down|down (a )?whole[- ]?step|d standard|d tuning"));
    if (halfDown.match(phrase).hasMatch())
        return Shifted(standard, -1, false);
    if (wholeDown.match(phrase).hasMatch())
        return Shifted(standard, -2, false);
    if (phrase.startsWith(QLatin1String("standard")) || phrase.startsWith(QLatin1String("std")))
        return standard;
    return std::nullopt;
}

std::optional<Tuning> TuningFromLabels(const QStringList& labelsTopDown)
{
    QStringList names;
    for (auto it = labelsTopDown.crbegin(); it != labelsTopDown.crend(); ++it) {
        if (it->isEmpty())
            return std::nullopt;
        names << LabelName(*it);
    }
    const TuningLineResult result = ParseTuningNames(names.join(u' '));
    if (result.kind != TuningLineKind::Valid)
        return std::nullopt;
    return result.tuning;
}

std::vector<int> SlotsOfBlock(const QStringList& labelsTopDown, const Tuning& tuning, bool& byLabels)
{
    const int lines = static_cast<int>(labelsTopDown.size());
    std::vector<int> slots(lines, 0);
    byLabels = false;
    if (lines == tuning.stringCount()) {
        for (int j = 0; j < lines; ++j)
            slots[j] = tuning.firstSlot() + j;
        return slots;
    }
    // Another number of strings than the list has: match the labels to the strings' names, highest first.
    std::vector<bool> used(7, false);
    bool matched = true;
    for (int j = 0; j < lines && matched; ++j) {
        const QString name = LabelName(labelsTopDown[j]);
        matched = false;
        for (int slot = tuning.firstSlot(); slot <= 6; ++slot) {
            if (!used[slot] && !name.isEmpty() && tuning.pitchName(slot).compare(name, Qt::CaseInsensitive) == 0) {
                used[slot] = true;
                slots[j] = slot;
                matched = true;
                break;
            }
        }
    }
    if (matched) {
        byLabels = true;
        return slots;
    }
    for (int j = 0; j < lines; ++j)
        slots[j] = tuning.firstSlot() + j <= 6 ? tuning.firstSlot() + j : 0;
    return slots;
}

} // namespace fw::asciitab
