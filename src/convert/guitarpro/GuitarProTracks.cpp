// Which track of a score is the bass, and the tracks as a list of them shows them.
#include "GuitarProConversion.h"

#include "GeneralMidi.h"
#include "Tuning.h"

#include <algorithm>
#include <climits>

namespace fw::guitarpro {

namespace {

    constexpr int LowestBassProgram = 32; // Acoustic Bass, counted from 0
    constexpr int HighestBassProgram = 39; // Synth Bass 2
    constexpr int BelowA1 = 33;

    bool Playable(const Track& track)
    {
        return !track.percussion && track.tuning.size() >= MinTuningStrings && track.tuning.size() <= MaxTuningStrings;
    }

    int LowestString(const Track& track) { return *std::min_element(track.tuning.begin(), track.tuning.end()); }

    bool SoundsLikeBass(const Track& track)
    {
        return (track.program >= LowestBassProgram && track.program <= HighestBassProgram)
            || LowestString(track) + track.capo < BelowA1;
    }

    // Every sounding note of the track, each voice (ties continue a note, they sound none).
    template <typename Visit> void ForEachNote(const Track& track, Visit&& visit)
    {
        for (const TrackMeasure& measure : track.measures) {
            for (qsizetype v = 0; v < measure.voices.size(); ++v) {
                for (const Beat& beat : measure.voices[v]) {
                    if (beat.grace)
                        continue;
                    for (const Note& note : beat.notes) {
                        if (!note.tie)
                            visit(static_cast<int>(v), note);
                    }
                }
            }
        }
    }

    QString TuningText(const Track& track)
    {
        QStringList names;
        for (auto it = track.tuning.crbegin(); it != track.tuning.crend(); ++it)
            names.append(PitchClassName(*it).section(u'/', 0, 0));
        return names.join(u' ');
    }

} // namespace

int ChooseBassTrack(const Score& score)
{
    int lowest = -1;
    for (qsizetype t = 0; t < score.tracks.size(); ++t) {
        const Track& track = score.tracks[t];
        if (!Playable(track))
            continue;
        bool hasNotes = false;
        ForEachNote(track, [&hasNotes](int, const Note&) { hasNotes = true; });
        if (SoundsLikeBass(track) && hasNotes)
            return static_cast<int>(t);
        if (lowest < 0 || LowestString(track) < LowestString(score.tracks[lowest]))
            lowest = static_cast<int>(t);
    }
    // A bass without notes, else the track tuned lowest.
    for (qsizetype t = 0; t < score.tracks.size(); ++t) {
        if (Playable(score.tracks[t]) && SoundsLikeBass(score.tracks[t]))
            return static_cast<int>(t);
    }
    return lowest;
}

QList<TrackSummary> SummariseTracks(const Score& score)
{
    QList<TrackSummary> summaries;
    const int chosen = ChooseBassTrack(score);
    for (qsizetype t = 0; t < score.tracks.size(); ++t) {
        const Track& track = score.tracks[t];
        TrackSummary summary;
        summary.number = static_cast<int>(t) + 1;
        summary.name = track.name.simplified();
        summary.instrument = track.percussion
            ? QStringLiteral("Percussion")
            : GeneralMidiName(track.program) + QStringLiteral(", tuned ") + TuningText(track);
        summary.strings = static_cast<int>(track.tuning.size());
        summary.chosen = t == chosen;
        int lowest = INT_MAX;
        int highest = INT_MIN;
        int voices = 1;
        ForEachNote(track, [&](int voice, const Note& note) {
            ++summary.notes;
            voices = std::max(voices, voice + 1);
            // A dead note has no pitch to widen the range.
            if (track.percussion || note.dead || note.string > track.tuning.size())
                return;
            const int key = track.tuning[note.string - 1] + track.capo + note.fret;
            lowest = std::min(lowest, key);
            highest = std::max(highest, key);
        });
        if (lowest <= highest) {
            summary.lowest = lowest;
            summary.highest = highest;
        }
        summary.voices = voices;
        summaries.append(summary);
    }
    return summaries;
}

} // namespace fw::guitarpro
