#include "ScoreNotes.h"

#include "NoteForms.h"

#include <algorithm>
#include <cmath>

namespace fw::musicxml {

namespace {

    // Elements that only draw what the note already says, or that another element carries: no loss.
    bool DrawsOnly(const XmlCursor& xml)
    {
        for (const char16_t* name : { u"tuplet", u"accidental-mark", u"open-string", u"footnote", u"level" }) {
            if (xml.is(name))
                return true;
        }
        return false;
    }

    class NoteParser {
    public:
        NoteParser(XmlCursor& xml, ReadPart& part)
            : m_xml(xml)
            , m_part(part)
        {
        }

        NoteElement read(const QMap<int, int>& transpose)
        {
            NoteElement element;
            ReadNote& note = element.note;
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
                } else if (m_xml.is(u"duration")) {
                    element.duration = m_xml.decimal(-1);
                    element.durationGiven = element.duration >= 0;
                    element.duration = std::max(element.duration, 0.0);
                } else if (m_xml.is(u"tie")) {
                    readTie(note);
                } else if (m_xml.is(u"voice")) {
                    note.voice = static_cast<unsigned char>(std::clamp(m_xml.integer(99), 0LL, 99LL));
                } else if (m_xml.is(u"staff"))
                    note.staff = static_cast<unsigned char>(std::clamp(m_xml.integer(1), 1LL, 99LL));
                else if (m_xml.is(u"notations"))
                    readNotations(note);
                else if (m_xml.is(u"notehead"))
                    readNotehead();
                else if (m_xml.is(u"lyric")) {
                    ++m_part.unkept[QStringLiteral("lyric")];
                    m_xml.skip();
                } else
                    m_xml.skip();
            }
            if (note.grace)
                element.duration = 0;
            if (pitched && !note.rest && !step.isNull()) {
                const int key = KeyOfPitch(
                    step, static_cast<int>(std::lround(std::clamp(alter, -2.0, 2.0))), static_cast<int>(octave));
                const int sounding = key + transpose.value(0) + transpose.value(note.staff);
                if (key >= 0 && sounding >= 0 && sounding <= 127)
                    note.key = static_cast<short>(sounding);
            }
            if (note.key < 0 && !note.rest && !note.unpitched)
                note.unpitched = true;
            if (m_hasMarks) {
                note.marks = static_cast<int>(m_part.marks.size());
                m_part.marks.push_back(std::move(m_marks));
            }
            return element;
        }

    private:
        ReadMarks& marks()
        {
            m_hasMarks = true;
            return m_marks;
        }
        void unkept()
        {
            marks().unkept.append(m_xml.name());
            m_xml.skip();
        }

        void readTie(ReadNote& note)
        {
            const QString type = m_xml.attribute(QLatin1StringView("type"));
            note.tieStart = note.tieStart || type == u"start";
            note.tieStop = note.tieStop || type == u"stop";
            m_xml.skip();
        }

        void readNotehead()
        {
            const bool parentheses = m_xml.attribute(QLatin1StringView("parentheses")) == u"yes";
            const QString shape = m_xml.text();
            if (shape == u"x")
                marks().kind = NoteKind::Dead;
            else if (parentheses)
                marks().kind = NoteKind::Ghost;
        }

        bool starts() const { return m_xml.attribute(QLatin1StringView("type")) == u"start"; }

        void readNotations(ReadNote& note)
        {
            while (m_xml.child()) {
                if (m_xml.is(u"tied"))
                    readTie(note);
                else if (m_xml.is(u"technical"))
                    readTechnical(note);
                else if (m_xml.is(u"slide") || m_xml.is(u"glissando")) {
                    if (starts())
                        marks().link = NoteLink::SlideUp; // the direction follows the next note
                    m_xml.skip();
                } else if (m_xml.is(u"slur")) {
                    if (starts())
                        marks().slur = true;
                    m_xml.skip();
                } else if (m_xml.is(u"ornaments")) {
                    while (m_xml.child()) {
                        if (m_xml.is(u"wavy-line")) {
                            if (starts())
                                marks().vibrato = true;
                            m_xml.skip();
                        } else if (DrawsOnly(m_xml))
                            m_xml.skip();
                        else
                            unkept();
                    }
                } else if (m_xml.is(u"articulations"))
                    readArticulations();
                else if (DrawsOnly(m_xml))
                    m_xml.skip();
                else
                    unkept();
            }
        }

        void readArticulations()
        {
            while (m_xml.child()) {
                LineMarks& words = marks().words;
                if (m_xml.is(u"accent"))
                    words.accent = true;
                else if (m_xml.is(u"staccato"))
                    words.staccato = true;
                else if (m_xml.is(u"scoop"))
                    m_marks.slideIn = SlideIn::FromBelow;
                else if (m_xml.is(u"plop"))
                    m_marks.slideIn = SlideIn::FromAbove;
                else if (m_xml.is(u"doit"))
                    m_marks.slideOff = NoteLink::SlideUp;
                else if (m_xml.is(u"falloff"))
                    m_marks.slideOff = NoteLink::SlideDown;
                else {
                    unkept();
                    continue;
                }
                m_xml.skip();
            }
        }

        void readTechnical(ReadNote& note)
        {
            while (m_xml.child()) {
                if (m_xml.is(u"string"))
                    note.string = static_cast<signed char>(std::clamp(m_xml.integer(0), 0LL, 99LL));
                else if (m_xml.is(u"fret"))
                    note.fret = static_cast<signed char>(std::clamp(m_xml.integer(-1), -1LL, 99LL));
                else if (m_xml.is(u"hammer-on") || m_xml.is(u"pull-off")) {
                    if (starts())
                        marks().link = m_xml.is(u"hammer-on") ? NoteLink::HammerOn : NoteLink::PullOff;
                    m_xml.skip();
                } else if (m_xml.is(u"harmonic")) {
                    ReadMarks& read = marks();
                    read.kind = NoteKind::Harmonic;
                    while (m_xml.child()) {
                        read.artificialHarmonic = read.artificialHarmonic || m_xml.is(u"artificial");
                        read.soundingHarmonic = read.soundingHarmonic || m_xml.is(u"sounding-pitch");
                        m_xml.skip();
                    }
                } else if (m_xml.is(u"bend")) {
                    ReadMarks& read = marks();
                    while (m_xml.child()) {
                        if (m_xml.is(u"bend-alter"))
                            read.bendAlter = std::clamp(m_xml.real(0), -100.0, 100.0);
                        else {
                            read.bendRelease = read.bendRelease || m_xml.is(u"release") || m_xml.is(u"pre-bend");
                            m_xml.skip();
                        }
                    }
                } else if (m_xml.is(u"tap")) {
                    marks().words.attack = Attack::Tap;
                    m_xml.skip();
                } else if (m_xml.is(u"other-technical"))
                    readOtherTechnical();
                else if (DrawsOnly(m_xml))
                    m_xml.skip();
                else
                    unkept();
            }
        }

        void readOtherTechnical()
        {
            const QString word = m_xml.text().simplified().toLower();
            LineMarks& words = marks().words;
            if (word == u"slap")
                words.attack = Attack::Slap;
            else if (word == u"pop")
                words.attack = Attack::Pop;
            else if (word == u"palm mute" || word == u"p.m." || word == u"pm")
                words.palmMute = true;
            else if (word == u"let ring" || word == u"l.r." || word == u"lr")
                words.letRing = true;
            else
                m_marks.unkept.append(word.isEmpty() ? QStringLiteral("other-technical") : word);
        }

        XmlCursor& m_xml;
        ReadPart& m_part;
        ReadMarks m_marks;
        bool m_hasMarks = false;
    };

} // namespace

NoteElement ReadNoteElement(XmlCursor& xml, ReadPart& part, const QMap<int, int>& transpose)
{
    return NoteParser(xml, part).read(transpose);
}

} // namespace fw::musicxml
