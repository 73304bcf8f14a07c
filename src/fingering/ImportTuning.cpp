#include "ImportTuning.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace fw {

namespace {

    // How often each note value occurs, so that every range test costs one pass over the values.
    // Values outside 0..255 lie outside every tuning's range and count at the ends.
    using NoteCounts = std::array<int, 256>;

    int Lowest(const Tuning& tuning) { return tuning.openNotes().front(); }
    int Highest(const Tuning& tuning, int fretLimit) { return tuning.openNotes().back() + fretLimit; }

    int OutOfRange(const NoteCounts& counts, const Tuning& tuning, int fretLimit)
    {
        int missing = 0;
        for (int value = 0; value < static_cast<int>(counts.size()); ++value)
            if (value < Lowest(tuning) || value > Highest(tuning, fretLimit))
                missing += counts[value];
        return missing;
    }

    // What a note costs the fretting hand when it is played where it is easiest: an open string
    // nothing, a fretted note a finger, and the narrow frets above the 12th a little more for each.
    // The fingering engine weighs notes so too; its hand moves are left out, since running it for
    // every candidate costs twice the fingering of a short file, while these sums cost nothing.
    constexpr long long FrettedNote = 1;
    constexpr int HighFretThreshold = 12;

    long long Effort(const NoteCounts& counts, const Tuning& tuning, int fretLimit)
    {
        long long effort = 0;
        for (int value = Lowest(tuning); value <= Highest(tuning, fretLimit); ++value) {
            if (counts[value] == 0)
                continue;
            long long easiest = -1;
            for (const int open : tuning.openNotes()) {
                const int fret = value - open;
                if (fret < 0 || fret > fretLimit)
                    continue;
                const long long note = fret == 0 ? 0 : FrettedNote + std::max(0, fret - HighFretThreshold);
                easiest = easiest < 0 ? note : std::min(easiest, note);
            }
            effort += easiest * counts[value];
        }
        return effort;
    }

    // How far the lowest note the tuning plays lies above its lowest string: bass lines reach down to
    // the open low string of the tuning they were written for, so the closest fit is the likeliest.
    int Slack(const NoteCounts& counts, const Tuning& tuning, int fretLimit)
    {
        for (int value = Lowest(tuning); value <= Highest(tuning, fretLimit); ++value)
            if (counts[value] > 0)
                return value - Lowest(tuning);
        return 0;
    }

    QString NotesText(int count)
    {
        return count == 1 ? QStringLiteral("1 note is") : QStringLiteral("%1 notes are").arg(count);
    }

    QString Report(const TuningChoice& choice)
    {
        const Tuning& tuning = choice.tuning;
        QString name = QStringLiteral("Tuning ") + tuning.namesText();
        if (tuning.stringCount() != 4)
            name += QStringLiteral(" (%1 strings)").arg(tuning.stringCount());
        if (choice.fretLimit > FretCount)
            name += QStringLiteral(" with %1 frets").arg(choice.fretLimit);
        if (choice.outOfRange == 0)
            return name + QStringLiteral(": it plays every note.");
        if (choice.foldOctaves)
            return name
                + QStringLiteral(": it plays the most notes; %1 out of its range and moved by octaves into it.")
                      .arg(NotesText(choice.outOfRange));
        return name
            + QStringLiteral(": it plays the most notes; %1 out of its range and left as rests (--fold-octaves "
                             "moves them by octaves into it).")
                  .arg(NotesText(choice.outOfRange));
    }

} // namespace

int TuningChoice::fit(int note) const
{
    if (!foldOctaves)
        return note;
    const int lowest = Lowest(tuning);
    const int highest = Highest(tuning, fretLimit);
    // Every candidate spans more than an octave, so whole octaves always land inside the range.
    if (note < lowest)
        return note + 12 * ((lowest - note + 11) / 12);
    if (note > highest)
        return note - 12 * ((note - highest + 11) / 12);
    return note;
}

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

TuningChoice ChooseImportTuning(const std::vector<FingeringEvent>& events, bool foldOctaves)
{
    NoteCounts counts {};
    for (const FingeringEvent& event : events)
        for (const int note : event)
            ++counts[std::clamp(note, 0, static_cast<int>(counts.size()) - 1)];

    // Every candidate on both necks, ranked by what it needs of the player and by how closely its
    // range fits the notes; the effort of the notes decides only between those equal in both (drop D
    // and D standard for a line down to the low D: which one has the notes on open strings).
    struct Option {
        const Tuning* tuning;
        int fretLimit;
        int outOfRange;
        int slack;
        auto needs() const { return std::tuple(outOfRange, tuning->stringCount(), fretLimit, slack); }
    };
    std::vector<Option> options;
    for (const int fretLimit : { FretCount, MaxFretLimit })
        for (const Tuning& tuning : ImportTuningCandidates())
            options.push_back(
                { &tuning, fretLimit, OutOfRange(counts, tuning, fretLimit), Slack(counts, tuning, fretLimit) });
    const auto fewest = std::min_element(options.begin(), options.end(), [](const Option& a, const Option& b) {
        return a.needs() < b.needs();
    })->needs();
    std::erase_if(options, [&](const Option& option) { return option.needs() != fewest; });

    // Options are in the order of preference, so an equal effort keeps the earlier one.
    const Option* best = &*std::min_element(options.begin(), options.end(), [&](const Option& a, const Option& b) {
        return Effort(counts, *a.tuning, a.fretLimit) < Effort(counts, *b.tuning, b.fretLimit);
    });
    TuningChoice choice;
    choice.tuning = *best->tuning;
    choice.fretLimit = best->fretLimit;
    choice.outOfRange = best->outOfRange;
    choice.foldOctaves = foldOctaves;
    choice.report = Report(choice);
    return choice;
}

TuningChoice ChooseImportTuning(const std::vector<int>& notes, bool foldOctaves)
{
    std::vector<FingeringEvent> events;
    events.reserve(notes.size());
    for (const int note : notes)
        events.push_back({ note });
    return ChooseImportTuning(events, foldOctaves);
}

} // namespace fw
