#pragma once

#include "Tuning.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace fw {

// How the reader gives notes their durations.
enum class TabRhythm {
    Uniform, // every note the unit
    Grid, // one character of the tab is one unit
    Proportional, // each bar's width is one bar of 4/4
    Line, // a rhythm line above each block names every column's duration
};

std::optional<TabRhythm> TabRhythmFromName(QStringView name);
QString TabRhythmName(TabRhythm rhythm);

struct TabImportOptions {
    TabRhythm rhythm = TabRhythm::Proportional;
    QString unit = QStringLiteral("E"); // one of the duration forms
    std::optional<Tuning> tuning; // overrides what the tab says
    // Off when the lines go into a list that already has this tuning (pasting).
    bool writeTuningLine = true;
    // Repeated bars are written once, their repeat marks as comments, instead of played out.
    bool asWritten = false;
};

// How many times a repeat is played out at most; a larger count keeps its bars once.
inline constexpr int MaxRepeatPasses = 64;

struct TabImport {
    QStringList lines; // the chord list, without header lines
    std::optional<int> tempo; // a tempo the tab names
    Tuning tuning;
    QStringList report; // what was dropped or guessed, one sentence a line
    QString error; // non-empty when nothing could be read
};

// Larger files are refused before reading: no tab is that long, and a mistaken choice stays quick.
inline constexpr qsizetype MaxTabFileBytes = 64 * 1024 * 1024;

TabImport ImportAsciiTabText(QStringView text, const TabImportOptions& options);
// The bytes of a file: refuses binary files and files above MaxTabFileBytes with a clear message.
TabImport ImportAsciiTabBytes(const QByteArray& bytes, const TabImportOptions& options);

} // namespace fw
