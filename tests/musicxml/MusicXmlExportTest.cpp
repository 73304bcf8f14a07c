// The written score read back with Qt's XML reader, and chord lists carried through a score and back.
#include "ChordList.h"
#include "DocumentText.h"
#include "MusicXml.h"
#include "MusicXmlScore.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace fw;

namespace {

// One note element as read back from the file.
struct WrittenNote {
    int measure = 0;
    int staff = 0;
    bool chord = false;
    bool rest = false;
    QString pitch; // "F#3"
    int duration = 0;
    QString type;
    bool dot = false;
    bool triplet = false;
    int string = 0;
    int fret = -1;
};

struct WrittenScore {
    QString title;
    QStringList credits;
    int program = 0;
    int tempo = 0;
    int staves = 0;
    int staffLines = 0;
    QStringList tuning; // "E1", lowest line first
    int octaveChange = 0;
    QList<int> backups;
    QList<WrittenNote> notes;
};

WrittenScore ReadBack(const QByteArray& bytes)
{
    static const QStringList Leaves { "work-title", "credit-words", "midi-program", "staves", "staff-lines",
        "tuning-step", "tuning-alter", "tuning-octave", "clef-octave-change", "duration", "step", "alter", "octave",
        "type", "staff", "string", "fret" };
    WrittenScore score;
    QXmlStreamReader xml(bytes);
    int measure = 0;
    WrittenNote note;
    QString step, alter, tuningStep, tuningAlter;
    QStringList path;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            path.append(xml.name().toString());
            const QString name = path.last();
            const QString parent = path.value(path.size() - 2);
            if (name == u"measure")
                ++measure;
            else if (name == u"note") {
                note = WrittenNote();
                note.measure = measure;
            } else if (name == u"chord")
                note.chord = true;
            else if (name == u"rest")
                note.rest = true;
            else if (name == u"dot")
                note.dot = true;
            else if (name == u"time-modification")
                note.triplet = true;
            else if (name == u"sound")
                score.tempo = xml.attributes().value(QLatin1String("tempo")).toInt();
            else if (name == u"staff-tuning")
                tuningAlter.clear();
            else if (name == u"pitch")
                alter.clear();
            else if (Leaves.contains(name)) {
                const QString text = xml.readElementText();
                path.removeLast();
                if (name == u"work-title")
                    score.title = text;
                else if (name == u"credit-words")
                    score.credits.append(text);
                else if (name == u"midi-program")
                    score.program = text.toInt();
                else if (name == u"staves")
                    score.staves = text.toInt();
                else if (name == u"staff-lines")
                    score.staffLines = text.toInt();
                else if (name == u"tuning-step")
                    tuningStep = text;
                else if (name == u"tuning-alter")
                    tuningAlter = text == u"1" ? QStringLiteral("#") : QStringLiteral("b");
                else if (name == u"tuning-octave")
                    score.tuning.append(tuningStep + tuningAlter + text);
                else if (name == u"clef-octave-change")
                    score.octaveChange = text.toInt();
                else if (name == u"duration" && parent == u"backup")
                    score.backups.append(text.toInt());
                else if (name == u"duration" && parent == u"note")
                    note.duration = text.toInt();
                else if (name == u"step")
                    step = text;
                else if (name == u"alter")
                    alter = text == u"1" ? QStringLiteral("#") : text;
                else if (name == u"octave")
                    note.pitch = step + alter + text;
                else if (name == u"type")
                    note.type = text;
                else if (name == u"staff" && parent == u"note")
                    note.staff = text.toInt();
                else if (name == u"string")
                    note.string = text.toInt();
                else if (name == u"fret")
                    note.fret = text.toInt();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (path.last() == u"note")
                score.notes.append(note);
            path.removeLast();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return score;
}

} // namespace

// Every duration form, a chord, a rest, a bar of another length and an alternate tuning, read back
// note by note against what a bass player writes for them.
TEST(MusicXmlExport, StavesTuningPitchesAndEveryDurationForm)
{
    struct Form {
        const char* text;
        int duration;
        const char* type;
        bool dot;
        bool triplet;
    };
    // At 96 divisions per quarter; "/Q" lasts a third of a quarter: a triplet eighth.
    const Form forms[] = { { "W", 384, "whole", false, false }, { ".W", 576, "whole", true, false },
        { "/W", 128, "half", false, true }, { "H", 192, "half", false, false }, { ".H", 288, "half", true, false },
        { "/H", 64, "quarter", false, true }, { "Q", 96, "quarter", false, false },
        { ".q", 144, "quarter", true, false }, { "/Q", 32, "eighth", false, true }, { "E", 48, "eighth", false, false },
        { ".E", 72, "eighth", true, false }, { "/e", 16, "16th", false, true }, { "S", 24, "16th", false, false },
        { ".S", 36, "16th", true, false }, { "/S", 8, "32nd", false, true }, { "T", 12, "32nd", false, false },
        { ".T", 18, "32nd", true, false }, { "/T", 4, "64th", false, true }, { "F", 6, "64th", false, false },
        { ".F", 9, "64th", true, false }, { "/F", 2, "128th", false, true } };
    QStringList lines { QStringLiteral("* Title: Drop D study"), QStringLiteral("* Sub: all the lengths"),
        QStringLiteral("* Tuning: D A D G"), QStringLiteral("*Count Off 4"), QStringLiteral("* a comment") };
    // Bar 1: one line per form, the open low D string; bar 2: a chord and a rest.
    for (const Form& form : forms)
        lines.append(QStringLiteral("D, 0, x, x, x, ") + QLatin1String(form.text));
    lines << QString() << QString() << QStringLiteral("Chord, 2, 4, x, 1, H") << QStringLiteral("Rest, x, x, x, x, Q")
          << QString();
    DocumentHeader header;
    header.Tempo = 97;
    header.Patch = 35;
    const MusicXmlExport exported = ExportMusicXml(lines, header, MusicXmlContainer::Plain);
    ASSERT_TRUE(exported.error.isEmpty()) << exported.error.toStdString();
    const WrittenScore score = ReadBack(exported.bytes);

    EXPECT_EQ(score.title, "Drop D study");
    // One credit: the subtitle on its own line below the title.
    EXPECT_EQ(score.credits, QStringList({ "Drop D study", "\nall the lengths" }));
    EXPECT_EQ(score.program, 36);
    EXPECT_EQ(score.tempo, 97);
    EXPECT_EQ(score.staves, 2);
    EXPECT_EQ(score.staffLines, 4);
    EXPECT_EQ(score.tuning, QStringList({ "D1", "A1", "D2", "G2" }));
    EXPECT_EQ(score.octaveChange, -1);
    int firstBar = 0;
    for (const Form& form : forms)
        firstBar += form.duration;
    // Each bar as long as its lines, not padded to the time signature.
    EXPECT_EQ(score.backups, QList<int>({ firstBar, 192 + 96 }));

    const int formCount = static_cast<int>(std::size(forms));
    ASSERT_EQ(score.notes.size(), 2 * (formCount + 4));
    for (int staff = 1; staff <= 2; ++staff) {
        // Measure by measure, the notation staff's notes before the TAB staff's.
        const qsizetype base = (staff - 1) * formCount;
        const qsizetype second = 2 * formCount + (staff - 1) * 4;
        for (int i = 0; i < formCount; ++i) {
            const WrittenNote& note = score.notes[base + i];
            SCOPED_TRACE(std::string(forms[i].text) + " on staff " + std::to_string(staff));
            EXPECT_EQ(note.staff, staff);
            EXPECT_EQ(note.measure, 1);
            EXPECT_EQ(note.pitch, "D1"); // as it sounds; the clef shows it an octave above
            EXPECT_EQ(note.duration, forms[i].duration);
            EXPECT_EQ(note.type, forms[i].type);
            EXPECT_EQ(note.dot, forms[i].dot);
            EXPECT_EQ(note.triplet, forms[i].triplet);
            EXPECT_EQ(note.string, staff == 2 ? 4 : 0);
            EXPECT_EQ(note.fret, staff == 2 ? 0 : -1);
        }
        // The chord from the lowest string up (D fret 2, A fret 4, G fret 1), then the rest.
        const QStringList pitches { "E1", "C#2", "G#2" };
        const int strings[] = { 4, 3, 1 };
        const int frets[] = { 2, 4, 1 };
        for (int k = 0; k < 3; ++k) {
            const WrittenNote& note = score.notes[second + k];
            EXPECT_EQ(note.measure, 2);
            EXPECT_EQ(note.chord, k > 0);
            EXPECT_EQ(note.pitch, pitches[k]);
            EXPECT_EQ(note.string, staff == 2 ? strings[k] : 0);
            EXPECT_EQ(note.fret, staff == 2 ? frets[k] : -1);
        }
        const WrittenNote& rest = score.notes[second + 3];
        EXPECT_TRUE(rest.rest);
        EXPECT_EQ(rest.duration, 96);
        EXPECT_EQ(rest.staff, staff);
    }

    // A line in error stops the export with the parser's message.
    lines.insert(7, QStringLiteral("G, 3, x, x, Q"));
    EXPECT_EQ(ExportMusicXml(lines, header, MusicXmlContainer::Plain).error, "Line 8    Not enough commas.");
    EXPECT_FALSE(
        ExportMusicXml({ QStringLiteral("* only a comment") }, header, MusicXmlContainer::Compressed).error.isEmpty());
}

namespace {

// A chord list reduced to what a score keeps: titles, tuning, and per bar the frets by slot and the
// duration of each line.
struct Essence {
    QString title;
    QString subtitle;
    Tuning tuning;
    QList<QList<QPair<FretArray, QString>>> bars;
    friend bool operator==(const Essence&, const Essence&) = default;
};

Essence EssenceOf(const musicxml::ScoreInput& score)
{
    Essence essence { score.title, score.subtitle, score.tuning, {} };
    for (const auto& bar : score.bars) {
        QList<QPair<FretArray, QString>> entries;
        for (const musicxml::ScoreEntry& entry : bar)
            entries.append({ entry.frets, entry.duration.toUpper() });
        essence.bars.append(entries);
    }
    return essence;
}

std::string Describe(const Essence& essence)
{
    std::string text = essence.title.toStdString() + " / " + essence.subtitle.toStdString() + " / "
        + essence.tuning.namesText().toStdString() + "\n";
    for (const auto& bar : essence.bars) {
        for (const auto& entry : bar) {
            for (int slot = 1; slot <= 6; ++slot)
                text += std::to_string(entry.first[slot]) + ",";
            text += entry.second.toStdString() + " ";
        }
        text += "|\n";
    }
    return text;
}

musicxml::ScoreInput RandomScore(QRandomGenerator& random, const Tuning& tuning)
{
    static const char* Durations[] = { "W", ".W", "/W", "H", ".H", "/H", "Q", ".Q", "/Q", "E", ".E", "/E", "S", ".S",
        "/S", "T", ".T", "/T", "F", ".F", "/F" };
    musicxml::ScoreInput score;
    score.tuning = tuning;
    score.title = QStringLiteral("Random <&> %1").arg(random.bounded(1000));
    for (int b = 0, bars = random.bounded(1, 8); b < bars; ++b) {
        QList<musicxml::ScoreEntry> bar;
        for (int e = 0, entries = random.bounded(1, 10); e < entries; ++e) {
            musicxml::ScoreEntry entry;
            for (int slot = tuning.firstSlot(); slot <= 6; ++slot) {
                if (random.bounded(3) == 0)
                    entry.frets[slot] = random.bounded(FretCount + 1);
            }
            entry.duration = QLatin1String(Durations[random.bounded(21)]);
            bar.append(entry);
        }
        score.bars.append(bar);
    }
    return score;
}

} // namespace

// Chord lists through a score and back keep frets, durations, bars and titles: the examples, plain
// and compressed, and generated lists on four, five and six strings.
TEST(MusicXmlExport, RoundTripKeepsFretsDurationsBarsAndTitles)
{
    const QStringList examples = QDir(QStringLiteral(FW_SOURCE_DIR "/examples")).entryList({ "*.bss" });
    ASSERT_GE(examples.size(), 3);
    for (const QString& name : examples) {
        for (const MusicXmlContainer container : { MusicXmlContainer::Plain, MusicXmlContainer::Compressed }) {
            SCOPED_TRACE(name.toStdString());
            const LoadedDocument document
                = ParseDocumentBytes(test::ReadFileBytes(QStringLiteral(FW_SOURCE_DIR "/examples/") + name));
            const MusicXmlExport exported = ExportMusicXml(document.lines, document.header, container);
            ASSERT_TRUE(exported.error.isEmpty());
            const MusicXmlImport imported = ImportMusicXml(exported.bytes);
            ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
            EXPECT_EQ(imported.report, QStringList());
            EXPECT_EQ(imported.header.Tempo, document.header.Tempo);
            EXPECT_EQ(imported.header.Patch, document.header.Patch);
            // The count-off comes back as the list's own line.
            EXPECT_EQ(imported.lines.filter(QStringLiteral("*Count Off ")),
                document.lines.filter(QStringLiteral("*Count Off ")));
            QString error;
            const auto before = musicxml::ScoreFromLines(document.lines, document.header, error);
            const auto after = musicxml::ScoreFromLines(imported.lines, imported.header, error);
            ASSERT_TRUE(before && after) << error.toStdString();
            EXPECT_EQ(EssenceOf(*before), EssenceOf(*after)) << Describe(EssenceOf(*after));
            // Lines come back in canonical form, named by automatic naming, as the examples are written.
            QStringList notes;
            for (const QString& line : AutoNameLines(document.lines))
                if (!line.startsWith(u'*') && !(line.isEmpty() && (notes.isEmpty() || notes.last().isEmpty())))
                    notes.append(line);
            QStringList back = imported.lines.filter(QRegularExpression(QStringLiteral("^[^*]|^$")));
            while (!back.isEmpty() && back.first().isEmpty())
                back.removeFirst();
            if (!notes.isEmpty() && !notes.last().isEmpty())
                notes.append(QString());
            EXPECT_EQ(back, notes);
        }
    }

    QRandomGenerator random(16);
    const QStringList tunings { "E A D G", "D A D G", "B E A D G", "E A D G C", "B E A D G C", "F# B E A D G" };
    for (const QString& names : tunings) {
        const Tuning tuning = ParseTuningNames(names).tuning;
        for (int run = 0; run < 25; ++run) {
            const musicxml::ScoreInput score = RandomScore(random, tuning);
            const MusicXmlImport imported = ImportMusicXml(musicxml::WriteScoreXml(score));
            ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
            EXPECT_EQ(imported.report, QStringList());
            // Lines with five or six fret fields are read back here by their tuning, field by field.
            Essence back { {}, {}, TuningOfLines(imported.lines), {} };
            QList<QPair<FretArray, QString>> bar;
            for (const QString& line : imported.lines) {
                if (line.startsWith(QStringLiteral("* Title: ")))
                    back.title = line.mid(9);
                else if (line.isEmpty()) {
                    back.bars.append(bar);
                    bar.clear();
                } else if (!line.startsWith(u'*')) {
                    const QStringList fields = line.split(QStringLiteral(", "));
                    ASSERT_EQ(fields.size(), tuning.stringCount() + 2) << line.toStdString();
                    FretArray frets = NoFrets;
                    for (int s = 0; s < tuning.stringCount(); ++s)
                        frets[6 - s] = fields[1 + s] == u"x" ? NotPlayedFret : fields[1 + s].toInt();
                    ChordDef def;
                    def.Frets = frets;
                    EXPECT_EQ(fields[0], AutomaticName(def, tuning));
                    bar.append({ frets, fields.last() });
                }
            }
            EXPECT_EQ(back, EssenceOf(score)) << Describe(back) << "\nexpected\n" << Describe(EssenceOf(score));
        }
    }
}
