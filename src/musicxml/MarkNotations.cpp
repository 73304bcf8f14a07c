#include "MarkNotations.h"

#include <algorithm>

namespace fw::musicxml {

namespace {

    bool IsSlide(NoteLink link) { return link == NoteLink::SlideUp || link == NoteLink::SlideDown; }
    bool IsLegato(NoteLink link) { return link == NoteLink::HammerOn || link == NoteLink::PullOff; }

    class Writer {
    public:
        Writer(QXmlStreamWriter& xml, const NoteMarkup& markup, int staff, SpannerNumbers& numbers)
            : m_xml(xml)
            , m_markup(markup)
            , m_marks(markup.marks)
            , m_staff(staff)
            , m_numbers(numbers)
        {
        }

        void notations(bool tabStaff)
        {
            if (m_markup.into == NoteLink::Tie)
                typed(QStringLiteral("tied"), QStringLiteral("stop"));
            if (m_marks.link == NoteLink::Tie)
                typed(QStringLiteral("tied"), QStringLiteral("start"));
            if (IsSlide(m_markup.into))
                numbered(QStringLiteral("slide"), QStringLiteral("stop"), stop(SpannerNumbers::Slide));
            if (IsSlide(m_marks.link) && !m_markup.slideOff) {
                numbered(QStringLiteral("slide"), QStringLiteral("start"), start(SpannerNumbers::Slide));
                m_xml.writeAttribute(QStringLiteral("line-type"), QStringLiteral("solid"));
            }
            // Hammer-ons and pull-offs are drawn as slurs; their technical elements tell them apart.
            if (IsLegato(m_markup.into)) {
                m_legatoStop = stop(SpannerNumbers::Legato);
                numbered(QStringLiteral("slur"), QStringLiteral("stop"), m_legatoStop);
            }
            if (IsLegato(m_marks.link)) {
                m_legatoStart = start(SpannerNumbers::Legato);
                numbered(QStringLiteral("slur"), QStringLiteral("start"), m_legatoStart);
            }
            if (m_marks.vibrato) {
                const int number = start(SpannerNumbers::WavyLine);
                stop(SpannerNumbers::WavyLine);
                m_xml.writeStartElement(QStringLiteral("ornaments"));
                numbered(QStringLiteral("wavy-line"), QStringLiteral("start"), number);
                numbered(QStringLiteral("wavy-line"), QStringLiteral("stop"), number);
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
        int start(SpannerNumbers::Kind kind) { return m_numbers.start(kind, m_staff, m_markup.string); }
        int stop(SpannerNumbers::Kind kind) { return m_numbers.stop(kind, m_staff, m_markup.string); }
        void numbered(const QString& name, const QString& type, int number)
        {
            typed(name, type);
            m_xml.writeAttribute(QStringLiteral("number"), QString::number(number));
        }
        void numberedText(const QString& name, const QString& text, int number)
        {
            m_xml.writeStartElement(name);
            m_xml.writeAttribute(QStringLiteral("type"), QStringLiteral("start"));
            m_xml.writeAttribute(QStringLiteral("number"), QString::number(number));
            m_xml.writeCharacters(text);
            m_xml.writeEndElement();
        }

        bool hasTechnical() const
        {
            const LineMarks* words = m_markup.words;
            return IsLegato(m_markup.into) || IsLegato(m_marks.link) || m_marks.kind == NoteKind::Harmonic
                || m_marks.hasBend()
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
                numbered(QStringLiteral("hammer-on"), QStringLiteral("stop"), m_legatoStop);
            if (m_markup.into == NoteLink::PullOff)
                numbered(QStringLiteral("pull-off"), QStringLiteral("stop"), m_legatoStop);
            if (m_marks.link == NoteLink::HammerOn)
                numberedText(QStringLiteral("hammer-on"), QStringLiteral("H"), m_legatoStart);
            if (m_marks.link == NoteLink::PullOff)
                numberedText(QStringLiteral("pull-off"), QStringLiteral("P"), m_legatoStart);
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
        const int m_staff;
        SpannerNumbers& m_numbers;
        // The slur's numbers, which its hammer-on or pull-off shares.
        int m_legatoStart = 1;
        int m_legatoStop = 1;
    };

} // namespace

int SpannerNumbers::start(Kind kind, int staff, int string)
{
    constexpr int MostOpen = 6;
    int number = 1;
    while (number < MostOpen && std::any_of(m_open.cbegin(), m_open.cend(), [&](const auto& open) {
        return std::get<0>(open.first) == kind && open.second == number;
    }))
        ++number;
    m_open[{ kind, staff, string }] = number;
    return number;
}

int SpannerNumbers::stop(Kind kind, int staff, int string)
{
    const auto open = m_open.find({ kind, staff, string });
    if (open == m_open.end())
        return 1;
    const int number = open->second;
    m_open.erase(open);
    return number;
}

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

void WriteMarkNotations(
    QXmlStreamWriter& xml, const NoteMarkup& markup, bool tabStaff, int staff, SpannerNumbers& numbers)
{
    Writer(xml, markup, staff, numbers).notations(tabStaff);
}

} // namespace fw::musicxml
