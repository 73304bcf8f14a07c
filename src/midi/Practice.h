#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace fw {

// A speed-training run: the passage loops, starting at a share of the document's tempo and
// raised by a step after every few passes, up to a target.
struct PracticePlan {
    int startPercent = 60;
    int stepPercent = 5;
    int passes = 2;
    int targetPercent = 100;
    bool metronome = false;
    friend bool operator==(const PracticePlan&, const PracticePlan&) = default;
};

inline constexpr int MinPracticePercent = 1;
inline constexpr int MaxPracticePercent = 400;
inline constexpr int MaxPracticePasses = 99;

// The reason a plan cannot run, or "" when it can.
QString PracticePlanError(const PracticePlan& plan);
// Reads "START:STEP:PASSES:TARGET"; nothing when it is not four whole numbers.
std::optional<PracticePlan> ParsePracticePlan(const QString& text);

// A share of the document's tempo as a tempo the player can play: rounded down, within the tempo range.
int PercentTempo(int documentTempo, int percent);

// The tempo of every pass in order: each percentage (the start, raised by the step, the last raise
// stopping at the target) for the given number of passes, as the document's tempo times the
// percentage divided by 100, rounded down, at least 1.
std::vector<int> PassTempos(const PracticePlan& plan, int documentTempo);

// One metronome click: its time from the start of the pass and whether it opens a bar of four.
struct MetronomeClick {
    int timeMs = 0;
    bool accent = false;
    friend bool operator==(const MetronomeClick&, const MetronomeClick&) = default;
};
// A click on every quarter of a pass lasting passMs, the first of each bar of four louder.
std::vector<MetronomeClick> MetronomeClicks(int passMs, int quarterMs);

// A bar as the metronome counts it: from its start to its end, relative to the pass (a bar the pass
// starts inside begins before 0), in beats of beatMs.
struct MeteredBar {
    int startMs = 0;
    int endMs = 0;
    int beatMs = 0;
};
// A click on every beat of every bar, the first of each bar louder; only the clicks within the pass.
std::vector<MetronomeClick> BarClicks(const std::vector<MeteredBar>& bars, int passMs);

} // namespace fw
