// Scores written the way notation programs write them, and hostile files.
#include "MusicXml.h"
#include "QtPrinters.h"
#include "ZipBytes.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace fw;

namespace {

// A score-partwise document around PARTS (score-part entries of the part list, then the parts).
QByteArray Score(const QString& partList, const QString& parts)
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 3.1 Partwise//EN\" "
                           "\"http://www.musicxml.org/dtds/partwise.dtd\">\n"
                           "<score-partwise version=\"3.1\"><movement-title>Peer file</movement-title>"
                           "<part-list>")
        + partList + QStringLiteral("</part-list>") + parts + QStringLiteral("</score-partwise>"))
        .toUtf8();
}

QString Note(const QString& pitch, int duration, const QString& extra = {}, int voice = 1, int staff = 1)
{
    const QString step = pitch.left(1);
    const QString alter = pitch.mid(1, 1) == u"#" ? QStringLiteral("<alter>1</alter>") : QString();
    const QString octave = pitch.right(1);
    return QStringLiteral("<note><pitch><step>%1</step>%2<octave>%3</octave></pitch><duration>%4</duration>%5"
                          "<voice>%6</voice><staff>%7</staff></note>")
        .arg(step, alter, octave)
        .arg(duration)
        .arg(extra)
        .arg(voice)
        .arg(staff);
}

QString Rest(int duration, int voice = 1)
{
    return QStringLiteral("<note><rest/><duration>%1</duration><voice>%2</voice></note>").arg(duration).arg(voice);
}

const QString TieStart = QStringLiteral("<tie type=\"start\"/><notations><tied type=\"start\"/></notations>");
const QString TieStop = QStringLiteral("<tie type=\"stop\"/><notations><tied type=\"stop\"/></notations>");
const QString TieBoth = QStringLiteral("<tie type=\"stop\"/><tie type=\"start\"/>");

// A bass part in bass clef at sounding pitch, divisions 4 per quarter, as many programs write it.
QString BassPart(const QString& measures, const QString& id = QStringLiteral("P1"))
{
    return QStringLiteral("<part id=\"%1\"><measure number=\"1\"><attributes><divisions>4</divisions>"
                          "<time><beats>4</beats><beat-type>4</beat-type></time><clef><sign>F</sign><line>4</line>"
                          "</clef></attributes>")
               .arg(id)
        + measures + QStringLiteral("</part>");
}

const QString BassList = QStringLiteral("<score-part id=\"P1\"><part-name>Bass</part-name><midi-instrument "
                                        "id=\"I1\"><midi-program>34</midi-program></midi-instrument></score-part>");

// Places every note on the lowest string that reaches it, and records what it was asked.
struct FakeFingering {
    QList<QList<int>> asked;
    Tuning tuning;
    QList<QList<FingeredNote>> operator()(const QList<QList<int>>& groups, const Tuning& t)
    {
        asked += groups;
        tuning = t;
        return LowestFretFingering(groups, t);
    }
};

} // namespace

TEST(MusicXmlImport, ScoresAsNotationProgramsWriteThem)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList lines;
        QStringList report;
    };
    const QString tabPartList = QStringLiteral("<score-part id=\"P1\"><part-name>Piano</part-name></score-part>"
                                               "<score-part id=\"P2\"><part-name>E-Bass</part-name></score-part>");
    // A piano part first, then a five-string bass with a TAB staff only, at divisions 480.
    const QString tabPart = QStringLiteral(
        "<part id=\"P1\"><measure number=\"1\"><attributes><divisions>1</divisions><clef><sign>G</sign></clef>"
        "</attributes><note><pitch><step>C</step><octave>4</octave></pitch><duration>4</duration></note></measure>"
        "</part><part id=\"P2\"><measure number=\"1\"><attributes><divisions>480</divisions><clef><sign>TAB</sign>"
        "</clef><staff-details><staff-lines>5</staff-lines>"
        "<staff-tuning line=\"1\"><tuning-step>B</tuning-step><tuning-octave>0</tuning-octave></staff-tuning>"
        "<staff-tuning line=\"2\"><tuning-step>E</tuning-step><tuning-octave>1</tuning-octave></staff-tuning>"
        "<staff-tuning line=\"3\"><tuning-step>A</tuning-step><tuning-octave>1</tuning-octave></staff-tuning>"
        "<staff-tuning line=\"4\"><tuning-step>D</tuning-step><tuning-octave>2</tuning-octave></staff-tuning>"
        "<staff-tuning line=\"5\"><tuning-step>G</tuning-step><tuning-octave>2</tuning-octave></staff-tuning>"
        "</staff-details></attributes>"
        "<note><pitch><step>B</step><octave>0</octave></pitch><duration>960</duration><voice>1</voice>"
        "<notations><technical><string>5</string><fret>0</fret></technical></notations></note>"
        "<note><pitch><step>F</step><alter>1</alter><octave>1</octave></pitch><duration>480</duration>"
        "<notations><technical><string>5</string><fret>7</fret></technical></notations></note>"
        "<note><chord/><pitch><step>D</step><octave>2</octave></pitch><duration>480</duration>"
        "<notations><technical><string>3</string><fret>5</fret></technical></notations></note>"
        "<note><grace/><pitch><step>E</step><octave>1</octave></pitch><notations><technical><string>4</string>"
        "<fret>0</fret></technical></notations></note>"
        "<note><pitch><step>E</step><octave>1</octave></pitch><duration>480</duration>"
        "<notations><technical><string>4</string><fret>0</fret></technical></notations>"
        "<lyric><text>la</text></lyric></note></measure></part>");
    const QList<Case> cases {
        { "ties within and across bars stay ties, each note in its bar",
            Score(BassList,
                BassPart(
                    // Two eighths tied, a quarter tied over the bar line into an eighth, then in
                    // bar 2 a half tied to a sixteenth.
                    Note("A1", 2, TieStart) + Note("A1", 2, TieStop) + Rest(4) + Note("G1", 4, TieStart)
                    + QStringLiteral("</measure><measure number=\"2\">") + Note("G1", 2, TieStop) + Rest(2)
                    + Note("E1", 8, TieStart) + Note("E1", 1, TieStop) + Rest(3) + QStringLiteral("</measure>"))),
            { "* Title: Peer file", "A, x, 0_, x, x, E", "A, x, 0, x, x, E", "Rest, x, x, x, x, Q", "G, 3_, x, x, x, Q",
                "", "G, 3, x, x, x, E", "Rest, x, x, x, x, E", "E, 0_, x, x, x, H", "E, 0, x, x, x, S",
                "Rest, x, x, x, x, .E", "" },
            { "6 notes without string and fret were fingered." } },
        { "two voices, a short last bar, dynamics; the second voice is dropped",
            Score(BassList,
                BassPart(QStringLiteral("<direction><direction-type><dynamics><f/></dynamics></direction-type>"
                                        "<sound tempo=\"88.4\"/></direction>")
                    + Note("E1", 8) + Note("E1", 8) + QStringLiteral("<backup><duration>16</duration></backup>")
                    + Note("B1", 4, {}, 2) + Note("C#2", 4, {}, 2)
                    + QStringLiteral("<forward><duration>8</duration>"
                                     "</forward></measure>")
                    + QStringLiteral("<measure number=\"2\">") + Note("A1", 6) + Rest(6)
                    + QStringLiteral("</measure>"))),
            { "* Title: Peer file", "E, 0, x, x, x, H", "E, 0, x, x, x, H", "", "A, x, 0, x, x, .Q",
                "Rest, x, x, x, x, .Q", "" },
            { "2 notes of voices beyond the first dropped.", "1 dynamics dropped.",
                "3 notes without string and fret were fingered." } },
        { "the TAB part is chosen over a piano part; its five strings, frets and divisions 480 kept",
            Score(tabPartList, tabPart),
            { "* Title: Peer file", "* Tuning: B E A D G", "B, 0, x, x, x, x, H", "Chord, 7, x, 5, x, x, Q",
                "E, x, 0, x, x, x, Q", "" },
            { "1 other part not read (only \"E-Bass\" was).", "1 grace notes dropped.", "1 lyrics dropped." } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MusicXmlImport imported = ImportMusicXml(c.bytes);
        ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
        EXPECT_EQ(imported.lines, c.lines);
        EXPECT_EQ(imported.report, c.report);
    }
    // A title over two lines of the score becomes one chord-list line.
    QByteArray twoLines = cases[0].bytes;
    twoLines.replace("<movement-title>Peer file</movement-title>",
        "<work><work-title>Blues\n  in A</work-title></work><credit><credit-type>subtitle</credit-type>"
        "<credit-words>take\r\ntwo</credit-words></credit>");
    EXPECT_EQ(ImportMusicXml(twoLines).lines.mid(0, 2), QStringList({ "* Title: Blues in A", "* Sub: take two" }));
    EXPECT_EQ(ImportMusicXml(cases[1].bytes).header.Tempo, 88);
    EXPECT_EQ(ImportMusicXml(cases[1].bytes).header.Patch, 33);

    // Without a TAB staff the fingering step gets the note values (an octave above the sound) in
    // playing order, with the tuning asked for, and a note it cannot place becomes a rest with a comment.
    FakeFingering fake;
    MusicXmlImportOptions options;
    options.tuning = ParseTuningNames(u"B E A D G").tuning;
    options.fingering = [&fake](const QList<QList<int>>& groups, const Tuning& t) { return fake(groups, t); };
    const MusicXmlImport fingered
        = ImportMusicXml(Score(BassList,
                             BassPart(Note("C#1", 4) + Note("B0", 4) + Note("E1", 4, QStringLiteral("<chord/>"))
                                 + Note("A0", 8) + QStringLiteral("</measure>"))),
            options);
    ASSERT_TRUE(fingered.error.isEmpty());
    EXPECT_EQ(fake.asked, QList<QList<int>>({ { 37 }, { 35, 40 }, { 33 } }));
    EXPECT_EQ(fake.tuning, options.tuning);
    EXPECT_EQ(fingered.lines,
        QStringList({ "* Title: Peer file", "* Tuning: B E A D G", "C#/Db, 2, x, x, x, x, Q", "Chord, 0, 0, x, x, x, Q",
            "* No string of the tuning plays A0", "Rest, x, x, x, x, x, H", "" }));
    EXPECT_TRUE(fingered.report.contains("1 notes no string can play written as rests."));
}

using fw::test::Zip;

// Files that are not scores, or that would make the reader work without end, are refused with a
// message that says why; none crashes or hangs.
TEST(MusicXmlImport, HostileFilesAreRefusedWithAClearMessage)
{
    const QByteArray container = "<container><rootfiles><rootfile full-path=\"s.xml\"/></rootfiles></container>";
    const QByteArray valid = Score(BassList, BassPart(Note("E1", 16) + QStringLiteral("</measure>")));
    // 40 MB of zeros inside a small archive, read with a 16 MB limit.
    const QByteArray zeros(40 << 20, '\0');
    QByteArray bomb = Zip({ { "META-INF/container.xml", container }, { "s.xml", zeros } });
    // The same archive with headers that claim the score unpacks to 100 bytes.
    QByteArray lying = bomb;
    const char small[4] = { 100, 0, 0, 0 };
    for (qsizetype at = lying.indexOf("s.xml"); at >= 0; at = lying.indexOf("s.xml", at + 1)) {
        if (lying.mid(at - 30, 4) == QByteArray("PK\x03\x04", 4))
            lying.replace(at - 30 + 22, 4, QByteArray(small, 4));
        else if (lying.mid(at - 46, 4) == QByteArray("PK\x01\x02", 4))
            lying.replace(at - 46 + 24, 4, QByteArray(small, 4));
    }
    QByteArray deep = "<score-partwise>";
    for (int i = 0; i < 10000; ++i)
        deep += "<a>";
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE score-partwise [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaa\">";
    for (char c = 'b'; c <= 'k'; ++c)
        laughs += QByteArray("<!ENTITY ") + c + " \"" + QByteArray("&") + char(c - 1) + ";" + QByteArray("&")
            + char(c - 1) + ";&" + char(c - 1) + ";\">";
    laughs += "]><score-partwise><movement-title>&k;</movement-title></score-partwise>";
    QByteArray longMeasure = valid;
    longMeasure.replace("<duration>16</duration>", "<duration>1600</duration>");
    QByteArray endless = valid;
    endless.replace("<duration>16</duration>", "<duration>99999999999999</duration>");

    struct Case {
        const char* what;
        QByteArray bytes;
        const char* message;
    };
    const QList<Case> cases {
        { "plain text", "G, 3, x, x, x, Q\r\n", "Not a MusicXML file: " },
        { "cut off XML", valid.left(valid.size() / 2), "Not a MusicXML file: " },
        { "another document", "<html><body>no</body></html>", "the document is <html>, not <score-partwise>" },
        { "a timewise score", "<score-timewise/>", "score-timewise" },
        { "deep nesting", deep, "nest deeper than 64 levels" },
        { "entities that expand without end", laughs, "Not a MusicXML file: " },
        { "a length beyond any score", endless, "lasts" },
        { "a measure of a hundred whole notes", longMeasure, "Measure 1 lasts longer than 64 whole notes" },
        { "a ZIP bomb", bomb, "more than the 16777216" },
        { "a ZIP bomb whose headers lie about its size", lying, "unpacks to more than the 16777216 bytes" },
        { "a damaged archive", bomb.left(bomb.size() / 2), "Not a compressed MusicXML file" },
        { "an archive without a score", Zip({ { "readme.txt", "hello" } }), "holds no MusicXML score" },
        { "a huge file", QByteArray(17 << 20, ' '), "more than the 16777216 a score may have" },
    };
    MusicXmlImportOptions options;
    options.maxBytes = 16 << 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MusicXmlImport imported = ImportMusicXml(c.bytes, options);
        EXPECT_TRUE(imported.lines.isEmpty());
        EXPECT_FALSE(imported.error.isEmpty());
        EXPECT_TRUE(imported.error.contains(QLatin1String(c.message))) << imported.error.toStdString();
    }
    // The same score packed properly is read.
    const MusicXmlImport packed = ImportMusicXml(Zip({ { "META-INF/container.xml", container }, { "s.xml", valid } }));
    EXPECT_TRUE(packed.error.isEmpty()) << packed.error.toStdString();
    EXPECT_EQ(packed.lines.value(1), "E, 0, x, x, x, W");
}
