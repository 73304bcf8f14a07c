#include "ImportTuning.h"
#include "MusicXml.h"
#include "MxlContainer.h"
#include "NoteForms.h"
#include "Pitch.h"
#include "ScoreItems.h"
#include "ScoreMarks.h"
#include "ScoreParts.h"
#include "ScoreReader.h"
#include "ScoreRepeats.h"
#include "SpecialLines.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <climits>

namespace fw {

using namespace musicxml;

namespace {

    // Note values lie one octave above the sound.
    int NoteValueOfKey(int key) { return key + 12; }

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

    // What the report calls the things a part holds that a list has no place for.
    QString UnkeptSentence(const QString& name)
    {
        if (name == u"dynamics")
            return QStringLiteral("%1 dynamics dropped.");
        if (name == u"lyric")
            return QStringLiteral("%1 lyrics dropped.");
        return QStringLiteral("%1 \"") + name + QStringLiteral("\" marks dropped.");
    }

    // A score's words as a comment line that stays an ordinary comment: words that start like a
    // tuning, time, frets or count-off line are set in by one more blank, and a "title:" or "sub:" in
    // them loses its colon, so that the list's settings and titles stay what they are.
    QString CommentOfText(QString text)
    {
        static const QRegularExpression titles(
            QStringLiteral("(title|sub):"), QRegularExpression::CaseInsensitiveOption);
        text.replace(titles, QStringLiteral("\\1 -"));
        const QString line = QStringLiteral("* ") + text;
        const bool setting = ParseTuningLine(line).kind != SpecialLineKind::NotSpecial
            || ParseTimeLine(line).kind != SpecialLineKind::NotSpecial
            || ParseFretsLine(line).kind != SpecialLineKind::NotSpecial || !CommentLineProblem(line).isEmpty()
            || text.startsWith(QLatin1String("count off"), Qt::CaseInsensitive);
        return setting ? QStringLiteral("*  ") + text : line;
    }

    // The score a file holds, plain or packed.
    std::optional<ReadScore> ReadScoreBytes(const QByteArray& bytes, qint64 maxBytes, QString& error)
    {
        if (bytes.size() > maxBytes) {
            error = QStringLiteral("The file is %1 bytes long, more than the %2 a score may have.")
                        .arg(bytes.size())
                        .arg(maxBytes);
            return std::nullopt;
        }
        if (!IsZipArchive(bytes))
            return ReadScoreXml(bytes, error);
        std::optional<ReadScore> score;
        QString readError;
        if (!ReadPackedScore(
                bytes, maxBytes, [&](QIODevice* device) { score = ReadScoreXml(device, readError); }, error))
            return std::nullopt;
        if (!score)
            error = readError;
        return score;
    }

    // The time of every measure, from the time signatures the file gives (4/4 until the first).
    std::vector<ReadTime> TimesOf(const ReadPart& part)
    {
        std::vector<ReadTime> times;
        times.reserve(part.measures.size());
        ReadTime time { 4, 4 };
        for (const ReadMeasure& measure : part.measures) {
            if (measure.time)
                time = *measure.time;
            times.push_back(time);
        }
        return times;
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
            if (m_options.track > m_score.parts.size()) {
                result.error = QStringLiteral("The score has no part %1: it has %2.")
                                   .arg(m_options.track)
                                   .arg(m_score.parts.size());
                return result;
            }
            const int index = m_options.track > 0 ? m_options.track - 1 : DefaultPart(SummariesOf(m_score));
            const ReadPart& part = m_score.parts[index];
            m_part = &part;
            if (!chooseVoices(part, result.error))
                return result;
            m_tuning = m_options.tuning;
            bool tuned = false;
            // A TAB staff without its tuning is taken to be tuned as asked.
            if (part.tabStaff && part.staffTuning.contains(part.tabStaff)) {
                if (const auto tuning = TuningOfStaff(part.staffTuning.value(part.tabStaff))) {
                    m_tuning = *tuning;
                    tuned = true;
                } else {
                    m_readFrets = false;
                    m_counts.add(QStringLiteral("The TAB staff's tuning cannot be used (4 to 6 rising strings): "
                                                "its %1 notes were fingered anew."),
                        std::max(1, notesOn(part, part.tabStaff)));
                }
            }
            PartItems collected = CollectItems(part, m_voices, m_readVoices);
            m_error = collected.error;
            m_items = std::move(collected.items);
            m_measureItems = std::move(collected.measures);
            m_collected = std::move(collected);
            if (m_error.isEmpty() && !tuned && m_options.chooseTuning)
                chooseTuning();
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
            if (m_score.countOff >= 0)
                result.lines.append(QStringLiteral("*Count Off %1").arg(m_score.countOff));
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
            return static_cast<int>(std::count_if(part.notes.cbegin(), part.notes.cend(),
                [staff](const ReadNote& note) { return note.staff == staff && SoundsInTime(note); }));
        }

        // The voices read: the one asked for, else the lowest of each staff that is no copy of another.
        bool chooseVoices(const ReadPart& part, QString& error)
        {
            m_voices = VoicesOf(part);
            QList<int> chosen = DefaultVoices(m_voices);
            if (m_options.voice > 0) {
                if (m_options.voice > m_voices.voices.size()) {
                    error = QStringLiteral("The part has no voice %1: it has %2.")
                                .arg(m_options.voice)
                                .arg(m_voices.voices.size());
                    return false;
                }
                chosen = { m_options.voice - 1 };
            }
            QStringList numbers;
            for (int voice : chosen) {
                m_readVoices.insert(m_voices.voices[voice].number);
                numbers.append(QString::number(voice + 1));
            }
            m_voiceNames = numbers.join(QStringLiteral(" and "));
            return true;
        }

        // Without a tuning from the file or the user: the one that plays the notes read, which then
        // sound where it places them (moved by octaves when asked).
        void chooseTuning()
        {
            std::vector<FingeringEvent> events;
            for (const Item& item : m_items) {
                if (item.notes.isEmpty())
                    continue;
                FingeringEvent event;
                for (const ReadNote& note : item.notes)
                    event.push_back(NoteValueOfKey(note.key));
                events.push_back(std::move(event));
            }
            if (events.empty())
                return;
            const TuningChoice choice = ChooseImportTuning(events, m_options.foldOctaves);
            m_tuning = choice.tuning;
            m_fretLimit = choice.fretLimit;
            m_counts.add(QStringList { choice.report });
            if (!choice.foldOctaves)
                return;
            for (Item& item : m_items) {
                for (ReadNote& note : item.notes)
                    note.key = static_cast<short>(choice.fit(NoteValueOfKey(note.key)) - 12);
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
                const bool deadOnString = note.fret < 0 && MarksOf(*m_part, note).kind == NoteKind::Dead;
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
            m_written.resize(m_items.size(), false);
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
            const QList<QList<FingeredNote>> placed = m_options.fingering
                ? m_options.fingering(groups, m_tuning, m_fretLimit)
                : QList<QList<FingeredNote>>();
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
                    if (m_tuning.hasSlot(note.slot) && note.fret >= 0 && note.fret <= m_fretLimit
                        && frets[note.slot] == NotPlayedFret) {
                        frets[note.slot] = note.fret;
                        m_slotNotes[i][note.slot] = static_cast<signed char>(n);
                        m_highestFret = std::max(m_highestFret, note.fret);
                    } else
                        m_unplayable[i].append(groups[g][n]);
                }
                m_unplayableCount += static_cast<int>(m_unplayable[i].size());
            }
        }

        // The time line a measure needs, when its time differs from the one the list is in.
        QString timeLineBefore(const ReadTime& file)
        {
            if (file.beats == m_listTime.beats && file.beatType == m_listTime.unit)
                return QString();
            const TimeLineResult line
                = ParseTimeLine(QStringLiteral("* Time: %1/%2").arg(file.beats).arg(file.beatType));
            if (line.kind != SpecialLineKind::Valid) {
                // Counted once where the file sets it, not again on every measure it lasts.
                if (file.beats != m_droppedTime.beats || file.beatType != m_droppedTime.beatType)
                    ++m_droppedTimes;
                m_droppedTime = file;
                return QString();
            }
            m_listTime = line.time;
            return TimeLineText(m_listTime);
        }

        ChordDef NoteEntry(qsizetype i, LinkLeeways& leeways)
        {
            const Item& item = m_items[i];
            ChordDef def;
            def.Frets = m_frets.value(i, NoFrets);
            const SlotNotes notes = m_slotNotes.value(i, NoSlotNotes);
            for (int slot = m_tuning.firstSlot(); slot <= 6; ++slot) {
                if (notes[slot] >= 0) {
                    const ReadNote& note = item.notes[notes[slot]];
                    def.Marks[slot] = NoteMarksOf(note, MarksOf(*m_part, note), slot, def.Frets[slot],
                        m_byFile.value(i), m_tuning, leeways[slot], m_losses);
                }
            }
            def.Technique = LineMarksOf(item.notes, *m_part, m_losses);
            return def;
        }

        // The comments a measure's texts and tempo changes become, by measure.
        QMap<int, QStringList> measureComments(const ReadPart& part)
        {
            QMap<int, QStringList> comments;
            for (const ReadText& text : part.texts)
                comments[text.measure].append(CommentOfText(text.text));
            // Scores often mark tempo in their first part only: the first part that has any counts.
            const ReadPart* timed = &part;
            for (qsizetype p = 0; p < m_score.parts.size() && timed->tempos.isEmpty(); ++p)
                timed = &m_score.parts[p];
            int tempo = m_score.tempo;
            for (const auto& [measure, bpm] : timed->tempos) {
                if (bpm == tempo)
                    continue;
                tempo = bpm;
                ++m_tempoChanges;
                comments[measure].append(QStringLiteral("* Tempo %1").arg(bpm));
            }
            return comments;
        }

        void writeItems(QStringList& lines, LinkMendingWriter& entries, qsizetype first, qsizetype end)
        {
            for (qsizetype i = first; i < end; ++i) {
                const Item& item = m_items[i];
                if (i < m_unplayable.size() && !m_unplayable[i].isEmpty()) {
                    QStringList names;
                    for (int value : m_unplayable[i])
                        names.append(PitchClassName(value) + QString::number(value / 12 - 2));
                    lines.append(QStringLiteral("* No string of the tuning plays ") + names.join(QStringLiteral(", ")));
                }
                const QList<const NoteForm*> forms = FillLength(item.length, m_lostTime);
                // Counted once, however often a repeat plays it.
                if (forms.size() > 1 && !m_written[i])
                    ++m_splitLengths;
                m_written[i] = true;
                for (qsizetype f = 0; f < forms.size(); ++f) {
                    LinkLeeways leeways {};
                    ChordDef def = f == 0 ? NoteEntry(i, leeways) : ChordDef();
                    def.Duration = QLatin1StringView(forms[f]->text).toString();
                    def.Name = AutomaticName(def, m_tuning);
                    entries.add(def, BuildLine(def, m_tuning), 0, &leeways);
                }
            }
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
            const std::vector<ReadTime> times = TimesOf(part);
            const QMap<int, QStringList> comments = measureComments(part);
            const std::vector<PlayedMeasure> order = PlayOrder(part, m_options.asWritten, MaxImportedLines, m_repeats);
            bool barOpen = false;
            for (const PlayedMeasure& played : order) {
                if (lines.size() > MaxImportedLines)
                    break;
                const auto [first, end] = m_measureItems[played.measure];
                const QStringList before = played.before + comments.value(played.measure);
                if (barOpen && (first < end || !before.isEmpty())) {
                    lines.append(QString());
                    barOpen = false;
                }
                if (first < end) {
                    const QString time = timeLineBefore(times[played.measure]);
                    if (!time.isEmpty())
                        lines.append(time);
                }
                lines += before;
                writeItems(lines, entries, first, end);
                lines += played.after;
                barOpen = barOpen || first < end || !before.isEmpty() || !played.after.isEmpty();
            }
            entries.finish();
            if (barOpen)
                lines.append(QString());
        }

        void report(const ReadPart& part)
        {
            const int otherParts = static_cast<int>(m_score.parts.size()) - 1;
            const QString name = part.name.isEmpty() ? part.id : part.name;
            m_counts.add(otherParts == 1
                    ? QStringLiteral("%1 other part not read (only \"") + name + QStringLiteral("\" was).")
                    : QStringLiteral("%1 other parts not read (only \"") + name + QStringLiteral("\" was)."),
                otherParts);
            m_counts.add(QStringLiteral("%1 notes of other voices dropped (voice ") + m_voiceNames
                    + QStringLiteral(" of ") + QString::number(m_voices.voices.size())
                    + QStringLiteral(" read; --voice chooses another)."),
                m_collected.otherVoices);
            m_counts.add(QStringLiteral("%1 grace notes dropped."), m_collected.grace);
            m_counts.add(QStringLiteral("%1 cue notes dropped."), m_collected.cue);
            QMap<QString, int> unkept = part.unkept;
            for (auto mark = m_collected.unkept.cbegin(); mark != m_collected.unkept.cend(); ++mark)
                unkept[mark.key()] += mark.value();
            for (auto mark = unkept.cbegin(); mark != unkept.cend(); ++mark)
                m_counts.add(UnkeptSentence(mark.key()), mark.value());
            m_counts.add(QStringLiteral("%1 unpitched notes written as rests."), m_collected.unpitched);
            m_counts.add(
                QStringLiteral("%1 notes overlapping earlier ones in their voice shortened."), m_collected.overlaps);
            m_counts.add(QStringLiteral("%1 notes sounding only while an earlier one of their voice still sounds "
                                        "dropped."),
                m_collected.inside);
            m_counts.add(QStringLiteral("%1 lengths that no single duration holds: split into a note and rests."),
                m_splitLengths);
            m_counts.add(QStringLiteral("%1 notes whose time was rounded to the nearest 96th of a quarter."),
                m_collected.rounded);
            m_counts.add(QStringLiteral("%1 durations that are no number read as none."), part.badLengths);
            m_counts.add(QStringLiteral("%1 96ths of a quarter too short for any duration dropped."),
                static_cast<int>(std::min<long long>(m_lostTime, INT_MAX)));
            m_counts.add(QStringLiteral("%1 notes without string and fret were fingered."), m_fingered);
            m_counts.add(QStringLiteral("%1 notes no string can play written as rests."), m_unplayableCount);
            m_counts.add(QStringLiteral("%1 time signatures that a list cannot hold dropped (a list's time counts "
                                        "1 to 32 beats of halves, quarters, eighths or sixteenths)."),
                m_droppedTimes);
            const QString repeats = m_options.asWritten ? QStringLiteral("kept once with comments marking them")
                                                        : QStringLiteral("played out, each pass marked by a comment");
            m_counts.add(QStringLiteral("%1 repeated sections ") + repeats + QStringLiteral("."), m_repeats.sections);
            m_counts.add(QStringLiteral("%1 alternate endings ") + repeats + QStringLiteral("."), m_repeats.endings);
            m_counts.add(QStringLiteral("%1 jumps (da capo, dal segno, coda, fine) kept as comments, not played out."),
                part.jumps);
            m_counts.add(QStringLiteral("%1 tempo changes kept as comments (a list has one tempo)."), m_tempoChanges);
            m_counts.add(m_losses.sentences());
        }

        const ReadScore& m_score;
        const MusicXmlImportOptions& m_options;
        const ReadPart* m_part = nullptr;
        Tuning m_tuning;
        int m_fretLimit = FretCount;
        PartVoices m_voices;
        QSet<int> m_readVoices; // by the file's numbers
        QString m_voiceNames;
        bool m_readFrets = true;
        QList<Item> m_items;
        // Each measure's items: from first to end.
        std::vector<std::pair<qsizetype, qsizetype>> m_measureItems;
        std::vector<bool> m_written; // by item: already in the list once
        QList<FretArray> m_frets;
        QList<SlotNotes> m_slotNotes;
        QList<bool> m_byFile; // the file gave the item's strings and frets
        int m_highestFret = 0;
        TimeSignature m_listTime;
        ReadTime m_droppedTime;
        int m_droppedTimes = 0;
        MarkLosses m_losses;
        QList<QList<int>> m_unplayable;
        QString m_error;
        Counts m_counts;
        PartItems m_collected; // what collecting left out
        RepeatCount m_repeats;
        int m_tempoChanges = 0;
        int m_splitLengths = 0;
        long long m_lostTime = 0;
        int m_fingered = 0;
        int m_unplayableCount = 0;
    };

} // namespace

QList<QList<FingeredNote>> LowestFretFingering(
    const QList<QList<int>>& pitchGroups, const Tuning& tuning, int fretLimit)
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
                if (fret >= 0 && fret <= fretLimit && !used.contains(slot) && (best.slot == 0 || fret < best.fret))
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
    const auto score = ReadScoreBytes(bytes, options.maxBytes, result.error);
    if (!score)
        return result;
    return Importer(*score, options).run();
}

std::optional<QList<MusicXmlPart>> ListMusicXmlParts(const QByteArray& bytes, qint64 maxBytes, QString& error)
{
    const auto score = ReadScoreBytes(bytes, maxBytes, error);
    if (!score)
        return std::nullopt;
    const QList<PartSummary> summaries = SummariesOf(*score);
    const int chosen = DefaultPart(summaries);
    QList<MusicXmlPart> parts;
    parts.reserve(summaries.size());
    for (qsizetype i = 0; i < summaries.size(); ++i) {
        const PartSummary& summary = summaries[i];
        parts.append({ summary.name, summary.instrument, summary.lowest, summary.highest, summary.strings,
            summary.notes, summary.voices, i == chosen });
    }
    return parts;
}

} // namespace fw
