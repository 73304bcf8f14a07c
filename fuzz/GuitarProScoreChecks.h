#pragma once

#include "FuzzChordLists.h"
#include "GuitarProScore.h"

#include <optional>

namespace fw::fuzz {

// What every reader of Guitar Pro files promises of the score it gives, or of its refusal: a
// message and no score, or a score whose tracks have one measure per header, voices of beats with
// note values the model holds, and notes on the track's strings within its frets.
inline void CheckGuitarProScore(const std::optional<guitarpro::Score>& score, const QString& error)
{
    using namespace guitarpro;
    if (!score) {
        if (error.isEmpty())
            Fail(QStringLiteral("refused without a message"));
        return;
    }
    if (score->tracks.size() > MaxTracks || score->measures.size() > MaxMeasures)
        Fail(QStringLiteral("more tracks or measures than the limits"));
    for (const Track& track : score->tracks) {
        if (track.measures.size() != score->measures.size())
            Fail(QStringLiteral("a track's measures do not match the headers"));
        if (track.frets < 1 || track.frets > MaxFrets)
            Fail(QStringLiteral("a track's fret count is out of range"));
        for (const TrackMeasure& measure : track.measures) {
            if (measure.voices.isEmpty() || measure.voices.size() > 4)
                Fail(QStringLiteral("a measure without voices or with too many"));
            for (const QList<Beat>& voice : measure.voices) {
                for (const Beat& beat : voice) {
                    const NoteValue& value = beat.duration;
                    if (value.value < 1 || value.value > 128 || (value.value & (value.value - 1)) != 0 || value.dots < 0
                        || value.dots > 2 || value.enters < 1 || value.times < 1)
                        Fail(QStringLiteral("a note value the model does not hold"));
                    if (beat.rest != beat.notes.isEmpty())
                        Fail(QStringLiteral("a rest with notes, or notes without a rest"));
                    for (const Note& note : beat.notes) {
                        const bool fretted = !track.percussion && !track.tuning.isEmpty();
                        if (fretted && (note.string < 1 || note.string > track.tuning.size()))
                            Fail(QStringLiteral("a note on a string the track lacks"));
                        if (note.fret < 0 || note.fret > (track.percussion ? 127 : MaxFrets))
                            Fail(QStringLiteral("a fret out of range"));
                    }
                }
            }
        }
    }
}

} // namespace fw::fuzz
