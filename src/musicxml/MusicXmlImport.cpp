#include "MusicXml.h"
#include "MxlContainer.h"
#include "NoteForms.h"
#include "Pitch.h"
#include "ScoreMarks.h"
#include "ScoreReader.h"
#include "SpecialLines.h"

#include <QSet>
#include <algorithm>
#include <climits>
#include <tuple>

namespace fw {

using namespace musicxml;

namespace {

    // No music has measures this long; longer ones would only fill the editor with rests.
    constexpr long long MaxMeasureLength = 64LL * WholeDivisions;

    // Note values lie one octave above the sound.
    int NoteValueOfKey(int key) { return key + 12; }

    // One note or chord (or rest, when notes is empty) of the voice that is read, in our divisions.
    struct Item {
        int measure = 0;
        long long length = 0;
        QList<ReadNote> notes;
    };

    // Where the notes of an item were placed: each slot's note, as an index into the item's notes.
    using SlotNotes = std::array<signed char, 7>;
    constexpr SlotNotes NoSlotNotes { -1, -1, -1, -1, -1, -1, -1 };

    class Counts {
    public:
        void add(const QString& what, int count)
        {
            if (count > 0)
                m_lines.append(what.arg(count));
        }
        void add(const QStringList& sentences) { m_lines += sentences; }
        QStringList lines() const { return m_lines; }

    private:
        QStringList m_lines;
    };

    std::optional<Tuning> TuningOfStaff(const QList<int>& keys)
    {
        static const char* Names[] = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };
        QStringList tokens;
        for (int key : keys) {
            if (key < 12)
                return std::nullopt;
            tokens.append(QLatin1String(Names[key % 12]) + QString::number(key / 12 - 1));
        }
        TuningLineResult result = ParseTuningNames(tokens.join(u' '));
        if (result.kind != TuningLineKind::Valid)
            return std::nullopt;
        return result.tuning;
    }

    int ChoosePart(const QList<ReadPart>& parts)
    {
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (parts[i].tabStaff != 0)
                return static_cast<int>(i);
        }
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (parts[i].bassStaff != 0)
                return static_cast<int>(i);
        }
        return 0;
    }

    bool Sounds(const ReadNote& note) { return !note.rest && !note.unpitched; }
    bool Timed(const ReadNote& note) { return !note.grace && !note.cue; }

    // The forms that fill a length: the longest that fits first, then the rest greedily. lost gets
    // what even the shortest form cannot fill.
    QList<const NoteForm*> FillLength(long long length, long long& lost)
    {
        QList<const NoteForm*> forms;
        while (const NoteForm* form = LongestFormWithin(length)) {
            forms.append(form);
            length -= form->divisions;
        }
        lost += length;
        return forms;
    }

    class Importer {
    public:
        Importer(const ReadScore& score, const MusicXmlImportOptions& options)
            : m_score(score)
            , m_options(options)
        {
        }

        MusicXmlImport run()
        {
            MusicXmlImport result;
            if (m_score.parts.isEmpty()) {
                result.error = QStringLiteral("The MusicXML file holds no part.");
                return result;
            }
            const ReadPart& part = m_score.parts[ChoosePart(m_score.parts)];
            m_staff = part.tabStaff ? part.tabStaff : (part.bassStaff ? part.bassStaff : 1);
            m_tuning = m_options.tuning;
            // A TAB staff without its tuning is taken to be tuned as asked.
            if (part.tabStaff && part.staffTuning.contains(part.tabStaff)) {
                if (const auto tuning = TuningOfStaff(part.staffTuning.value(part.tabStaff)))
                    m_tuning = *tuning;
                else {
                    m_readFrets = false;
                    m_counts.add(QStringLiteral("The TAB staff's tuning cannot be used (4 to 6 rising strings): "
                                                "its %1 notes were fingered anew."),
                        std::max(1, notesOn(part, m_staff)));
                }
            }
            collect(part);
            if (m_error.isEmpty())
                finger();
            if (!m_error.isEmpty()) {
                result.error = m_error;
                return result;
            }
            // Titles may run over several lines in a score; a chord-list line holds one.
            const QString title = m_score.title.simplified();
            const QString subtitle = m_score.subtitle.simplified();
            if (!title.isEmpty())
                result.lines.append(QStringLiteral("* Title: ") + title);
            if (!subtitle.isEmpty())
                result.lines.append(QStringLiteral("* Sub: ") + subtitle);
            if (!m_tuning.isStandard())
                result.lines.append(m_tuning.lineText());
            if (m_highestFret > FretCount)
                result.lines.append(FretsLineText(m_highestFret));
            writeLines(result.lines, part);
            if (result.lines.size() > MaxImportedLines) {
                result.lines.clear();
                result.error
                    = QStringLiteral("The score would make more than %1 chord-list lines.").arg(MaxImportedLines);
                return result;
            }
            result.header.Tempo = m_score.tempo > 0 ? std::clamp(m_score.tempo, MinTempo, MaxTempo) : DefaultTempo;
            result.header.Patch = part.program >= 0 ? part.program : DefaultPatch;
            report(part);
            result.report = m_counts.lines();
            return result;
        }

    private:
        int notesOn(const ReadPart& part, int staff) const
        {
            int count = 0;
            for (const ReadMeasure& measure : part.measures) {
                for (const ReadNote& note : measure.notes)
                    count += note.staff == staff && Sounds(note) && Timed(note);
            }
            return count;
        }

        // The onsets and keys of one staff's voice, to tell a staff that only repeats another.
        QList<std::tuple<int, long long, int>> voiceNotes(const ReadPart& part, int staff) const
        {
            QList<std::tuple<int, long long, int>> notes;
            for (qsizetype m = 0; m < part.measures.size(); ++m) {
                for (const ReadNote& note : part.measures[m].notes) {
                    if (note.staff == staff && Sounds(note) && Timed(note))
                        notes.append({ static_cast<int>(m), note.onset, note.key });
                }
            }
            std::sort(notes.begin(), notes.end());
            return notes;
        }

        void collect(const ReadPart& part)
        {
            m_voice = INT_MAX;
            for (const ReadMeasure& measure : part.measures) {
                for (const ReadNote& note : measure.notes) {
                    if (note.staff == m_staff && Timed(note))
                        m_voice = std::min(m_voice, note.voice);
                }
            }
            for (qsizetype m = 0; m < part.measures.size(); ++m) {
                const ReadMeasure& measure = part.measures[m];
                if (measure.length > MaxMeasureLength) {
                    m_error = QStringLiteral("Measure %1 lasts longer than %2 whole notes: not a score this "
                                             "program can read.")
                                  .arg(m + 1)
                                  .arg(MaxMeasureLength / WholeDivisions);
                    return;
                }
                QList<ReadNote> notes;
                for (const ReadNote& note : measure.notes) {
                    if (note.staff != m_staff)
                        continue;
                    if (note.grace)
                        ++m_grace;
                    else if (note.cue)
                        ++m_cue;
                    else if (note.voice != m_voice)
                        m_otherVoices += Sounds(note);
                    else
                        notes.append(note);
                }
                std::stable_sort(
                    notes.begin(), notes.end(), [](const ReadNote& a, const ReadNote& b) { return a.onset < b.onset; });
                long long cursor = 0;
                for (qsizetype i = 0; i < notes.size();) {
                    Item item;
                    item.measure = static_cast<int>(m);
                    const long long onset = notes[i].onset;
                    item.length = notes[i].length;
                    for (; i < notes.size() && notes[i].onset == onset; ++i) {
                        const ReadNote& note = notes[i];
                        m_rounded += note.rounded;
                        if (note.unpitched)
                            ++m_unpitched;
                        if (!Sounds(note))
                            continue;
                        // A key twice on one string (or with no string given) sounds once; a unison on
                        // two strings is kept.
                        const bool repeated
                            = std::any_of(item.notes.cbegin(), item.notes.cend(), [&note](const ReadNote& other) {
                                  return other.key == note.key && (other.string == note.string || note.string == 0);
                              });
                        if (repeated)
                            continue;
                        item.notes.append(note);
                    }
                    long long start = onset;
                    if (start < cursor) {
                        // Overlaps an earlier note of the same voice: only what comes after it is kept.
                        ++m_overlaps;
                        item.length -= cursor - start;
                        start = cursor;
                        if (item.length <= 0)
                            continue;
                    }
                    if (start > cursor)
                        m_items.append({ static_cast<int>(m), start - cursor, {} });
                    m_items.append(item);
                    cursor = start + item.length;
                }
                if (cursor < measure.length)
                    m_items.append({ static_cast<int>(m), measure.length - cursor, {} });
                m_measureCount = static_cast<int>(m) + 1;
            }
        }

        // The strings and frets the file gives, up to the longest neck a list may have; a dead note
        // may come with its string alone.
        bool fixedPositions(const Item& item, FretArray& frets, SlotNotes& notes) const
        {
            if (!m_readFrets)
                return false;
            frets = NoFrets;
            notes = NoSlotNotes;
            for (qsizetype n = 0; n < item.notes.size(); ++n) {
                const ReadNote& note = item.notes[n];
                const bool deadOnString = note.fret < 0 && note.marks.kind == NoteKind::Dead;
                if (note.string < 1 || note.string > m_tuning.stringCount() || (note.fret < 0 && !deadOnString)
                    || note.fret > MaxFretLimit)
                    return false;
                const int slot = m_tuning.firstSlot() - 1 + note.string;
                if (notes[slot] >= 0)
                    return false;
                frets[slot] = note.fret;
                notes[slot] = static_cast<signed char>(n);
            }
            return true;
        }

        void finger()
        {
            m_frets.resize(m_items.size(), NoFrets);
            m_slotNotes.resize(m_items.size(), NoSlotNotes);
            m_byFile.resize(m_items.size(), false);
            QList<qsizetype> open;
            QList<QList<int>> groups;
            for (qsizetype i = 0; i < m_items.size(); ++i) {
                if (m_items[i].notes.isEmpty())
                    continue;
                if (fixedPositions(m_items[i], m_frets[i], m_slotNotes[i])) {
                    m_byFile[i] = true;
                    for (int fret : m_frets[i])
                        m_highestFret = std::max(m_highestFret, fret);
                    continue;
                }
                open.append(i);
                QList<int> values;
                for (const ReadNote& note : m_items[i].notes)
                    values.append(NoteValueOfKey(note.key));
                groups.append(values);
                m_fingered += static_cast<int>(values.size());
            }
            if (groups.isEmpty())
                return;
            const QList<QList<FingeredNote>> placed
                = m_options.fingering ? m_options.fingering(groups, m_tuning) : QList<QList<FingeredNote>>();
            if (placed.size() != groups.size()) {
                m_error = QStringLiteral("The fingering gave %1 places for %2 notes and chords.")
                              .arg(placed.size())
                              .arg(groups.size());
                return;
            }
            m_unplayable.resize(m_items.size());
            for (qsizetype g = 0; g < groups.size(); ++g) {
                const qsizetype i = open[g];
                FretArray& frets = m_frets[i];
                frets = NoFrets;
                for (qsizetype n = 0; n < groups[g].size(); ++n) {
                    const FingeredNote note = n < placed[g].size() ? placed[g][n] : FingeredNote {};
                    if (m_tuning.hasSlot(note.slot) && note.fret >= 0 && note.fret <= FretCount
                        && frets[note.slot] == NotPlayedFret) {
                        frets[note.slot] = note.fret;
                        m_slotNotes[i][note.slot] = static_cast<signed char>(n);
                    } else
                        m_unplayable[i].append(groups[g][n]);
                }
                m_unplayableCount += static_cast<int>(m_unplayable[i].size());
            }
        }

        // The time of each measure in turn, from the time signatures the file gives.
        class TimeFollower {
        public:
            explicit TimeFollower(const ReadPart& part)
                : m_part(part)
            {
            }
            // The time line that measure needs, when the file's time has changed before it.
            QString lineBefore(int measure, int& dropped)
            {
                for (; m_next <= measure && m_next < m_part.measures.size(); ++m_next) {
                    if (const auto& time = m_part.measures[m_next].time)
                        m_file = *time;
                }
                if (m_file.beats == m_list.beats && m_file.beatType == m_list.unit)
                    return QString();
                const TimeLineResult line
                    = ParseTimeLine(QStringLiteral("* Time: %1/%2").arg(m_file.beats).arg(m_file.beatType));
                if (line.kind != SpecialLineKind::Valid) {
                    ++dropped;
                    m_file = { m_list.beats, m_list.unit };
                    return QString();
                }
                m_list = line.time;
                return TimeLineText(m_list);
            }

        private:
            const ReadPart& m_part;
            int m_next = 0;
            ReadTime m_file { 4, 4 };
            TimeSignature m_list;
        };

        ChordDef NoteEntry(qsizetype i, LinkLeeways& leeways)
        {
            const Item& item = m_items[i];
            ChordDef def;
            def.Frets = m_frets.value(i, NoFrets);
            const SlotNotes notes = m_slotNotes.value(i, NoSlotNotes);
            for (int slot = m_tuning.firstSlot(); slot <= 6; ++slot) {
                if (notes[slot] >= 0)
                    def.Marks[slot] = NoteMarksOf(item.notes[notes[slot]], slot, def.Frets[slot], m_byFile.value(i),
                        m_tuning, leeways[slot], m_losses);
            }
            def.Technique = LineMarksOf(item.notes, m_losses);
            return def;
        }

        void writeLines(QStringList& lines, const ReadPart& part)
        {
            // A score's slides do not say their direction: turning them to their next note is no loss.
            LinkMendingWriter entries(lines, m_tuning, [this](const MendedLink& mended, int) {
                if (mended.after == NoteLink::None)
                    ++m_losses.linksDropped;
                else if (mended.before == NoteLink::HammerOn || mended.before == NoteLink::PullOff)
                    ++m_losses.linksTurned;
            });
            TimeFollower times(part);
            int measure = -1;
            bool barOpen = false;
            for (qsizetype i = 0; i < m_items.size() && lines.size() <= MaxImportedLines; ++i) {
                const Item& item = m_items[i];
                if (item.measure != measure && barOpen) {
                    lines.append(QString());
                    barOpen = false;
                }
                if (item.measure != measure) {
                    const QString time = times.lineBefore(item.measure, m_droppedTimes);
                    if (!time.isEmpty())
                        lines.append(time);
                }
                measure = item.measure;
                if (i < m_unplayable.size() && !m_unplayable[i].isEmpty()) {
                    QStringList names;
                    for (int value : m_unplayable[i])
                        names.append(PitchClassName(value) + QString::number(value / 12 - 2));
                    lines.append(QStringLiteral("* No string of the tuning plays ") + names.join(QStringLiteral(", ")));
                }
                const QList<const NoteForm*> forms = FillLength(item.length, m_lostTime);
                if (forms.size() > 1)
                    ++m_splitLengths;
                for (qsizetype f = 0; f < forms.size(); ++f) {
                    LinkLeeways leeways {};
                    ChordDef def = f == 0 ? NoteEntry(i, leeways) : ChordDef();
                    def.Duration = QLatin1StringView(forms[f]->text).toString();
                    def.Name = AutomaticName(def, m_tuning);
                    entries.add(def, BuildLine(def, m_tuning), 0, &leeways);
                    barOpen = true;
                }
            }
            entries.finish();
            if (barOpen)
                lines.append(QString());
        }

        void report(const ReadPart& part)
        {
            const int otherParts = static_cast<int>(m_score.parts.size()) - 1;
            m_counts.add(otherParts == 1
                    ? QStringLiteral("%1 other part not read (only \"") + part.name + QStringLiteral("\" was).")
                    : QStringLiteral("%1 other parts not read (only \"") + part.name + QStringLiteral("\" was)."),
                otherParts);
            QSet<int> staves;
            for (const ReadMeasure& measure : part.measures) {
                for (const ReadNote& note : measure.notes)
                    staves.insert(note.staff);
            }
            const auto read = voiceNotes(part, m_staff);
            for (int staff : staves) {
                // A staff that only shows the same notes again (notation above tablature) loses nothing.
                if (staff != m_staff && voiceNotes(part, staff) != read)
                    m_counts.add(QStringLiteral("%1 notes of staff ") + QString::number(staff)
                            + QStringLiteral(" dropped (staff ") + QString::number(m_staff)
                            + QStringLiteral(" was read)."),
                        notesOn(part, staff));
            }
            m_counts.add(QStringLiteral("%1 notes of voices beyond the first dropped."), m_otherVoices);
            m_counts.add(QStringLiteral("%1 grace notes dropped."), m_grace);
            m_counts.add(QStringLiteral("%1 cue notes dropped."), m_cue);
            m_counts.add(QStringLiteral("%1 dynamics dropped."), part.dynamics);
            m_counts.add(QStringLiteral("%1 lyrics dropped."), part.lyrics);
            m_counts.add(QStringLiteral("%1 unpitched notes written as rests."), m_unpitched);
            m_counts.add(QStringLiteral("%1 notes overlapping earlier ones in their voice shortened."), m_overlaps);
            m_counts.add(QStringLiteral("%1 lengths that no single duration holds: split into a note and rests."),
                m_splitLengths);
            m_counts.add(
                QStringLiteral("%1 notes whose time was rounded to the nearest 96th of a quarter."), m_rounded);
            m_counts.add(QStringLiteral("%1 96ths of a quarter too short for any duration dropped."),
                static_cast<int>(std::min<long long>(m_lostTime, INT_MAX)));
            m_counts.add(QStringLiteral("%1 notes without string and fret were fingered."), m_fingered);
            m_counts.add(QStringLiteral("%1 notes no string can play written as rests."), m_unplayableCount);
            m_counts.add(QStringLiteral("%1 time signatures that a list cannot hold dropped (a list's time counts "
                                        "1 to 32 beats of halves, quarters, eighths or sixteenths)."),
                m_droppedTimes);
            m_counts.add(m_losses.sentences());
        }

        const ReadScore& m_score;
        const MusicXmlImportOptions& m_options;
        Tuning m_tuning;
        int m_staff = 1;
        int m_voice = 1;
        bool m_readFrets = true;
        int m_measureCount = 0;
        QList<Item> m_items;
        QList<FretArray> m_frets;
        QList<SlotNotes> m_slotNotes;
        QList<bool> m_byFile; // the file gave the item's strings and frets
        int m_highestFret = 0;
        int m_droppedTimes = 0;
        MarkLosses m_losses;
        QList<QList<int>> m_unplayable;
        QString m_error;
        Counts m_counts;
        int m_grace = 0;
        int m_cue = 0;
        int m_otherVoices = 0;
        int m_unpitched = 0;
        int m_overlaps = 0;
        int m_splitLengths = 0;
        int m_rounded = 0;
        long long m_lostTime = 0;
        int m_fingered = 0;
        int m_unplayableCount = 0;
    };

} // namespace

QList<QList<FingeredNote>> LowestFretFingering(const QList<QList<int>>& pitchGroups, const Tuning& tuning)
{
    QList<QList<FingeredNote>> result;
    result.reserve(pitchGroups.size());
    for (const QList<int>& group : pitchGroups) {
        QList<FingeredNote> placed;
        QList<int> used;
        for (int value : group) {
            FingeredNote best;
            for (int slot = tuning.firstSlot(); slot <= 6; ++slot) {
                const int fret = value - tuning.openNote(slot);
                if (fret >= 0 && fret <= FretCount && !used.contains(slot) && (best.slot == 0 || fret < best.fret))
                    best = { slot, fret };
            }
            if (best.slot != 0)
                used.append(best.slot);
            placed.append(best);
        }
        result.append(placed);
    }
    return result;
}

MusicXmlImport ImportMusicXml(const QByteArray& bytes, const MusicXmlImportOptions& options)
{
    MusicXmlImport result;
    if (bytes.size() > options.maxBytes) {
        result.error = QStringLiteral("The file is %1 bytes long, more than the %2 a score may have.")
                           .arg(bytes.size())
                           .arg(options.maxBytes);
        return result;
    }
    QByteArray xml = bytes;
    if (IsZipArchive(bytes)) {
        auto unpacked = UnpackMxl(bytes, options.maxBytes, result.error);
        if (!unpacked)
            return result;
        xml = *unpacked;
    }
    const auto score = ReadScoreXml(xml, result.error);
    if (!score)
        return result;
    return Importer(*score, options).run();
}

} // namespace fw
