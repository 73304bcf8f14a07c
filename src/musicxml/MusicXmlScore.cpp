#include "MusicXmlScore.h"

#include "Bars.h"
#include "LineParser.h"
#include "ListCheck.h"
#include "MarkNotations.h"
#include "NoteForms.h"
#include "SpecialLines.h"
#include "TabTitles.h"

#include <QXmlStreamWriter>

namespace fw::musicxml {

namespace {

    // The one place that reads a line's frets, so it follows the tuning once the parser does.
    LineParseResult ParseEntryLine(
        const QString& line, int lineIndex, ChordDef& def, const Tuning& tuning, int fretLimit)
    {
        return ParseLineText(line, lineIndex, def, tuning, fretLimit);
    }

    // Note values lie one octave above the sound. Pitches are written as they sound, and the bass
    // clef carries an octave mark, so the staff shows them an octave above the sound, as bass parts
    // are written. (A part transposition would show the same, but notation programs then place the
    // TAB staff's frets by the written pitch, an octave off.)
    int SoundingKey(int noteValue) { return noteValue - 12; }

    // The note value a note is written at: a harmonic at the pitch it sounds, a dead note without a
    // fret at its open string.
    int WrittenNoteValue(int openNote, int fret, const NoteMarks& marks)
    {
        if (marks.kind == NoteKind::Harmonic)
            return openNote + HarmonicSemitones(marks.harmonicNode);
        return openNote + std::max(fret, 0);
    }

    constexpr int NotationStaff = 1;
    constexpr int TabStaff = 2;
    // Voices are counted per part; the TAB staff gets the first voice of the second staff, as
    // notation programs number them.
    constexpr int NotationVoice = 1;
    constexpr int TabVoice = 5;

    struct TupletMark {
        bool start = false;
        bool stop = false;
        bool any() const { return start || stop; }
    };

    // Brackets for runs of triplet forms: a bracket holds three of its first note's form, and a run
    // that ends short of that is closed where it ends.
    QList<TupletMark> TupletMarks(const QList<ScoreEntry>& bar)
    {
        QList<TupletMark> marks(bar.size());
        long long span = 0;
        long long filled = 0;
        for (qsizetype i = 0; i < bar.size(); ++i) {
            const NoteForm& form = *FormOfDuration(bar[i].duration);
            if (!form.triplet) {
                if (span > 0)
                    marks[i - 1].stop = true;
                span = 0;
                continue;
            }
            if (span == 0) {
                marks[i].start = true;
                span = 3LL * form.divisions;
                filled = 0;
            }
            filled += form.divisions;
            if (filled >= span) {
                marks[i].stop = true;
                span = 0;
            }
        }
        if (span > 0)
            marks.last().stop = true;
        return marks;
    }

    class ScoreWriter {
    public:
        explicit ScoreWriter(const ScoreInput& score)
            : m_score(score)
            , m_xml(&m_bytes)
        {
            // One line per note rather than per element: a score of a long list stays readable and
            // far smaller, which makes reading it back much faster.
            m_xml.setAutoFormatting(false);
        }

        QByteArray write()
        {
            m_xml.writeStartDocument();
            line();
            m_xml.writeDTD(QStringLiteral("<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 "
                                          "Partwise//EN\" \"http://www.musicxml.org/dtds/partwise.dtd\">"));
            start(QStringLiteral("score-partwise"));
            m_xml.writeAttribute(QStringLiteral("version"), QStringLiteral("4.0"));
            writeHeader();
            start(QStringLiteral("part"));
            m_xml.writeAttribute(QStringLiteral("id"), QStringLiteral("P1"));
            for (qsizetype i = 0; i < m_score.bars.size(); ++i)
                writeMeasure(i);
            m_xml.writeEndElement();
            line();
            m_xml.writeEndElement();
            m_xml.writeEndDocument();
            line();
            return m_bytes;
        }

    private:
        void text(const QString& name, const QString& value) { m_xml.writeTextElement(name, value); }
        void line() { m_xml.writeCharacters(QStringLiteral("\n")); }
        void start(const QString& name)
        {
            line();
            m_xml.writeStartElement(name);
        }
        void number(const QString& name, long long value) { m_xml.writeTextElement(name, QString::number(value)); }

        void writeHeader()
        {
            if (!m_score.title.isEmpty()) {
                start(QStringLiteral("work"));
                text(QStringLiteral("work-title"), m_score.title);
                m_xml.writeEndElement();
            }
            start(QStringLiteral("identification"));
            m_xml.writeStartElement(QStringLiteral("encoding"));
            text(QStringLiteral("software"), QStringLiteral("Fretwerk Bass " FW_VERSION));
            m_xml.writeEndElement();
            m_xml.writeEndElement();
            // A page to place the credits on: A4 at 7 mm per 40 tenths.
            start(QStringLiteral("defaults"));
            m_xml.writeStartElement(QStringLiteral("scaling"));
            number(QStringLiteral("millimeters"), 7);
            number(QStringLiteral("tenths"), 40);
            m_xml.writeEndElement();
            m_xml.writeStartElement(QStringLiteral("page-layout"));
            number(QStringLiteral("page-height"), 1697);
            number(QStringLiteral("page-width"), 1200);
            m_xml.writeEndElement();
            m_xml.writeEndElement();
            writeCredit();

            start(QStringLiteral("part-list"));
            start(QStringLiteral("score-part"));
            m_xml.writeAttribute(QStringLiteral("id"), QStringLiteral("P1"));
            text(QStringLiteral("part-name"), QStringLiteral("Bass"));
            m_xml.writeStartElement(QStringLiteral("score-instrument"));
            m_xml.writeAttribute(QStringLiteral("id"), QStringLiteral("P1-I1"));
            text(QStringLiteral("instrument-name"), QStringLiteral("Bass"));
            m_xml.writeEndElement();
            m_xml.writeStartElement(QStringLiteral("midi-instrument"));
            m_xml.writeAttribute(QStringLiteral("id"), QStringLiteral("P1-I1"));
            number(QStringLiteral("midi-channel"), 1);
            // Programs count from 1 here, from 0 in MIDI messages.
            number(QStringLiteral("midi-program"), m_score.patch + 1);
            m_xml.writeEndElement();
            m_xml.writeEndElement();
            m_xml.writeEndElement();
        }

        // Title and subtitle as one credit, the subtitle on a line of its own below the title: notation
        // programs stack the words of one credit, while separate credits may land on top of each other.
        void writeCredit()
        {
            if (m_score.title.isEmpty() && m_score.subtitle.isEmpty())
                return;
            start(QStringLiteral("credit"));
            m_xml.writeAttribute(QStringLiteral("page"), QStringLiteral("1"));
            if (!m_score.title.isEmpty())
                text(QStringLiteral("credit-type"), QStringLiteral("title"));
            if (!m_score.subtitle.isEmpty())
                text(QStringLiteral("credit-type"), QStringLiteral("subtitle"));
            QString words = m_score.title;
            int size = 24;
            if (words.isEmpty()) {
                words = m_score.subtitle;
                size = 16;
            }
            m_xml.writeStartElement(QStringLiteral("credit-words"));
            m_xml.writeAttribute(QStringLiteral("default-x"), QStringLiteral("600"));
            m_xml.writeAttribute(QStringLiteral("default-y"), QStringLiteral("1600"));
            m_xml.writeAttribute(QStringLiteral("font-size"), QString::number(size));
            m_xml.writeAttribute(QStringLiteral("justify"), QStringLiteral("center"));
            m_xml.writeAttribute(QStringLiteral("valign"), QStringLiteral("top"));
            m_xml.writeCharacters(words);
            m_xml.writeEndElement();
            if (!m_score.title.isEmpty() && !m_score.subtitle.isEmpty()) {
                m_xml.writeStartElement(QStringLiteral("credit-words"));
                m_xml.writeAttribute(QStringLiteral("font-size"), QStringLiteral("16"));
                m_xml.writeCharacters(QStringLiteral("\n") + m_score.subtitle);
                m_xml.writeEndElement();
            }
            m_xml.writeEndElement();
        }

        void writeTime(const TimeSignature& time)
        {
            m_xml.writeStartElement(QStringLiteral("time"));
            number(QStringLiteral("beats"), time.beats);
            number(QStringLiteral("beat-type"), time.unit);
            m_xml.writeEndElement();
        }

        void writeAttributes()
        {
            const Tuning& tuning = m_score.tuning;
            start(QStringLiteral("attributes"));
            number(QStringLiteral("divisions"), Divisions);
            m_xml.writeStartElement(QStringLiteral("key"));
            number(QStringLiteral("fifths"), 0);
            m_xml.writeEndElement();
            writeTime(m_score.times.value(0));
            number(QStringLiteral("staves"), 2);
            start(QStringLiteral("clef"));
            m_xml.writeAttribute(QStringLiteral("number"), QString::number(NotationStaff));
            text(QStringLiteral("sign"), QStringLiteral("F"));
            number(QStringLiteral("line"), 4);
            number(QStringLiteral("clef-octave-change"), -1);
            m_xml.writeEndElement();
            start(QStringLiteral("clef"));
            m_xml.writeAttribute(QStringLiteral("number"), QString::number(TabStaff));
            text(QStringLiteral("sign"), QStringLiteral("TAB"));
            number(QStringLiteral("line"), 5);
            m_xml.writeEndElement();
            start(QStringLiteral("staff-details"));
            m_xml.writeAttribute(QStringLiteral("number"), QString::number(TabStaff));
            // The same notes as the staff above, shown as tablature.
            text(QStringLiteral("staff-type"), QStringLiteral("alternate"));
            number(QStringLiteral("staff-lines"), tuning.stringCount());
            for (int string = 0; string < tuning.stringCount(); ++string) {
                const SpelledPitch pitch = SpellKey(SoundingKey(tuning.openNotes()[string]));
                start(QStringLiteral("staff-tuning"));
                m_xml.writeAttribute(QStringLiteral("line"), QString::number(string + 1));
                text(QStringLiteral("tuning-step"), QString(QLatin1Char(pitch.step)));
                if (pitch.alter != 0)
                    number(QStringLiteral("tuning-alter"), pitch.alter);
                number(QStringLiteral("tuning-octave"), pitch.octave);
                m_xml.writeEndElement();
            }
            m_xml.writeEndElement();
            m_xml.writeEndElement();
        }

        void writeTempo()
        {
            start(QStringLiteral("direction"));
            m_xml.writeAttribute(QStringLiteral("placement"), QStringLiteral("above"));
            m_xml.writeStartElement(QStringLiteral("direction-type"));
            m_xml.writeStartElement(QStringLiteral("metronome"));
            text(QStringLiteral("beat-unit"), QStringLiteral("quarter"));
            number(QStringLiteral("per-minute"), m_score.tempo);
            m_xml.writeEndElement();
            m_xml.writeEndElement();
            number(QStringLiteral("staff"), NotationStaff);
            m_xml.writeEmptyElement(QStringLiteral("sound"));
            m_xml.writeAttribute(QStringLiteral("tempo"), QString::number(m_score.tempo));
            m_xml.writeEndElement();
        }

        // Words a reader shows and our import reads back as the list's count-off line.
        void writeCountOff()
        {
            start(QStringLiteral("direction"));
            m_xml.writeAttribute(QStringLiteral("placement"), QStringLiteral("above"));
            m_xml.writeStartElement(QStringLiteral("direction-type"));
            text(QStringLiteral("words"), QStringLiteral("Count off %1").arg(m_score.countOff));
            m_xml.writeEndElement();
            number(QStringLiteral("staff"), NotationStaff);
            m_xml.writeEndElement();
        }

        void writeMeasure(qsizetype index)
        {
            const QList<ScoreEntry>& bar = m_score.bars[index];
            start(QStringLiteral("measure"));
            m_xml.writeAttribute(QStringLiteral("number"), QString::number(index + 1));
            if (index == 0) {
                writeAttributes();
                writeTempo();
                if (m_score.countOff >= 0)
                    writeCountOff();
            } else if (const auto time = m_score.times.constFind(static_cast<int>(index));
                       time != m_score.times.cend()) {
                start(QStringLiteral("attributes"));
                writeTime(*time);
                m_xml.writeEndElement();
            }
            const QList<TupletMark> tuplets = TupletMarks(bar);
            long long length = 0;
            for (qsizetype i = 0; i < bar.size(); ++i) {
                writeEntry(bar[i], NotationStaff, tuplets[i]);
                length += FormOfDuration(bar[i].duration)->divisions;
            }
            start(QStringLiteral("backup"));
            number(QStringLiteral("duration"), length);
            m_xml.writeEndElement();
            for (qsizetype i = 0; i < bar.size(); ++i)
                writeEntry(bar[i], TabStaff, tuplets[i]);
            m_xml.writeEndElement();
        }

        void writeTuplet(TupletMark mark)
        {
            if (mark.start) {
                m_xml.writeEmptyElement(QStringLiteral("tuplet"));
                m_xml.writeAttribute(QStringLiteral("type"), QStringLiteral("start"));
            }
            if (mark.stop) {
                m_xml.writeEmptyElement(QStringLiteral("tuplet"));
                m_xml.writeAttribute(QStringLiteral("type"), QStringLiteral("stop"));
            }
        }

        void writeEntry(const ScoreEntry& entry, int staff, TupletMark tuplet)
        {
            const NoteForm& form = *FormOfDuration(entry.duration);
            const Tuning& tuning = m_score.tuning;
            bool first = true;
            // Lowest string first, so a chord reads from the bottom up.
            for (int slot = 6; slot >= tuning.firstSlot(); --slot) {
                const int fret = entry.frets[slot];
                const NoteMarks& marks = entry.marks[slot];
                if (fret == NotPlayedFret && marks.kind != NoteKind::Dead)
                    continue;
                // Strings count from the highest.
                const NoteMarkup markup { marks, entry.into[slot], entry.slideOff[slot],
                    first ? &entry.technique : nullptr, slot - tuning.firstSlot() + 1, fret };
                start(QStringLiteral("note"));
                if (!first)
                    m_xml.writeEmptyElement(QStringLiteral("chord"));
                const SpelledPitch pitch = SpellKey(SoundingKey(WrittenNoteValue(tuning.openNote(slot), fret, marks)));
                m_xml.writeStartElement(QStringLiteral("pitch"));
                text(QStringLiteral("step"), QString(QLatin1Char(pitch.step)));
                if (pitch.alter != 0)
                    number(QStringLiteral("alter"), pitch.alter);
                number(QStringLiteral("octave"), pitch.octave);
                m_xml.writeEndElement();
                writeRhythm(form, staff, &markup);
                first = false;
                // The tuplet marks go on the chord's first note only.
                if (staff == TabStaff || tuplet.any() || markup.hasNotations()) {
                    m_xml.writeStartElement(QStringLiteral("notations"));
                    writeTuplet(tuplet);
                    WriteMarkNotations(m_xml, markup, staff == TabStaff, staff, m_numbers);
                    m_xml.writeEndElement();
                }
                tuplet = {};
                m_xml.writeEndElement();
            }
            if (first) {
                start(QStringLiteral("note"));
                m_xml.writeEmptyElement(QStringLiteral("rest"));
                writeRhythm(form, staff, nullptr);
                if (tuplet.any()) {
                    m_xml.writeStartElement(QStringLiteral("notations"));
                    writeTuplet(tuplet);
                    m_xml.writeEndElement();
                }
                m_xml.writeEndElement();
            }
        }

        // duration, tie, voice, type, dot, time-modification, notehead and staff, in the order the
        // format wants.
        void writeRhythm(const NoteForm& form, int staff, const NoteMarkup* markup)
        {
            number(QStringLiteral("duration"), form.divisions);
            if (markup)
                WriteTies(m_xml, *markup);
            number(QStringLiteral("voice"), staff == TabStaff ? TabVoice : NotationVoice);
            text(QStringLiteral("type"), QLatin1StringView(form.type).toString());
            if (form.dotted)
                m_xml.writeEmptyElement(QStringLiteral("dot"));
            if (form.triplet) {
                m_xml.writeStartElement(QStringLiteral("time-modification"));
                number(QStringLiteral("actual-notes"), 3);
                number(QStringLiteral("normal-notes"), 2);
                m_xml.writeEndElement();
            }
            if (markup)
                WriteNotehead(m_xml, *markup);
            number(QStringLiteral("staff"), staff);
        }

        const ScoreInput& m_score;
        QByteArray m_bytes;
        QXmlStreamWriter m_xml;
        SpannerNumbers m_numbers;
    };

} // namespace

std::optional<ScoreInput> ScoreFromLines(const QStringList& lines, const DocumentHeader& header, QString& error)
{
    ScoreInput score;
    score.tuning = TuningOfLines(lines);
    const int fretLimit = FretLimitOfLines(lines);
    score.title = TitleFromComments(lines);
    score.subtitle = SubFromComments(lines);
    score.tempo = header.Tempo;
    score.patch = header.Patch;
    ParsedLineList parsed;
    parsed.reserve(lines.size() + 1);
    // The last note entry: the next one must complete its hammer-ons, pull-offs and ties.
    int previous = -1;
    const auto linksHold = [&](const ChordDef* next) {
        const QString problem = previous >= 0 ? LinkProblem(parsed[previous], next, score.tuning) : QString();
        if (!problem.isEmpty())
            error = LinePrefix(previous) + problem;
        return problem.isEmpty();
    };
    // One index past the last line reads as a blank line, which closes the last bar.
    for (qsizetype i = 0; i <= lines.size(); ++i) {
        ChordDef def;
        const LineParseResult result = ParseEntryLine(
            i < lines.size() ? lines[i] : QString(), static_cast<int>(i), def, score.tuning, fretLimit);
        if (!result.errorText.isEmpty()) {
            error = result.errorText;
            return std::nullopt;
        }
        if (result.kind == LineKind::CountOff && score.countOff < 0 && result.countOffNumber >= 0)
            score.countOff = result.countOffNumber;
        if (result.kind == LineKind::ChordDefinition) {
            if (!linksHold(&def))
                return std::nullopt;
            previous = static_cast<int>(i);
        }
        parsed.append(std::move(def));
    }
    if (!linksHold(nullptr))
        return std::nullopt;
    const ChordDef* before = nullptr;
    for (const Bar& bar : BarsOf(parsed)) {
        if (bar.timeChanges)
            score.times.insert(static_cast<int>(score.bars.size()), bar.time);
        QList<ScoreEntry> entries;
        for (int i = bar.firstEntry; i <= bar.lastEntry; ++i) {
            const ChordDef& def = parsed[i];
            if (!IsNoteEntry(def))
                continue;
            ScoreEntry entry { def.Frets, def.Duration, def.Marks, def.Technique, {}, {} };
            for (int slot = score.tuning.firstSlot(); slot <= 6; ++slot) {
                if (before && IsStruck(def, slot))
                    entry.into[slot] = before->Marks[slot].link;
                const NoteLink link = def.Marks[slot].link;
                entry.slideOff[slot]
                    = (link == NoteLink::SlideUp || link == NoteLink::SlideDown) && LinkPartner(parsed, i, slot) < 0;
            }
            entries.append(entry);
            before = &def;
        }
        score.bars.append(entries);
    }
    if (score.bars.isEmpty()) {
        error = QStringLiteral("Can't create a MusicXML file. No notes defined in editor.");
        return std::nullopt;
    }
    return score;
}

QByteArray WriteScoreXml(const ScoreInput& score) { return ScoreWriter(score).write(); }

} // namespace fw::musicxml
