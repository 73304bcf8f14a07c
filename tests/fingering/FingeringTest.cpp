#include "Fingering.h"
#include "DocumentText.h"
#include "LineParser.h"
#include "Refinger.h"
#include "TestFiles.h"

#include <QString>
#include <cstdio>
#include <gtest/gtest.h>

namespace fw {
namespace {

    // A placement written as a bass player reads it: the string's name as the tuning spells it and the
    // fret ("E3", "A0", "B5"); the lowest string of a tuning is its plain name too.
    QString Spell(const Placement& placement, const Tuning& tuning)
    {
        if (!placement.playable())
            return QStringLiteral("-");
        return tuning.pitchName(placement.slot) + QString::number(placement.fret);
    }

    QString SpellLine(const Fingering& fingering, const Tuning& tuning)
    {
        QStringList events;
        for (const FingeredEvent& event : fingering.events) {
            QStringList notes;
            for (const Placement& placement : event)
                notes << Spell(placement, tuning);
            events << (notes.isEmpty() ? QStringLiteral("rest") : notes.join(u'+'));
        }
        return events.join(u' ');
    }

    Tuning NamedTuning(const char* names) { return ParseTuningNames(QString::fromLatin1(names)).tuning; }

    struct LineCase {
        const char* what;
        const char* tuning;
        std::vector<FingeringEvent> events;
        const char* expected;
    };

    // Lines whose fingering bass players agree on. Note values are one octave above the sound (40 is
    // the open E string of a four-string bass).
    const LineCase LineCases[] = {
        { "walking line in A flat, all in third position", "E A D G",
            { { 44 }, { 48 }, { 51 }, { 53 }, { 56 }, { 53 }, { 51 }, { 48 } }, "E4 A3 A6 D3 D6 D3 A6 A3" },
        { "octaves kept in first position: E-D and A-G shapes, G# across to the G string", "E A D G",
            { { 41 }, { 53 }, { 41 }, { 53 }, { 42 }, { 54 }, { 44 }, { 56 }, { 46 }, { 58 }, { 44 }, { 56 } },
            "E1 D3 E1 D3 E2 D4 E4 G1 A1 G3 E4 G1" },
        { "scale run up the neck: ninth position, one move up for the top notes", "E A D G",
            { { 57 }, { 59 }, { 60 }, { 62 }, { 64 }, { 65 }, { 67 }, { 69 }, { 71 }, { 72 } },
            "A12 D9 D10 D12 G9 G10 G12 G14 G16 G17" },
        { "drop-D riff on the open low string", "D A D G",
            { { 38 }, { 38 }, { 41 }, { 38 }, { 43 }, { 42 }, { 41 }, { 38 } }, "D0 D0 D3 D0 D5 D4 D3 D0" },
        { "drop-D power chords barred with one finger", "D A D G",
            { { 38, 45 }, { 41, 48 }, { 43, 50 }, { 44, 51 }, { 43, 50 }, { 41, 48 }, { 38, 45 } },
            "D0+A0 D3+A3 D5+A5 D6+A6 D5+A5 D3+A3 D0+A0" },
        { "five-string line down to the low B", "B E A D G",
            { { 35 }, { 37 }, { 38 }, { 35 }, { 40 }, { 42 }, { 43 }, { 40 } }, "B0 B2 B3 B0 E0 E2 E3 E0" },
        { "rests and unplayable notes keep their place", "E A D G", { { 30 }, {}, { 45 }, { 40, 45, 50, 55, 60 } },
            "- rest A0 E0+A0+D0+G0+-" },
    };

    TEST(FingeringTest, LinesAsBassPlayersFingerThem)
    {
        for (const LineCase& line : LineCases) {
            const Tuning tuning = NamedTuning(line.tuning);
            const Fingering fingering = FingerEvents(line.events, tuning);
            EXPECT_EQ(SpellLine(fingering, tuning).toStdString(), line.expected) << line.what;
            EXPECT_EQ(FingeringCost(fingering.events, tuning), fingering.cost) << line.what;
        }
    }

    // An independent measure of effort: the frets the hand travels. The hand covers four frets and
    // moves only when a fretted note falls outside them, just far enough; open strings never move it.
    int HandTravel(const std::vector<FingeredEvent>& events)
    {
        int travel = 0;
        int low = -1;
        for (const FingeredEvent& event : events) {
            int minFret = FretCount + 1;
            int maxFret = 0;
            for (const Placement& placement : event) {
                if (placement.playable() && placement.fret > 0) {
                    minFret = std::min(minFret, placement.fret);
                    maxFret = std::max(maxFret, placement.fret);
                }
            }
            if (maxFret == 0)
                continue;
            int target = low;
            if (low < 0)
                target = minFret;
            else if (minFret < low)
                target = minFret;
            else if (maxFret > low + 3)
                target = std::min(minFret, maxFret - 3);
            if (low >= 0)
                travel += std::abs(target - low);
            low = target;
        }
        return travel;
    }

    // The rules other programs use, one note at a time: each note of a chord takes a free string.
    enum class PeerRule { LowestFret, HighestString };
    std::vector<FingeredEvent> PeerFingering(
        const std::vector<FingeringEvent>& events, const Tuning& tuning, PeerRule rule)
    {
        std::vector<FingeredEvent> result;
        for (const FingeringEvent& notes : events) {
            FingeredEvent event;
            std::vector<bool> used(7, false);
            for (int note : notes) {
                Placement best;
                for (int slot = tuning.firstSlot(); slot <= 6; ++slot) {
                    const int fret = note - tuning.openNote(slot);
                    if (used[slot] || fret < 0 || fret > FretCount)
                        continue;
                    // Slots rise towards the lowest string: the first found is the highest string.
                    if (!best.playable() || (rule == PeerRule::LowestFret && fret < best.fret))
                        best = { slot, fret };
                }
                if (best.playable())
                    used[best.slot] = true;
                event.push_back(best);
            }
            result.push_back(event);
        }
        return result;
    }

    struct NamedLine {
        std::string name;
        Tuning tuning;
        std::vector<FingeringEvent> events;
    };

    TEST(FingeringTest, TravelsLessThanThePeerRules)
    {
        std::vector<NamedLine> lines;
        for (const LineCase& line : LineCases)
            lines.push_back({ line.what, NamedTuning(line.tuning), line.events });
        for (const char* name : { "walking-in-g.bss", "twelve-bar-blues.bss", "sixteenth-street-funk.bss" }) {
            const LoadedDocument document
                = ParseDocumentBytes(test::ReadFileBytes(QStringLiteral(FW_SOURCE_DIR "/examples/") + name));
            NamedLine line { name, Tuning(), {} };
            for (int i = 0; i < document.lines.size(); ++i) {
                ChordDef def;
                if (ParseLineText(document.lines[i], i, def, line.tuning).errorText.isEmpty() && IsNoteEntry(def))
                    line.events.push_back(EventNotes(def, line.tuning));
            }
            lines.push_back(line);
        }
        int ours = 0;
        int lowest = 0;
        int highest = 0;
        std::printf(
            "%-62s %6s %12s %14s\n", "line (frets travelled by the hand)", "engine", "lowest fret", "highest string");
        for (const NamedLine& line : lines) {
            const int engine = HandTravel(FingerEvents(line.events, line.tuning).events);
            const int byFret = HandTravel(PeerFingering(line.events, line.tuning, PeerRule::LowestFret));
            const int byString = HandTravel(PeerFingering(line.events, line.tuning, PeerRule::HighestString));
            std::printf("%-62s %6d %12d %14d\n", line.name.c_str(), engine, byFret, byString);
            // Never clearly worse on one line: at most two frets more than either rule.
            EXPECT_LE(engine, byFret + 2) << line.name;
            EXPECT_LE(engine, byString + 2) << line.name;
            ours += engine;
            lowest += byFret;
            highest += byString;
        }
        std::printf("%-62s %6d %12d %14d\n", "total", ours, lowest, highest);
        // Clearly lower in total: at most two thirds of either rule's travel.
        EXPECT_LE(3 * ours, 2 * lowest);
        EXPECT_LE(3 * ours, 2 * highest);
    }

} // namespace
} // namespace fw
