#include "ImportTuning.h"

#include "DocumentText.h"
#include "LineParser.h"
#include "QtPrinters.h"
#include "SpecialLines.h"
#include "TestFiles.h"

#include <QDir>
#include <gtest/gtest.h>

namespace fw {
namespace {

    // Note values are one octave above the sound: 40 is the open E string of a four-string bass, 35
    // the low B of a five-string one.
    struct ChoiceCase {
        const char* what;
        std::vector<FingeringEvent> events;
        bool fold;
        const char* tuning;
        int fretLimit;
        int outOfRange;
        const char* report;
    };

    const ChoiceCase ChoiceCases[] = {
        { "a walking line in G on the open strings stays in standard tuning",
            { { 43 }, { 45 }, { 47 }, { 50 }, { 48 }, { 45 }, { 43 }, { 40 } }, false, "E A D G", 18, 0,
            "Tuning E A D G: it plays every note." },
        { "a line in F, no note below F: standard, not a tuning down",
            { { 41 }, { 45 }, { 48 }, { 50 }, { 53 }, { 48 }, { 46 }, { 41 } }, false, "E A D G", 18, 0,
            "Tuning E A D G: it plays every note." },
        { "one low B needs the fifth string", { { 40 }, { 35 }, { 47 }, { 52 } }, false, "B E A D G", 18, 0,
            "Tuning B E A D G (5 strings): it plays every note." },
        { "fret 21 on the G string: a 24-fret neck, not two more strings", { { 43 }, { 55 }, { 76 }, { 67 } }, false,
            "E A D G", 24, 0, "Tuning E A D G with 24 frets: it plays every note." },
        { "a riff on the open low D: drop D rather than D standard",
            { { 38, 45 }, { 38 }, { 41 }, { 38 }, { 43, 50 }, { 38 }, { 41, 48 }, { 38 } }, false, "D A D G", 18, 0,
            "Tuning D A D G: it plays every note." },
        { "the same low D with the open G, C and F: the whole step down",
            { { 38 }, { 43 }, { 38 }, { 48 }, { 43 }, { 53 }, { 48 }, { 43 } }, false, "D G C F", 18, 0,
            "Tuning D G C F: it plays every note." },
        { "a line down to E flat: half a step down", { { 39 }, { 46 }, { 51 }, { 49 }, { 44 }, { 39 }, { 51 }, { 56 } },
            false, "Eb Ab Db Gb", 18, 0, "Tuning Eb Ab Db Gb: it plays every note." },
        { "a low D and a low B together: the five-string bass", { { 38 }, { 35 }, { 45 } }, false, "B E A D G", 18, 0,
            "Tuning B E A D G (5 strings): it plays every note." },
        { "a high A above fret 24 of the G string: the sixth string", { { 40 }, { 81 } }, false, "B E A D G C", 24, 0,
            "Tuning B E A D G C (6 strings) with 24 frets: it plays every note." },
        { "a note below the low B is reported and stays out of range", { { 33 }, { 45 }, { 43 }, { 33 } }, false,
            "E A D G", 18, 2,
            "Tuning E A D G: it plays the most notes; 2 notes are out of its range and left as rests "
            "(--fold-octaves moves them by octaves into it)." },
        { "with folding, the same notes are moved by octaves", { { 33 }, { 45 }, { 43 }, { 33 } }, true, "E A D G", 18,
            2, "Tuning E A D G: it plays the most notes; 2 notes are out of its range and moved by octaves into it." },
    };

    QString Names(const char* names) { return ParseTuningNames(QString::fromLatin1(names)).tuning.namesText(); }

    TEST(ImportTuning, ChoosesTheTuningTheNotesNeed)
    {
        for (const ChoiceCase& c : ChoiceCases) {
            SCOPED_TRACE(c.what);
            const TuningChoice choice = ChooseImportTuning(c.events, c.fold);
            EXPECT_EQ(choice.tuning.namesText(), Names(c.tuning));
            EXPECT_EQ(choice.fretLimit, c.fretLimit);
            EXPECT_EQ(choice.outOfRange, c.outOfRange);
            EXPECT_EQ(choice.report, QLatin1String(c.report));
            // What a reader places: with folding, every note in range and a whole number of octaves
            // from where it was; notes already in range, and every note without folding, as they came.
            const int lowest = choice.tuning.openNotes().front();
            const int highest = choice.tuning.openNotes().back() + choice.fretLimit;
            for (const FingeringEvent& event : c.events)
                for (const int note : event) {
                    const int placed = choice.fit(note);
                    const bool wasInRange = note >= lowest && note <= highest;
                    if (!c.fold || wasInRange) {
                        EXPECT_EQ(placed, note);
                        continue;
                    }
                    EXPECT_TRUE(placed >= lowest && placed <= highest) << note << " -> " << placed;
                    EXPECT_EQ((placed - note) % 12, 0) << note << " -> " << placed;
                    EXPECT_LT(std::abs(placed - note) - 12, std::max(lowest - note, note - highest)) << note;
                }
        }
    }

    // The lists this program ships, stripped of their tuning lines, come back in the tuning they were
    // written for: the choice reads what a part needs as a bass player would.
    TEST(ImportTuning, ExampleListsChooseTheirOwnTuning)
    {
        const QDir examples(QStringLiteral(FW_SOURCE_DIR "/examples"));
        const QStringList files = examples.entryList({ QStringLiteral("*.bss") });
        ASSERT_GE(files.size(), 5);
        for (const QString& file : files) {
            SCOPED_TRACE(file.toStdString());
            const QStringList lines
                = SplitDocumentLines(QString::fromUtf8(test::ReadFileBytes(examples.filePath(file))));
            const Tuning tuning = TuningOfLines(lines);
            const int fretLimit = FretLimitOfLines(lines);
            std::vector<FingeringEvent> events;
            for (int i = 0; i < lines.size(); ++i) {
                ChordDef def;
                ParseLineText(lines[i], i, def, tuning, fretLimit);
                FingeringEvent event;
                for (int slot = 6; slot >= 1; --slot)
                    if (def.Notes[slot] != NoNotes[slot])
                        event.push_back(def.Notes[slot]);
                if (!event.empty())
                    events.push_back(event);
            }
            ASSERT_FALSE(events.empty());
            const TuningChoice choice = ChooseImportTuning(events);
            EXPECT_EQ(choice.tuning.namesText(), tuning.namesText());
            EXPECT_EQ(choice.outOfRange, 0);
        }
    }

} // namespace
} // namespace fw
