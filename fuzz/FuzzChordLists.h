#pragma once

#include "ChordDef.h"
#include "ChordList.h"
#include "SilentHost.h"
#include "StringListLines.h"

#include <QList>
#include <QStringList>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace fw::fuzz {

// Stops the run with a message: libFuzzer records the input that led here.
[[noreturn]] inline void Fail(const QString& message)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", qPrintable(message));
    std::abort();
}

// One generated note entry as the text says it, kept apart from the parser's view so the checks
// compare the outputs with an independent expectation.
struct GeneratedEntry {
    // By text column: Low E, A, D, G; -1 not played.
    std::array<int, 4> frets { -1, -1, -1, -1 };
    int ticks = 0;
};

struct GeneratedList {
    QStringList lines;
    // Note entries in order, and the bars they form (blank lines close bars).
    QList<GeneratedEntry> entries;
    QList<int> barColumns;
};

// Ticks at 96 per quarter note for each duration letter and its dotted and triplet forms.
struct DurationChoice {
    const char* text;
    int ticks;
};
inline constexpr std::array<DurationChoice, 17> Durations { { { "W", 384 }, { "H", 192 }, { "Q", 96 }, { "E", 48 },
    { "S", 24 }, { "T", 12 }, { "F", 6 }, { "q", 96 }, { ".Q", 144 }, { ".h", 288 }, { ".F", 9 }, { "/E", 16 },
    { "/W", 128 }, { "/F", 2 }, { "/t", 4 }, { ".W", 576 }, { "e", 48 } } };

// A valid chord list: chords and rests with every fret and duration, comments, count-off lines
// and blank lines, in any order and with any spacing the format allows.
inline GeneratedList GenerateChordList(FuzzedDataProvider& data, int maxLines)
{
    static constexpr std::array<const char*, 7> names { "G", "Am7", "F#/Gb", "Rest", "N", "x", "Chord 1" };
    static constexpr std::array<const char*, 3> separators { ", ", ",", " ,  " };
    GeneratedList list;
    int columns = 0;
    const auto closeBar = [&] {
        if (columns > 0)
            list.barColumns.append(columns);
        columns = 0;
    };
    while (list.lines.size() < maxLines && data.remaining_bytes() > 0) {
        switch (data.ConsumeIntegralInRange(0, 11)) {
        case 0:
            list.lines.append(data.ConsumeBool() ? QString() : QStringLiteral("  "));
            closeBar();
            continue;
        case 1:
            list.lines.append(QStringLiteral("* comment, with, commas"));
            continue;
        case 2:
            list.lines.append(QStringLiteral("*Count Off %1").arg(data.ConsumeIntegralInRange(0, 8)));
            continue;
        default:
            break;
        }
        GeneratedEntry entry;
        QString line = QString::fromLatin1(data.PickValueInArray(names));
        for (int& fret : entry.frets) {
            const int value = data.ConsumeIntegralInRange(-2, FretCount);
            fret = value < 0 ? -1 : value;
            line += QLatin1String(data.PickValueInArray(separators));
            line += value == -2 ? QStringLiteral("x") : QString::number(value);
        }
        const DurationChoice& duration = data.PickValueInArray(Durations);
        entry.ticks = duration.ticks;
        line += QLatin1String(data.PickValueInArray(separators)) + QLatin1String(duration.text);
        list.lines.append(line);
        list.entries.append(entry);
        ++columns;
    }
    closeBar();
    return list;
}

// Parses the whole list as the program does before an export or the tab view; the generator only
// makes valid lines, so an error is a finding.
inline ParsedLineList ParseGenerated(const QStringList& lines)
{
    StringListLines editor(lines);
    SilentHost host;
    ChordList chordList(editor, host, host);
    if (!chordList.ParseAllLines(QString(), false))
        Fail(QStringLiteral("a valid chord list did not parse:\n") + lines.join(u'\n'));
    return chordList.ParsedLines;
}

} // namespace fw::fuzz
