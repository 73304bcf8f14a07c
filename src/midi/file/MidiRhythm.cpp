#include "MidiRhythm.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace fw {

namespace {

    constexpr qint64 UnitsPerQuarter = RhythmUnitsPerWhole / 4;
    constexpr qint64 Eighth = UnitsPerQuarter / 2;
    constexpr qint64 ShortestUnits = 2; // "/F"
    // No note or silence of music lasts longer than this (over eight minutes at 120 beats per minute);
    // a longer one is a damaged or absurd file, and is cut so it does not become thousands of rests.
    constexpr qint64 MaxStretchUnits = 256 * RhythmUnitsPerWhole;

    struct Form {
        const char* text;
        qint64 units;
    };
    // Largest first, for the greedy split of a length into written forms.
    constexpr Form Forms[] = { { ".W", 576 }, { "W", 384 }, { ".H", 288 }, { "H", 192 }, { ".Q", 144 }, { "/W", 128 },
        { "Q", 96 }, { ".E", 72 }, { "/H", 64 }, { "E", 48 }, { ".S", 36 }, { "/Q", 32 }, { "S", 24 }, { ".T", 18 },
        { "/E", 16 }, { "T", 12 }, { ".F", 9 }, { "/S", 8 }, { "F", 6 }, { "/T", 4 }, { "/F", 2 } };

    // The forms of a length, largest first; remainder is what even the shortest form cannot hold.
    // Taking the largest form that fits, again and again, is a remainder by each form in turn.
    std::vector<const Form*> Split(qint64 units, qint64 room, qint64& remainder)
    {
        std::vector<const Form*> forms;
        for (const Form& form : Forms) {
            const qint64 count = std::min(units / form.units, room - static_cast<qint64>(forms.size()));
            forms.insert(forms.end(), static_cast<size_t>(std::max<qint64>(count, 0)), &form);
            units -= std::max<qint64>(count, 0) * form.units;
        }
        remainder = units;
        return forms;
    }

    bool IsSingleForm(qint64 units)
    {
        return std::any_of(
            std::begin(Forms), std::end(Forms), [units](const Form& form) { return form.units == units; });
    }

    bool IsExactLength(qint64 units)
    {
        for (const Form& form : Forms)
            units %= form.units;
        return units == 0;
    }

    // The grids a played part may have been meant on, coarsest first; several steps mean the points
    // of each (straight sixteenths with triplets among them).
    struct Grid {
        std::vector<qint64> steps;
        const char* name;
    };
    const Grid Grids[] = {
        { { 48 }, "eighth notes" },
        { { 24 }, "sixteenth notes" },
        { { 16 }, "eighth-note triplets" },
        { { 24, 16 }, "sixteenth notes and eighth-note triplets" },
        { { 12 }, "thirty-second notes" },
        { { 8 }, "sixteenth-note triplets" },
        { { 12, 8 }, "thirty-second notes and sixteenth-note triplets" },
        { { 6 }, "sixty-fourth notes" },
        { { 2 }, "sixty-fourth-note triplets" },
    };

    qint64 Nearest(double at, const Grid& grid)
    {
        qint64 best = 0;
        double distance = -1;
        for (const qint64 step : grid.steps) {
            const qint64 point = std::llround(at / static_cast<double>(step)) * step;
            const double off = std::abs(at - static_cast<double>(point));
            if (distance < 0 || off < distance) {
                best = point;
                distance = off;
            }
        }
        return best;
    }

    // The closest two points of a grid lie: its step, or less where straight and triplet points mix
    // (sixteenths and eighth-note triplets meet 8 units apart).
    qint64 Spacing(const Grid& grid)
    {
        qint64 span = 1;
        for (const qint64 step : grid.steps)
            span = std::lcm(span, step);
        std::vector<qint64> points;
        for (const qint64 step : grid.steps) {
            for (qint64 point = 0; point <= span; point += step)
                points.push_back(point);
        }
        std::sort(points.begin(), points.end());
        points.erase(std::unique(points.begin(), points.end()), points.end());
        qint64 spacing = span;
        for (size_t i = 1; i < points.size(); ++i)
            spacing = std::min(spacing, points[i] - points[i - 1]);
        return spacing;
    }

    // A grid fits when nearly every onset lies within a quarter of the spacing of its points of one,
    // and no two onsets meet on one point.
    bool Fits(const std::vector<double>& onsets, const Grid& grid, std::vector<qint64>& snapped)
    {
        const double tolerance = static_cast<double>(Spacing(grid)) / 4;
        snapped.clear();
        size_t within = 0;
        for (const double at : onsets) {
            const qint64 point = Nearest(at, grid);
            if (!snapped.empty() && point <= snapped.back())
                return false;
            snapped.push_back(point);
            within += std::abs(at - static_cast<double>(point)) <= tolerance ? 1 : 0;
        }
        return within * 10 >= onsets.size() * 9;
    }

    struct Group {
        qint64 start = 0;
        qint64 end = 0;
        std::vector<int> keys;
    };

    // Notes starting less than together ticks apart form one group. A key struck twice in a group
    // counts once, but for a file of this program, where it is a unison on two strings.
    std::vector<Group> Groups(const std::vector<MidiNote>& notes, qint64 together, bool once, int& doubled)
    {
        std::vector<Group> groups;
        for (const MidiNote& note : notes) {
            if (groups.empty() || note.start() - groups.back().start >= together)
                groups.push_back({ note.start(), note.end(), {} });
            Group& group = groups.back();
            group.end = std::max(group.end, note.end());
            if (once && std::find(group.keys.begin(), group.keys.end(), note.key()) != group.keys.end())
                ++doubled;
            else
                group.keys.push_back(note.key());
        }
        return groups;
    }

    // Writes stretches of time one after another as lines: a note (keys) or a rest, the largest
    // form first; a note's further forms are tied lines of it. A remainder too short for any form
    // joins the next stretch.
    class EntryWriter {
    public:
        EntryWriter(Rhythm& out, const RhythmInput& input)
            : m_out(out)
            , m_bars(input.times)
            , m_splitAtBars(input.splitAtBars)
        {
        }

        void Add(const std::vector<int>& keys, qint64 units)
        {
            if (Full())
                return;
            units += m_carry;
            m_carry = 0;
            if (units > MaxStretchUnits) {
                units = MaxStretchUnits;
                ++m_out.cutStretches;
            }
            if (units < ShortestUnits) {
                if (keys.empty()) {
                    m_carry = units;
                    return;
                }
                m_carry = units - ShortestUnits;
                ++m_out.lengthened;
                units = ShortestUnits;
            }
            const size_t first = m_out.entries.size();
            while (units > 0 && !Full()) {
                qint64 piece = units;
                if (m_splitAtBars) {
                    m_bars.advanceTo(m_at);
                    // Closer to the bar line than the shortest form: the line goes on through it.
                    const qint64 toBar = m_bars.end() - m_at;
                    piece = toBar >= ShortestUnits ? std::min(units, toBar) : units;
                }
                units -= piece;
                qint64 remainder = 0;
                const std::vector<const Form*> forms
                    = Split(piece, MaxImportLines - static_cast<qsizetype>(m_out.entries.size()), remainder);
                m_carry += remainder;
                for (const Form* form : forms) {
                    m_out.entries.push_back({ keys, form->text, form->units, m_at, !keys.empty() });
                    m_at += form->units;
                }
                if (forms.empty()) {
                    m_carry += units;
                    break;
                }
            }
            if (m_out.entries.size() > first) {
                m_out.entries.back().tied = false;
                if (!keys.empty() && m_out.entries.size() > first + 1)
                    ++m_out.split;
            }
            m_out.full = Full();
        }

    private:
        bool Full() const { return static_cast<qsizetype>(m_out.entries.size()) >= MaxImportLines; }

        Rhythm& m_out;
        BarClock m_bars;
        bool m_splitAtBars;
        qint64 m_carry = 0;
        qint64 m_at = 0;
    };

    std::vector<int> KeysOf(const Group& group) { return group.keys; }

    // A written part: its times converted exactly; every silence is a rest, cut where the file's
    // silent marks cut it.
    void ReadWritten(const RhythmInput& in, const std::vector<Group>& groups, bool& exact, Rhythm& out)
    {
        const qint64 division = in.division;
        const auto units
            = [division](qint64 ticks) { return (ticks * UnitsPerQuarter * 2 + division) / (2 * division); };
        const auto cuts = [&](qint64 from, qint64 to) {
            std::vector<qint64> points { from };
            for (auto it = std::upper_bound(in.marks.begin(), in.marks.end(), from); it != in.marks.end() && *it < to;
                 ++it)
                points.push_back(*it);
            points.push_back(to);
            return points;
        };
        const auto exactSilence = [&](qint64 from, qint64 to) {
            const std::vector<qint64> points = cuts(from, to);
            for (size_t i = 1; i < points.size(); ++i) {
                if (!IsExactLength(units(points[i]) - units(points[i - 1])))
                    return false;
            }
            return true;
        };
        exact = groups.empty() || exactSilence(0, groups.front().start);
        size_t singleForms = 0;
        for (size_t g = 0; g < groups.size() && exact; ++g) {
            const qint64 next = g + 1 < groups.size() ? groups[g + 1].start : std::max(groups[g].end, in.end);
            const qint64 end = std::min(groups[g].end, next);
            exact = exact && exactSilence(end, next);
            singleForms += IsSingleForm(units(end) - units(groups[g].start)) ? 1 : 0;
        }
        // Notation writes nearly every note as one written length (a few tied); a sequencer on a coarse
        // grid lets notes go early, so that their lengths are none. Files of this program are written.
        exact = exact && (!in.splitAtBars || singleForms * 10 >= groups.size() * 9);
        if (!exact)
            return;
        EntryWriter writer(out, in);
        const auto addRests = [&](qint64 from, qint64 to) {
            const std::vector<qint64> points = cuts(from, to);
            for (size_t i = 1; i < points.size(); ++i)
                writer.Add({}, units(points[i]) - units(points[i - 1]));
        };
        if (!groups.empty() && groups.front().start > 0)
            addRests(0, groups.front().start);
        for (size_t g = 0; g < groups.size() && !out.full; ++g) {
            const Group& group = groups[g];
            const qint64 next = g + 1 < groups.size() ? groups[g + 1].start : std::max(group.end, in.end);
            const qint64 end = std::min(group.end, next);
            out.shortened += group.end > next ? 1 : 0;
            writer.Add(KeysOf(group), units(end) - units(group.start));
            if (next > end)
                addRests(end, next);
        }
    }

    // A played part: onsets and ends placed on the grid the onsets imply.
    void ReadPlayed(const RhythmInput& in, const std::vector<Group>& groups, Rhythm& out)
    {
        const double perTick = static_cast<double>(UnitsPerQuarter) / in.division;
        std::vector<double> onsets;
        for (const Group& group : groups)
            onsets.push_back(static_cast<double>(group.start) * perTick);
        const Grid* grid = &Grids[std::size(Grids) - 1];
        std::vector<qint64> starts;
        for (const Grid& candidate : Grids) {
            if (Fits(onsets, candidate, starts)) {
                grid = &candidate;
                break;
            }
        }
        const qint64 step = *std::min_element(grid->steps.begin(), grid->steps.end());
        // Even the finest grid may see two onsets meet: the later moves on to the next point, so that
        // every note keeps a line of its own.
        if (starts.size() != groups.size()) {
            starts.clear();
            for (const double at : onsets)
                starts.push_back(std::max(Nearest(at, *grid), starts.empty() ? qint64(0) : starts.back() + step));
        }
        out.grid = QString::fromLatin1(grid->name);
        out.onsets = static_cast<int>(groups.size());
        for (size_t g = 0; g < groups.size(); ++g)
            out.movedOnsets += std::abs(onsets[g] - static_cast<double>(starts[g])) > 1e-9 ? 1 : 0;

        EntryWriter writer(out, in);
        if (!starts.empty() && starts.front() > 0)
            writer.Add({}, starts.front());
        const qint64 partEnd = Nearest(static_cast<double>(in.end) * perTick, *grid);
        for (size_t g = 0; g < groups.size() && !out.full; ++g) {
            const Group& group = groups[g];
            const qint64 start = starts[g];
            const qint64 end = std::max(start + step, Nearest(static_cast<double>(group.end) * perTick, *grid));
            const bool last = g + 1 == groups.size();
            const qint64 sounded = end - start;
            const auto isRest = [&](qint64 silence) {
                return silence > 0 && silence >= std::max(Eighth, std::min(sounded, UnitsPerQuarter));
            };
            qint64 next = last ? std::max(end, partEnd) : std::max(starts[g + 1], start + step);
            // The last note is let go before the bar line as the others before the next onset.
            if (last) {
                BarClock bars(in.times);
                bars.advanceTo(end - 1);
                if (!isRest(bars.end() - end))
                    next = std::max(next, bars.end());
            }
            out.shortened += !last && group.end > groups[g + 1].start ? 1 : 0;
            const qint64 silence = next - end;
            const bool rest = isRest(silence);
            writer.Add(KeysOf(group), (rest ? end : next) - start);
            if (rest)
                writer.Add({}, silence);
        }
    }

} // namespace

BarClock::BarClock(std::vector<MidiTimeSignature> times)
    : m_times(std::move(times))
{
    takeSignatures();
}

void BarClock::takeSignatures()
{
    while (m_next < m_times.size() && m_times[m_next].tick <= m_start) {
        const MidiTimeSignature& signature = m_times[m_next++];
        m_time = { signature.numerator, signature.denominator };
        m_length = signature.numerator * (RhythmUnitsPerWhole / signature.denominator);
    }
}

void BarClock::advanceTo(qint64 at)
{
    while (end() <= at) {
        m_start = end();
        takeSignatures();
    }
}

Rhythm ReadRhythm(const RhythmInput& in)
{
    Rhythm out;
    const qint64 division = in.division;
    const auto onGrid = [division](qint64 ticks) { return (ticks * UnitsPerQuarter) % division == 0; };
    // A part whose every time lies on the grid of written lengths was written, not played: its
    // chords start on the same tick, and a shorter note than a 64th is meant as it stands.
    const bool onTheGrid = std::all_of(in.marks.begin(), in.marks.end(), onGrid)
        && std::all_of(in.notes.begin(), in.notes.end(),
            [&](const MidiNote& note) { return onGrid(note.start()) && onGrid(note.end()); });
    if (onTheGrid) {
        bool exact = false;
        const std::vector<Group> groups = Groups(in.notes, 1, in.splitAtBars, out.doubled);
        ReadWritten(in, groups, exact, out);
        if (exact)
            return out;
        out = Rhythm {};
    }
    ReadPlayed(in, Groups(in.notes, std::max<qint64>(1, division / 16), true, out.doubled), out);
    return out;
}

} // namespace fw
