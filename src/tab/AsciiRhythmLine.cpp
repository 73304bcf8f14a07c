#include "AsciiRhythmLine.h"

#include <algorithm>

namespace fw {

namespace {

    // The title block above the first line group: three empty lines, title, subtitle, empty line.
    constexpr qsizetype HeaderLines = 6;
    constexpr int CellWidth = 2;

    // Writes the durations of one bar between the bar lines at left and right of the group's first line.
    void PlaceBar(QString& rhythm, const Tablature& tab, const TabBar& bar, qsizetype left, qsizetype right)
    {
        const int shown = std::min(bar.ColumnCount(), MaxTabColumns);
        // The cells are spread evenly: the dashes before, between and after them are of one length.
        const qsizetype width = right - left - 1;
        const qsizetype dashes = (width - CellWidth * shown) / (shown + 1);
        qsizetype at = left + 1 + dashes;
        int column = 0;
        for (qsizetype i = bar.FirstColumn; i < bar.EndIndex && column < shown; ++i) {
            const TabColumn& entry = tab.Columns[i];
            if (entry.IsBarEnd)
                continue;
            const QString text = entry.Duration.trimmed().toUpper();
            if (rhythm.size() < at + text.size())
                rhythm.resize(at + text.size(), u' ');
            rhythm.replace(at, text.size(), text);
            at += CellWidth + dashes;
            ++column;
        }
    }

} // namespace

QStringList WithRhythmLines(const QStringList& asciiLines, const Tablature& tab)
{
    QStringList out;
    out.reserve(asciiLines.size() + tab.Bars.size() / 2 + 1);
    qsizetype i = 0;
    for (; i < std::min(HeaderLines, asciiLines.size()); ++i)
        out << asciiLines[i];
    qsizetype barIndex = 0;
    while (i < asciiLines.size()) {
        if (asciiLines[i].isEmpty()) {
            out << asciiLines[i++];
            continue;
        }
        // A line group: its first line's bar lines frame the group's one or two bars.
        const QString& first = asciiLines[i];
        std::vector<qsizetype> bars;
        for (qsizetype k = 0; k < first.size(); ++k)
            if (first[k] == u'|')
                bars.push_back(k);
        QString rhythm;
        for (std::size_t k = 0; k + 1 < bars.size() && barIndex < tab.Bars.size(); ++k)
            PlaceBar(rhythm, tab, tab.Bars[barIndex++], bars[k], bars[k + 1]);
        while (rhythm.endsWith(u' '))
            rhythm.chop(1);
        out << rhythm;
        while (i < asciiLines.size() && !asciiLines[i].isEmpty())
            out << asciiLines[i++];
    }
    return out;
}

} // namespace fw
