#include "MidiImport.h"

#include "ChordDef.h"
#include "DocumentText.h"
#include "Fingering.h"
#include "ImportTuning.h"
#include "LineParser.h"
#include "MidiFileReader.h"
#include "MidiFileWriter.h"
#include "MidiRhythm.h"
#include "SpecialLines.h"

#include <algorithm>
#include <cmath>

namespace fw {

namespace {

    constexpr qint64 UnitsPerQuarter = RhythmUnitsPerWhole / 4;

    int Bpm(quint32 microsecondsPerQuarter)
    {
        const double bpm = 60000000.0 / std::max<quint32>(microsecondsPerQuarter, 1);
        return std::clamp(static_cast<int>(std::lround(bpm)), MinTempo, MaxTempo);
    }

    bool Writable(const TimeSignature& time)
    {
        return time.beats >= 1 && time.beats <= 32
            && (time.unit == 2 || time.unit == 4 || time.unit == 8 || time.unit == 16);
    }

    // What a file of this program carries of its list's setup in text events at its start.
    struct CarriedSetup {
        std::optional<Tuning> tuning;
        std::optional<int> frets;
        int countOff = 0;
    };

    CarriedSetup SetupOf(const QStringList& texts)
    {
        CarriedSetup setup;
        for (const QString& text : texts) {
            if (const TuningLineResult tuning = ParseTuningLine(text); tuning.kind == SpecialLineKind::Valid)
                setup.tuning = tuning.tuning;
            else if (const FretsLineResult frets = ParseFretsLine(text); frets.kind == SpecialLineKind::Valid)
                setup.frets = frets.frets;
            else {
                ChordDef def;
                const LineParseResult line = ParseLineText(text, 0, def);
                if (line.kind == LineKind::CountOff && line.countOffNumber > 0)
                    setup.countOff = line.countOffNumber;
            }
        }
        return setup;
    }

    // The part's notes and silent marks, the rhythm reader's input.
    RhythmInput InputOf(const MidiSong& song, const MidiPart& part)
    {
        const MidiTrack& track = song.tracks[part.trackIndex];
        RhythmInput in;
        in.division = song.division;
        for (const MidiNote& note : track.notes) {
            const bool inPart = part.everyChannel ? note.channel() != MidiDrumChannel : note.channel() == part.channel;
            if (inPart) {
                in.notes.push_back(note);
                in.end = std::max(in.end, note.end());
            }
        }
        for (const auto& [tick, channel] : track.silentMarks) {
            if (channel == part.channel) {
                in.marks.push_back(tick);
                in.end = std::max(in.end, tick);
            }
        }
        // Files of this program come back line by line, as they were written.
        in.splitAtBars = track.name != MidiTrackName;
        return in;
    }

    qint64 Units(qint64 ticks, int division) { return (ticks * UnitsPerQuarter * 2 + division) / (2 * division); }

    void ReportRhythm(const Rhythm& rhythm, QStringList& report)
    {
        if (!rhythm.grid.isEmpty() && rhythm.movedOnsets > 0)
            report << QStringLiteral("The part is played, not written: %1 of %2 onsets were moved to the nearest %3.")
                          .arg(rhythm.movedOnsets)
                          .arg(rhythm.onsets)
                          .arg(rhythm.grid);
        if (rhythm.shortened > 0)
            report << QStringLiteral("%1 notes sounded into the next note and were shortened.").arg(rhythm.shortened);
        if (rhythm.doubled > 0)
            report << QStringLiteral(
                "%1 notes struck a key that already sounded at the same time; each was taken once.")
                          .arg(rhythm.doubled);
        if (rhythm.full)
            report
                << QStringLiteral("The part is too long; only its first %1 lines were imported.").arg(MaxImportLines);
        if (rhythm.cutStretches > 0)
            report << QStringLiteral("%1 notes or silences were longer than 256 whole notes and were cut to that.")
                          .arg(rhythm.cutStretches);
        if (rhythm.split > 0)
            report << QStringLiteral("%1 notes had no single written length or crossed a bar line; each became tied "
                                     "lines.")
                          .arg(rhythm.split);
        if (rhythm.lengthened > 0)
            report << QStringLiteral("%1 notes were shorter than a sixty-fourth triplet and were lengthened.")
                          .arg(rhythm.lengthened);
    }

    // The tuning and neck the lines are written for, with the report line that says why.
    TuningChoice ChooseTuning(
        const MidiImportOptions& options, const CarriedSetup& setup, const std::vector<FingeringEvent>& events)
    {
        TuningChoice choice;
        if (options.tuning || setup.tuning) {
            choice.tuning = options.tuning ? *options.tuning : *setup.tuning;
            // A long neck when a note needs it, as for a tuning chosen.
            const int highestOpen = choice.tuning.openNotes().back();
            const bool high = std::any_of(events.begin(), events.end(), [&](const FingeringEvent& event) {
                return std::any_of(event.begin(), event.end(),
                    [&](int note) { return note > highestOpen + FretCount && note <= highestOpen + MaxFretLimit; });
            });
            choice.fretLimit = setup.frets.value_or(high ? MaxFretLimit : FretCount);
            choice.foldOctaves = options.foldOctaves;
            if (!options.tuning)
                choice.report = QStringLiteral("Tuning %1: the file says so.").arg(choice.tuning.namesText());
            return choice;
        }
        choice = ChooseImportTuning(events, options.foldOctaves);
        if (setup.frets)
            choice.fretLimit = std::max(choice.fretLimit, *setup.frets);
        return choice;
    }

    // Tied entries hold their notes into the next entry's, key for key.
    FingeringRules TieRules(const std::vector<RhythmEntry>& entries, int fretLimit)
    {
        FingeringRules rules;
        rules.fretLimit = fretLimit;
        rules.links.resize(entries.size());
        for (size_t e = 1; e < entries.size(); ++e) {
            if (!entries[e - 1].tied)
                continue;
            for (int k = 0; k < static_cast<int>(entries[e].keys.size()); ++k)
                rules.links[e].push_back({ k, k });
        }
        return rules;
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
    const std::vector<MidiPart> parts = MidiParts(song);
    const MidiPartChoice choice = ChooseMidiPart(song, parts, options.track, options.channel);
    if (!choice.part) {
        result.error = choice.error;
        return result;
    }
    const MidiPart& part = *choice.part;
    result.report << QStringLiteral("Imported %1: %2.").arg(part.describe(), choice.reason);
    int otherParts = 0;
    int otherNotes = 0;
    for (const MidiPart& other : parts) {
        if (other.trackIndex != part.trackIndex) {
            ++otherParts;
            otherNotes += other.notes;
        }
    }
    if (otherParts > 0)
        result.report << QStringLiteral("Left out %1 other parts with %2 notes (--list-tracks shows them; --track "
                                        "chooses one).")
                             .arg(otherParts)
                             .arg(otherNotes);
    if (part.otherNotes > 0)
        result.report << QStringLiteral("Left out %1 notes of the same track on other channels (--channel chooses "
                                        "one).")
                             .arg(part.otherNotes);
    const MidiTrack& track = song.tracks[part.trackIndex];
    const CarriedSetup setup = SetupOf(track.setupTexts);
    const int bends = track.bends[part.channel];
    if (bends > 0)
        result.report << QStringLiteral("%1 pitch bends were left out; the notes keep their unbent pitch.").arg(bends);

    const int division = song.division;
    RhythmInput input = InputOf(song, part);
    std::vector<TimeSignature> ignoredTimes;
    for (const MidiTimeSignature& signature : song.timeSignatures) {
        const TimeSignature time { signature.numerator, signature.denominator };
        if (Writable(time))
            input.times.push_back({ Units(signature.tick, division), signature.numerator, signature.denominator });
        else
            ignoredTimes.push_back(time);
    }
    if (!ignoredTimes.empty())
        result.report << QStringLiteral("%1 time signatures no time line can hold (such as %2) were left out.")
                             .arg(ignoredTimes.size())
                             .arg(ignoredTimes.front().text());
    const Rhythm rhythm = ReadRhythm(input);
    ReportRhythm(rhythm, result.report);

    std::vector<FingeringEvent> events;
    events.reserve(rhythm.entries.size());
    for (const RhythmEntry& entry : rhythm.entries) {
        FingeringEvent event;
        for (const int key : entry.keys)
            event.push_back(key + MidiNoteShift);
        events.push_back(std::move(event));
    }
    const TuningChoice tuning = ChooseTuning(options, setup, events);
    if (!tuning.report.isEmpty())
        result.report << tuning.report;
    if (tuning.foldOctaves) {
        int folded = 0;
        for (FingeringEvent& event : events) {
            for (int& note : event) {
                folded += tuning.fit(note) != note ? 1 : 0;
                note = tuning.fit(note);
            }
        }
        // A tuning chosen says so in its own report line.
        if (folded > 0 && (options.tuning || setup.tuning))
            result.report
                << QStringLiteral("%1 notes out of the tuning's range were moved by octaves into it.").arg(folded);
    }
    // Fingering of all notes at once, so the line is easy to play as a whole.
    const Fingering fingering = FingerEvents(events, tuning.tuning, TieRules(rhythm.entries, tuning.fretLimit));
    if (fingering.unplayableNotes > 0)
        result.report << QStringLiteral("%1 notes cannot be played on this tuning; they became rests with a comment.")
                             .arg(fingering.unplayableNotes);

    // The header's tempo is the file's first; later changes are comment lines where they happen.
    DocumentHeader header;
    std::vector<std::pair<qint64, int>> tempoChanges;
    for (const MidiTempoChange& change : song.tempos) {
        const int bpm = Bpm(change.microsecondsPerQuarter);
        if (&change == &song.tempos.front() || change.tick == 0)
            header.Tempo = bpm;
        else if ((tempoChanges.empty() ? header.Tempo : tempoChanges.back().second) != bpm)
            tempoChanges.emplace_back(Units(change.tick, division), bpm);
    }
    if (!tempoChanges.empty())
        result.report << QStringLiteral("The tempo changes %1; the list starts at %2 and a comment line marks "
                                        "each change.")
                             .arg(tempoChanges.size() == 1 ? QStringLiteral("once")
                                                           : QStringLiteral("%1 times").arg(tempoChanges.size()))
                             .arg(header.Tempo);
    if (IsBassProgram(part.program))
        header.Patch = part.program;
    else if (part.program >= 0)
        result.report
            << QStringLiteral("Program %1 is not a bass sound; the list keeps the default bass.").arg(part.program);
    result.lines = HeaderLines(header);
    if (!tuning.tuning.isStandard())
        result.lines << tuning.tuning.lineText();
    if (tuning.fretLimit > FretCount)
        result.lines << FretsLineText(tuning.fretLimit);
    if (setup.countOff > 0)
        result.lines << QStringLiteral("*Count Off %1").arg(setup.countOff);

    BarClock bars(input.times);
    TimeSignature written;
    size_t nextTempo = 0;
    for (size_t e = 0; e < rhythm.entries.size(); ++e) {
        const RhythmEntry& entry = rhythm.entries[e];
        bars.advanceTo(entry.at);
        if (bars.time() != written) {
            written = bars.time();
            result.lines << TimeLineText(written);
        }
        for (; nextTempo < tempoChanges.size() && tempoChanges[nextTempo].first <= entry.at; ++nextTempo)
            result.lines << QStringLiteral("* Tempo %1").arg(tempoChanges[nextTempo].second);
        ChordDef def;
        def.Duration = QString::fromLatin1(entry.form);
        QStringList unplayable;
        for (size_t n = 0; n < entry.keys.size(); ++n) {
            const Placement& placement = fingering.events[e][n];
            if (placement.playable()) {
                def.Frets[placement.slot] = placement.fret;
                def.Notes[placement.slot] = static_cast<unsigned char>(events[e][n]);
                const bool tiedOn = entry.tied && e + 1 < rhythm.entries.size() && n < fingering.events[e + 1].size()
                    && fingering.events[e + 1][n] == placement;
                if (tiedOn)
                    def.Marks[placement.slot].link = NoteLink::Tie;
            } else {
                unplayable << QStringLiteral("%1 (MIDI key %2)").arg(PitchClassName(events[e][n])).arg(entry.keys[n]);
            }
        }
        if (!unplayable.isEmpty())
            result.lines << QStringLiteral("* Not playable on this tuning: ") + unplayable.join(QStringLiteral(", "));
        def.Name = AutomaticName(def, tuning.tuning);
        result.lines << (tuning.tuning.isStandard() ? BuildLine(def) : BuildLine(def, tuning.tuning));
        const qint64 endsAt = entry.at + entry.units;
        if (endsAt >= bars.end()) {
            result.lines << QString();
            bars.advanceTo(endsAt);
        }
    }
    return result;
}

MidiPartList ListMidiParts(QByteArrayView bytes)
{
    MidiPartList list;
    MidiReadResult read = ReadMidiFile(bytes);
    if (!read.song) {
        list.error = read.error;
        return list;
    }
    list.parts = MidiParts(*read.song);
    const MidiPartChoice choice = ChooseMidiPart(*read.song, list.parts, std::nullopt, std::nullopt);
    for (size_t i = 0; choice.part && i < list.parts.size(); ++i) {
        const MidiPart& part = list.parts[i];
        if (part.number == choice.part->number && part.channel == choice.part->channel)
            list.chosen = static_cast<int>(i);
    }
    return list;
}

} // namespace fw
