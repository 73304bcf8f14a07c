// Playing techniques, ties, time signatures and long necks through a score: the elements written
// for each mark, the lines that come back, and peer files whose marks cannot all be kept.
#include "ListCheck.h"
#include "MusicXml.h"
#include "QtPrinters.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace fw;

namespace {

MusicXmlExport Export(const QStringList& lines)
{
    return ExportMusicXml(lines, DocumentHeader(), MusicXmlContainer::Plain);
}

// The note lines (not comments) of a list, in order.
QStringList NoteLines(const QStringList& lines) { return lines.filter(QRegularExpression(QStringLiteral("^[^*]"))); }

} // namespace

// Each marked list is written with MusicXML's own elements for its marks, and read back to the
// same lines, with nothing reported lost.
TEST(MusicXmlMarks, EachMarkIsWrittenAsItsElementAndReadBack)
{
    struct Case {
        const char* what;
        QStringList lines;
        QStringList fragments; // each must be in the score
    };
    const QList<Case> cases {
        { "hammer-on and pull-off pairs with slurs", { "A, x, 0h, x, x, E", "B, x, 2p, x, x, E", "A, x, 0, x, x, Q" },
            { "<slur type=\"start\" number=\"1\"/>", "<hammer-on type=\"start\" number=\"1\">H</hammer-on>",
                "<hammer-on type=\"stop\" number=\"1\"/>", "<pull-off type=\"start\" number=\"1\">P</pull-off>",
                "<pull-off type=\"stop\" number=\"1\"/>" } },
        { "legato slides, slides in and out",
            { "C, x, 3/, x, x, E", "E, x, 7\\, x, x, E", "C, x, 3, x, x, E", "D, x, /5, x, x, E", "D, x, \\5, x, x, E",
                "D, x, 5/, x, x, E", "Rest, x, x, x, x, E", "D, x, 5\\, x, x, E" },
            { "<slide type=\"start\" number=\"1\" line-type=\"solid\"/>", "<slide type=\"stop\" number=\"1\"/>",
                "<scoop/>", "<plop/>", "<doit/>", "<falloff/>" } },
        { "ghost and dead notes, with and without a fret",
            { "E, (0), x, x, x, Q", "x, m, x, x, x, Q", "x, x, 5m, x, x, Q" },
            { "<notehead parentheses=\"yes\">normal</notehead>", "<notehead>x</notehead><staff>2</staff>",
                "<technical><string>4</string></technical>",
                "<technical><string>3</string><fret>5</fret></technical>" } },
        { "a tie over the bar line, harmonics at the pitch they sound",
            { "D, x, x, 12_, x, H", "", "D, x, x, 12, x, Q", "G, x, x, x, <12>, Q", "D, x, x, x, <3.2>, Q" },
            { "<tie type=\"start\"/>", "<tied type=\"start\"/>", "<tie type=\"stop\"/>", "<tied type=\"stop\"/>",
                "<pitch><step>G</step><octave>3</octave></pitch>", "<harmonic><natural/><sounding-pitch/></harmonic>",
                // G open plus 31 semitones, at the fret nearest the node.
                "<pitch><step>D</step><octave>5</octave></pitch>", "<string>1</string><fret>3</fret>" } },
        { "bend, vibrato and the words of a line",
            { "D, x, x, x, 7b9, Q, pm", "D, x, x, 0~, x, Q, accent staccato", "E, 0, x, x, x, Q, slap lr",
                "B, x, 2, x, x, Q, pop", "F#/Gb, x, x, 4, x, Q, tap" },
            { "<bend><bend-alter>2</bend-alter></bend>", "<other-technical>palm mute</other-technical>",
                "<wavy-line type=\"start\" number=\"1\"/><wavy-line type=\"stop\" number=\"1\"/>",
                "<articulations><accent/><staccato/></articulations>", "<other-technical>slap</other-technical>",
                "<other-technical>let ring</other-technical>", "<other-technical>pop</other-technical>",
                "<tap>T</tap>" } },
        { "times where they change, frets above 18",
            { "* Frets: 22", "* Time: 3/4", "E, x, x, x, 21, H", "D, x, x, x, 19, Q", "", "* Time: 6/8",
                "E, x, x, x, 21, .H", "", "* Time: 6/8", "E, x, x, x, 21, .H" },
            { "<time><beats>3</beats><beat-type>4</beat-type></time>",
                "<measure number=\"2\">\n<attributes><time><beats>6</beats><beat-type>8</beat-type></time>",
                "<fret>21</fret>" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(CheckLines(c.lines, false).empty());
        const MusicXmlExport exported = Export(c.lines);
        ASSERT_TRUE(exported.error.isEmpty()) << exported.error.toStdString();
        const QString xml = QString::fromUtf8(exported.bytes);
        for (const QString& fragment : c.fragments)
            EXPECT_TRUE(xml.contains(fragment)) << fragment.toStdString();
        const MusicXmlImport imported = ImportMusicXml(exported.bytes);
        ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
        EXPECT_EQ(imported.report, QStringList());
        QStringList expected = NoteLines(c.lines);
        expected.removeAll(QString());
        QStringList back = NoteLines(imported.lines);
        back.removeAll(QString());
        EXPECT_EQ(back, expected);
        EXPECT_TRUE(CheckLines(imported.lines, false).empty());
    }
    // Only the time that changes comes back: bar 3 repeats bar 2's.
    const QStringList timed = ImportMusicXml(Export(cases.last().lines).bytes).lines;
    EXPECT_EQ(timed.filter(QStringLiteral("* Time:")), QStringList({ "* Time: 3/4", "* Time: 6/8" }));
    EXPECT_TRUE(timed.contains(QStringLiteral("* Frets: 21")));

    // A list whose hammer-on has no next note is refused, with the message the editor gives.
    EXPECT_EQ(Export({ "A, x, 0h, x, x, E", "Rest, x, x, x, x, E" }).error,
        "Line 1    Hammer-on on the A string has no next note on that string.");
}

namespace {

QByteArray PeerScore(const QString& measures)
{
    return (QStringLiteral("<?xml version=\"1.0\"?><score-partwise version=\"4.0\"><part-list><score-part id=\"P1\">"
                           "<part-name>Bass</part-name></score-part></part-list><part id=\"P1\">"
                           "<measure number=\"1\"><attributes><divisions>1</divisions><time><beats>4</beats>"
                           "<beat-type>4</beat-type></time><clef><sign>TAB</sign></clef><staff-details><staff-lines>4"
                           "</staff-lines><staff-tuning line=\"1\"><tuning-step>E</tuning-step><tuning-octave>1"
                           "</tuning-octave></staff-tuning><staff-tuning line=\"2\"><tuning-step>A</tuning-step>"
                           "<tuning-octave>1</tuning-octave></staff-tuning><staff-tuning line=\"3\"><tuning-step>D"
                           "</tuning-step><tuning-octave>2</tuning-octave></staff-tuning><staff-tuning line=\"4\">"
                           "<tuning-step>G</tuning-step><tuning-octave>2</tuning-octave></staff-tuning></staff-details>"
                           "</attributes>")
        + measures + QStringLiteral("</measure></part></score-partwise>"))
        .toUtf8();
}

// A quarter note on string (1 = G) and fret; the pitch is the fret's.
QString TabNote(int string, int fret, const QString& notations = {}, const QString& head = {})
{
    static const int Open[] = { 0, 43, 38, 33, 28 };
    static const char* Steps[] = { "C", "C", "D", "D", "E", "F", "F", "G", "G", "A", "A", "B" };
    const int key = Open[string] + fret;
    const QString alter = QString(Steps[key % 12]) == QString(Steps[(key + 11) % 12]) ? "<alter>1</alter>" : "";
    return QStringLiteral("<note><pitch><step>%1</step>%2<octave>%3</octave></pitch><duration>1</duration>"
                          "<type>quarter</type>%4<notations>%5<technical><string>%6</string><fret>%7</fret>%8"
                          "</technical></notations></note>")
        .arg(QLatin1String(Steps[key % 12]), alter)
        .arg(key / 12 - 1)
        .arg(head, notations.section(u'|', 0, 0))
        .arg(string)
        .arg(fret)
        .arg(notations.section(u'|', 1));
}

} // namespace

// Marks a list cannot hold as a peer file writes them: mended where the meaning is plain, else
// dropped with a sentence in the report; the lines always parse.
TEST(MusicXmlMarks, PeerMarksAreMendedOrReported)
{
    struct Case {
        const char* what;
        QString measures;
        QStringList lines;
        QStringList report;
    };
    const QString hammer = QStringLiteral("|<hammer-on type=\"start\">H</hammer-on>");
    const QList<Case> cases {
        { "a hammer-on down is a pull-off; one into another string is dropped",
            TabNote(3, 5, hammer) + TabNote(3, 3) + TabNote(3, 3, hammer) + TabNote(2, 5),
            { "D, x, 5p, x, x, Q", "C, x, 3, x, x, Q", "C, x, 3, x, x, Q", "G, x, x, 5, x, Q", "" },
            { "1 hammer-on or pull-off turned to the direction of its next note.",
                "1 hammer-on, pull-off, slide or tie without a next note on its string that it can join dropped." } },
        { "a slide without its next note, a fall-off before one",
            TabNote(4, 5, QStringLiteral("<slide type=\"start\"/>")) + TabNote(3, 5)
                + TabNote(4, 3, QStringLiteral("<articulations><falloff/></articulations>")) + TabNote(4, 5),
            { "A, 5, x, x, x, Q", "D, x, 5, x, x, Q", "G, 3, x, x, x, Q", "A, 5, x, x, x, Q", "" },
            { "2 hammer-ons, pull-offs, slides and ties without a next note on their string that they can join "
              "dropped." } },
        { "a bend down, a bend with a release, a harmonic at no node, a ghost bend",
            TabNote(1, 7, QStringLiteral("|<bend><bend-alter>-2</bend-alter></bend>"))
                + TabNote(1, 7, QStringLiteral("|<bend><bend-alter>1</bend-alter><release/></bend>"))
                + TabNote(1, 11, QStringLiteral("|<harmonic><natural/></harmonic>"))
                + TabNote(1, 7, QStringLiteral("|<bend><bend-alter>2</bend-alter></bend>"),
                    QStringLiteral("<notehead parentheses=\"yes\">normal</notehead>")),
            { "D, x, x, x, 7, Q", "D, x, x, x, 7b8, Q", "F#/Gb, x, x, x, 11, Q", "D, x, x, x, (7), Q", "" },
            { "1 harmonic that a list cannot write (artificial, at no node, or without string and fret) written as "
              "a fretted note.",
                "1 bend that is not 1 to 6 semitones up dropped.", "1 pre-bend or release dropped.",
                "1 mark that does not go with the others of its note dropped." } },
        { "a time no list can hold, then 5/8 written as beats summed",
            TabNote(1, 0)
                + QStringLiteral("</measure><measure number=\"2\"><attributes><time><beats>4</beats><beat-type>3"
                                 "</beat-type></time></attributes>")
                + TabNote(1, 0)
                + QStringLiteral("</measure><measure number=\"3\"><attributes><time><beats>3+2</beats><beat-type>8"
                                 "</beat-type></time></attributes>")
                + TabNote(1, 0),
            { "G, x, x, x, 0, Q", "", "G, x, x, x, 0, Q", "", "* Time: 5/8", "G, x, x, x, 0, Q", "" },
            { "1 time signatures that a list cannot hold dropped (a list's time counts 1 to 32 beats of halves, "
              "quarters, eighths or sixteenths)." } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MusicXmlImport imported = ImportMusicXml(PeerScore(c.measures));
        ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
        EXPECT_EQ(imported.lines.filter(QRegularExpression(QStringLiteral("^[^*]|^$|^\\* Time"))), c.lines);
        EXPECT_EQ(imported.report, c.report);
        EXPECT_TRUE(CheckLines(imported.lines, false).empty());
    }
}
