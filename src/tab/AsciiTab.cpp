#include "AsciiTab.h"

#include "DocumentText.h"
#include "Marks.h"
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

    // A cell padded with dashes on the left to its column's width, appended in place: long lists make
    // many cells. Plain frets below 100 take two characters, "-5" or "12".
    void AppendCell(QString& line, const ChordDef& def, int slot, int width, bool marks)
    {
        const int fret = def.Frets[slot];
        if ((!marks || !def.Marks[slot].any()) && fret >= NotPlayedFret && fret <= 99) {
            for (int i = 2; i < width; ++i)
                line += u'-';
            if (fret == NotPlayedFret) {
                line += QLatin1StringView("--");
            } else {
                line += fret <= 9 ? QChar(u'-') : QChar(u'0' + fret / 10);
                line += QChar(u'0' + fret % 10);
            }
            return;
        }
        const QString note = AsciiNoteText(def, slot);
        for (qsizetype i = note.size(); i < width; ++i)
            line += u'-';
        line += note;
    }

    // A run of marked columns (shown column numbers) reaches from its first cell to the dashes after its last one.
    int RunWidth(const AsciiBarLayout& layout, int first, int last)
    {
        return layout.CellStart(last) + layout.Widths[last] + layout.Dashes - layout.CellStart(first);
    }

    // A line of text above or below the strings of a line group, with the group's bar lines as blanks.
    class MarkLine {
    public:
        void place(qsizetype at, const QString& text)
        {
            if (m_text.size() < at + text.size())
                m_text.resize(at + text.size(), u' ');
            m_text.replace(at, text.size(), text);
        }
        bool isEmpty() const { return m_text.isEmpty(); }
        QString text() const
        {
            QString text = m_text;
            while (text.endsWith(u' '))
                text.chop(1);
            return text;
        }

    private:
        QString m_text;
    };

    // One line group: one bar, or two side by side.
    struct Group {
        const TabBar* bars[2] = {};
        AsciiBarLayout layouts[2];
        qsizetype barCount = 0;
    };

    void AppendGroup(QStringList& text, const Tablature& tab, const Group& group, const TabLineArray& starts,
        bool rhythmLine, AsciiTab& result)
    {
        // Where each bar's first character after its opening bar line stands on the group's lines.
        qsizetype barStart[2] = { starts[tab.FirstSlot].size(), 0 };
        barStart[1] = barStart[0] + group.layouts[0].Width() + 1;

        MarkLine runLines[std::size(TabRunKinds)];
        MarkLine attacks;
        MarkLine rhythm;
        for (qsizetype b = 0; b < group.barCount; ++b) {
            const AsciiBarLayout& layout = group.layouts[b];
            const qsizetype firstColumn = group.bars[b]->FirstColumn;
            for (std::size_t kind = 0; kind < std::size(TabRunKinds); ++kind) {
                const TabRunKind& runKind = TabRunKinds[kind];
                ForEachMarkedRun(tab, *group.bars[b], runKind, [&](qsizetype first, qsizetype last) {
                    const int from = static_cast<int>(first - firstColumn);
                    const int width = RunWidth(layout, from, static_cast<int>(last - firstColumn));
                    runLines[kind].place(
                        barStart[b] + layout.CellStart(from), QString(runKind.Label).leftJustified(width, u'-'));
                });
            }
            for (int k = 0; (tab.HasMarks || rhythmLine) && k < layout.Count; ++k) {
                const TabColumn& column = tab.Columns[layout.FirstColumn + k];
                const qsizetype cell = barStart[b] + layout.CellStart(k);
                if (const QChar letter = AttackLetter(column.Technique.attack); !letter.isNull())
                    attacks.place(cell + layout.Widths[k] - 1, QString(letter));
                if (rhythmLine)
                    rhythm.place(cell + layout.Widths[k] - layout.NoteWidths[k], column.Duration.trimmed().toUpper());
            }
        }

        int lineCount = tab.StringCount();
        for (const MarkLine& line : runLines) {
            if (!line.isEmpty()) {
                text << line.text();
                ++lineCount;
            }
        }
        if (rhythmLine)
            text << rhythm.text();
        for (int slot = tab.FirstSlot; slot <= LastBassSlot; ++slot) {
            QString line;
            // Room for both bars of the group, so the line is allocated once.
            line.reserve(barStart[1] + (group.barCount > 1 ? group.layouts[1].Width() + 1 : 0));
            line += starts[slot];
            for (qsizetype b = 0; b < group.barCount; ++b) {
                const AsciiBarLayout& layout = group.layouts[b];
                const QString dashes(layout.Dashes, u'-');
                line += dashes;
                for (int k = 0; k < layout.Count; ++k) {
                    AppendCell(line, tab.Columns[layout.FirstColumn + k], slot, layout.Widths[k], tab.HasMarks);
                    line += dashes;
                }
                line += u'|';
            }
            text << line;
        }
        if (!attacks.isEmpty()) {
            text << attacks.text();
            ++lineCount;
        }
        text << QString() << QString();
        result.Height += AsciiGroupHeightFor(lineCount);
    }

} // namespace

void AsciiHeader(QStringList& text, const Tablature& tab, const QString& title, const QString& subtitle)
{
    const QString first = tab.NamesStrings ? QStringLiteral("Tuning: ") + tab.StringTuning.namesText() : QString();
    const QString second = tab.CountOff ? QStringLiteral("Count off: %1").arg(*tab.CountOff) : QString();
    text << first << second << QString() << Centred(title) << Centred(subtitle) << QString();
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

QString AsciiNoteText(const ChordDef& def, int slot)
{
    const NoteMarks& marks = def.Marks[slot];
    if (marks.kind == NoteKind::Dead)
        return QStringLiteral("x");
    if (def.Frets[slot] == NotPlayedFret)
        return {};
    return marks.any() ? FretFieldText(def.Frets[slot], marks) : QString::number(def.Frets[slot]);
}

int AsciiBarLayout::CellStart(int k) const
{
    int start = Dashes;
    for (int i = 0; i < k; ++i)
        start += Widths[i] + Dashes;
    return start;
}

AsciiBarLayout LayOutAsciiBar(const Tablature& tab, const TabBar& bar)
{
    AsciiBarLayout layout;
    const int c = SpacingCount(bar.BarLength);
    layout.Dashes = (AsciiBarWidth - c) / (c + 1);
    layout.FirstColumn = bar.FirstColumn;
    layout.Count = static_cast<int>(bar.ShownEnd() - bar.FirstColumn);
    layout.Truncated = bar.IsTruncated();
    for (int k = 0; k < layout.Count; ++k) {
        qsizetype width = 2;
        for (int slot = tab.FirstSlot; tab.HasMarks && slot <= LastBassSlot; ++slot)
            width = std::max(width, AsciiNoteText(tab.Columns[bar.FirstColumn + k], slot).size());
        layout.Widths[k] = layout.NoteWidths[k] = static_cast<int>(width);
    }
    // A label longer than its run widens the run's last cell, so the label ends within the bar.
    if (tab.HasMarks) {
        for (const TabRunKind& kind : TabRunKinds) {
            ForEachMarkedRun(tab, bar, kind, [&](qsizetype first, qsizetype last) {
                const int from = static_cast<int>(first - bar.FirstColumn);
                const int to = static_cast<int>(last - bar.FirstColumn);
                layout.Widths[to] += std::max<int>(0, kind.Label.size() - RunWidth(layout, from, to));
            });
        }
    }
    return layout;
}

AsciiTab BuildAsciiTab(const Tablature& tab, const QString& title, const QString& subtitle, bool rhythmLine)
{
    AsciiTab result;
    QStringList& text = result.Lines;
    text.reserve(8 + (3 + rhythmLine) * tab.Bars.size());
    AsciiHeader(text, tab, title, subtitle);
    const TabLineArray starts = AsciiLineStarts(tab);
    for (qsizetype i = 0; i < tab.Bars.size(); i += 2) {
        Group group;
        group.barCount = std::min<qsizetype>(2, tab.Bars.size() - i);
        for (qsizetype b = 0; b < group.barCount; ++b) {
            group.bars[b] = &tab.Bars[i + b];
            group.layouts[b] = LayOutAsciiBar(tab, tab.Bars[i + b]);
            result.Truncated = result.Truncated || group.layouts[b].Truncated;
        }
        AppendGroup(text, tab, group, starts, rhythmLine, result);
    }
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
