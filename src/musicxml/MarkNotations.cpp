#include "MarkNotations.h"

namespace fw::musicxml {

namespace {

    bool IsSlide(NoteLink link) { return link == NoteLink::SlideUp || link == NoteLink::SlideDown; }
    bool IsLegato(NoteLink link) { return link == NoteLink::HammerOn || link == NoteLink::PullOff; }

    class Writer {
    public:
        Writer(QXmlStreamWriter& xml, const NoteMarkup& markup)
            : m_xml(xml)
            , m_markup(markup)
            , m_marks(markup.marks)
        {
        }

        void notations(bool tabStaff)
        {
            if (m_markup.into == NoteLink::Tie)
                typed(QStringLiteral("tied"), QStringLiteral("stop"));
            if (m_marks.link == NoteLink::Tie)
                typed(QStringLiteral("tied"), QStringLiteral("start"));
            if (IsSlide(m_markup.into))
                numbered(QStringLiteral("slide"), QStringLiteral("stop"));
            if (IsSlide(m_marks.link) && !m_markup.slideOff) {
                numbered(QStringLiteral("slide"), QStringLiteral("start"));
                m_xml.writeAttribute(QStringLiteral("line-type"), QStringLiteral("solid"));
            }
            // Hammer-ons and pull-offs are drawn as slurs; their technical elements tell them apart.
            if (IsLegato(m_markup.into))
                numbered(QStringLiteral("slur"), QStringLiteral("stop"));
            if (IsLegato(m_marks.link))
                numbered(QStringLiteral("slur"), QStringLiteral("start"));
            if (m_marks.vibrato) {
                m_xml.writeStartElement(QStringLiteral("ornaments"));
                numbered(QStringLiteral("wavy-line"), QStringLiteral("start"));
                numbered(QStringLiteral("wavy-line"), QStringLiteral("stop"));
                m_xml.writeEndElement();
            }
            technical(tabStaff);
            articulations();
        }

    private:
        void typed(const QString& name, const QString& type)
        {
            m_xml.writeEmptyElement(name);
            m_xml.writeAttribute(QStringLiteral("type"), type);
        }
        void numbered(const QString& name, const QString& type)
        {
            typed(name, type);
            m_xml.writeAttribute(QStringLiteral("number"), QString::number(m_markup.string));
        }
        void numberedText(const QString& name, const QString& text)
        {
            m_xml.writeStartElement(name);
            m_xml.writeAttribute(QStringLiteral("type"), QStringLiteral("start"));
            m_xml.writeAttribute(QStringLiteral("number"), QString::number(m_markup.string));
            m_xml.writeCharacters(text);
            m_xml.writeEndElement();
        }

        bool hasTechnical() const
        {
            const LineMarks* words = m_markup.words;
            return IsLegato(m_markup.into) || IsLegato(m_marks.link) || m_marks.kind == NoteKind::Harmonic || m_marks.hasBend()
                || (words && (words->attack != Attack::Normal || words->palmMute || words->letRing));
        }

        void technical(bool tabStaff)
        {
            if (!tabStaff && !hasTechnical())
                return;
            m_xml.writeStartElement(QStringLiteral("technical"));
            if (tabStaff) {
                m_xml.writeTextElement(QStringLiteral("string"), QString::number(m_markup.string));
                if (m_markup.fret >= 0)
                    m_xml.writeTextElement(QStringLiteral("fret"), QString::number(m_markup.fret));
            }
            if (m_markup.into == NoteLink::HammerOn)
                numbered(QStringLiteral("hammer-on"), QStringLiteral("stop"));
            if (m_markup.into == NoteLink::PullOff)
                numbered(QStringLiteral("pull-off"), QStringLiteral("stop"));
            if (m_marks.link == NoteLink::HammerOn)
                numberedText(QStringLiteral("hammer-on"), QStringLiteral("H"));
            if (m_marks.link == NoteLink::PullOff)
                numberedText(QStringLiteral("pull-off"), QStringLiteral("P"));
            if (m_marks.kind == NoteKind::Harmonic) {
                m_xml.writeStartElement(QStringLiteral("harmonic"));
                m_xml.writeEmptyElement(QStringLiteral("natural"));
                m_xml.writeEmptyElement(QStringLiteral("sounding-pitch"));
                m_xml.writeEndElement();
            }
            if (m_marks.hasBend()) {
                m_xml.writeStartElement(QStringLiteral("bend"));
                m_xml.writeTextElement(
                    QStringLiteral("bend-alter"), QString::number(m_marks.bendTarget - m_markup.fret));
                m_xml.writeEndElement();
            }
            if (const LineMarks* words = m_markup.words) {
                if (words->attack == Attack::Tap)
                    m_xml.writeTextElement(QStringLiteral("tap"), QStringLiteral("T"));
                if (words->attack == Attack::Slap)
                    other(QStringLiteral("slap"));
                if (words->attack == Attack::Pop)
                    other(QStringLiteral("pop"));
                if (words->palmMute)
                    other(QStringLiteral("palm mute"));
                if (words->letRing)
                    other(QStringLiteral("let ring"));
            }
            m_xml.writeEndElement();
        }

        void other(const QString& word) { m_xml.writeTextElement(QStringLiteral("other-technical"), word); }

        void articulations()
        {
            QStringList names;
            if (m_markup.words && m_markup.words->accent)
                names << QStringLiteral("accent");
            if (m_markup.words && m_markup.words->staccato)
                names << QStringLiteral("staccato");
            if (m_marks.slideIn == SlideIn::FromBelow)
                names << QStringLiteral("scoop");
            if (m_marks.slideIn == SlideIn::FromAbove)
                names << QStringLiteral("plop");
            if (m_markup.slideOff && m_marks.link == NoteLink::SlideUp)
                names << QStringLiteral("doit");
            if (m_markup.slideOff && m_marks.link == NoteLink::SlideDown)
                names << QStringLiteral("falloff");
            if (names.isEmpty())
                return;
            m_xml.writeStartElement(QStringLiteral("articulations"));
            for (const QString& name : names)
                m_xml.writeEmptyElement(name);
            m_xml.writeEndElement();
        }

        QXmlStreamWriter& m_xml;
        const NoteMarkup& m_markup;
        const NoteMarks& m_marks;
    };

} // namespace

bool NoteMarkup::hasNotations() const
{
    // Ghost and dead notes are told by their notehead alone.
    return into != NoteLink::None || marks.link != NoteLink::None || marks.vibrato || marks.kind == NoteKind::Harmonic
        || marks.hasBend() || marks.slideIn != SlideIn::None || (words && words->any());
}

void WriteTies(QXmlStreamWriter& xml, const NoteMarkup& markup)
{
    if (markup.into == NoteLink::Tie) {
        xml.writeEmptyElement(QStringLiteral("tie"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("stop"));
    }
    if (markup.marks.link == NoteLink::Tie) {
        xml.writeEmptyElement(QStringLiteral("tie"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("start"));
    }
}

void WriteNotehead(QXmlStreamWriter& xml, const NoteMarkup& markup)
{
    if (markup.marks.kind == NoteKind::Dead) {
        xml.writeTextElement(QStringLiteral("notehead"), QStringLiteral("x"));
    } else if (markup.marks.kind == NoteKind::Ghost) {
        xml.writeStartElement(QStringLiteral("notehead"));
        xml.writeAttribute(QStringLiteral("parentheses"), QStringLiteral("yes"));
        xml.writeCharacters(QStringLiteral("normal"));
        xml.writeEndElement();
    }
}

void WriteMarkNotations(QXmlStreamWriter& xml, const NoteMarkup& markup, bool tabStaff)
{
    Writer(xml, markup).notations(tabStaff);
}

} // namespace fw::musicxml
