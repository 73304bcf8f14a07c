#include "ScoreItems.h"

#include "NoteForms.h"
#include "ScoreMarks.h"

#include <algorithm>

namespace fw::musicxml {

namespace {

    // No music has measures this long; longer ones would only fill the editor with rests.
    constexpr long long MaxMeasureLength = 64LL * WholeDivisions;

    // The sounding key of a note with its staff's capo, and its fret counted from the nut.
    void ApplyCapo(const ReadPart& part, ReadNote& note)
    {
        const int capo = part.capo.value(note.staff, part.capo.size() == 1 ? part.capo.first() : 0);
        if (capo <= 0 || note.key < 0)
            return;
        const QList<int> open = part.staffTuning.value(note.staff);
        // Frets may be written from the capo (as most programs do) or from the nut.
        if (note.fret >= 0 && note.string >= 1 && note.string <= open.size()
            && open[open.size() - note.string] + note.fret == note.key)
            note.fret = static_cast<signed char>(std::min(note.fret + capo, 99));
        note.key = static_cast<short>(std::min(note.key + capo, 127));
    }

} // namespace

PartItems CollectItems(const ReadPart& part, const PartVoices& voices, const QSet<int>& readVoices)
{
    PartItems result;
    result.measures.reserve(part.measures.size());
    for (int m = 0; m < static_cast<int>(part.measures.size()); ++m) {
        const ReadMeasure& measure = part.measures[m];
        if (measure.length > MaxMeasureLength) {
            result.error = QStringLiteral("Measure %1 lasts longer than %2 whole notes: not a score this "
                                          "program can read.")
                               .arg(m + 1)
                               .arg(MaxMeasureLength / WholeDivisions);
            return result;
        }
        const qsizetype first = result.items.size();
        QList<ReadNote> notes;
        for (int n = measure.firstNote; n < measure.firstNote + measure.noteCount; ++n) {
            ReadNote note = part.notes[n];
            // A staff that only shows the same notes again (notation above tablature) loses nothing.
            if (voices.copies.contains(note.staff))
                continue;
            if (note.grace)
                ++result.grace;
            else if (note.cue)
                ++result.cue;
            else if (!readVoices.contains(note.voice))
                result.otherVoices += Sounds(note);
            else {
                ApplyCapo(part, note);
                const ReadMarks& marks = MarksOf(part, note);
                for (const QString& name : marks.unkept)
                    ++result.unkept[name];
                // A slur drawn over a hammer-on or pull-off is part of it; any other is lost.
                if (marks.slur && marks.link != NoteLink::HammerOn && marks.link != NoteLink::PullOff)
                    ++result.unkept[QStringLiteral("slur")];
                notes.append(note);
            }
        }
        std::stable_sort(
            notes.begin(), notes.end(), [](const ReadNote& a, const ReadNote& b) { return a.onset < b.onset; });
        long long cursor = 0;
        for (qsizetype i = 0; i < notes.size();) {
            Item item;
            item.measure = m;
            const long long onset = notes[i].onset;
            item.length = notes[i].length;
            long long shortest = -1;
            for (; i < notes.size() && notes[i].onset == onset; ++i) {
                const ReadNote& note = notes[i];
                result.rounded += note.rounded;
                if (note.unpitched)
                    ++result.unpitched;
                if (!Sounds(note))
                    continue;
                // Notes struck together last as long as the shortest, so that none swallows a
                // note that follows it.
                shortest = shortest < 0 ? note.length : std::min<long long>(shortest, note.length);
                // A key twice on one string (or with no string given on either, as notation
                // over a tablature that differs in some other note has it) sounds once, with
                // the string if one of them gives it; a unison on two strings is kept.
                const auto repeated
                    = std::find_if(item.notes.begin(), item.notes.end(), [&note](const ReadNote& other) {
                          return other.key == note.key
                              && (other.string == note.string || note.string == 0 || other.string == 0);
                      });
                if (repeated == item.notes.end())
                    item.notes.append(note);
                else if (repeated->string == 0)
                    *repeated = note;
            }
            if (shortest >= 0)
                item.length = shortest;
            long long start = onset;
            if (start < cursor) {
                // Overlaps an earlier note of the voices read: only what comes after it is kept.
                item.length -= cursor - start;
                start = cursor;
                if (item.length <= 0) {
                    result.inside += static_cast<int>(item.notes.size());
                    continue;
                }
                ++result.overlaps;
            }
            if (start > cursor)
                result.items.append({ m, start - cursor, {} });
            result.items.append(item);
            cursor = start + item.length;
        }
        if (cursor < measure.length)
            result.items.append({ m, measure.length - cursor, {} });
        result.measures.push_back({ first, result.items.size() });
    }
    return result;
}

} // namespace fw::musicxml
