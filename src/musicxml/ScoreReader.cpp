#include "ScoreReader.h"

#include "NoteForms.h"
#include "XmlCursor.h"

#include <algorithm>
#include <cmath>

namespace fw::musicxml {

namespace {

    // A duration beyond this many file divisions (or a divisions value beyond it) is not music.
    constexpr long long MaxFileValue = 1'000'000'000;

    struct PartState {
        long long divisions = 1;
        QMap<int, int> transpose; // by staff, 0 for all staves
        QMap<int, QMap<int, int>> tuningLines; // staff -> line -> key
    };

    class ScoreParser {
    public:
        explicit ScoreParser(const QByteArray& bytes)
            : m_xml(bytes)
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
            return m_score;
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
                    else if (m_xml.is(u"midi-instrument")) {
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
                m_partList.append(part);
            }
        }

        void readPart()
        {
            const QString id = m_xml.attribute(QLatin1StringView("id"));
            ReadPart part;
            part.id = id;
            for (const ReadPart& listed : m_partList) {
                if (listed.id == id) {
                    part = listed;
                    break;
                }
            }
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
            m_score.parts.append(part);
        }

        // File divisions to ours, rounded to the nearest; rounded says whether that changed the time.
        long long toOurs(long long value, const PartState& state, bool& rounded) const
        {
            const long long scaled = value * Divisions;
            if (scaled % state.divisions != 0)
                rounded = true;
            return (scaled + state.divisions / 2) / state.divisions;
        }

        long long duration(const QString& what)
        {
            const long long value = m_xml.integer(-1);
            if (value < 0 || value > MaxFileValue) {
                m_xml.fail(QStringLiteral("Not a MusicXML score this program can read: a %1 lasts \"%2\" divisions.")
                               .arg(what)
                               .arg(value));
                return 0;
            }
            return value;
        }

        void readMeasure(ReadPart& part, PartState& state)
        {
            ReadMeasure measure;
            long long position = 0; // in file divisions
            long long furthest = 0;
            long long lastOnset = 0;
            bool rounded = false;
            while (m_xml.child()) {
                if (m_xml.is(u"attributes"))
                    readAttributes(part, state, measure);
                else if (m_xml.is(u"backup"))
                    position = std::max(0LL, position - readMove());
                else if (m_xml.is(u"forward"))
                    position += readMove();
                else if (m_xml.is(u"direction"))
                    readDirection(part);
                else if (m_xml.is(u"sound"))
                    readSound();
                else if (m_xml.is(u"note")) {
                    long long length = 0;
                    ReadNote note = readNote(part, state, length);
                    const long long onset = note.chord ? lastOnset : position;
                    bool noteRounded = false;
                    note.onset = toOurs(onset, state, noteRounded);
                    note.length = toOurs(onset + length, state, noteRounded) - note.onset;
                    note.rounded = noteRounded;
                    if (!note.chord && !note.grace) {
                        lastOnset = position;
                        position += length;
                    }
                    furthest = std::max(furthest, onset + length);
                    measure.notes.append(note);
                } else
                    m_xml.skip();
                furthest = std::max(furthest, position);
                if (position > MaxFileValue)
                    m_xml.fail(QStringLiteral("Not a MusicXML score this program can read: a measure is too long."));
            }
            measure.length = toOurs(furthest, state, rounded);
            part.measures.append(measure);
        }

        long long readMove()
        {
            long long value = 0;
            while (m_xml.child()) {
                if (m_xml.is(u"duration"))
                    value = duration(QStringLiteral("backup or forward"));
                else
                    m_xml.skip();
            }
            return value;
        }

        void readSound()
        {
            bool ok = false;
            const double tempo = QStringView(m_xml.attribute(QLatin1StringView("tempo"))).toDouble(&ok);
            if (ok && std::isfinite(tempo) && tempo > 0 && m_score.tempo == 0)
                m_score.tempo = static_cast<int>(std::clamp(std::lround(tempo), 1L, 100000L));
            m_xml.skip();
        }

        void readDirection(ReadPart& part)
        {
            while (m_xml.child()) {
                if (m_xml.is(u"direction-type")) {
                    while (m_xml.child()) {
                        if (m_xml.is(u"dynamics"))
                            ++part.dynamics;
                        m_xml.skip();
                    }
                } else if (m_xml.is(u"sound"))
                    readSound();
                else
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
                    const long long divisions = m_xml.integer(0);
                    if (divisions < 1 || divisions > MaxFileValue)
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
                            else if (sign == u"F" && (part.bassStaff == 0 || staff < part.bassStaff))
                                part.bassStaff = staff;
                        } else
                            m_xml.skip();
                    }
                } else if (m_xml.is(u"staff-details")) {
                    const int staff = m_xml.intAttribute(QLatin1StringView("number"), 1);
                    while (m_xml.child()) {
                        if (m_xml.is(u"staff-tuning"))
                            readStaffTuning(state.tuningLines[staff]);
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

        ReadNote readNote(ReadPart& part, const PartState& state, long long& length)
        {
            ReadNote note;
            QChar step;
            double alter = 0;
            long long octave = 4;
            bool pitched = false;
            while (m_xml.child()) {
                if (m_xml.is(u"grace")) {
                    note.grace = true;
                    m_xml.skip();
                } else if (m_xml.is(u"cue")) {
                    note.cue = true;
                    m_xml.skip();
                } else if (m_xml.is(u"chord")) {
                    note.chord = true;
                    m_xml.skip();
                } else if (m_xml.is(u"rest")) {
                    note.rest = true;
                    m_xml.skip();
                } else if (m_xml.is(u"unpitched")) {
                    note.unpitched = true;
                    m_xml.skip();
                } else if (m_xml.is(u"pitch")) {
                    pitched = true;
                    while (m_xml.child()) {
                        if (m_xml.is(u"step"))
                            step = m_xml.letter();
                        else if (m_xml.is(u"alter"))
                            alter = m_xml.real(0);
                        else if (m_xml.is(u"octave"))
                            octave = std::clamp(m_xml.integer(4), 0LL, 9LL);
                        else
                            m_xml.skip();
                    }
                } else if (m_xml.is(u"duration"))
                    length = duration(QStringLiteral("note"));
                else if (m_xml.is(u"tie")) {
                    readTie(note);
                } else if (m_xml.is(u"voice")) {
                    note.voice = static_cast<int>(std::clamp(m_xml.integer(99), 0LL, 99LL));
                } else if (m_xml.is(u"staff"))
                    note.staff = static_cast<int>(std::clamp(m_xml.integer(1), 1LL, 99LL));
                else if (m_xml.is(u"notations"))
                    readNotations(note);
                else if (m_xml.is(u"notehead"))
                    readNotehead(note.marks);
                else if (m_xml.is(u"lyric")) {
                    ++part.lyrics;
                    m_xml.skip();
                } else
                    m_xml.skip();
            }
            if (note.grace)
                length = 0;
            if (pitched && !note.rest && !step.isNull()) {
                const int key = KeyOfPitch(
                    step, static_cast<int>(std::lround(std::clamp(alter, -2.0, 2.0))), static_cast<int>(octave));
                if (key >= 0)
                    note.key = key + state.transpose.value(0) + state.transpose.value(note.staff);
            }
            if (note.key < 0 && !note.rest && !note.unpitched)
                note.unpitched = true;
            return note;
        }

        void readTie(ReadNote& note)
        {
            const QString type = m_xml.attribute(QLatin1StringView("type"));
            note.tieStart = note.tieStart || type == u"start";
            note.tieStop = note.tieStop || type == u"stop";
            m_xml.skip();
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

        void readNotehead(ReadMarks& marks)
        {
            const bool parentheses = m_xml.attribute(QLatin1StringView("parentheses")) == u"yes";
            const QString shape = m_xml.text();
            if (shape == u"x")
                marks.kind = NoteKind::Dead;
            else if (parentheses)
                marks.kind = NoteKind::Ghost;
        }

        bool starts() const { return m_xml.attribute(QLatin1StringView("type")) == u"start"; }

        void readNotations(ReadNote& note)
        {
            ReadMarks& marks = note.marks;
            while (m_xml.child()) {
                if (m_xml.is(u"tied"))
                    readTie(note);
                else if (m_xml.is(u"technical"))
                    readTechnical(note);
                else if (m_xml.is(u"slide") || m_xml.is(u"glissando")) {
                    if (starts())
                        marks.link = NoteLink::SlideUp; // the direction follows the next note
                    m_xml.skip();
                } else if (m_xml.is(u"ornaments")) {
                    while (m_xml.child()) {
                        marks.vibrato = marks.vibrato || (m_xml.is(u"wavy-line") && starts());
                        m_xml.skip();
                    }
                } else if (m_xml.is(u"articulations")) {
                    while (m_xml.child()) {
                        LineMarks& words = marks.words;
                        words.accent = words.accent || m_xml.is(u"accent");
                        words.staccato = words.staccato || m_xml.is(u"staccato");
                        if (m_xml.is(u"scoop"))
                            marks.slideIn = SlideIn::FromBelow;
                        else if (m_xml.is(u"plop"))
                            marks.slideIn = SlideIn::FromAbove;
                        else if (m_xml.is(u"doit"))
                            marks.slideOff = NoteLink::SlideUp;
                        else if (m_xml.is(u"falloff"))
                            marks.slideOff = NoteLink::SlideDown;
                        m_xml.skip();
                    }
                } else
                    m_xml.skip();
            }
        }

        void readTechnical(ReadNote& note)
        {
            ReadMarks& marks = note.marks;
            while (m_xml.child()) {
                if (m_xml.is(u"string"))
                    note.string = static_cast<int>(std::clamp(m_xml.integer(0), 0LL, 99LL));
                else if (m_xml.is(u"fret"))
                    note.fret = static_cast<int>(std::clamp(m_xml.integer(-1), -1LL, 99LL));
                else if (m_xml.is(u"hammer-on") || m_xml.is(u"pull-off")) {
                    if (starts())
                        marks.link = m_xml.is(u"hammer-on") ? NoteLink::HammerOn : NoteLink::PullOff;
                    m_xml.skip();
                } else if (m_xml.is(u"harmonic")) {
                    marks.kind = NoteKind::Harmonic;
                    while (m_xml.child()) {
                        marks.artificialHarmonic = marks.artificialHarmonic || m_xml.is(u"artificial");
                        marks.soundingHarmonic = marks.soundingHarmonic || m_xml.is(u"sounding-pitch");
                        m_xml.skip();
                    }
                } else if (m_xml.is(u"bend")) {
                    while (m_xml.child()) {
                        if (m_xml.is(u"bend-alter"))
                            marks.bendAlter = std::clamp(m_xml.real(0), -100.0, 100.0);
                        else {
                            marks.bendRelease = marks.bendRelease || m_xml.is(u"release") || m_xml.is(u"pre-bend");
                            m_xml.skip();
                        }
                    }
                } else if (m_xml.is(u"tap")) {
                    marks.words.attack = Attack::Tap;
                    m_xml.skip();
                } else if (m_xml.is(u"other-technical"))
                    readOtherTechnical(marks.words);
                else
                    m_xml.skip();
            }
        }

        void readOtherTechnical(LineMarks& words)
        {
            const QString word = m_xml.text().simplified().toLower();
            if (word == u"slap")
                words.attack = Attack::Slap;
            else if (word == u"pop")
                words.attack = Attack::Pop;
            else if (word == u"palm mute" || word == u"p.m." || word == u"pm")
                words.palmMute = true;
            else if (word == u"let ring" || word == u"l.r." || word == u"lr")
                words.letRing = true;
        }

        XmlCursor m_xml;
        ReadScore m_score;
        QList<ReadPart> m_partList;
        QString m_movementTitle;
        QString m_creditTitle;
    };

} // namespace

std::optional<ReadScore> ReadScoreXml(const QByteArray& xml, QString& error)
{
    ScoreParser parser(xml);
    return parser.parse(error);
}

} // namespace fw::musicxml
