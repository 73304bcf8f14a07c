#include "Fingering.h"

#include <QString>
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
        { "octaves stay in the octave shape, root on the E string", "E A D G",
            { { 41 }, { 53 }, { 41 }, { 53 }, { 42 }, { 54 }, { 44 }, { 56 }, { 46 }, { 58 }, { 44 }, { 56 } },
            "E1 D3 E1 D3 E2 D4 E4 D6 E6 D8 E4 D6" },
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

} // namespace
} // namespace fw
