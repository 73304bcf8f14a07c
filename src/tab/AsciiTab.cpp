#include "AsciiTab.h"

#include "DocumentText.h"
#include "SafeFileWrite.h"
#include "TextRules.h"

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

void AsciiHeader(QStringList& text, const QString& title, const QString& subtitle)
{
    text << QString() << QString() << QString() << Centred(title) << Centred(subtitle) << QString();
}

void AppendAsciiBar(
    TabLineArray& lines, const TabList& list, const TabBar& bar, bool firstOfGroup, bool& truncated, int firstSlot)
{
    const int c = SpacingCount(bar.BarLength);
    if (firstOfGroup) {
        // Room for both bars of the group, so the line is allocated once.
        for (int slot = firstSlot; slot <= LastBassSlot; ++slot) {
            lines[slot] = QString();
            lines[slot].reserve(2 * (AsciiBarWidth + 4) + 2);
            lines[slot] += u'|';
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
            AppendCell(lines[slot], list[i].Frets[slot]);
            lines[slot] += dashes;
        }
    }
    for (int slot = firstSlot; slot <= LastBassSlot; ++slot)
        lines[slot] += u'|';
}

AsciiTab BuildAsciiTab(const Tablature& tab, const QString& title, const QString& subtitle, int firstSlot)
{
    AsciiTab result;
    QStringList& text = result.Lines;
    text.reserve(8 + 3 * tab.Bars.size());
    AsciiHeader(text, title, subtitle);
    TabLineArray lines;
    bool first = true;
    bool pending = false;
    const auto flushGroup = [&] {
        for (int slot = firstSlot; slot <= LastBassSlot; ++slot)
            text << lines[slot];
        text << QString() << QString();
        result.Height += AsciiGroupHeight;
        pending = false;
    };
    for (const TabBar& bar : tab.Bars) {
        AppendAsciiBar(lines, tab.Columns, bar, first, result.Truncated, firstSlot);
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
