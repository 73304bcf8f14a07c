#include "AsciiTab.h"
#include "FuzzChordLists.h"

#include <algorithm>

using namespace fw;

// Valid chord lists of any shape: the tab has one line group per two non-empty bars, every string
// line of a group has the same length and is closed by bar lines, and truncation is reported exactly
// when a bar has more columns than are shown.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString title = QString::fromUtf8(provider.ConsumeRandomLengthString(100));
    const fuzz::GeneratedList list = fuzz::GenerateChordList(provider, 600);
    const Tablature tab = Tablature::Build(fuzz::ParseGenerated(list.lines));
    const AsciiTab ascii = BuildAsciiTab(tab, title, QStringLiteral("sub"));

    if (tab.BarCount != list.barColumns.size())
        fuzz::Fail(QStringLiteral("%1 bars, not %2").arg(tab.BarCount).arg(list.barColumns.size()));
    const bool longBar = std::any_of(
        list.barColumns.begin(), list.barColumns.end(), [](int columns) { return columns > MaxTabColumns; });
    if (ascii.Truncated != longBar || tab.HasTruncatedBar() != longBar)
        fuzz::Fail(QStringLiteral("truncation reported wrongly"));

    constexpr qsizetype HeaderLines = 6;
    constexpr qsizetype GroupLines = 6;
    const qsizetype groups = (list.barColumns.size() + 1) / 2;
    if (ascii.Lines.size() != HeaderLines + GroupLines * groups + 1 || ascii.Height != groups * AsciiGroupHeight)
        fuzz::Fail(QStringLiteral("%1 lines for %2 groups").arg(ascii.Lines.size()).arg(groups));
    for (qsizetype g = 0; g < groups; ++g) {
        const qsizetype first = HeaderLines + g * GroupLines;
        const QString& top = ascii.Lines[first];
        for (qsizetype i = first; i < first + 4; ++i) {
            const QString& line = ascii.Lines[i];
            if (line.size() != top.size() || !line.startsWith(u'|') || !line.endsWith(u'|'))
                fuzz::Fail(QStringLiteral("group %1 line %2: \"%3\" against \"%4\"").arg(g).arg(i).arg(line, top));
        }
        if (!ascii.Lines[first + 4].isEmpty() || !ascii.Lines[first + 5].isEmpty())
            fuzz::Fail(QStringLiteral("group %1 is not followed by two empty lines").arg(g));
    }
    return 0;
}
