// Scores written the way notation programs write them, and hostile files.
#include "MusicXml.h"
#include "QtPrinters.h"
#include "ZipBytes.h"

#include <QBuffer>
#include <ctime>
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
    QList<QList<FingeredNote>> operator()(const QList<QList<int>>& groups, const Tuning& t, int fretLimit = FretCount)
    {
        asked += groups;
        tuning = t;
        return LowestFretFingering(groups, t, fretLimit);
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
            { "2 notes of other voices dropped (voice 1 of 2 read; --voice chooses another).", "1 dynamics dropped.",
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
    options.fingering
        = [&fake](const QList<QList<int>>& groups, const Tuning& t, int limit) { return fake(groups, t, limit); };
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
    // 40 MB of a score that never ends inside a small archive, read with a 16 MB limit: the reader
    // finds nothing wrong with it until the limit is reached.
    const QByteArray zeros = QByteArray("<score-partwise>") + QByteArray(40 << 20, ' ');
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

namespace {

// A TAB staff of strings (sounding keys from the lowest), with a capo when one is given.
QString TabStaff(const QString& tuning, int capo = 0)
{
    static const char* names[] = { "C", "C", "D", "D", "E", "F", "F", "G", "G", "A", "A", "B" };
    const QStringList keys = tuning.split(u' ');
    QString staff = QStringLiteral("<clef><sign>TAB</sign><line>5</line></clef><staff-details><staff-lines>%1"
                                   "</staff-lines>")
                        .arg(keys.size());
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const int key = keys[i].toInt();
        const bool sharp = QByteArray(names[key % 12]) == QByteArray(names[(key + 11) % 12]);
        staff += QStringLiteral("<staff-tuning line=\"%1\"><tuning-step>%2</tuning-step>%3<tuning-octave>%4"
                                "</tuning-octave></staff-tuning>")
                     .arg(i + 1)
                     .arg(QLatin1String(names[key % 12]), sharp ? QStringLiteral("<tuning-alter>1</tuning-alter>") : "")
                     .arg(key / 12 - 1);
    }
    if (capo > 0)
        staff += QStringLiteral("<capo>%1</capo>").arg(capo);
    return staff + QStringLiteral("</staff-details>");
}

QString OnString(int string, int fret)
{
    return QStringLiteral("<notations><technical><string>%1</string><fret>%2</fret></technical></notations>")
        .arg(string)
        .arg(fret);
}

QString Part(const QString& id, const QString& attributes, const QString& measures)
{
    return QStringLiteral("<part id=\"%1\"><measure number=\"1\"><attributes><divisions>4</divisions>%2</attributes>")
               .arg(id, attributes)
        + measures + QStringLiteral("</measure></part>");
}

QString Listed(const QString& id, const QString& name, int program = -1)
{
    const QString midi = program < 0 ? QString()
                                     : QStringLiteral("<midi-instrument id=\"I%1\"><midi-program>%2</midi-program>"
                                                      "</midi-instrument>")
                                           .arg(id)
                                           .arg(program);
    return QStringLiteral("<score-part id=\"%1\"><part-name>%2</part-name>%3</score-part>").arg(id, name, midi);
}

const QString FClef = QStringLiteral("<clef><sign>F</sign><line>4</line></clef>");
const QString NextMeasure = QStringLiteral("</measure><measure number=\"2\">");

QString Barline(const QString& location, const QString& content)
{
    return QStringLiteral("<barline location=\"%1\">%2</barline>").arg(location, content);
}

} // namespace

// Whatever part, voice, staff, capo, repeat or duration a score holds its bass line in, every note of
// it arrives; what does not is named in the report.
TEST(MusicXmlImport, EveryNoteOfTheBassLineArrives)
{
    const QString guitarAndBass = Listed("P1", "Guitar", 25) + Listed("P2", "Bass", 34);
    const QString guitar = Part("P1", TabStaff("40 45 50 55 59 64"), Note("E4", 16, OnString(1, 0)));
    const QString bassLine = Note("E2", 4) + Note("A2", 4) + Note("D3", 4) + Note("G2", 4);
    // A continuo: the upper voice first, the bass line in voice 2.
    const QString continuo = Part("P1", FClef,
        Note("C4", 8) + Note("E4", 8) + QStringLiteral("<backup><duration>16</duration></backup>")
            + Note("C3", 4, {}, 2) + Note("G2", 4, {}, 2) + Note("A2", 4, {}, 2) + Note("F2", 4, {}, 2));
    // A line that starts on the upper staff of a part and goes on on the lower one.
    const QString twoStaves
        = Part("P1", QStringLiteral("<staves>2</staves><clef number=\"1\"><sign>G</sign><line>2</line></clef>") + FClef,
            Note("C4", 4)
                + QStringLiteral("<backup><duration>4</duration></backup><forward><duration>4</duration>"
                                 "</forward>")
                + Note("G2", 4, {}, 5, 2) + Note("A2", 4, {}, 5, 2) + Note("B2", 4, {}, 5, 2));
    // A capo at the second fret, frets written from the capo.
    const QString capo
        = Part("P1", TabStaff("28 33 38 43", 2), Note("E1", 8, OnString(4, 0)) + Note("A1", 8, OnString(3, 0)));
    QString fractional = Part("P1", FClef, Note("E2", 4) + Note("A2", 5) + Note("D3", 3) + Note("G2", 4));
    fractional.replace("<duration>5</duration>", "<duration>4.5</duration>")
        .replace("<duration>3</duration>", "<duration>3.5</duration>");
    QString thirds = Part("P1", FClef, Note("E2", 5) + Note("A2", 5) + Note("D3", 6));
    thirds.replace("<duration>5</duration>", "<duration>5.3333</duration>")
        .replace("<duration>6</duration>", "<duration>5.3334</duration>");
    const QString tie = Part(
        "P1", FClef, Note("E2", 8) + Note("A2", 8, TieStart) + NextMeasure + Note("A2", 8, TieStop) + Note("D3", 8));
    // |: A | 1. D :| 2. G | E, then a section played three times.
    const QString repeats = Part("P1", FClef,
        Barline("left", "<repeat direction=\"forward\"/>") + Note("A2", 16) + NextMeasure
            + Barline("left", "<ending number=\"1\" type=\"start\"/>") + Note("D3", 16)
            + Barline("right", "<ending number=\"1\" type=\"stop\"/><repeat direction=\"backward\"/>")
            + QStringLiteral("</measure><measure number=\"3\">")
            + Barline("left", "<ending number=\"2\" type=\"start\"/>") + Note("G2", 16)
            + Barline("right", "<ending number=\"2\" type=\"discontinue\"/>")
            + QStringLiteral("</measure><measure number=\"4\">") + Note("E2", 16)
            + Barline("right", "<repeat direction=\"backward\" times=\"3\"/>"));
    // Notation over a tablature that splits its last half note in two: no copy of each other.
    const QString notationAndTab = Part("P1",
        QStringLiteral("<staves>2</staves>") + FClef
            + TabStaff("28 33 38 43")
                  .replace("<clef>", "<clef number=\"2\">")
                  .replace("<staff-details>", "<staff-details number=\"2\">"),
        Note("E1", 4) + Note("A1", 4) + Note("D2", 8) + QStringLiteral("<backup><duration>16</duration></backup>")
            + Note("E1", 4, OnString(4, 0), 5, 2) + Note("A1", 4, OnString(3, 0), 5, 2)
            + Note("D2", 4, OnString(3, 5), 5, 2) + Note("G2", 4, OnString(1, 0), 5, 2));
    // A line of eighths with a low E held under it in a second voice.
    QString held;
    for (const char* pitch : { "A1", "C#2", "E2", "A2", "G2", "E2", "C#2", "A1" })
        held += Note(pitch, 2);
    held += QStringLiteral("<backup><duration>16</duration></backup>") + Note("E1", 16, {}, 2);
    // Notation an octave above its tablature, with no transposition to say so.
    QString octaveAbove = notationAndTab;
    octaveAbove
        .replace("<octave>1</octave></pitch><duration>4</duration><voice>1</voice>",
            "<octave>2</octave></pitch><duration>4</duration><voice>1</voice>")
        .replace("<step>D</step><octave>2</octave></pitch><duration>8</duration>",
            "<step>D</step><octave>3</octave></pitch><duration>4</duration>")
        .replace("<backup>",
            QStringLiteral("<note><pitch><step>G</step><octave>3</octave></pitch><duration>4</duration>"
                           "<voice>1</voice><staff>1</staff></note><backup>"));
    const QString low = Part("P1", FClef, Note("D1", 4) + Note("B0", 4) + Note("E1", 4) + Note("G2", 4));

    struct Case {
        const char* what;
        QByteArray bytes;
        int voice;
        bool asWritten;
        QStringList lines; // after the title
        QStringList report; // sentences among the report's
    };
    // The guitar marks the tempo for the whole score, the bass part none.
    const QString guitarTempos = Part("P1", TabStaff("40 45 50 55 59 64"),
        QStringLiteral("<sound tempo=\"90\"/>") + Note("E4", 16, OnString(1, 0)) + NextMeasure
            + QStringLiteral("<sound tempo=\"120\"/>") + Note("E4", 16, OnString(1, 0)));
    const QList<Case> cases {
        { "the tempo changes of the first part",
            Score(guitarAndBass, guitarTempos + Part("P2", FClef, Note("E2", 16) + NextMeasure + Note("A2", 16))), 0,
            false, { "E, x, x, 2, x, W", "", "* Tempo 120", "A, x, x, x, 2, W", "" },
            { "1 tempo changes kept as comments (a list has one tempo)." } },
        { "a guitar part before the bass part: the bass is read",
            Score(guitarAndBass, guitar + Part("P2", FClef, bassLine)), 0, false,
            { "E, x, x, 2, x, Q", "A, x, x, x, 2, Q", "D, x, x, x, 7, Q", "G, x, x, x, 0, Q", "" },
            { "1 other part not read (only \"Bass\" was)." } },
        { "a continuo: the bass line in the second voice is read", Score(BassList, continuo), 0, false,
            { "C, x, x, x, 5, Q", "G, x, x, x, 0, Q", "A, x, x, x, 2, Q", "F, x, x, 3, x, Q", "" },
            { "2 notes of other voices dropped (voice 2 of 2 read; --voice chooses another)." } },
        { "a continuo, its first voice asked for", Score(BassList, continuo), 1, false,
            { "* Frets: 21", "C, x, x, x, 17, H", "E, x, x, x, 21, H", "" },
            { "4 notes of other voices dropped (voice 1 of 2 read; --voice chooses another)." } },
        { "a note held under a line in a second voice: the line is read", Score(BassList, Part("P1", FClef, held)), 0,
            false,
            { "A, x, 0, x, x, E", "C#/Db, x, 4, x, x, E", "E, x, x, 2, x, E", "A, x, x, x, 2, E", "G, x, x, x, 0, E",
                "E, x, x, 2, x, E", "C#/Db, x, 4, x, x, E", "A, x, 0, x, x, E", "" },
            { "1 notes of other voices dropped (voice 1 of 2 read; --voice chooses another)." } },
        { "a line over two staves arrives whole", Score(BassList, twoStaves), 0, false,
            { "C, x, x, x, 17, Q", "G, x, x, x, 0, Q", "A, x, x, x, 2, Q", "B, x, x, x, 4, Q", "" }, {} },
        { "notation over a tablature that differs: one line, the strings of the tablature",
            Score(BassList, notationAndTab), 0, false,
            { "E, 0, x, x, x, Q", "A, x, 0, x, x, Q", "D, x, 5, x, x, Q", "G, x, x, x, 0, Q", "" }, {} },
        { "notation an octave above its tablature: the tablature is read", Score(BassList, octaveAbove), 0, false,
            { "E, 0, x, x, x, Q", "A, x, 0, x, x, Q", "D, x, 5, x, x, Q", "G, x, x, x, 0, Q", "" }, {} },
        { "a capo raises every note and fret", Score(BassList, capo), 0, false,
            { "F#/Gb, 2, x, x, x, H", "B, x, 2, x, x, H", "" }, {} },
        { "durations in fractions of a division", Score(BassList, fractional), 0, false,
            { "E, x, x, 2, x, Q", "A, x, x, x, 2, Q", "Rest, x, x, x, x, T", "D, x, x, x, 7, .E", "Rest, x, x, x, x, T",
                "G, x, x, x, 0, Q", "" },
            { "2 lengths that no single duration holds: split into a note and rests." } },
        { "triplets written in rounded divisions", Score(BassList, thirds), 0, false,
            { "E, x, x, 2, x, /W", "A, x, x, x, 2, /W", "D, x, x, x, 7, /W", "" },
            { "3 notes whose time was rounded to the nearest 96th of a quarter." } },
        { "a tie across the bar line", Score(BassList, tie), 0, false,
            { "E, x, x, 2, x, H", "A, x, x, x, 2_, H", "", "A, x, x, x, 2, H", "D, x, x, x, 7, H", "" }, {} },
        { "repeats and endings played out", Score(BassList, repeats), 0, false,
            { "* Repeat 1 of 2", "A, x, x, x, 2, W", "", "* Ending 1", "D, x, x, x, 7, W", "", "* Repeat 2 of 2",
                "A, x, x, x, 2, W", "", "* Ending 2", "G, x, x, x, 0, W", "", "* Repeat 1 of 3", "E, x, x, 2, x, W", "",
                "* Repeat 2 of 3", "E, x, x, 2, x, W", "", "* Repeat 3 of 3", "E, x, x, 2, x, W", "" },
            { "2 repeated sections played out, each pass marked by a comment.",
                "2 alternate endings played out, each pass marked by a comment." } },
        { "repeats and endings as written", Score(BassList, repeats), 0, true,
            { "* Repeat start", "A, x, x, x, 2, W", "", "* Ending 1", "D, x, x, x, 7, W", "* Repeat end x2", "",
                "* Ending 2", "G, x, x, x, 0, W", "", "E, x, x, 2, x, W", "* Repeat end x3", "" },
            { "2 repeated sections kept once with comments marking them." } },
        { "notes below E1 choose a tuning that plays them", Score(BassList, low), 0, false,
            { "* Tuning: B E A D G", "D, 3, x, x, x, x, Q", "B, 0, x, x, x, x, Q", "E, x, 0, x, x, x, Q",
                "G, x, x, x, x, 0, Q", "" },
            { "Tuning B E A D G (5 strings): it plays every note." } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MusicXmlImportOptions options;
        options.voice = c.voice;
        options.asWritten = c.asWritten;
        options.chooseTuning = true;
        const MusicXmlImport imported = ImportMusicXml(c.bytes, options);
        ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
        EXPECT_EQ(imported.lines.mid(1), c.lines);
        for (const QString& sentence : c.report)
            EXPECT_TRUE(imported.report.contains(sentence)) << imported.report.join(u'\n').toStdString();
    }
}

// One of each thing a score can hold that a list has no place for: each is named with its count, so
// nothing goes silently. Words, tempo changes and jumps stay as comments.
TEST(MusicXmlImport, TheReportNamesEverythingNotKept)
{
    const QString measure1
        = QStringLiteral(
              "<direction><direction-type><words>Funky</words></direction-type><sound tempo=\"100\"/></direction>"
              "<direction><direction-type><dynamics><mf/></dynamics></direction-type></direction>"
              "<direction><direction-type><wedge type=\"crescendo\"/></direction-type></direction>"
              "<harmony><root><root-step>E</root-step></root><kind>minor</kind></harmony>"
              "<direction><direction-type><segno/></direction-type></direction>")
        + Note("E1", 4, QStringLiteral("<lyric><text>yeah</text></lyric>"))
        + Note("G1", 4, QStringLiteral("<notations><fermata/><slur type=\"start\"/></notations>"))
        + QStringLiteral("<note><grace/><pitch><step>A</step><octave>1</octave></pitch><voice>1</voice></note>")
        + Note("A1", 4, QStringLiteral("<notations><ornaments><trill-mark/></ornaments></notations>"))
        + QStringLiteral("<note><unpitched><display-step>C</display-step><display-octave>3</display-octave>"
                         "</unpitched><duration>4</duration><voice>1</voice></note>")
        + QStringLiteral("<direction><direction-type><wedge type=\"stop\"/></direction-type></direction>");
    const QString measure2 = QStringLiteral("<sound tempo=\"140\"/>")
        + Note("B1", 8, QStringLiteral("<notations><articulations><tenuto/></articulations></notations>"))
        + QStringLiteral("<backup><duration>8</duration></backup><note><cue/><pitch><step>D</step><octave>2</octave></"
                         "pitch><duration>8</duration>"
                         "<voice>1</voice></note>")
        + Note("D2", 8) + QStringLiteral("<sound dacapo=\"yes\"/>");
    const MusicXmlImport imported
        = ImportMusicXml(Score(BassList, BassPart(measure1 + NextMeasure + measure2 + QStringLiteral("</measure>"))));
    ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
    EXPECT_EQ(imported.lines,
        QStringList(
            { "* Title: Peer file", "* Funky", "* Segno", "E, 0, x, x, x, Q", "G, 3, x, x, x, Q", "A, x, 0, x, x, Q",
                "Rest, x, x, x, x, Q", "", "* Da capo", "* Tempo 140", "B, x, 2, x, x, H", "D, x, x, 0, x, H", "" }));
    EXPECT_EQ(imported.report,
        QStringList(
            { "1 grace notes dropped.", "1 cue notes dropped.", "1 dynamics dropped.", "1 \"fermata\" marks dropped.",
                "1 \"harmony\" marks dropped.", "1 lyrics dropped.", "1 \"slur\" marks dropped.",
                "1 \"tenuto\" marks dropped.", "1 \"trill-mark\" marks dropped.", "1 \"wedge\" marks dropped.",
                "1 unpitched notes written as rests.", "5 notes without string and fret were fingered.",
                "2 jumps (da capo, dal segno, coda, fine) kept as comments, not played out.",
                "1 tempo changes kept as comments (a list has one tempo)." }));
    EXPECT_EQ(imported.header.Tempo, 100);

    // A note on the other staff that sounds only while a held note does.
    const MusicXmlImport held = ImportMusicXml(Score(BassList,
        Part("P1", QStringLiteral("<staves>2</staves>") + FClef,
            Note("E1", 16) + QStringLiteral("<backup><duration>12</duration></backup>") + Note("A1", 4, {}, 5, 2))));
    EXPECT_EQ(held.lines.mid(1), QStringList({ "E, 0, x, x, x, W", "" }));
    EXPECT_TRUE(
        held.report.contains("1 notes sounding only while an earlier one of their voice still sounds dropped."));

    // Words that read like the list's own settings stay ordinary comments.
    QString settings;
    for (const char* words : { "Tuning: D A D G", "Time: 7/4", "Frets: 24", "count off 12", "Song title: Intro" })
        settings += QStringLiteral("<direction><direction-type><words>%1</words></direction-type></direction>")
                        .arg(QLatin1String(words));
    const MusicXmlImport worded
        = ImportMusicXml(Score(BassList, BassPart(settings + Note("E1", 16) + QStringLiteral("</measure>"))));
    EXPECT_EQ(worded.lines,
        QStringList({ "* Title: Peer file", "*  Tuning: D A D G", "*  Time: 7/4", "*  Frets: 24", "*  count off 12",
            "* Song title - Intro", "E, 0, x, x, x, W", "" }));
}

// The parts as the chooser and --list-tracks show them, --track and --voice, and a score of 100,000
// parts listed and read in a time that grows with the parts, not with their square.
TEST(MusicXmlImport, PartsAreListedAndChosen)
{
    const QString continuo = Part("P3", FClef,
        Note("C4", 8) + Note("E4", 8) + QStringLiteral("<backup><duration>16</duration></backup>")
            + Note("C3", 4, {}, 2) + Note("G2", 4, {}, 2) + Note("A2", 4, {}, 2) + Note("F2", 4, {}, 2));
    const QByteArray score = Score(Listed("P1", "Guitar", 25) + Listed("P2", "Bass", 34) + Listed("P3", "Continuo"),
        Part("P1", TabStaff("40 45 50 55 59 64"), Note("E4", 16, OnString(1, 0)))
            + Part("P2", FClef, Note("E2", 4) + Note("A2", 4) + Note("D3", 4) + Note("G2", 4)) + continuo);
    QString error;
    const auto parts = ListMusicXmlParts(score, MaxMusicXmlBytes, error);
    ASSERT_TRUE(parts) << error.toStdString();
    const auto row = [](const MusicXmlPart& part) {
        return QStringLiteral("%1|%2|%3-%4|%5|%6|%7|%8")
            .arg(part.name, part.instrument)
            .arg(part.lowest)
            .arg(part.highest)
            .arg(part.strings)
            .arg(part.notes)
            .arg(part.voices)
            .arg(part.chosen);
    };
    QStringList rows;
    for (const MusicXmlPart& part : *parts)
        rows.append(row(part));
    EXPECT_EQ(rows,
        QStringList({ "Guitar|Guitar|64-64|6|1|1|0", "Bass|Bass|40-50|0|4|1|1", "Continuo|Continuo|41-64|0|6|2|0" }));

    MusicXmlImportOptions options;
    options.track = 3;
    EXPECT_EQ(ImportMusicXml(score, options).lines.mid(1, 2), QStringList({ "C, x, x, x, 5, Q", "G, x, x, x, 0, Q" }));
    options.voice = 1;
    EXPECT_EQ(ImportMusicXml(score, options).lines.mid(1, 1), QStringList({ "C, x, x, x, 17, H" }));
    options.voice = 3;
    EXPECT_EQ(ImportMusicXml(score, options).error, "The part has no voice 3: it has 2.");
    options = {};
    options.track = 4;
    EXPECT_EQ(ImportMusicXml(score, options).error, "The score has no part 4: it has 3.");

    QString list;
    QString many;
    for (int i = 0; i < 100'000; ++i) {
        list += Listed(QStringLiteral("P%1").arg(i), QStringLiteral("Part %1").arg(i));
        many += Part(QStringLiteral("P%1").arg(i), FClef, Note(i == 70'000 ? "E1" : "E2", 16));
    }
    const QByteArray large = Score(list, many);
    // Processor time, so that other work on the machine does not count.
    const std::clock_t start = std::clock();
    const auto listed = ListMusicXmlParts(large, MaxMusicXmlBytes, error);
    const MusicXmlImport imported = ImportMusicXml(large);
    // About three seconds together on a slow machine; reading each part's entry anew took over half a minute.
    EXPECT_LT(double(std::clock() - start) / CLOCKS_PER_SEC, 10.0);
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->size(), 100'000);
    EXPECT_TRUE(listed->at(70'000).chosen);
    EXPECT_EQ(imported.lines.mid(1), QStringList({ "E, 0, x, x, x, W", "" }));
    EXPECT_TRUE(imported.report.contains("99999 other parts not read (only \"Part 70000\" was)."));
}
