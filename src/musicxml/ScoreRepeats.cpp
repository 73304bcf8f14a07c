#include "ScoreRepeats.h"

#include "RepeatComments.h"

#include <algorithm>

namespace fw::musicxml {

namespace {

    // The times the section starting at start is played: the count of the first backward repeat
    // before another section starts; 1 when none closes it.
    int SectionTimes(const std::vector<ReadMeasure>& measures, size_t start)
    {
        for (size_t i = start; i < measures.size(); ++i) {
            if (i > start && measures[i].repeatForward)
                return 1;
            if (measures[i].repeatTimes > 0)
                return measures[i].repeatTimes;
        }
        return 1;
    }

    // The measure after the ending that starts at start.
    size_t AfterEnding(const std::vector<ReadMeasure>& measures, size_t start)
    {
        size_t i = start;
        while (i < measures.size() && !measures[i].endingStop)
            ++i;
        return i + 1;
    }

    // The first pass an ending is played on ("1, 2": 1).
    int FirstPass(unsigned passes)
    {
        int pass = 1;
        while (pass < 31 && !(passes & (1u << pass)))
            ++pass;
        return pass;
    }

} // namespace

std::vector<PlayedMeasure> PlayOrder(const ReadPart& part, bool asWritten, qsizetype limit, RepeatCount& count)
{
    const std::vector<ReadMeasure>& measures = part.measures;
    std::vector<PlayedMeasure> played;
    played.reserve(measures.size());
    for (const ReadMeasure& measure : measures) {
        count.sections += measure.repeatTimes > 1;
        count.endings += measure.endingStart != 0;
    }
    if (asWritten || (count.sections == 0 && count.endings == 0)) {
        for (size_t i = 0; i < measures.size(); ++i) {
            PlayedMeasure measure { static_cast<int>(i), {}, {} };
            if (measures[i].repeatForward)
                measure.before.append(RepeatStartComment());
            if (measures[i].endingStart != 0)
                measure.before.append(EndingComment(FirstPass(measures[i].endingStart)));
            if (measures[i].repeatTimes > 1)
                measure.after.append(RepeatEndComment(measures[i].repeatTimes));
            played.push_back(std::move(measure));
        }
        return played;
    }
    size_t start = 0;
    int pass = 1;
    int times = 0; // of the current section, 0 until its start is reached
    for (size_t i = 0; i < measures.size() && static_cast<qsizetype>(played.size()) < limit;) {
        const ReadMeasure& measure = measures[i];
        if (measure.repeatForward && i != start) {
            start = i;
            pass = 1;
            times = 0;
        }
        if (measure.endingStart != 0 && !(measure.endingStart & (1u << std::min(pass, 31)))) {
            i = AfterEnding(measures, i);
            continue;
        }
        PlayedMeasure entry { static_cast<int>(i), {}, {} };
        if (i == start) {
            if (times == 0)
                times = SectionTimes(measures, start);
            if (times > 1)
                entry.before.append(RepeatPassComment(pass, times));
        }
        if (measure.endingStart != 0)
            entry.before.append(EndingComment(pass));
        played.push_back(std::move(entry));
        if (measure.repeatTimes > 0 && pass < times) {
            ++pass;
            i = start;
            continue;
        }
        ++i;
        // A section ends at its backward repeat, or at the end of the ending of its last pass.
        if (measure.repeatTimes > 0 || (measure.endingStop && pass >= times)) {
            start = i;
            pass = 1;
            times = 0;
        }
    }
    return played;
}

} // namespace fw::musicxml
