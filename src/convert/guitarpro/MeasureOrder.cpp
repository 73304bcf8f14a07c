#include "MeasureOrder.h"

#include "RepeatComments.h"

#include <bit>
#include <vector>

namespace fw::guitarpro {

namespace {

    // An ending played on several passes is known by its first.
    QString EndingText(unsigned endings) { return EndingComment(std::countr_zero(endings) + 1); }

    bool PlayedOnPass(unsigned endings, int pass) { return pass > 32 || (endings & (1u << (pass - 1))); }

    QList<PlayedMeasure> AsWritten(const QList<MeasureHeader>& measures)
    {
        QList<PlayedMeasure> order;
        order.reserve(measures.size());
        for (qsizetype i = 0; i < measures.size(); ++i) {
            const MeasureHeader& header = measures[i];
            PlayedMeasure played { static_cast<int>(i), {}, {} };
            if (header.repeatOpen)
                played.before.append(RepeatStartComment());
            if (header.alternateEndings)
                played.before.append(EndingText(header.alternateEndings));
            if (header.repeatPlays > 1)
                played.after.append(RepeatEndComment(header.repeatPlays));
            order.append(played);
        }
        return order;
    }

} // namespace

std::optional<QList<PlayedMeasure>> MeasureOrder(
    const QList<MeasureHeader>& measures, bool asWritten, qsizetype maxMeasures)
{
    if (asWritten)
        return AsWritten(measures);
    const int count = static_cast<int>(measures.size());
    // How often a repeat that starts at each measure is played: the plays of the first repeat end at
    // or after it, unless another repeat starts first (0 then: no repeat starting here ends).
    std::vector<int> playsFrom(count + 1, 0);
    for (int i = count - 1; i >= 0; --i) {
        if (measures[i].repeatPlays > 1)
            playsFrom[i] = measures[i].repeatPlays;
        else if (i + 1 < count && !measures[i + 1].repeatOpen)
            playsFrom[i] = playsFrom[i + 1];
    }

    QList<PlayedMeasure> order;
    int start = 0; // where the repeat being played starts
    int pass = 1;
    int end = -1; // the repeat end that went back to start, while its passes last
    bool jumped = false; // this measure was reached by going back to start
    int previous = -1; // the measure played last
    for (int i = 0; i < count;) {
        const MeasureHeader& header = measures[i];
        PlayedMeasure played { i, {}, {} };
        if (header.repeatOpen && !jumped) {
            start = i;
            pass = 1;
            end = -1;
        } else if (end >= 0 && i > end && !header.alternateEndings) {
            // Past the repeat's end (skipped as an ending of an earlier pass) and past its endings.
            start = i;
            pass = 1;
            end = -1;
        }
        // A repeat starts where it is opened, or without an open at the start of the song or after the
        // last repeat.
        if (i == start && playsFrom[i] > 1)
            played.before.append(RepeatPassComment(pass, playsFrom[i]));
        jumped = false;
        if (header.alternateEndings) {
            if (!PlayedOnPass(header.alternateEndings, pass)) {
                ++i;
                continue;
            }
            if (i == 0 || previous != i - 1 || measures[i - 1].alternateEndings != header.alternateEndings)
                played.before.append(EndingText(header.alternateEndings));
        }
        order.append(played);
        if (order.size() > maxMeasures)
            return std::nullopt;
        previous = i;
        if (header.repeatPlays > 1) {
            if (pass < header.repeatPlays) {
                ++pass;
                end = i;
                i = start;
                jumped = true;
                continue;
            }
            start = i + 1;
            pass = 1;
            end = -1;
        }
        ++i;
    }
    return order;
}

} // namespace fw::guitarpro
