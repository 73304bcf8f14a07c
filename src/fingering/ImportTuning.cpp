#include "ImportTuning.h"

#include <algorithm>

namespace fw {

namespace {

    constexpr int LongNeck = 24;

    int OutOfRange(const std::vector<int>& notes, const Tuning& tuning, int fretLimit)
    {
        const int lowest = tuning.openNotes().front();
        const int highest = tuning.openNotes().back() + fretLimit;
        return static_cast<int>(
            std::count_if(notes.begin(), notes.end(), [&](int note) { return note < lowest || note > highest; }));
    }

    QString StringsText(const Tuning& tuning)
    {
        return tuning.stringCount() == 4 ? QString() : QStringLiteral(" (%1 strings)").arg(tuning.stringCount());
    }

} // namespace

const std::vector<Tuning>& ImportTuningCandidates()
{
    static const std::vector<Tuning> candidates = [] {
        std::vector<Tuning> all;
        for (const char* names : { "E A D G", "D A D G", "Eb Ab Db Gb", "D G C F", "B E A D G", "B E A D G C" })
            all.push_back(ParseTuningNames(QString::fromLatin1(names)).tuning);
        return all;
    }();
    return candidates;
}

TuningChoice ChooseImportTuning(const std::vector<int>& notes)
{
    // The first candidate that plays every note on an 18-fret neck, else on a 24-fret neck, else the
    // one that leaves the fewest notes out.
    TuningChoice best;
    best.outOfRange = static_cast<int>(notes.size()) + 1;
    for (const int fretLimit : { FretCount, LongNeck }) {
        for (const Tuning& tuning : ImportTuningCandidates()) {
            const int missing = OutOfRange(notes, tuning, fretLimit);
            if (missing < best.outOfRange) {
                best.tuning = tuning;
                best.fretLimit = fretLimit;
                best.outOfRange = missing;
            }
        }
        if (best.outOfRange == 0)
            break;
    }
    const QString name = QStringLiteral("Tuning %1%2").arg(best.tuning.namesText(), StringsText(best.tuning));
    const QString neck = best.fretLimit > FretCount ? QStringLiteral(" with %1 frets").arg(best.fretLimit) : QString();
    best.report = best.outOfRange == 0 ? QStringLiteral("%1%2, the first that plays every note.").arg(name, neck)
                                       : QStringLiteral("%1%2 plays the most notes; %3 notes are out of its range.")
                                             .arg(name, neck)
                                             .arg(best.outOfRange);
    return best;
}

} // namespace fw
