#pragma once

#include "MidiFileWriter.h"
#include "ParseEveryLine.h"

#include <QByteArray>
#include <QStringList>
#include <gtest/gtest.h>

namespace fw::test {

// Parses lines as the program does before an export, with note lengths in ticks.
inline ParsedLineList ParseForMidi(const QStringList& lines)
{
    ParsedLineList parsed = ParseEveryLine(lines);
    SetDurationValues(parsed, MidiWholeNoteTicks);
    return parsed;
}

// The bytes of a number, most significant first, as MIDI files hold lengths and header fields.
inline QByteArray Be(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

} // namespace fw::test
