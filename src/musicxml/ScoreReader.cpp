#include "ScoreReader.h"

#include "NoteForms.h"
#include "ScoreNotes.h"
#include "XmlCursor.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace fw::musicxml {

namespace {

    // A duration beyond this many file divisions (or a divisions value beyond it) is not music.
    constexpr double MaxFileValue = 1'000'000'000;
    // Positions within a measure, in our divisions, beyond this are not music either.
    constexpr double MaxPosition = 1'000'000'000;
    // Times closer than this to one of our divisions fall on it.
    constexpr double Tolerance = 1e-6;

    struct PartState {
        double divisions = 1;
        QMap<int, int> transpose; // by staff, 0 for all staves
        QMap<int, QMap<int, int>> tuningLines; // staff -> line -> key
    };

    // "1, 2" as bits 1 and 2; numbers beyond 31 are left out.
    unsigned EndingPasses(const QString& numbers)
    {
        unsigned passes = 0;
        for (const QString& number : numbers.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts)) {
            bool ok = false;
            const int pass = number.toInt(&ok);
            if (ok && pass >= 1 && pass <= 31)
                passes |= 1u << pass;
        }
        return passes;
    }

    // The words of a direction that send the player elsewhere.
    bool IsJumpText(const QString& words)
    {
        static const QRegularExpression jump(
            QStringLiteral("^(d\\.\\s*c\\.|d\\.\\s*s\\.|da capo|dal segno|to coda|al coda|al fine|fine$|coda$)"),
            QRegularExpression::CaseInsensitiveOption);
        return jump.match(words).hasMatch();
    }

    class ScoreParser {
    public:
        template <typename Source>
        explicit ScoreParser(Source source)
            : m_xml(source)
        {
        }

        std::optional<ReadScore> parse(QString& error)
        {
            if (!m_xml.root()) {
                error = m_xml.error().isEmpty() ? QStringLiteral("Not a MusicXML file: it holds no element.")
                                                : m_xml.error();
                return std::nullopt;
            }
            if (m_xml.is(u"score-timewise")) {
                error = QStringLiteral("This MusicXML file is written measure by measure (score-timewise); only "
                                       "part-by-part scores (score-partwise) can be read.");
                return std::nullopt;
            }
            if (!m_xml.is(u"score-partwise")) {
                error = QStringLiteral("Not a MusicXML score: the document is <%1>, not <score-partwise>.")
                            .arg(m_xml.name());
                return std::nullopt;
            }
            readScore();
            if (!m_xml.error().isEmpty()) {
                error = m_xml.error();
                return std::nullopt;
            }
            return std::move(m_score);
        }

    private:
        void readScore()
        {
            while (m_xml.child()) {
                if (m_xml.is(u"work"))
                    readWork();
                else if (m_xml.is(u"movement-title")) {
                    const QString title = m_xml.text();
                    if (m_movementTitle.isEmpty())
                        m_movementTitle = title;
                } else if (m_xml.is(u"credit"))
                    readCredit();
                else if (m_xml.is(u"part-list"))
                    readPartList();
                else if (m_xml.is(u"part"))
                    readPart();
                else
                    m_xml.skip();
            }
            if (m_score.title.isEmpty())
                m_score.title = !m_movementTitle.isEmpty() ? m_movementTitle : m_creditTitle;
        }

        void readWork()
        {
            while (m_xml.child()) {
                if (m_xml.is(u"work-title"))
                    m_score.title = m_xml.text();
                else
                    m_xml.skip();
            }
        }

        // A credit may carry the title and the subtitle at once, one credit-words each.
        void readCredit()
        {
            QStringList types;
            QStringList words;
            while (m_xml.child()) {
                if (m_xml.is(u"credit-type"))
                    types.append(m_xml.text());
                else if (m_xml.is(u"credit-words"))
                    words.append(m_xml.text());
                else
                    m_xml.skip();
            }
            if (words.isEmpty())
                return;
            const bool title = types.contains(QStringLiteral("title"));
            const bool subtitle = types.contains(QStringLiteral("subtitle"));
            if (title && m_creditTitle.isEmpty())
                m_creditTitle = words.first();
            if (subtitle && m_score.subtitle.isEmpty())
                m_score.subtitle = title ? words.value(1) : words.first();
        }

        void readPartList()
        {
            while (m_xml.child()) {
                if (!m_xml.is(u"score-part")) {
                    m_xml.skip();
                    continue;
                }
                ReadPart part;
                part.id = m_xml.attribute(QLatin1StringView("id"));
                while (m_xml.child()) {
                    if (m_xml.is(u"part-name"))
                        part.name = m_xml.text();
                    else if (m_xml.is(u"score-instrument")) {
                        while (m_xml.child()) {
                            if (m_xml.is(u"instrument-name") && part.instrument.isEmpty())
                                part.instrument = m_xml.text();
                            else if (m_xml.is(u"instrument-sound") && part.sound.isEmpty())
                                part.sound = m_xml.text();
                            else
                                m_xml.skip();
                        }
                    } else if (m_xml.is(u"midi-instrument")) {
                        while (m_xml.child()) {
                            if (m_xml.is(u"midi-program") && part.program < 0) {
                                const long long program = m_xml.integer(0);
                                part.program = program >= 1 && program <= 128 ? static_cast<int>(program) - 1 : -1;
                            } else
                                m_xml.skip();
                        }
                    } else
                        m_xml.skip();
                }
                // The first entry of an id counts, as for the parts themselves.
                if (!m_listed.contains(part.id))
                    m_listed.insert(part.id, static_cast<int>(m_partList.size()));
                m_partList.append(part);
            }
        }

        void readPart()
        {
            const QString id = m_xml.attribute(QLatin1StringView("id"));
            const int listed = m_listed.value(id, -1);
            ReadPart part = listed >= 0 ? m_partList[listed] : ReadPart();
            part.id = id;
            PartState state;
            while (m_xml.child()) {
                if (m_xml.is(u"measure"))
                    readMeasure(part, state);
                else
                    m_xml.skip();
            }
            for (auto staff = state.tuningLines.cbegin(); staff != state.tuningLines.cend(); ++staff) {
                QList<int> keys;
                // Lines count from 1 at the bottom, one per string, without gaps.
                for (int line = 1; staff->contains(line); ++line)
                    keys.append(staff->value(line));
                if (keys.size() == staff->size())
                    part.staffTuning.insert(staff.key(), keys);
            }
            m_score.parts.append(std::move(part));
        }

        // A duration in the file's divisions; beyond any score's, the file is refused.
        double duration(const QString& what)
        {
            const double value = m_xml.decimal(-1);
            if (value > MaxFileValue) {
                m_xml.fail(QStringLiteral("Not a MusicXML score this program can read: a %1 lasts \"%2\" divisions.")
                               .arg(what)
                               .arg(value, 0, 'f', 0));
                return 0;
            }
            return value;
        }

        double toOurs(double fileValue, const PartState& state) const
        {
            return fileValue * Divisions / state.divisions;
        }

        static int Rounded(double ours, bool& rounded)
        {
            const double whole = std::round(ours);
            if (std::abs(ours - whole) > Tolerance)
                rounded = true;
            return static_cast<int>(whole);
        }

        void readMeasure(ReadPart& part, PartState& state)
        {
            if (++m_measureCount > MaxReadMeasures) {
                m_xml.fail(QStringLiteral("The score has more than %1 measures.").arg(MaxReadMeasures));
                return;
            }
            ReadMeasure measure;
            measure.firstNote = static_cast<int>(part.notes.size());
            const int index = static_cast<int>(part.measures.size());
            double position = 0; // in our divisions
            double furthest = 0;
            double lastOnset = 0;
            while (m_xml.child()) {
                if (m_xml.is(u"attributes"))
                    readAttributes(part, state, measure);
                else if (m_xml.is(u"backup"))
                    position = std::max(0.0, position - toOurs(readMove(), state));
                else if (m_xml.is(u"forward"))
                    position += toOurs(readMove(), state);
                else if (m_xml.is(u"direction"))
                    readDirection(part, index);
                else if (m_xml.is(u"sound")) {
                    const QString jump = readSound(part, index);
                    if (!jump.isEmpty()) {
                        ++part.jumps;
                        part.texts.append({ index, jump });
                    }
                } else if (m_xml.is(u"barline"))
                    readBarline(part, measure, index);
                else if (m_xml.is(u"note")) {
                    readNote(part, state, position, lastOnset, furthest);
                } else if (m_xml.is(u"harmony") || m_xml.is(u"figured-bass")) {
                    ++part.unkept[m_xml.name()];
                    m_xml.skip();
                } else
                    m_xml.skip();
                furthest = std::max(furthest, position);
                if (position > MaxPosition)
                    m_xml.fail(QStringLiteral("Not a MusicXML score this program can read: a measure is too long."));
            }
            bool rounded = false;
            measure.length = Rounded(std::min(furthest, MaxPosition), rounded);
            measure.noteCount = static_cast<int>(part.notes.size()) - measure.firstNote;
            part.measures.push_back(measure);
        }

        void readNote(ReadPart& part, const PartState& state, double& position, double& lastOnset, double& furthest)
        {
            if (++m_noteCount > MaxReadNotes) {
                m_xml.fail(QStringLiteral("The score has more than %1 notes.").arg(MaxReadNotes));
                return;
            }
            NoteElement element = ReadNoteElement(m_xml, part, state.transpose);
            if (element.duration > MaxFileValue) {
                m_xml.fail(QStringLiteral("Not a MusicXML score this program can read: a note lasts \"%1\" divisions.")
                               .arg(element.duration, 0, 'f', 0));
                return;
            }
            part.badLengths += !element.durationGiven;
            ReadNote& note = element.note;
            const double length = std::min(toOurs(element.duration, state), MaxPosition);
            const double onset = note.chord ? lastOnset : position;
            bool rounded = false;
            note.onset = Rounded(std::min(onset, MaxPosition), rounded);
            note.length = Rounded(std::min(onset + length, 2 * MaxPosition), rounded) - note.onset;
            note.rounded = rounded;
            if (!note.chord && !note.grace) {
                lastOnset = position;
                position += length;
            }
            furthest = std::max(furthest, onset + length);
            part.notes.push_back(note);
        }

        double readMove()
        {
            double value = 0;
            while (m_xml.child()) {
                if (m_xml.is(u"duration"))
                    value = std::max(0.0, duration(QStringLiteral("backup or forward")));
                else
                    m_xml.skip();
            }
            return value;
        }

        // A <sound> element: its tempo goes to the part, and the name of the jump it makes, if any,
        // is returned.
        QString readSound(ReadPart& part, int measure)
        {
            bool ok = false;
            const double tempo = QStringView(m_xml.attribute(QLatin1StringView("tempo"))).toDouble(&ok);
            if (ok && std::isfinite(tempo) && tempo > 0) {
                const int bpm = static_cast<int>(std::clamp(std::lround(tempo), 1L, 100000L));
                if (m_score.tempo == 0)
                    m_score.tempo = bpm;
                part.tempos.append({ measure, bpm });
            }
            QString jump;
            static const char* const jumps[][2]
                = { { "dacapo", "Da capo" }, { "dalsegno", "Dal segno" }, { "tocoda", "To coda" }, { "fine", "Fine" } };
            for (const auto& [attribute, name] : jumps) {
                if (jump.isEmpty() && !m_xml.attribute(QLatin1StringView(attribute)).isEmpty())
                    jump = QString::fromLatin1(name);
            }
            m_xml.skip();
            return jump;
        }

        void readDirection(ReadPart& part, int measure)
        {
            QStringList words;
            bool jump = false;
            while (m_xml.child()) {
                if (m_xml.is(u"direction-type")) {
                    while (m_xml.child()) {
                        if (m_xml.is(u"words") || m_xml.is(u"rehearsal")) {
                            const QString text = m_xml.text().simplified();
                            if (!text.isEmpty())
                                words.append(text);
                        } else if (m_xml.is(u"segno") || m_xml.is(u"coda")) {
                            words.append(m_xml.is(u"segno") ? QStringLiteral("Segno") : QStringLiteral("Coda"));
                            jump = true;
                            m_xml.skip();
                        } else if (m_xml.is(u"dynamics") || m_xml.is(u"pedal") || m_xml.is(u"wedge")
                            || m_xml.is(u"other-direction") || m_xml.is(u"scordatura") || m_xml.is(u"string-mute")
                            || m_xml.is(u"percussion")) {
                            // Only where a mark starts: a wedge's or a pedal's end is part of it.
                            if (m_xml.attribute(QLatin1StringView("type")) != u"stop")
                                ++part.unkept[m_xml.name()];
                            m_xml.skip();
                        } else
                            m_xml.skip(); // drawn only: the metronome (its sound holds the tempo), lines, shifts
                    }
                } else if (m_xml.is(u"sound")) {
                    const QString sound = readSound(part, measure);
                    if (!sound.isEmpty() && words.isEmpty())
                        words.append(sound);
                    jump = jump || !sound.isEmpty();
                } else
                    m_xml.skip();
            }
            const QString text = words.join(u' ');
            static const QRegularExpression countOff(
                QStringLiteral("^count[\\s-]*off:?\\s*(\\d)$"), QRegularExpression::CaseInsensitiveOption);
            if (const QRegularExpressionMatch match = countOff.match(text); match.hasMatch()) {
                if (m_score.countOff < 0)
                    m_score.countOff = match.captured(1).toInt();
                return;
            }
            jump = jump || IsJumpText(text);
            part.jumps += jump;
            if (!text.isEmpty())
                part.texts.append({ measure, text });
        }

        void readBarline(ReadPart& part, ReadMeasure& measure, int index)
        {
            while (m_xml.child()) {
                if (m_xml.is(u"repeat")) {
                    if (m_xml.attribute(QLatin1StringView("direction")) == u"forward")
                        measure.repeatForward = true;
                    else {
                        const int times = m_xml.intAttribute(QLatin1StringView("times"), 2);
                        measure.repeatTimes = static_cast<short>(std::clamp(times, 1, 100));
                    }
                    m_xml.skip();
                } else if (m_xml.is(u"ending")) {
                    const QString type = m_xml.attribute(QLatin1StringView("type"));
                    const QString numbers = m_xml.attribute(QLatin1StringView("number")).simplified();
                    if (type == u"start")
                        measure.endingStart = EndingPasses(numbers);
                    else
                        measure.endingStop = true;
                    m_xml.skip();
                } else if (m_xml.is(u"segno") || m_xml.is(u"coda")) {
                    ++part.jumps;
                    part.texts.append({ index, m_xml.is(u"segno") ? QStringLiteral("Segno") : QStringLiteral("Coda") });
                    m_xml.skip();
                } else if (m_xml.is(u"fermata")) {
                    ++part.unkept[m_xml.name()];
                    m_xml.skip();
                } else
                    m_xml.skip();
            }
        }

        void readAttributes(ReadPart& part, PartState& state, ReadMeasure& measure)
        {
            while (m_xml.child()) {
                if (m_xml.is(u"time")) {
                    measure.time = readTime();
                    continue;
                }
                if (m_xml.is(u"divisions")) {
                    const double divisions = m_xml.decimal(0);
                    if (!(divisions > 0) || divisions > MaxFileValue)
                        m_xml.fail(QStringLiteral("Not a MusicXML score this program can read: %1 divisions "
                                                  "per quarter note.")
                                       .arg(divisions));
                    else
                        state.divisions = divisions;
                } else if (m_xml.is(u"clef")) {
                    const int staff = m_xml.intAttribute(QLatin1StringView("number"), 1);
                    while (m_xml.child()) {
                        if (m_xml.is(u"sign")) {
                            const QString sign = m_xml.text();
                            if (sign == u"TAB" && (part.tabStaff == 0 || staff < part.tabStaff))
                                part.tabStaff = staff;
                        } else
                            m_xml.skip();
                    }
                } else if (m_xml.is(u"staff-details")) {
                    const int staff = m_xml.intAttribute(QLatin1StringView("number"), 1);
                    while (m_xml.child()) {
                        if (m_xml.is(u"staff-tuning"))
                            readStaffTuning(state.tuningLines[staff]);
                        else if (m_xml.is(u"capo"))
                            part.capo[staff] = static_cast<int>(std::clamp(m_xml.integer(0), 0LL, 24LL));
                        else
                            m_xml.skip();
                    }
                } else if (m_xml.is(u"transpose")) {
                    const int staff = m_xml.intAttribute(QLatin1StringView("number"), 0);
                    long long chromatic = 0;
                    long long octaves = 0;
                    while (m_xml.child()) {
                        if (m_xml.is(u"chromatic"))
                            chromatic = std::clamp(m_xml.integer(0), -24LL, 24LL);
                        else if (m_xml.is(u"octave-change"))
                            octaves = std::clamp(m_xml.integer(0), -4LL, 4LL);
                        else
                            m_xml.skip();
                    }
                    state.transpose[staff] = static_cast<int>(chromatic + 12 * octaves);
                } else
                    m_xml.skip();
            }
        }

        void readStaffTuning(QMap<int, int>& lines)
        {
            const int line = m_xml.intAttribute(QLatin1StringView("line"), 0);
            QString step;
            double alter = 0;
            long long octave = -100;
            while (m_xml.child()) {
                if (m_xml.is(u"tuning-step"))
                    step = m_xml.text();
                else if (m_xml.is(u"tuning-alter"))
                    alter = m_xml.real(0);
                else if (m_xml.is(u"tuning-octave"))
                    octave = m_xml.integer(-100);
                else
                    m_xml.skip();
            }
            if (line >= 1 && line <= 16 && step.size() == 1 && octave >= 0 && octave <= 9)
                lines[line] = KeyOfPitch(
                    step[0], static_cast<int>(std::lround(std::clamp(alter, -2.0, 2.0))), static_cast<int>(octave));
        }

        // "3+2" beats are five.
        ReadTime readTime()
        {
            ReadTime time;
            bool first = true;
            while (m_xml.child()) {
                if (m_xml.is(u"beats") && first) {
                    first = false;
                    long long beats = 0;
                    for (const QString& part : m_xml.text().split(u'+')) {
                        bool ok = false;
                        beats += std::clamp(part.trimmed().toLongLong(&ok), 0LL, 1000LL);
                        if (!ok)
                            beats = -1000000;
                    }
                    time.beats = static_cast<int>(std::max(beats, 0LL));
                } else if (m_xml.is(u"beat-type") && time.beatType == 0)
                    time.beatType = static_cast<int>(std::clamp(m_xml.integer(0), 0LL, 1000LL));
                else
                    m_xml.skip();
            }
            return time;
        }

        XmlCursor m_xml;
        ReadScore m_score;
        QList<ReadPart> m_partList;
        QHash<QString, int> m_listed; // part-list entries by id
        QString m_movementTitle;
        QString m_creditTitle;
        qsizetype m_noteCount = 0;
        qsizetype m_measureCount = 0;
    };

} // namespace

std::optional<ReadScore> ReadScoreXml(const QByteArray& xml, QString& error) { return ScoreParser(xml).parse(error); }

std::optional<ReadScore> ReadScoreXml(QIODevice* device, QString& error) { return ScoreParser(device).parse(error); }

} // namespace fw::musicxml
