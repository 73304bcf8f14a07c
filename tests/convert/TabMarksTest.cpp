// Web tabs with playing techniques read into marked lists, odd and misused marks reported, and our
// own ASCII tab of the marked examples read back with its marks.
#include "AsciiTab.h"
#include "AsciiTabReader.h"
#include "DocumentText.h"
#include "LineParser.h"
#include "ListCheck.h"
#include "QtPrinters.h"
#include "SpecialLines.h"
#include "TabBuilder.h"
#include "TestFiles.h"
#include "Tuning.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

fw::TabImport Import(const QStringList& tab, fw::TabRhythm rhythm = fw::TabRhythm::Uniform)
{
    fw::TabImportOptions options;
    options.rhythm = rhythm;
    return fw::ImportAsciiTabText(tab.join(u'\n'), options);
}

// The note lines, blank lines and frets lines of a list: what the tab carried.
QStringList Body(const QStringList& lines)
{
    return lines.filter(QRegularExpression(QStringLiteral("^[^*]|^$|^\\* Frets")));
}

bool HasErrors(const QStringList& lines) { return !fw::CheckLines(lines, false).empty(); }

} // namespace

// Each tab snippet as bass players write them comes in as the lines a user would type for it, and
// the report names only what could not be kept.
TEST(TabMarks, WebTabTechniquesBecomeMarkedLines)
{
    struct Case {
        const char* what;
        QStringList tab;
        QStringList lines;
        QStringList reported; // sentences the report must hold
    };
    const QList<Case> cases {
        { "hammer-ons, pull-offs, slides either way, slide in and out",
            { "G|-----------------------|", "D|-----------------------|", "A|--5h7p5--3/5\\3---------|",
                "E|-----------------/3-5/-|" },
            { "D, x, 5h, x, x, E", "E, x, 7p, x, x, E", "D, x, 5, x, x, E", "C, x, 3/, x, x, E", "D, x, 5\\, x, x, E",
                "C, x, 3, x, x, E", "G, /3, x, x, x, E", "A, 5/, x, x, x, E", "" },
            {} },
        { "ghost, dead, harmonic, bend with a release, vibrato, a tie",
            { "G|--(5)--x--<12>--7b9r7--5~~~--3_--3--|", "D|------------------------------------|",
                "A|------------------------------------|", "E|------------------------------------|" },
            { "C, x, x, x, (5), E", "x, x, x, x, m, E", "G, x, x, x, <12>, E", "D, x, x, x, 7b9, E",
                "C, x, x, x, 5~, E", "A#/Bb, x, x, x, 3_, E", "A#/Bb, x, x, x, 3, E", "" },
            { "Techniques dropped, their notes kept: 1 release (r)." } },
        { "palm mute and let ring above, slap, pop and tap below, a tapped fret above 18",
            { "   PM-------    let ring------", "G|-----------|-------------t21-|", "D|-----------|-----------------|",
                "A|-----------|--5-----7--------|", "E|--0--0--3--|-----5-----------|", "    S  P  S         T" },
            { "* Frets: 21", "E, 0, x, x, x, E, slap pm", "E, 0, x, x, x, E, pop pm", "G, 3, x, x, x, E, slap pm", "",
                "D, x, 5, x, x, E, lr", "A, 5, x, x, x, E, tap lr", "E, x, 7, x, x, E, lr", "E, x, x, x, 21, E, tap lr",
                "" },
            { "Frets up to 21 kept: the list allows them with a \"* Frets: 21\" line." } },
        { "marks without their notes or partners, and marks that do not go together",
            { "   PM-----", "   let ring--", "G|--7b--5h--------|--<2>--(5--xh--3s--|",
                "D|--------5b99----|--~---------------|", "A|----------------|------------------|",
                "E|--------------3/|--\\---------------|" },
            { "D, x, x, x, 7, E, pm", "C, x, x, x, 5, E, pm", "G, x, x, 5, x, E, lr", "G, 3/, x, x, x, E", "",
                "A, x, x, x, 2, E", "C, x, x, x, 5, E", "x, x, x, x, m, E", "A#/Bb, x, x, x, 3, E", "" },
            { "Techniques dropped, their notes kept: 1 hammer-on (h), 1 slide (/ \\ s), 2 bends (b), 1 vibrato (~ v), "
              "1 ghost note ( ), 1 harmonic < >.",
                "Line 3: notes under both palm mute and let ring are palm-muted; let ring was dropped.",
                "Line 3: Hammer-on on the G string has no next note on that string. The mark was dropped.",
                "Line 3: Slide up on the G string has no next note on that string. The mark was dropped." } },
        { "brackets around numbers beyond the neck hold no note",
            { "G|--(99)--<64>--5--|", "D|-----------------|", "A|-----------------|", "E|-----------------|" },
            { "C, x, x, x, 5, E", "" }, { "Techniques dropped, their notes kept: 1 ghost note ( ), 1 harmonic < >." } },
        { "a hammer-on written down is read as a pull-off; a grid rest breaks a tie",
            { "G|--7h5--3_-----3-|", "D|----------------|", "A|----------------|", "E|----------------|" },
            { "Rest, x, x, x, x, E", "D, x, x, x, 7p, Q", "C, x, x, x, 5, .Q", "A#/Bb, x, x, x, 3, .H",
                "Rest, x, x, x, x, E", "A#/Bb, x, x, x, 3, Q", "" },
            { "Line 1: Hammer-on on the G string must go up to a higher fret, not to fret 5. It was read as a "
              "pull-off.",
                "Line 1: Tie on the G string has no next note on that string. The mark was dropped." } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool grid = QString(c.what).contains(QLatin1String("grid"));
        const fw::TabImport imported = Import(c.tab, grid ? fw::TabRhythm::Grid : fw::TabRhythm::Uniform);
        ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
        EXPECT_EQ(Body(imported.lines), c.lines);
        for (const QString& sentence : c.reported)
            EXPECT_TRUE(imported.report.contains(sentence)) << imported.report.join(u'\n').toStdString();
        EXPECT_FALSE(HasErrors(imported.lines));
    }
}

// The marked examples, written as our own ASCII tab with its rhythm line and read back, keep every
// mark the tab shows: all but accents, staccato and a dead note's fret, which ASCII tab does not write.
TEST(TabMarks, OurOwnTabOfTheMarkedExamplesReadsBack)
{
    for (const char* name : { "slap-and-ghosts.bss", "slides-and-ties.bss" }) {
        SCOPED_TRACE(name);
        const fw::LoadedDocument document
            = fw::ParseDocumentBytes(fw::test::ReadFileBytes(QStringLiteral(FW_SOURCE_DIR "/examples/") + name));
        const fw::Tuning tuning = fw::TuningOfLines(document.lines);
        const int fretLimit = fw::FretLimitOfLines(document.lines);
        fw::ParsedLineList parsed;
        QStringList expected;
        for (int i = 0; i < document.lines.size(); ++i) {
            fw::ChordDef def;
            ASSERT_TRUE(fw::ParseLineText(document.lines[i], i, def, tuning, fretLimit).errorText.isEmpty());
            parsed << def;
            if (!fw::IsNoteEntry(def))
                continue;
            def.Technique.accent = def.Technique.staccato = false;
            for (int slot = 1; slot <= 6; ++slot) {
                if (def.Marks[slot].kind == fw::NoteKind::Dead)
                    def.Frets[slot] = fw::NotPlayedFret;
            }
            expected << fw::BuildLine(def, tuning).section(u',', 1);
        }
        fw::ChordDef blank;
        blank.Name = QStringLiteral(" ");
        parsed << blank;
        const fw::Tablature tab = fw::Tablature::Build(parsed, tuning);
        const QStringList text = fw::BuildAsciiTab(tab, QStringLiteral("Marks"), QString(), true).Lines;
        const fw::TabImport back = Import(text, fw::TabRhythm::Line);
        ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
        EXPECT_FALSE(HasErrors(back.lines));
        QStringList read;
        for (const QString& line : back.lines.filter(QRegularExpression(QStringLiteral("^[^*]"))))
            read << line.section(u',', 1);
        EXPECT_EQ(read, expected) << text.join(u'\n').toStdString();
    }
}
