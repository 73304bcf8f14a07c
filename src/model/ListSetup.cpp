#include "ListSetup.h"

#include "SpecialLines.h"

#include <algorithm>

namespace fw {

TimeSignature ListSetup::timeBefore(int line) const
{
    const auto after = std::lower_bound(timeLines.begin(), timeLines.end(), line,
        [](const std::pair<int, TimeSignature>& entry, int value) { return entry.first < value; });
    return after == timeLines.begin() ? TimeSignature {} : std::prev(after)->second;
}

bool SpecialLineSeen::note(const QString& line)
{
    TuningLineResult tuningLine = ParseTuningLine(line);
    if (tuningLine.kind == TuningLineKind::Valid) {
        tuning = std::move(tuningLine.tuning);
        return true;
    }
    const FretsLineResult fretsLine = ParseFretsLine(line);
    if (fretsLine.kind == SpecialLineKind::Valid) {
        fretLimit = fretsLine.frets;
        return true;
    }
    return false;
}

bool SpecialLineSeen::noteEarlier(const QString& line)
{
    SpecialLineSeen seen;
    if (!complete() && seen.note(line)) {
        if (!tuning)
            tuning = std::move(seen.tuning);
        if (!fretLimit)
            fretLimit = seen.fretLimit;
    }
    return complete();
}

ListSetup ScanListSetup(const EditorLines& editor)
{
    ListSetup setup;
    SpecialLineSeen seen;
    int index = editor.lineCount();
    // Backward, so the last tuning and frets lines are met first; the time lines are all wanted.
    editor.visitLinesBackward([&](const QString& line) {
        --index;
        if (!line.startsWith(u'*'))
            return true;
        seen.noteEarlier(line);
        const TimeLineResult time = ParseTimeLine(line);
        if (time.kind == SpecialLineKind::Valid)
            setup.timeLines.emplace_back(index, time.time);
        return true;
    });
    std::reverse(setup.timeLines.begin(), setup.timeLines.end());
    setup.tuning = seen.tuning.value_or(StandardTuning());
    setup.fretLimit = seen.fretLimit.value_or(FretCount);
    return setup;
}

} // namespace fw
