#include "Fingering.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <limits>
#include <tuple>

namespace fw {

namespace {

    // The costs, in one integer unit. A line's cost is the sum over its events of the hand's move
    // from the previous event, the string change, and the effort of the event itself.

    // Any move of the hand costs something of its own: the fingers must let go and find the frets
    // again, so one move of two frets is easier than two moves of one.
    constexpr long long ShiftStart = 1;
    // Each fret of the move, proportionally...
    constexpr long long ShiftPerFret = 1;
    // ...and half its square, so long jumps cost more than proportionally: they are slower and less
    // sure, yet a run up the neck may still move a few frets at once.
    constexpr long long ShiftSquareDivisor = 2;
    // Four fingers cover four frets from the hand's position; reaching a fifth fret stretches the hand
    // and is heavy, so a line is split into positions of four frets wherever it can be.
    constexpr long long FifthFretStretch = 8;
    // Beyond a fifth fret the hand cannot reach at all without moving; only chords of no other
    // playable shape ever pay this, per fret too far.
    constexpr long long OutOfReachPerFret = 40;
    // Crossing strings, by the number of strings crossed: the next string is almost free, skipping
    // one (the octave shape) is easy, reaching across three or more is a jump of the plucking hand.
    constexpr long long StringCross[] = { 0, 1, 3, 6, 10, 15 };
    // A string left out inside a chord must be muted, which needs a finger of its own.
    constexpr long long SkippedChordString = 2;

    // The index finger's fret. The highest fret is reached by the fourth finger at the highest position.
    constexpr int FingerSpan = 3;
    int MaxPosition(const FingeringRules& rules) { return rules.fretLimit - FingerSpan; }
    // Linked notes on two strings: allowed only where no fingering keeps them on one.
    constexpr long long BrokenLink = 100000;

    constexpr long long Infinite = std::numeric_limits<long long>::max() / 4;
    constexpr int PackBits = 16;

    long long ShiftCost(int distance)
    {
        if (distance == 0)
            return 0;
        return ShiftStart + ShiftPerFret * distance + distance * distance / ShiftSquareDivisor;
    }

    // One note of a candidate: which note of the event, and where it is played.
    struct PlayedNote {
        int note = 0;
        Placement placement;
    };

    // One way to play an event's playable notes; at most one note per string.
    struct Candidate {
        std::array<PlayedNote, MaxTuningStrings> played;
        int playedCount = 0;
        int lowestString = 0; // string index of the lowest played string, 0 the lowest of the tuning
        int minFret = 0; // of the fretted notes; both 0 when all notes are open
        int maxFret = 0;
        bool anyFretted = false;
        long long effort = 0; // what the notes cost without regard to the hand's position
    };

    // A candidate with a position of the hand (the index finger's fret).
    struct State {
        int candidate = 0; // index into all candidates
        int position = 1;
        int lowestString = 0;
        long long local = 0; // effort plus the reach from this position
    };

    void Describe(Candidate& candidate, const Tuning& tuning)
    {
        unsigned strings = 0;
        candidate.effort = 0;
        candidate.anyFretted = false;
        for (int i = 0; i < candidate.playedCount; ++i) {
            const Placement& placement = candidate.played[i].placement;
            strings |= 1u << tuning.stringOfSlot(placement.slot);
            if (placement.fret == 0)
                continue;
            if (!candidate.anyFretted) {
                candidate.minFret = candidate.maxFret = placement.fret;
                candidate.anyFretted = true;
            }
            candidate.minFret = std::min(candidate.minFret, placement.fret);
            candidate.maxFret = std::max(candidate.maxFret, placement.fret);
            candidate.effort += FretEffort(placement.fret);
        }
        if (strings == 0)
            return;
        const int lowest = std::countr_zero(strings);
        const int highest = 31 - std::countl_zero(strings);
        candidate.lowestString = lowest;
        candidate.effort += SkippedChordString * (highest - lowest + 1 - std::popcount(strings));
    }

    long long ReachCost(const Candidate& candidate, int position)
    {
        long long cost = 0;
        for (int i = 0; i < candidate.playedCount; ++i) {
            const int fret = candidate.played[i].placement.fret;
            if (fret == 0)
                continue;
            const int reach = fret - position;
            if (reach == FingerSpan + 1)
                cost += FifthFretStretch;
            else if (reach > FingerSpan + 1)
                cost += FifthFretStretch + OutOfReachPerFret * (reach - FingerSpan - 1);
        }
        return cost;
    }

    void AddStates(
        const std::vector<Candidate>& all, int first, int end, const FingeringRules& rules, std::vector<State>& states)
    {
        const int maxPosition = MaxPosition(rules);
        for (int c = first; c < end; ++c) {
            const Candidate& candidate = all[c];
            int low = 1;
            int high = maxPosition;
            if (candidate.anyFretted) {
                low = std::max(1, candidate.maxFret - FingerSpan - 1);
                high = std::min(candidate.minFret, maxPosition);
                if (low > high)
                    low = high = std::min(candidate.minFret, maxPosition);
            }
            for (int position = low; position <= high; ++position)
                states.push_back(
                    { c, position, candidate.lowestString, candidate.effort + ReachCost(candidate, position) });
        }
    }

    // Every assignment of the notes (sorted by pitch) to strictly rising strings of the tuning.
    void Enumerate(const std::vector<int>& order, const FingeringEvent& notes, const Tuning& tuning, int fretLimit,
        unsigned held, int index, int lowestFreeString, Candidate& current, std::vector<Candidate>& out)
    {
        if (index == static_cast<int>(order.size())) {
            current.playedCount = index;
            out.push_back(current);
            return;
        }
        const int note = notes[order[index]];
        for (int string = lowestFreeString; string < tuning.stringCount(); ++string) {
            const int fret = note - tuning.openNotes()[string];
            if (fret < 0 || fret > fretLimit || (held & (1u << string)))
                continue;
            current.played[index] = { order[index], { tuning.slotOfString(string), fret } };
            Enumerate(order, notes, tuning, fretLimit, held, index + 1, string + 1, current, out);
        }
    }

    // Appends the candidates of an event to out; notes that cannot be played are in none of them.
    void AddCandidates(const FingeringEvent& notes, const Tuning& tuning, int fretLimit, unsigned held,
        std::vector<int>& order, std::vector<Candidate>& out)
    {
        const int low = tuning.openNotes().front();
        const int high = tuning.openNotes().back() + fretLimit;
        order.clear();
        for (int i = 0; i < static_cast<int>(notes.size()); ++i) {
            if (notes[i] >= low && notes[i] <= high)
                order.push_back(i);
        }
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return notes[a] < notes[b]; });
        if (static_cast<int>(order.size()) > tuning.stringCount())
            order.resize(tuning.stringCount());
        const size_t first = out.size();
        while (!order.empty()) {
            Candidate current;
            Enumerate(order, notes, tuning, fretLimit, held, 0, 0, current, out);
            if (out.size() > first)
                break;
            order.pop_back(); // the highest note cannot join the others
        }
        for (size_t c = first; c < out.size(); ++c)
            Describe(out[c], tuning);
        // Cheapest first, so that among fingerings of equal cost the lower frets win.
        std::stable_sort(out.begin() + first, out.end(), [](const Candidate& a, const Candidate& b) {
            return std::tie(a.effort, a.maxFret) < std::tie(b.effort, b.maxFret);
        });
    }

    // All candidates of all events; those of event e are [offsets[e], offsets[e + 1]).
    struct CandidateTable {
        std::vector<Candidate> all;
        std::vector<int> offsets { 0 };
    };

    // The least-cost path through the events' candidates; result[e] is the index (into all) of the
    // chosen candidate of event e, -1 for an event without candidates (rests, unplayable notes).
    // The string that plays a note of an event in a candidate; -1 when the candidate leaves it out.
    int SlotOfNote(const Candidate& candidate, int note)
    {
        for (int i = 0; i < candidate.playedCount; ++i) {
            if (candidate.played[i].note == note)
                return candidate.played[i].placement.slot;
        }
        return -1;
    }

    long long LinkCost(const Candidate& before, const Candidate& after, const std::vector<StringLink>& links)
    {
        long long cost = 0;
        for (const StringLink& link : links) {
            const int from = SlotOfNote(before, link.from);
            const int to = SlotOfNote(after, link.to);
            if (from >= 0 && to >= 0 && from != to)
                cost += BrokenLink;
        }
        return cost;
    }

    std::vector<int> BestPath(const CandidateTable& table, const FingeringRules& rules, long long& totalCost)
    {
        const int events = static_cast<int>(table.offsets.size()) - 1;
        // The move and string change between two states, by position distance and string distance.
        std::array<std::array<long long, MaxTuningStrings>, MaxFretLimit + 1> step {};
        for (int d = 0; d <= MaxFretLimit; ++d) {
            for (int g = 0; g < MaxTuningStrings; ++g)
                step[d][g] = ShiftCost(d) + StringCross[g];
        }
        std::vector<State> states;
        states.reserve(table.all.size() * 6);
        std::vector<long long> cost;
        std::vector<int> back;
        std::vector<int> firstState(events, -1);
        int previousFirst = -1;
        int previousEnd = -1;
        int previousEvent = -1;
        for (int e = 0; e < events; ++e) {
            if (table.offsets[e] == table.offsets[e + 1])
                continue;
            const int first = static_cast<int>(states.size());
            AddStates(table.all, table.offsets[e], table.offsets[e + 1], rules, states);
            // Links join an event to the one just before it only.
            const std::vector<StringLink>* links
                = previousEvent == e - 1 && e < static_cast<int>(rules.links.size()) && !rules.links[e].empty()
                ? &rules.links[e]
                : nullptr;
            const int end = static_cast<int>(states.size());
            cost.resize(end, Infinite);
            back.resize(end, -1);
            for (int s = first; s < end; ++s) {
                const State& state = states[s];
                if (previousFirst < 0) {
                    cost[s] = state.local;
                    continue;
                }
                // The value and the predecessor's offset packed in one number, so that the minimum
                // is found without a branch; an event has far fewer than 2^PackBits states.
                long long best = std::numeric_limits<long long>::max();
                for (int p = previousFirst; p < previousEnd; ++p) {
                    const State& from = states[p];
                    long long value = cost[p]
                        + step[std::abs(from.position - state.position)]
                              [std::abs(from.lowestString - state.lowestString)];
                    if (links)
                        value += LinkCost(table.all[from.candidate], table.all[state.candidate], *links);
                    best = std::min(best, (value << PackBits) | (p - previousFirst));
                }
                cost[s] = (best >> PackBits) + state.local;
                back[s] = previousFirst + static_cast<int>(best & ((1 << PackBits) - 1));
            }
            firstState[e] = first;
            previousFirst = first;
            previousEnd = end;
            previousEvent = e;
        }
        std::vector<int> chosen(events, -1);
        totalCost = 0;
        if (previousFirst < 0)
            return chosen;
        int s = previousFirst;
        for (int t = previousFirst + 1; t < previousEnd; ++t) {
            if (cost[t] < cost[s])
                s = t;
        }
        totalCost = cost[s];
        for (int e = events - 1; e >= 0 && s >= 0; --e) {
            if (firstState[e] < 0)
                continue;
            chosen[e] = states[s].candidate;
            s = back[s];
        }
        return chosen;
    }

    // The one candidate of placements given by the caller; none when no placement is playable.
    void AddGivenCandidate(const FingeredEvent& event, const Tuning& tuning, std::vector<Candidate>& out)
    {
        Candidate candidate;
        for (int i = 0; i < static_cast<int>(event.size()) && candidate.playedCount < MaxTuningStrings; ++i) {
            if (event[i].playable() && tuning.hasSlot(event[i].slot))
                candidate.played[candidate.playedCount++] = { i, event[i] };
        }
        if (candidate.playedCount > 0) {
            Describe(candidate, tuning);
            out.push_back(candidate);
        }
    }

    int CountUnplayable(const FingeredEvent& event)
    {
        return static_cast<int>(std::count_if(
            event.begin(), event.end(), [](const Placement& placement) { return !placement.playable(); }));
    }

} // namespace

Fingering FingerEvents(const std::vector<FingeringEvent>& events, const Tuning& tuning, const FingeringRules& rules)
{
    return FingerAround(events, {}, tuning, rules);
}

Fingering FingerAround(const std::vector<FingeringEvent>& events, const std::vector<FingeredEvent>& kept,
    const Tuning& tuning, const FingeringRules& rules)
{
    CandidateTable table;
    table.all.reserve(events.size() * 4);
    table.offsets.reserve(events.size() + 1);
    std::vector<int> order;
    for (size_t e = 0; e < events.size(); ++e) {
        if (e < kept.size() && !kept[e].empty())
            AddGivenCandidate(kept[e], tuning, table.all);
        else
            AddCandidates(events[e], tuning, rules.fretLimit, e < rules.heldStrings.size() ? rules.heldStrings[e] : 0u,
                order, table.all);
        table.offsets.push_back(static_cast<int>(table.all.size()));
    }
    Fingering result;
    const std::vector<int> chosen = BestPath(table, rules, result.cost);
    result.events.reserve(events.size());
    for (size_t e = 0; e < events.size(); ++e) {
        FingeredEvent event(events[e].size(), Placement {});
        if (chosen[e] >= 0) {
            const Candidate& candidate = table.all[chosen[e]];
            for (int i = 0; i < candidate.playedCount; ++i)
                event[candidate.played[i].note] = candidate.played[i].placement;
        }
        result.unplayableNotes += CountUnplayable(event);
        result.events.push_back(std::move(event));
    }
    return result;
}

long long FingeringCost(const std::vector<FingeredEvent>& events, const Tuning& tuning, const FingeringRules& rules)
{
    CandidateTable table;
    for (const FingeredEvent& event : events) {
        AddGivenCandidate(event, tuning, table.all);
        table.offsets.push_back(static_cast<int>(table.all.size()));
    }
    long long cost = 0;
    BestPath(table, rules, cost);
    return cost;
}

} // namespace fw
