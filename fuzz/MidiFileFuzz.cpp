#include "DocumentText.h"
#include "FuzzChordLists.h"
#include "MidiFileWriter.h"
#include "SmfReader.h"

#include <algorithm>

using namespace fw;

namespace {

constexpr std::array<int, 4> OpenWrittenKeys { 28, 33, 38, 43 };

// The notes a chord list implies, worked out from the generated text alone.
QList<test::SmfNote> ExpectedNotes(const fuzz::GeneratedList& list, quint32& endTick)
{
    QList<test::SmfNote> notes;
    quint32 tick = 0;
    for (const fuzz::GeneratedEntry& entry : list.entries) {
        for (size_t column = 0; column < entry.frets.size(); ++column) {
            if (entry.frets[column] >= 0)
                notes.append({ tick, OpenWrittenKeys[column] + entry.frets[column], quint32(entry.ticks), 127 });
        }
        tick += static_cast<quint32>(entry.ticks);
    }
    std::sort(notes.begin(), notes.end());
    endTick = tick;
    return notes;
}

QString Describe(const QList<test::SmfNote>& notes)
{
    QStringList parts;
    for (const test::SmfNote& note : notes)
        parts << QStringLiteral("%1:%2+%3@%4").arg(note.start).arg(note.key).arg(note.length).arg(note.velocity);
    return parts.join(u' ');
}

} // namespace

// Valid chord lists of any shape, tempo and patch: the written file, read back by an independent
// reader, holds exactly the notes and lengths the text implies, and the tempo and patch asked for.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const int tempo = provider.ConsumeIntegralInRange(MinTempo, MaxTempo);
    const int patch = provider.ConsumeIntegralInRange(0, 127);
    const fuzz::GeneratedList list = fuzz::GenerateChordList(provider, 400);
    ParsedLineList parsed = fuzz::ParseGenerated(list.lines);
    SetDurationValues(parsed, MidiWholeNoteTicks);
    const test::SmfSong song = test::SmfReader::Read(BuildMidiFile(parsed, tempo, patch));
    if (!song.error.isEmpty())
        fuzz::Fail(QStringLiteral("malformed file: ") + song.error);
    if (song.format != 1 || song.trackCount != 2 || song.division != MidiDivision)
        fuzz::Fail(QStringLiteral("header %1 %2 %3").arg(song.format).arg(song.trackCount).arg(song.division));
    const quint32 micro = std::min<quint32>(60000000u / static_cast<quint32>(tempo), 0xFFFFFF);
    if (song.tempo != micro || song.program != patch)
        fuzz::Fail(QStringLiteral("tempo or patch differs for %1, %2").arg(tempo).arg(patch));
    quint32 endTick = 0;
    const QList<test::SmfNote> expected = ExpectedNotes(list, endTick);
    if (song.notes != expected)
        fuzz::Fail(
            QStringLiteral("notes differ\nwritten:  %1\nexpected: %2").arg(Describe(song.notes), Describe(expected)));
    if (song.endTick != endTick)
        fuzz::Fail(QStringLiteral("track ends at %1, not %2").arg(song.endTick).arg(endTick));
    return 0;
}
