#include "Pitch.h"

#include <array>

namespace fw {

int OpenStringNote(int slot)
{
    static constexpr std::array<int, 7> notes { 0, 64, 59, 55, 50, 45, 40 };
    return slot >= 1 && slot <= 6 ? notes[slot] : 0;
}

QString StringName(int slot)
{
    static const std::array<const char*, 7> names { "", "High E", "B", "G", "D", "A", "Low E" };
    return slot >= 1 && slot <= 6 ? QString::fromLatin1(names[slot]) : QString();
}

QString PitchClassName(int noteValue)
{
    static const std::array<const char*, 12> names { "C", "C#/Db", "D", "D#/Eb", "E", "F", "F#/Gb", "G", "G#/Ab", "A",
        "A#/Bb", "B" };
    return QString::fromLatin1(names[((noteValue % 12) + 12) % 12]);
}

QString NoteName(int slot, int fret, const QString& fallback)
{
    if (slot < FirstBassSlot || slot > LastBassSlot || fret < 0 || fret > 24)
        return fallback;
    return PitchClassName(OpenStringNote(slot) + fret);
}

QString SemitonesText(int semitones)
{
    const int size = semitones < 0 ? -semitones : semitones;
    return QStringLiteral("%1 %2 %3")
        .arg(size)
        .arg(size == 1 ? QStringLiteral("semitone") : QStringLiteral("semitones"),
            semitones < 0 ? QStringLiteral("down") : QStringLiteral("up"));
}

static int DivisorOf(char16_t letter)
{
    switch (letter) {
    case u'W':
        return 1;
    case u'H':
        return 2;
    case u'Q':
        return 4;
    case u'E':
        return 8;
    case u'S':
        return 16;
    case u'T':
        return 32;
    case u'F':
        return 64;
    default:
        return 0;
    }
}

int DurationValue(QStringView text, int whole)
{
    if (text.isEmpty() || text.size() > 2)
        return 0;
    char16_t mark = 0;
    char16_t letter = text[0].toUpper().unicode();
    if (text.size() == 2) {
        mark = text[0].unicode();
        letter = text[1].toUpper().unicode();
        if (mark != u'.' && mark != u'/')
            return 0;
    }
    const int divisor = DivisorOf(letter);
    if (divisor == 0)
        return 0;
    const int base = whole / divisor;
    if (mark == u'.')
        return base + base / 2;
    if (mark == u'/')
        return base / 3;
    return base;
}

int WholeNoteLength(int tempo)
{
    if (tempo <= 0)
        return 0;
    return ((60000000 / tempo) / 1000) * 4;
}

} // namespace fw
