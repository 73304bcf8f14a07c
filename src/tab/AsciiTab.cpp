#include "AsciiTab.h"

#include "DocumentText.h"
#include "SafeFileWrite.h"
#include "TextRules.h"

#include <algorithm>

namespace fw {

namespace {

    constexpr int AsciiCentre = 40;
    constexpr int AsciiBarWidth = 38;

    QString Centred(const QString& text)
    {
        const qsizetype spaces = AsciiCentre - text.size() / 2;
        return spaces > 0 ? QString(spaces, u' ') + text : text;
    }

    // Two characters for frets below 100, appended in place: long lists make many cells.
    void AppendCell(QString& line, int fret)
    {
        if (fret == NotPlayedFret) {
            line += QLatin1StringView("--");
        } else if (fret >= 0 && fret <= 9) {
            line += u'-';
            line += QChar(u'0' + fret);
        } else if (fret >= 10 && fret <= 99) {
            line += QChar(u'0' + fret / 10);
            line += QChar(u'0' + fret % 10);
        } else {
            line += QString::number(fret);
        }
    }

} // namespace

void AsciiHeader(QStringList& text, const Tablature& tab, const QString& title, const QString& subtitle)
{
    const QString first = tab.NamesStrings ? QStringLiteral("Tuning: ") + tab.StringTuning.namesText() : QString();
    text << first << QString() << QString() << Centred(title) << Centred(subtitle) << QString();
}

TabLineArray AsciiLineStarts(const Tablature& tab)
{
    TabLineArray starts;
    qsizetype width = 0;
    if (tab.NamesStrings) {
        for (int slot = tab.FirstSlot; slot <= LastBassSlot; ++slot)
            width = std::max(width, tab.StringTuning.pitchName(slot).size());
    }
    for (int slot = tab.FirstSlot; slot <= LastBassSlot; ++slot) {
        const QString name = tab.NamesStrings ? tab.StringTuning.pitchName(slot) : QString();
        starts[slot] = name.leftJustified(width, u' ') + u'|';
    }
    return starts;
}

void AppendAsciiBar(TabLineArray& lines, const Tablature& tab, const TabBar& bar, bool firstOfGroup,
    const TabLineArray& starts, bool& truncated)
{
    const int firstSlot = tab.FirstSlot;
    const int c = SpacingCount(bar.BarLength);
    if (firstOfGroup) {
        // Room for both bars of the group, so the line is allocated once.
        for (int slot = firstSlot; slot <= LastBassSlot; ++slot) {
            lines[slot] = QString();
            lines[slot].reserve(starts[slot].size() + 2 * (AsciiBarWidth + 4) + 1);
            lines[slot] += starts[slot];
        }
    }
    const QString dashes((AsciiBarWidth - c) / (c + 1), u'-');
    for (int slot = firstSlot; slot <= LastBassSlot; ++slot)
        lines[slot] += dashes;
    int shown = 0;
    for (qsizetype i = bar.FirstColumn; i < bar.EndIndex; ++i) {
        if (++shown > MaxTabColumns) {
            truncated = true;
            break;
        }
        for (int slot = firstSlot; slot <= LastBassSlot; ++slot) {
            AppendCell(lines[slot], tab.Columns[i].Frets[slot]);
            lines[slot] += dashes;
        }
    }
    for (int slot = firstSlot; slot <= LastBassSlot; ++slot)
        lines[slot] += u'|';
}

AsciiTab BuildAsciiTab(const Tablature& tab, const QString& title, const QString& subtitle)
{
    AsciiTab result;
    QStringList& text = result.Lines;
    text.reserve(8 + 3 * tab.Bars.size());
    AsciiHeader(text, tab, title, subtitle);
    const TabLineArray starts = AsciiLineStarts(tab);
    TabLineArray lines;
    bool first = true;
    bool pending = false;
    const auto flushGroup = [&] {
        for (int slot = tab.FirstSlot; slot <= LastBassSlot; ++slot)
            text << lines[slot];
        text << QString() << QString();
        result.Height += AsciiGroupHeightFor(tab.StringCount());
        pending = false;
    };
    for (const TabBar& bar : tab.Bars) {
        AppendAsciiBar(lines, tab, bar, first, starts, result.Truncated);
        pending = true;
        if (!first)
            flushGroup();
        first = !first;
    }
    if (pending)
        flushGroup();
    text << QString();
    return result;
}

QByteArray AsciiTabFileBytes(const QStringList& lines) { return EncodeDocumentText(JoinDocumentLines(lines)); }

QString ForceTabExtension(const QString& fileName) { return PathWithoutExtension(fileName) + QStringLiteral(".tab"); }

bool SaveAsciiTab(const QString& fileName, const QStringList& lines, QString* errorText)
{
    const QString error = WriteFileSafely(fileName, AsciiTabFileBytes(lines));
    if (!error.isEmpty() && errorText)
        *errorText = error;
    return error.isEmpty();
}

} // namespace fw
