// Which track of a score is the bass, and the tracks as a list of them shows them.
#include "GuitarProConversion.h"

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
            if (track.percussion || note.string > track.tuning.size())
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

QString GeneralMidiName(int program)
{
    static const char* const Names[128] = { "Acoustic Grand Piano", "Bright Acoustic Piano", "Electric Grand Piano",
        "Honky-tonk Piano", "Electric Piano 1", "Electric Piano 2", "Harpsichord", "Clavinet", "Celesta",
        "Glockenspiel", "Music Box", "Vibraphone", "Marimba", "Xylophone", "Tubular Bells", "Dulcimer", "Drawbar Organ",
        "Percussive Organ", "Rock Organ", "Church Organ", "Reed Organ", "Accordion", "Harmonica", "Tango Accordion",
        "Acoustic Guitar (nylon)", "Acoustic Guitar (steel)", "Electric Guitar (jazz)", "Electric Guitar (clean)",
        "Electric Guitar (muted)", "Overdriven Guitar", "Distortion Guitar", "Guitar Harmonics", "Acoustic Bass",
        "Electric Bass (finger)", "Electric Bass (pick)", "Fretless Bass", "Slap Bass 1", "Slap Bass 2", "Synth Bass 1",
        "Synth Bass 2", "Violin", "Viola", "Cello", "Contrabass", "Tremolo Strings", "Pizzicato Strings",
        "Orchestral Harp", "Timpani", "String Ensemble 1", "String Ensemble 2", "Synth Strings 1", "Synth Strings 2",
        "Choir Aahs", "Voice Oohs", "Synth Voice", "Orchestra Hit", "Trumpet", "Trombone", "Tuba", "Muted Trumpet",
        "French Horn", "Brass Section", "Synth Brass 1", "Synth Brass 2", "Soprano Sax", "Alto Sax", "Tenor Sax",
        "Baritone Sax", "Oboe", "English Horn", "Bassoon", "Clarinet", "Piccolo", "Flute", "Recorder", "Pan Flute",
        "Blown Bottle", "Shakuhachi", "Whistle", "Ocarina", "Lead 1 (square)", "Lead 2 (sawtooth)", "Lead 3 (calliope)",
        "Lead 4 (chiff)", "Lead 5 (charang)", "Lead 6 (voice)", "Lead 7 (fifths)", "Lead 8 (bass + lead)",
        "Pad 1 (new age)", "Pad 2 (warm)", "Pad 3 (polysynth)", "Pad 4 (choir)", "Pad 5 (bowed)", "Pad 6 (metallic)",
        "Pad 7 (halo)", "Pad 8 (sweep)", "FX 1 (rain)", "FX 2 (soundtrack)", "FX 3 (crystal)", "FX 4 (atmosphere)",
        "FX 5 (brightness)", "FX 6 (goblins)", "FX 7 (echoes)", "FX 8 (sci-fi)", "Sitar", "Banjo", "Shamisen", "Koto",
        "Kalimba", "Bagpipe", "Fiddle", "Shanai", "Tinkle Bell", "Agogo", "Steel Drums", "Woodblock", "Taiko Drum",
        "Melodic Tom", "Synth Drum", "Reverse Cymbal", "Guitar Fret Noise", "Breath Noise", "Seashore", "Bird Tweet",
        "Telephone Ring", "Helicopter", "Applause", "Gunshot" };
    if (program < 0 || program > 127)
        return QStringLiteral("Program %1").arg(program);
    return QString::fromLatin1(Names[program]);
}

} // namespace fw::guitarpro
