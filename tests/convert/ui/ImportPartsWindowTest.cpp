#include "MainWindowFixture.h"

#include "FakeFileDialogs.h"
#include "GuitarProWriter.h"
#include "ImportPartsDialog.h"
#include "PartFormats.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <sys/resource.h>

using namespace fw;

namespace {

// Answers the chooser as a user would, on the real dialog shown without its own event loop: the keys
// are typed where the focus is, from the list the dialog opens in.
struct KeyboardPartPrompt : ImportPartPrompt {
    QList<Qt::Key> keys;
    int asked = 0;
    QString label;
    QStringList header;
    QList<QStringList> rows;
    QString selectedAtFirst;
    bool voiceEnabledAtFirst = true;
    QStringList accessibleNames;

    std::optional<PartChoice> choose(QWidget* parent, const QString& fileName, const QList<ImportPart>& parts) override
    {
        ++asked;
        ImportPartsDialog dialog(parent);
        dialog.setParts(fileName, parts);
        dialog.show();
        // As the window system does for a dialog that opens; the offscreen platform leaves it to us.
        dialog.activateWindow();
        if (!QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; }, 2000))
            ADD_FAILURE() << "the chooser did not become active";
        label = dialog.lblParts->text();
        for (int column = 0; column < dialog.lstParts->columnCount(); ++column)
            header << dialog.lstParts->headerItem()->text(column);
        for (int row = 0; row < dialog.lstParts->topLevelItemCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < dialog.lstParts->columnCount(); ++column)
                cells << dialog.lstParts->topLevelItem(row)->text(column);
            rows << cells;
        }
        selectedAtFirst = dialog.lstParts->currentItem()->text(1);
        voiceEnabledAtFirst = dialog.spnVoice->isEnabled();
        for (QWidget* control : std::initializer_list<QWidget*> { dialog.lstParts, dialog.spnVoice, dialog.btnOK })
            accessibleNames << control->accessibleName();
        EXPECT_EQ(QApplication::focusWidget(), dialog.lstParts);
        for (Qt::Key key : keys)
            QTest::keyClick(QApplication::focusWidget(), key);
        if (dialog.result() != QDialog::Accepted)
            return std::nullopt;
        return dialog.choice();
    }
};

struct PartsWindow : MainWindowFixture {
    FakeFileDialogs dialogs;
    KeyboardPartPrompt prompt;
    QTemporaryDir dir;
    FormatRegistry formats = test::PartFormats();

    PartsWindow()
    {
        window.setFileDialogs(&dialogs);
        window.setImportPartPrompt(&prompt);
        window.setImportFormats(&formats);
    }
    QString partsFile()
    {
        const QString path = dir.filePath(QStringLiteral("trio.parts"));
        EXPECT_TRUE(test::WriteFileBytes(path, test::ThreePartFile));
        return path;
    }
};

} // namespace

// File > Import... of a file of several parts shows its parts with the bass selected; the keys pick
// another part and voice, and that is what opens.
TEST_F(PartsWindow, ChooserPicksThePartAndVoiceByKeys)
{
    struct Case {
        const char* what;
        QList<Qt::Key> keys;
        QStringList lines; // empty: cancelled, nothing opened
    };
    const Case cases[] = {
        { "Enter takes the default, the bass", { Qt::Key_Return }, { "* Bass, voice 1", "E, 0, x, x, x, H" } },
        { "Up, Enter: the guitar before it", { Qt::Key_Up, Qt::Key_Return },
            { "* Guitar, voice 1", "D, x, 5, x, x, Q" } },
        { "Down to the continuo, Tab to its voices, the second one",
            { Qt::Key_Down, Qt::Key_Tab, Qt::Key_Up, Qt::Key_Up, Qt::Key_Enter },
            { "* Continuo, voice 2", "G, x, x, 5, x, W" } },
        { "Escape imports nothing", { Qt::Key_Down, Qt::Key_Escape }, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.RichEdit1->setPlainText(QStringLiteral("A, x, 0, x, x, Q"));
        window.Modified = false;
        prompt = KeyboardPartPrompt();
        prompt.keys = c.keys;
        dialogs.nextOpen = partsFile();
        child<QAction>("Import1")->trigger();

        ASSERT_EQ(prompt.asked, 1);
        EXPECT_EQ(prompt.label, QStringLiteral("&Parts of \"trio.parts\"; the selected one is imported:"));
        EXPECT_EQ(prompt.header, QStringList({ "Track", "Name", "Instrument", "Range", "Strings", "Notes", "Voices" }));
        EXPECT_EQ(
            prompt.rows.value(0), QStringList({ "1", "Guitar", "Acoustic Guitar (steel)", "E2-E5", "6", "1", "1" }));
        EXPECT_EQ(prompt.rows.value(2), QStringList({ "3", "Continuo", "Cello", "C2-D4", "-", "2", "2" }));
        EXPECT_EQ(prompt.selectedAtFirst, QStringLiteral("Bass"));
        EXPECT_FALSE(prompt.voiceEnabledAtFirst);
        EXPECT_EQ(prompt.accessibleNames, QStringList({ "Parts", "Voice", "OK" }));
        if (c.lines.isEmpty()) {
            EXPECT_EQ(text(), QStringLiteral("A, x, 0, x, x, Q"));
            continue;
        }
        EXPECT_EQ(text().split(u'\n').mid(0, c.lines.size()), c.lines);
        EXPECT_EQ(window.lblFilename->text(), QStringLiteral("trio.bss"));
    }
}

// A Guitar Pro song opens the same way: its guitar, five-string bass and drums listed with their
// tunings, the bass selected, and Enter imports it in its own tuning.
TEST_F(PartsWindow, GuitarProSongOpensItsBassTrack)
{
    using namespace guitarpro;
    window.setImportFormats(nullptr);
    Score song;
    song.title = QStringLiteral("Five");
    song.measures.resize(1);
    Track guitar = test::GpTrack(QStringLiteral("Lead"), 29, { 64, 59, 55, 50, 45, 40 }, 1);
    guitar.measures[0].voices[0] = { test::GpBeat(1, { test::GpNote(1, 12) }) };
    Track bass = test::GpTrack(QStringLiteral("Bass"), 33, { 43, 38, 33, 28, 23 }, 1);
    bass.measures[0].voices[0] = { test::GpBeat(2, { test::GpNote(5, 0) }), test::GpBeat(2, { test::GpNote(4, 5) }) };
    Track drums = test::GpTrack(QStringLiteral("Drums"), 0, { 0, 0, 0, 0, 0, 0 }, 1);
    drums.percussion = true;
    drums.measures[0].voices[0] = { test::GpBeat(1, { test::GpNote(1, 36) }) };
    song.tracks = { guitar, bass, drums };
    const QString path = dir.filePath(QStringLiteral("five.gp5"));
    ASSERT_TRUE(test::WriteFileBytes(path, test::WriteGuitarPro(song, 510)));
    prompt.keys = { Qt::Key_Return };
    dialogs.nextOpen = path;
    child<QAction>("Import1")->trigger();

    ASSERT_EQ(prompt.asked, 1);
    EXPECT_EQ(prompt.rows,
        QList<QStringList>({ { "1", "Lead", "Overdriven Guitar, tuned E A D G B E", "E5-E5", "6", "1", "1" },
            { "2", "Bass", "Electric Bass (finger), tuned B E A D G", "B0-A1", "5", "2", "1" },
            { "3", "Drums", "Percussion", "-", "6", "1", "1" } }));
    EXPECT_EQ(prompt.selectedAtFirst, QStringLiteral("Bass"));
    EXPECT_EQ(
        text(), QStringLiteral("* Title: Five\n* Tuning: B E A D G\nB, 0, x, x, x, x, H\nA, x, 5, x, x, x, H\n\n"));
    EXPECT_EQ(window.lblFilename->text(), QStringLiteral("five.bss"));
}

// A MusicXML score read by the real reader: a guitar, the bass and a continuo of two voices. The bass
// is offered first; the keys pick the continuo and its upper voice instead.
TEST_F(PartsWindow, AScoreOpensWithItsBassOrThePartAndVoiceChosen)
{
    window.setImportFormats(nullptr);
    const auto note = [](const char* step, int octave, int duration, int voice) {
        return QStringLiteral("<note><pitch><step>%1</step><octave>%2</octave></pitch><duration>%3</duration>"
                              "<voice>%4</voice></note>")
            .arg(QLatin1String(step))
            .arg(octave)
            .arg(duration)
            .arg(voice);
    };
    const QString attributes = QStringLiteral("<attributes><divisions>1</divisions><clef><sign>F</sign>"
                                              "<line>4</line></clef></attributes>");
    const QString score = QStringLiteral("<score-partwise version=\"3.1\"><part-list>"
                                         "<score-part id=\"G\"><part-name>Guitar</part-name></score-part>"
                                         "<score-part id=\"B\"><part-name>Bass</part-name></score-part>"
                                         "<score-part id=\"C\"><part-name>Continuo</part-name></score-part>"
                                         "</part-list><part id=\"G\"><measure number=\"1\">")
        + attributes + note("E", 4, 4, 1) + QStringLiteral("</measure></part><part id=\"B\"><measure number=\"1\">")
        + attributes + note("E", 2, 2, 1) + note("A", 2, 2, 1)
        + QStringLiteral("</measure></part><part id=\"C\"><measure number=\"1\">") + attributes + note("C", 4, 4, 1)
        + QStringLiteral("<backup><duration>4</duration></backup>") + note("C", 3, 4, 2)
        + QStringLiteral("</measure></part></score-partwise>");
    const QString path = dir.filePath(QStringLiteral("trio.musicxml"));
    ASSERT_TRUE(test::WriteFileBytes(path, score.toUtf8()));

    struct Case {
        const char* what;
        QList<Qt::Key> keys;
        QString firstNote;
    };
    const Case cases[] = {
        { "Enter takes the bass", { Qt::Key_Return }, QStringLiteral("E, x, x, 2, x, H") },
        { "the continuo's upper voice", { Qt::Key_Down, Qt::Key_Tab, Qt::Key_Up, Qt::Key_Return },
            QStringLiteral("C, x, x, x, 17, W") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.Modified = false;
        prompt = KeyboardPartPrompt();
        prompt.keys = c.keys;
        dialogs.nextOpen = path;
        child<QAction>("Import1")->trigger();

        ASSERT_EQ(prompt.asked, 1);
        EXPECT_EQ(prompt.rows,
            QList<QStringList>(
                { { "1", "Guitar", "Guitar", "E4-E4", "-", "1", "1" }, { "2", "Bass", "Bass", "E2-A2", "-", "2", "1" },
                    { "3", "Continuo", "Continuo", "C3-C4", "-", "2", "2" } }));
        EXPECT_EQ(prompt.selectedAtFirst, QStringLiteral("Bass"));
        EXPECT_TRUE(text().split(u'\n').contains(c.firstNote)) << text().toStdString();
    }
}

// Running out of memory while importing is an error box; the list on screen and its unsaved changes
// stay as they were, and the window goes on working.
TEST_F(PartsWindow, OutOfMemoryKeepsTheOpenListAndItsChanges)
{
    formats = test::PartFormats(true);
    window.RichEdit1->setPlainText(QStringLiteral("G, 3, x, x, x, Q"));
    type(QStringLiteral("x"));
    ASSERT_TRUE(window.Modified);
    const QString before = text();
    boxes.answer = MessageBoxes::Answer::No;
    dialogs.nextOpen = partsFile();
    child<QAction>("Import1")->trigger();

    EXPECT_EQ(boxes.errors,
        QStringList { QStringLiteral("There is not enough memory to import \"%1\".")
                          .arg(QDir::toNativeSeparators(dialogs.nextOpen)) });
    EXPECT_EQ(prompt.asked, 0);
    EXPECT_EQ(text(), before);
    EXPECT_TRUE(window.Modified);
    QTest::keyClick(window.RichEdit1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), QStringLiteral("G, 3, x, x, x, Q"));
}

// A tab file of 3 GB (sparse: it takes no disk) is refused from its size, before the import dialog
// and before any of it is held in memory.
TEST_F(PartsWindow, AHugeTabIsRefusedBeforeItIsRead)
{
    window.setImportFormats(nullptr);
    QFile huge(dir.filePath(QStringLiteral("huge.tab")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(3) << 30));
    huge.close();
    dialogs.nextOpen = huge.fileName();
    child<QAction>("Import1")->trigger();

    EXPECT_EQ(boxes.errors,
        QStringList { QStringLiteral("Can't import \"%1\": The file is too large for a tab: 3072 MB (at most 64 MB).")
                          .arg(QDir::toNativeSeparators(huge.fileName())) });
    rusage usage {};
    ASSERT_EQ(getrusage(RUSAGE_SELF, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 1024L * 1024) << "kB at the most";
}

// A MIDI file through the real readers: its tracks in the chooser, the bass line below a bass lead
// selected; Up takes the lead instead.
TEST_F(PartsWindow, MidiTracksInTheChooser)
{
    window.setImportFormats(nullptr);
    const auto track = [](const char* hex) {
        const QByteArray events = QByteArray::fromHex(hex) + QByteArray::fromHex("00ff2f00");
        const qsizetype size = events.size();
        return QByteArray("MTrk") + char(size >> 24) + char(size >> 16) + char(size >> 8) + char(size) + events;
    };
    const QByteArray song = QByteArray::fromHex("4d546864 00000006 0001 0004 0060") + track("00ff510307a120")
        + track("00ff03094c65616420626173 73 00c121 00913764 60813700")
        + track("00ff030442617373 00c222 00921c64 60821c00") + track("00992464 30892400");
    const QString path = dir.filePath(QStringLiteral("band.mid"));
    ASSERT_TRUE(test::WriteFileBytes(path, song));
    const std::pair<QList<Qt::Key>, QString> cases[]
        = { { { Qt::Key_Return }, "E, 0, x, x, x, Q" }, { { Qt::Key_Up, Qt::Key_Return }, "G, x, x, x, 12, Q" } };
    for (const auto& [keys, line] : cases) {
        window.Modified = false;
        prompt = KeyboardPartPrompt();
        prompt.keys = keys;
        dialogs.nextOpen = path;
        child<QAction>("Import1")->trigger();

        ASSERT_EQ(prompt.asked, 1);
        EXPECT_EQ(prompt.rows,
            QList<QStringList>({ { "2", "Lead bass", "Electric Bass (finger)", "G3-G3", "-", "1", "1" },
                { "3", "Bass", "Electric Bass (pick)", "E1-E1", "-", "1", "1" },
                { "4", "-", "Percussion", "C2-C2", "-", "1", "1" } }));
        EXPECT_EQ(prompt.selectedAtFirst, QStringLiteral("Bass"));
        EXPECT_EQ(text().split(u'\n').value(0), line);
    }
}
