#include "MidiImport.h"

#include "ChordDef.h"
#include "DocumentText.h"
#include "Fingering.h"
#include "LineParser.h"
#include "MidiFileReader.h"
#include "MidiFileWriter.h"

#include <algorithm>
#include <cmath>

namespace fw {

namespace {

    // Lengths in units of a 384th of a whole note, where all 21 forms are whole numbers.
    constexpr qint64 UnitsPerQuarter = MidiDivision;
    constexpr qint64 UnitsPerWhole = 4 * UnitsPerQuarter;
    constexpr qint64 ShortestUnits = 2; // "/F"
    constexpr int DrumChannel = 9; // channel 10 as players count
    constexpr int FirstBassProgram = 32;
    constexpr int LastBassProgram = 39;
    // A list longer than this is of no use in the editor; a file with absurd lengths stops here
    // instead of filling the memory with rests.
    constexpr qsizetype MaxImportLines = 1000000;
    // No note or silence of music lasts longer than this (over eight minutes at 120 beats per minute);
    // a longer one is a damaged or absurd file, and is cut so it does not become thousands of rests.
    constexpr qint64 MaxStretchUnits = 256 * UnitsPerWhole;

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

    bool IsExactLength(qint64 units)
    {
        for (const Form& form : Forms)
            units %= form.units;
        return units == 0;
    }

    struct Part {
        int trackNumber = 0; // 1-based
        int channel = 0; // 0-based
        std::vector<MidiNote> notes;
        std::vector<qint64> marks;
        qint64 end = 0;
        int program = -1;
        QString name;
    };

    struct Group {
        qint64 start = 0;
        qint64 end = 0;
        std::vector<int> keys;
    };

    QString Describe(const Part& part)
    {
        QString text = QStringLiteral("track %1").arg(part.trackNumber);
        if (!part.name.trimmed().isEmpty())
            text += QStringLiteral(" (\"%1\")").arg(part.name.trimmed());
        return text + QStringLiteral(", channel %1").arg(part.channel + 1);
    }

    std::vector<Part> Parts(const MidiSong& song)
    {
        std::vector<Part> parts;
        for (size_t t = 0; t < song.tracks.size(); ++t) {
            const MidiTrack& track = song.tracks[t];
            // Our own files play one bass part over several channels (slap, pop, and a string's own
            // channel for its slides and bends): their note track is one part, named by its first channel.
            const bool ours = track.name == MidiTrackName;
            std::optional<size_t> ourPart;
            for (int channel = 0; channel < 16; ++channel) {
                if (ourPart && channel != DrumChannel) {
                    Part& part = parts[*ourPart];
                    for (const MidiNote& note : track.notes) {
                        if (note.channel() == channel) {
                            part.notes.push_back(note);
                            part.end = std::max(part.end, note.end());
                        }
                    }
                    continue;
                }
                Part part;
                part.trackNumber = static_cast<int>(t) + 1;
                part.channel = channel;
                part.program = track.programs[channel];
                // A conductor track may set the sound of every track's channel.
                for (size_t other = 0; other < song.tracks.size() && part.program < 0; ++other)
                    part.program = song.tracks[other].programs[channel];
                part.name = track.name;
                for (const MidiNote& note : track.notes) {
                    if (note.channel() == channel)
                        part.notes.push_back(note);
                }
                if (part.notes.empty())
                    continue;
                if (ours && channel != DrumChannel)
                    ourPart = parts.size();
                for (const auto& [tick, markChannel] : track.silentMarks) {
                    if (markChannel == channel)
                        part.marks.push_back(tick);
                }
                part.end = part.marks.empty() ? 0 : part.marks.back();
                for (const MidiNote& note : part.notes)
                    part.end = std::max(part.end, note.end());
                parts.push_back(std::move(part));
            }
        }
        return parts;
    }

    double AverageKey(const Part& part)
    {
        double sum = 0;
        for (const MidiNote& note : part.notes)
            sum += note.key();
        return sum / static_cast<double>(part.notes.size());
    }

    // The part to import, or the error text.
    std::optional<Part> ChoosePart(
        const MidiSong& song, const MidiImportOptions& options, QStringList& report, QString& error)
    {
        if (options.track && (*options.track < 1 || *options.track > static_cast<int>(song.tracks.size()))) {
            error = QStringLiteral("The file has %1 tracks; there is no track %2.")
                        .arg(song.tracks.size())
                        .arg(*options.track);
            return std::nullopt;
        }
        if (options.channel && (*options.channel < 1 || *options.channel > 16)) {
            error = QStringLiteral("A MIDI channel is 1 to 16, not %1.").arg(*options.channel);
            return std::nullopt;
        }
        std::vector<Part> parts = Parts(song);
        const qsizetype withNotes = static_cast<qsizetype>(parts.size());
        std::erase_if(parts, [&](const Part& part) {
            if (options.track && part.trackNumber != *options.track)
                return true;
            if (options.channel)
                return part.channel != *options.channel - 1;
            return part.channel == DrumChannel;
        });
        if (parts.empty()) {
            error = withNotes == 0 ? QStringLiteral("The file holds no notes.")
                                   : QStringLiteral("The file holds no notes on the track and channel asked for.");
            return std::nullopt;
        }
        auto chosen = parts.begin();
        QString reason = QStringLiteral("the only part with notes");
        if (parts.size() > 1) {
            chosen = std::find_if(parts.begin(), parts.end(),
                [](const Part& part) { return part.program >= FirstBassProgram && part.program <= LastBassProgram; });
            reason = QStringLiteral("its sound is a bass");
            if (chosen == parts.end()) {
                chosen = std::min_element(parts.begin(), parts.end(),
                    [](const Part& a, const Part& b) { return AverageKey(a) < AverageKey(b); });
                reason = QStringLiteral("it has the lowest notes");
            }
        }
        report << QStringLiteral("Imported %1: %2.").arg(Describe(*chosen), reason);
        if (withNotes > 1)
            report << QStringLiteral("Left out %1 other parts with notes (choose one with --track and --channel).")
                          .arg(withNotes - 1);
        return std::move(*chosen);
    }

    // Notes starting less than together ticks apart form one group.
    std::vector<Group> Groups(const Part& part, qint64 together)
    {
        std::vector<MidiNote> notes = part.notes;
        std::stable_sort(
            notes.begin(), notes.end(), [](const MidiNote& a, const MidiNote& b) { return a.start() < b.start(); });
        std::vector<Group> groups;
        for (const MidiNote& note : notes) {
            if (groups.empty() || note.start() - groups.back().start >= together)
                groups.push_back({ note.start(), note.end(), {} });
            groups.back().end = std::max(groups.back().end, note.end());
            groups.back().keys.push_back(note.key());
        }
        return groups;
    }

    // One line to write: notes (empty for a rest) and a written form.
    struct Entry {
        std::vector<int> keys;
        const Form* form = nullptr;
        qint64 unitsAt = 0; // where it starts
    };

    class EntryWriter {
    public:
        // Writes a stretch of time as one note (keys) or as rests: the largest form first, rest lines
        // for what is left. A remainder too short for any form joins the next stretch.
        void Add(const std::vector<int>& keys, qint64 units)
        {
            if (Full())
                return;
            units += m_carry;
            m_carry = 0;
            if (units > MaxStretchUnits) {
                units = MaxStretchUnits;
                ++m_cutStretches;
            }
            if (units < ShortestUnits) {
                if (keys.empty()) {
                    m_carry = units;
                    return;
                }
                m_carry = units - ShortestUnits;
                ++m_lengthened;
                units = ShortestUnits;
            }
            qint64 remainder = 0;
            const std::vector<const Form*> forms
                = Split(units, MaxImportLines - static_cast<qsizetype>(entries.size()), remainder);
            m_carry += remainder;
            if (forms.size() > 1 && !keys.empty())
                ++m_split;
            for (size_t i = 0; i < forms.size(); ++i) {
                entries.push_back({ i == 0 ? keys : std::vector<int> {}, forms[i], m_at });
                m_at += forms[i]->units;
            }
        }
        bool Full() const { return static_cast<qsizetype>(entries.size()) >= MaxImportLines; }

        std::vector<Entry> entries;
        int m_split = 0;
        int m_lengthened = 0;
        int m_cutStretches = 0;

    private:
        qint64 m_carry = 0;
        qint64 m_at = 0;
    };

    QString ChordLineText(const ChordDef& def, const Tuning& tuning)
    {
        return tuning.isStandard() ? BuildLine(def) : BuildLine(def, tuning);
    }

} // namespace

MidiImportResult ImportMidiChordList(QByteArrayView bytes, const MidiImportOptions& options)
{
    MidiImportResult result;
    MidiReadResult read = ReadMidiFile(bytes);
    if (!read.song) {
        result.error = read.error;
        return result;
    }
    const MidiSong& song = *read.song;
    result.report << song.warnings;
    const std::optional<Part> part = ChoosePart(song, options, result.report, result.error);
    if (!part)
        return result;
    const qint64 division = song.division;
    const auto units = [division](qint64 ticks) { return (ticks * UnitsPerQuarter * 2 + division) / (2 * division); };
    const auto onGrid = [division](qint64 ticks) { return (ticks * UnitsPerQuarter) % division == 0; };
    // A part whose every time lies on the grid of written lengths was written, not played: its
    // chords start on the same tick, and a shorter note than a 64th is meant as it stands.
    const bool onTheGrid = std::all_of(part->marks.begin(), part->marks.end(), onGrid)
        && std::all_of(part->notes.begin(), part->notes.end(),
            [&](const MidiNote& note) { return onGrid(note.start()) && onGrid(note.end()); });
    const std::vector<Group> groups = Groups(*part, onTheGrid ? 1 : std::max<qint64>(1, division / 16));

    // Exact when, besides, no silence needs rounding: then every silence is a rest.
    // The silent marks inside a silence cut it where the file's rests meet.
    const auto cuts = [&](qint64 from, qint64 to) {
        std::vector<qint64> points { from };
        for (auto it = std::upper_bound(part->marks.begin(), part->marks.end(), from);
             it != part->marks.end() && *it < to; ++it)
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
    bool exact = onTheGrid && (groups.empty() || exactSilence(0, groups.front().start));
    int cut = 0;
    for (size_t g = 0; g < groups.size(); ++g) {
        const qint64 next = g + 1 < groups.size() ? groups[g + 1].start : std::max(groups[g].end, part->end);
        if (groups[g].end > next)
            ++cut;
        exact = exact && groups[g].end <= next && exactSilence(groups[g].end, next);
    }
    if (cut > 0)
        result.report << QStringLiteral("%1 notes sounded into the next note and were shortened.").arg(cut);

    EntryWriter writer;
    const auto addRests = [&](qint64 from, qint64 to) {
        if (!exact) {
            writer.Add({}, units(to) - units(from));
            return;
        }
        const std::vector<qint64> points = cuts(from, to);
        for (size_t i = 1; i < points.size(); ++i)
            writer.Add({}, units(points[i]) - units(points[i - 1]));
    };
    if (!groups.empty() && groups.front().start > 0)
        addRests(0, groups.front().start);
    for (size_t g = 0; g < groups.size() && !writer.Full(); ++g) {
        const Group& group = groups[g];
        const qint64 next = g + 1 < groups.size() ? groups[g + 1].start : std::max(group.end, part->end);
        const qint64 end = std::min(group.end, next);
        const qint64 silence = next - end;
        const bool rest = exact ? silence > 0 : silence >= division / 2 && silence >= end - group.start;
        std::vector<int> keys;
        for (int key : group.keys)
            keys.push_back(key + MidiNoteShift);
        writer.Add(keys, units(rest ? end : next) - units(group.start));
        if (rest)
            addRests(end, next);
    }
    if (writer.Full())
        result.report
            << QStringLiteral("The part is too long; only its first %1 lines were imported.").arg(MaxImportLines);
    if (writer.m_cutStretches > 0)
        result.report << QStringLiteral("%1 notes or silences were longer than 256 whole notes and were cut to that.")
                             .arg(writer.m_cutStretches);
    if (writer.m_split > 0)
        result.report << QStringLiteral("%1 notes had no written length; each got the largest that fits and rests "
                                        "for the remainder.")
                             .arg(writer.m_split);
    if (writer.m_lengthened > 0)
        result.report << QStringLiteral("%1 notes were shorter than a sixty-fourth triplet and were lengthened.")
                             .arg(writer.m_lengthened);

    // Fingering of all notes at once, so the line is easy to play as a whole.
    std::vector<FingeringEvent> events;
    for (const Entry& entry : writer.entries)
        events.push_back(entry.keys);
    const Fingering fingering = FingerEvents(events, options.tuning);
    if (fingering.unplayableNotes > 0)
        result.report << QStringLiteral("%1 notes cannot be played on this tuning; they became rests with a comment.")
                             .arg(fingering.unplayableNotes);

    DocumentHeader header;
    if (!song.tempos.empty()) {
        const double bpm = 60000000.0 / song.tempos.front().microsecondsPerQuarter;
        header.Tempo = std::clamp(static_cast<int>(std::lround(bpm)), MinTempo, MaxTempo);
        if (song.tempos.size() > 1)
            result.report << QStringLiteral("The file changes its tempo %1 times; the list keeps the first, %2.")
                                 .arg(song.tempos.size() - 1)
                                 .arg(header.Tempo);
    }
    if (part->program >= FirstBassProgram && part->program <= LastBassProgram)
        header.Patch = part->program;
    else if (part->program >= 0)
        result.report
            << QStringLiteral("Program %1 is not a bass sound; the list keeps the default bass.").arg(part->program);
    result.lines = HeaderLines(header);
    if (!options.tuning.isStandard())
        result.lines << options.tuning.lineText();

    size_t nextSignature = 0;
    qint64 barStart = 0;
    qint64 barLength = UnitsPerWhole;
    const auto signatureAt = [&](qint64 at) {
        while (nextSignature < song.timeSignatures.size() && units(song.timeSignatures[nextSignature].tick) <= at) {
            const MidiTimeSignature& signature = song.timeSignatures[nextSignature++];
            barLength = signature.numerator * (UnitsPerWhole / signature.denominator);
        }
    };
    signatureAt(0);
    for (size_t e = 0; e < writer.entries.size(); ++e) {
        const Entry& entry = writer.entries[e];
        ChordDef def;
        def.Duration = QString::fromLatin1(entry.form->text);
        QStringList unplayable;
        for (size_t n = 0; n < entry.keys.size(); ++n) {
            const Placement& placement = fingering.events[e][n];
            if (placement.playable()) {
                def.Frets[placement.slot] = placement.fret;
                def.Notes[placement.slot] = static_cast<unsigned char>(entry.keys[n]);
            } else {
                unplayable << QStringLiteral("%1 (MIDI key %2)")
                                  .arg(PitchClassName(entry.keys[n]))
                                  .arg(entry.keys[n] - MidiNoteShift);
            }
        }
        if (!unplayable.isEmpty())
            result.lines << QStringLiteral("* Not playable on this tuning: ") + unplayable.join(QStringLiteral(", "));
        def.Name = AutomaticName(def, options.tuning);
        result.lines << ChordLineText(def, options.tuning);
        const qint64 endsAt = entry.unitsAt + entry.form->units;
        if (endsAt >= barStart + barLength) {
            result.lines << QString();
            while (barStart + barLength <= endsAt) {
                barStart += barLength;
                signatureAt(barStart);
            }
        }
    }
    return result;
}

} // namespace fw
