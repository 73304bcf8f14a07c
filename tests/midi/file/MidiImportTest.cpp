#include "MidiImport.h"
#include "DocumentText.h"
#include "MidiFileWriter.h"
#include "MidiTestSupport.h"
#include "Refinger.h"
#include "TestFiles.h"

#include <QFile>
#include <random>

namespace fw {
namespace {

    // What a note entry means, whatever strings and names were chosen: sorted pitches and ticks.
    struct Meaning {
        std::vector<int> pitches;
        int ticks = 0;
        friend bool operator==(const Meaning&, const Meaning&) = default;
    };

    std::string Show(const std::vector<Meaning>& meanings)
    {
        std::string text;
        for (const Meaning& meaning : meanings) {
            for (int pitch : meaning.pitches)
                text += std::to_string(pitch) + "+";
            text += std::to_string(meaning.ticks) + " ";
        }
        return text;
    }

    Meaning MeaningOf(const ChordDef& def, const Tuning& tuning)
    {
        Meaning meaning { EventNotes(def, tuning), DurationValue(def.Duration, MidiWholeNoteTicks) };
        std::sort(meaning.pitches.begin(), meaning.pitches.end());
        return meaning;
    }

    // The note entries of imported lines, read on their own tuning line.
    std::vector<Meaning> ImportedMeanings(const QStringList& lines)
    {
        const Tuning tuning = TuningOfLines(lines);
        std::vector<Meaning> meanings;
        for (int i = 0; i < lines.size(); ++i) {
            ChordDef def;
            const QString error = ReadChordLine(lines[i], i, tuning, def);
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
            if (IsNoteEntry(def))
                meanings.push_back(MeaningOf(def, tuning));
        }
        return meanings;
    }

    // A random list on a tuning: chords of distinct strings, rests, every written length. The writer
    // takes up to four notes from slots 3..6, so five-string pitches ride in those slots.
    ParsedLineList RandomList(std::mt19937& random, const Tuning& tuning, int entries, std::vector<Meaning>& meanings)
    {
        static const char* durations[] = { "W", ".W", "/W", "H", ".H", "/H", "Q", ".Q", "/Q", "E", ".E", "/E", "S",
            ".S", "/S", "T", ".T", "/T", "F", ".F", "/F" };
        ParsedLineList list;
        for (int i = 0; i < entries; ++i) {
            ChordDef def;
            def.Name = QStringLiteral("N");
            def.Duration = QString::fromLatin1(durations[random() % 21]);
            const int notes = random() % 5 == 0 ? 0 : 1 + static_cast<int>(random() % 3) / 2 * (1 + random() % 3);
            std::vector<int> strings(tuning.stringCount());
            std::iota(strings.begin(), strings.end(), 0);
            std::shuffle(strings.begin(), strings.end(), random);
            std::vector<int> pitches;
            for (int n = 0; n < notes && n < 4; ++n)
                pitches.push_back(tuning.openNotes()[strings[n]] + static_cast<int>(random() % (FretCount + 1)));
            for (size_t n = 0; n < pitches.size(); ++n)
                def.Notes[3 + n] = static_cast<unsigned char>(pitches[n]);
            def.DurationValue = DurationValue(def.Duration, MidiWholeNoteTicks);
            std::sort(pitches.begin(), pitches.end());
            meanings.push_back({ pitches, def.DurationValue });
            list.append(def);
            if (random() % 7 == 0) {
                ChordDef blank; // a bar line of the list
                blank.Name = QStringLiteral(" ");
                list.append(blank);
            }
        }
        return list;
    }

    TEST(MidiImportTest, ExportedListsComeBackEntryByEntry)
    {
        std::mt19937 random(14);
        const Tuning tunings[] = { Tuning(), ParseTuningNames(QStringLiteral("B E A D G")).tuning,
            ParseTuningNames(QStringLiteral("D A D G")).tuning };
        for (const Tuning& tuning : tunings) {
            for (int round = 0; round < 40; ++round) {
                std::vector<Meaning> written;
                const ParsedLineList list = RandomList(random, tuning, 1 + round * 3, written);
                // Tempos 1 to 3 do not fit the file's 24-bit tempo; from 4 up each comes back exactly.
                const int tempo = 4 + static_cast<int>(random() % 497);
                const int patch = 32 + static_cast<int>(random() % 8);
                const MidiImportResult imported
                    = ImportMidiChordList(BuildMidiFile(list, tempo, patch), { std::nullopt, std::nullopt, tuning });
                ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
                EXPECT_EQ(Show(ImportedMeanings(imported.lines)), Show(written)) << tuning.namesText().toStdString();
                LoadedDocument document = ParseDocumentBytes(EncodeDocumentText(JoinDocumentLines(imported.lines)));
                EXPECT_EQ(document.header.Patch, patch);
                EXPECT_EQ(document.header.Tempo, tempo);
            }
        }
        for (const char* name : { "walking-in-g.bss", "twelve-bar-blues.bss", "sixteenth-street-funk.bss" }) {
            const LoadedDocument example
                = ParseDocumentBytes(test::ReadFileBytes(QStringLiteral(FW_SOURCE_DIR "/examples/") + name));
            const ParsedLineList parsed = test::ParseForMidi(example.lines);
            std::vector<Meaning> written;
            for (const ChordDef& def : parsed) {
                if (IsNoteEntry(def))
                    written.push_back(MeaningOf(def, Tuning()));
            }
            const MidiImportResult imported
                = ImportMidiChordList(BuildMidiFile(parsed, example.header.Tempo, example.header.Patch), {});
            EXPECT_EQ(Show(ImportedMeanings(imported.lines)), Show(written)) << name;
            EXPECT_EQ(imported.lines.mid(0, 4), HeaderLines(example.header).mid(0, 4)) << name;
        }
    }

} // namespace
} // namespace fw
