#include "MidiParts.h"

#include "MidiFileWriter.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>

namespace fw {

namespace {

    constexpr int ChannelCount = 16;
    constexpr int DrumChannel = MidiDrumChannel;

    // The General MIDI sound set, by program number from 0.
    constexpr const char* ProgramNames[128] = { "Acoustic Grand Piano", "Bright Acoustic Piano", "Electric Grand Piano",
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

    // What a track's notes hold on one channel.
    struct ChannelNotes {
        int count = 0;
        int lowest = 127;
        int highest = 0;
        double keySum = 0;

        void add(int key)
        {
            ++count;
            lowest = std::min(lowest, key);
            highest = std::max(highest, key);
            keySum += key;
        }
        void add(const ChannelNotes& other)
        {
            count += other.count;
            lowest = std::min(lowest, other.lowest);
            highest = std::max(highest, other.highest);
            keySum += other.keySum;
        }
    };

    MidiPart PartOf(const MidiSong& song, int trackIndex, int channel, const ChannelNotes& notes, int program)
    {
        MidiPart part;
        part.trackIndex = trackIndex;
        part.number = part.trackNumber = song.tracks[trackIndex].number;
        part.channel = channel;
        part.name = song.tracks[trackIndex].name.trimmed();
        part.program = program;
        part.notes = notes.count;
        part.lowest = notes.lowest;
        part.highest = notes.highest;
        part.averageKey = notes.keySum / std::max(notes.count, 1);
        return part;
    }

    // Each track's notes by channel, and the part of each channel with notes; the note track of a file
    // of this program is one part over all its channels but the drum channel.
    std::vector<std::vector<MidiPart>> ChannelPartsByTrack(const MidiSong& song)
    {
        // A conductor track may set the sound of every track's channel: the file's first program of
        // each channel, for tracks that set none of their own.
        std::array<int, ChannelCount> filePrograms;
        filePrograms.fill(-1);
        for (const MidiTrack& track : song.tracks) {
            for (int channel = 0; channel < ChannelCount; ++channel) {
                if (filePrograms[channel] < 0)
                    filePrograms[channel] = track.programs[channel];
            }
        }
        std::vector<std::vector<MidiPart>> byTrack(song.tracks.size());
        for (size_t t = 0; t < song.tracks.size(); ++t) {
            const MidiTrack& track = song.tracks[t];
            std::array<ChannelNotes, ChannelCount> channels {};
            for (const MidiNote& note : track.notes)
                channels[note.channel()].add(note.key());
            const auto programOf = [&](int channel) {
                return track.programs[channel] >= 0 ? track.programs[channel] : filePrograms[channel];
            };
            std::vector<MidiPart>& parts = byTrack[t];
            if (track.name == MidiTrackName) {
                ChannelNotes all;
                int first = -1;
                for (int channel = 0; channel < ChannelCount; ++channel) {
                    if (channel == DrumChannel || channels[channel].count == 0)
                        continue;
                    all.add(channels[channel]);
                    first = first < 0 ? channel : first;
                }
                if (first >= 0) {
                    parts.push_back(PartOf(song, static_cast<int>(t), first, all, programOf(first)));
                    parts.back().everyChannel = true;
                }
                channels = {};
                for (const MidiNote& note : track.notes) {
                    if (note.channel() == DrumChannel)
                        channels[DrumChannel].add(note.key());
                }
            }
            for (int channel = 0; channel < ChannelCount; ++channel) {
                if (channels[channel].count > 0)
                    parts.push_back(PartOf(song, static_cast<int>(t), channel, channels[channel], programOf(channel)));
            }
            for (MidiPart& part : parts)
                part.otherNotes = static_cast<int>(track.notes.size()) - part.notes;
        }
        return byTrack;
    }

    bool LowerThan(const MidiPart& a, const MidiPart& b) { return a.averageKey < b.averageKey; }

    // The part a bass player means among candidates, and why.
    std::pair<const MidiPart*, QString> Preferred(const std::vector<const MidiPart*>& candidates)
    {
        std::vector<const MidiPart*> tuned;
        std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(tuned),
            [](const MidiPart* part) { return !part->isDrums(); });
        if (tuned.empty())
            return { candidates.empty() ? nullptr : candidates.front(), QStringLiteral("the only part with notes") };
        if (tuned.size() == 1)
            return { tuned.front(), QStringLiteral("the only part with notes") };
        // The lowest of the parts that carry a line: a part with a tenth of the notes of the busiest
        // (a stray note on a text track, a single low hit) is no line a bass player would take.
        const auto lowest = [](const std::vector<const MidiPart*>& among) {
            const int most = (*std::max_element(among.begin(), among.end(), [](const MidiPart* a, const MidiPart* b) {
                return a->notes < b->notes;
            }))->notes;
            const MidiPart* best = nullptr;
            for (const MidiPart* part : among) {
                if (part->notes * 10 >= most && (!best || LowerThan(*part, *best)))
                    best = part;
            }
            return best;
        };
        std::vector<const MidiPart*> basses;
        std::copy_if(tuned.begin(), tuned.end(), std::back_inserter(basses),
            [](const MidiPart* part) { return part->isBass(); });
        if (basses.size() > 1)
            return { lowest(basses), QStringLiteral("the lowest of %1 bass parts").arg(basses.size()) };
        if (basses.size() == 1) {
            const MidiPart* bass = basses.front();
            const bool sound = IsBassProgram(bass->program);
            return { bass, sound ? QStringLiteral("its sound is a bass") : QStringLiteral("its name says bass") };
        }
        return { lowest(tuned), QStringLiteral("it has the lowest notes") };
    }

    // Format 0 (one track) numbers its parts by channel.
    bool PartsByChannel(const MidiSong& song) { return song.format == 0 && song.tracks.size() <= 1; }

} // namespace

bool MidiPart::isDrums() const { return channel == DrumChannel && !everyChannel; }

bool MidiPart::isBass() const
{
    if (isDrums())
        return false;
    if (IsBassProgram(program))
        return true;
    // "Bass", "E.Bass", "Bass Guitar", "Fretless bass 2"; not "Bassoon" or "Bass Drum".
    static const QRegularExpression bass(
        QStringLiteral("(^|[^a-z])bass(?!oon|[ -]?drum)"), QRegularExpression::CaseInsensitiveOption);
    return bass.match(name).hasMatch();
}

QString MidiPart::instrument() const
{
    if (isDrums())
        return QStringLiteral("Percussion");
    return program >= 0 && program < 128 ? QString::fromLatin1(ProgramNames[program]) : QString();
}

QString MidiPart::describe() const
{
    QString text = QStringLiteral("track %1").arg(trackNumber);
    if (!name.isEmpty())
        text += QStringLiteral(" (\"%1\")").arg(name);
    return text + QStringLiteral(", channel %1").arg(channel + 1);
}

std::vector<MidiPart> MidiParts(const MidiSong& song)
{
    std::vector<std::vector<MidiPart>> byTrack = ChannelPartsByTrack(song);
    std::vector<MidiPart> parts;
    if (PartsByChannel(song)) {
        for (std::vector<MidiPart>& track : byTrack) {
            for (MidiPart& part : track) {
                part.number = part.channel + 1;
                parts.push_back(std::move(part));
            }
        }
        return parts;
    }
    for (const std::vector<MidiPart>& track : byTrack) {
        if (track.empty())
            continue;
        std::vector<const MidiPart*> candidates;
        for (const MidiPart& part : track)
            candidates.push_back(&part);
        parts.push_back(*Preferred(candidates).first);
    }
    return parts;
}

MidiPartChoice ChooseMidiPart(
    const MidiSong& song, const std::vector<MidiPart>& parts, std::optional<int> track, std::optional<int> channel)
{
    MidiPartChoice choice;
    const bool byChannel = PartsByChannel(song);
    // With a channel asked for, a track number names the file's one track, as it always did.
    if (byChannel && track && channel) {
        if (*track != 1) {
            choice.error = QStringLiteral("The file has 1 tracks; there is no track %1.").arg(*track);
            return choice;
        }
        track.reset();
    }
    if (track && !byChannel && (*track < 1 || *track > song.trackCount)) {
        choice.error = QStringLiteral("The file has %1 tracks; there is no track %2.").arg(song.trackCount).arg(*track);
        return choice;
    }
    if (channel && (*channel < 1 || *channel > ChannelCount)) {
        choice.error = QStringLiteral("A MIDI channel is 1 to 16, not %1.").arg(*channel);
        return choice;
    }
    if (parts.empty()) {
        choice.error = QStringLiteral("The file holds no notes.");
        return choice;
    }
    // With a channel asked for, any channel of a track can be the part, not only the one it prefers.
    std::vector<MidiPart> channelParts;
    if (channel && !byChannel) {
        for (std::vector<MidiPart>& inTrack : ChannelPartsByTrack(song)) {
            for (MidiPart& part : inTrack) {
                if (part.channel == *channel - 1 || part.everyChannel)
                    channelParts.push_back(std::move(part));
            }
        }
    }
    const std::vector<MidiPart>& pool = channel && !byChannel ? channelParts : parts;
    std::vector<const MidiPart*> candidates;
    for (const MidiPart& part : pool) {
        if (track && part.number != *track)
            continue;
        if (channel && part.channel != *channel - 1)
            continue;
        if (!track && !channel && part.isDrums())
            continue;
        candidates.push_back(&part);
    }
    if (candidates.empty()) {
        choice.error = QStringLiteral("The file holds no notes on the track and channel asked for.");
        return choice;
    }
    const auto [part, reason] = Preferred(candidates);
    choice.part = *part;
    choice.reason = reason;
    const bool drumsLeftOut = std::any_of(pool.begin(), pool.end(), [](const MidiPart& p) { return p.isDrums(); });
    if (candidates.size() == 1 && drumsLeftOut && !track && !channel)
        choice.reason = QStringLiteral("the only part besides the drums");
    return choice;
}

} // namespace fw
