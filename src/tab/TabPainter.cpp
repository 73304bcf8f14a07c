#include "TabPainter.h"

#include "SafeFileWrite.h"
#include "TabMarkPainter.h"
#include "TextRules.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <algorithm>

namespace fw {

namespace {

    constexpr int RowMargin = 20;
    constexpr int ScreenTabLeft = 10;
    constexpr int PrinterLabelFontPointSize = 12;

    QFont MakeFont(const QString& family, int pointSize, QFont::StyleHint hint, bool bold = false)
    {
        QFont font(family, pointSize);
        font.setStyleHint(hint);
        font.setBold(bold);
        return font;
    }

    QFont TitleFont(int pointSize) { return MakeFont(QStringLiteral("Times New Roman"), pointSize, QFont::Serif); }

    QFont FretFont(int pointSize, bool bold)
    {
        return MakeFont(QStringLiteral("MS Sans Serif"), pointSize, QFont::SansSerif, bold);
    }

    // Draws text with its top-left corner at (x, y), the way canvases of the old toolkit place text.
    void TextOut(QPainter& painter, int x, int y, const QString& text)
    {
        painter.drawText(x, y + QFontMetrics(painter.font(), painter.device()).ascent(), text);
    }

    int TextWidth(const QPainter& painter, const QString& text)
    {
        return QFontMetrics(painter.font(), painter.device()).horizontalAdvance(text);
    }

    int TextHeight(const QPainter& painter) { return QFontMetrics(painter.font(), painter.device()).height(); }

    QString PageLabel(int page) { return QStringLiteral("Page: ") + QString::number(page); }

} // namespace

TabLayout TabLayout::Screen(int paintWidth, int strings)
{
    TabLayout layout;
    layout.TabRight = paintWidth - paintWidth / 20;
    layout.StringGap = 15;
    layout.Strings = strings;
    layout.StaffHeight = (strings - 1) * layout.StringGap;
    layout.TabLeft = ScreenTabLeft;
    layout.FirstStaffTop = layout.StaffHeight + 20;
    layout.TitleTop = 10;
    layout.SubtitlePointSize = 8;
    layout.FretPointSize = 10;
    return layout;
}

TabLayout TabLayout::Printer(int pageWidth, int pageHeight, int strings)
{
    TabLayout layout;
    layout.TabRight = pageWidth - pageWidth / 10;
    layout.StringGap = pageHeight / 60;
    layout.Strings = strings;
    layout.StaffHeight = (strings - 1) * layout.StringGap;
    // A row's string lines run from TabLeft to TabLeft + 2 x (TabRight div 2): as much room on either side.
    layout.TabLeft = (pageWidth - 2 * (layout.TabRight / 2)) / 2;
    layout.FirstStaffTop = 2 * layout.StaffHeight;
    layout.TitleTop = 110;
    layout.SubtitlePointSize = 12;
    layout.FretPointSize = 12;
    return layout;
}

namespace {

    // Room for the marks and the string names a tablature has, in string gaps of the layout.
    TabLayout MakeRoom(TabLayout layout, const Tablature& tab, bool screen)
    {
        const int gap = layout.StringGap;
        if (tab.HasMarks) {
            layout.MarksAbove = 2 * gap + gap / 2;
            layout.MarksBelow = 2 * gap;
            layout.FirstStaffTop += layout.MarksAbove;
        }
        if (tab.NamesStrings) {
            layout.StringNames = true;
            // On paper the names fit in the margin beside the centred rows; the window's rows move right.
            const int room = screen ? gap + gap / 2 : 2 * gap;
            const int missing = std::max(0, room + (screen ? ScreenTabLeft : 0) - layout.TabLeft);
            layout.TabLeft += missing;
            layout.TabRight -= screen ? missing : 2 * missing;
        }
        return layout;
    }

} // namespace

TabLayout TabLayout::Screen(int paintWidth, const Tablature& tab)
{
    return MakeRoom(Screen(paintWidth, tab.StringCount()), tab, true);
}

TabLayout TabLayout::Printer(int pageWidth, int pageHeight, const Tablature& tab)
{
    return MakeRoom(Printer(pageWidth, pageHeight, tab.StringCount()), tab, false);
}

int ScreenPaintHeight(const Tablature& tab, const TabLayout& screen)
{
    return tab.RowCount() * screen.ScreenRowPitch() + screen.FirstStaffTop;
}

QList<PrintedBar> PlanPrintout(const TabLayout& printer, int pageHeight, qsizetype barCount)
{
    QList<PrintedBar> plan;
    plan.reserve(barCount);
    int y = printer.FirstStaffTop;
    int rowsOnPage = 0;
    int page = 1;
    bool left = true;
    bool breakPending = false;
    for (qsizetype i = 0; i < barCount; ++i) {
        if (breakPending) {
            ++page;
            y = printer.FirstStaffTop;
            rowsOnPage = 0;
            left = true;
            breakPending = false;
        }
        const bool firstOnPage = rowsOnPage == 0 && left;
        plan.append(PrintedBar { page, printer.BarLeft(left), y, firstOnPage });
        const int bottom = y + (printer.Strings + 1) * printer.StringGap;
        left = !left;
        if (left) {
            const int pitch = printer.PrintedRowPitch();
            y += pitch;
            ++rowsOnPage;
            // The next row with the room for its marks above and below.
            if (bottom + (pitch - 2 * printer.StaffHeight) + printer.MarksBelow + printer.StaffHeight
                    + printer.StaffHeight / 2
                > pageHeight)
                breakPending = true;
        }
    }
    return plan;
}

TabPainter::TabPainter(const Tablature& tab, const QString& title, const QString& subtitle, bool boldFrets)
    : m_tab(tab)
    , m_title(title)
    , m_subtitle(subtitle)
    , m_boldFrets(boldFrets)
{
}

void TabPainter::PaintScreen(QPainter& painter, const QSize& area, const QRect& exposed)
{
    const TabLayout layout = TabLayout::Screen(area.width(), m_tab);
    painter.save();
    painter.setClipRect(exposed);
    painter.fillRect(exposed, Qt::white);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, area.width() - 1, area.height() - 1));
    painter.setFont(FretFont(layout.FretPointSize, false));
    DrawTitles(painter, layout);

    // Fret numbers reach half a text height above a staff's top line; rows outside exposed are skipped.
    const int pitch = layout.ScreenRowPitch();
    const int reach = RowMargin + TextHeight(painter);
    const qsizetype rows = m_tab.RowCount();
    const qsizetype firstRow = std::clamp<qsizetype>(
        (exposed.top() - layout.FirstStaffTop - layout.StaffHeight - reach - layout.MarksBelow) / pitch, 0, rows);
    const qsizetype lastRow = std::clamp<qsizetype>(
        (exposed.bottom() - layout.FirstStaffTop + reach + layout.MarksAbove) / pitch + 1, 0, rows);
    for (qsizetype row = firstRow; row < lastRow; ++row) {
        const int y = layout.FirstStaffTop + static_cast<int>(row) * pitch;
        for (qsizetype i = 2 * row; i < std::min<qsizetype>(2 * row + 2, m_tab.Bars.size()); ++i)
            DrawBar(painter, layout, m_tab.Bars[i], layout.BarWidth(), y, layout.BarLeft(i % 2 == 0));
    }
    painter.restore();
}

void TabPainter::DrawTitles(QPainter& painter, const TabLayout& layout) const
{
    painter.save();
    painter.setFont(TitleFont(TitlePointSize));
    const int width = TextWidth(painter, m_title);
    // Rows moved right for the string names take the title along.
    const int centre = layout.TabRight / 2 + layout.TabLeft - ScreenTabLeft;
    const int x = width < layout.TabRight + layout.TabLeft ? centre - width / 2 : 0;
    int y = layout.TitleTop + 5;
    TextOut(painter, x, y, m_title);
    if (!TrimBlanks(m_subtitle).isEmpty()) {
        const int h = TextHeight(painter);
        y += h + h / 4;
        painter.setFont(TitleFont(layout.SubtitlePointSize));
        TextOut(painter, (layout.TabRight + layout.TabLeft) / 2 - TextWidth(painter, m_subtitle) / 2, y, m_subtitle);
    }
    painter.restore();
}

void TabPainter::PrintTitles(QPainter& painter, const TabLayout& layout) const
{
    painter.save();
    painter.setFont(TitleFont(TitlePointSize));
    const int centre = layout.RowCentre();
    int y = layout.TitleTop;
    TextOut(painter, centre - TextWidth(painter, m_title) / 2, y, m_title);
    if (!TrimBlanks(m_subtitle).isEmpty()) {
        const int h = TextHeight(painter);
        y += h + h / 4;
        painter.setFont(TitleFont(layout.SubtitlePointSize));
        TextOut(painter, centre - TextWidth(painter, m_subtitle) / 2, y, m_subtitle);
    }
    painter.restore();
}

int TabPainter::DrawBar(QPainter& painter, const TabLayout& layout, const TabBar& bar, int width, int y, int x)
{
    DrawStaff(painter, layout, x, y, width);
    if (bar.IsTruncated())
        m_truncated = true;
    painter.save();
    const QFont font = FretFont(layout.FretPointSize, m_boldFrets);
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    // The renderers pass the bar they visit; its index places its marks among its neighbours.
    const auto visited = std::lower_bound(m_tab.Bars.begin(), m_tab.Bars.end(), bar.FirstColumn,
        [](const TabBar& b, qsizetype first) { return b.FirstColumn < first; });
    const BarPlace at { visited - m_tab.Bars.begin(), x, y, width };
    const QList<PlacedNote> notes = PlaceBarNotes(m_tab, layout, metrics, bar, at);
    // Every gap before any digit, so a wide gap never clips its neighbour's digits.
    const int margin = std::max(2, layout.StringGap / 8);
    for (const PlacedNote& note : notes)
        painter.fillRect(note.Ink.adjusted(-margin, -margin, margin, margin), Qt::white);
    for (const PlacedNote& note : notes)
        painter.drawText(note.Baseline, note.Text);
    if (m_tab.HasMarks && at.Index < m_tab.Bars.size())
        DrawBarMarks(painter, m_tab, layout, notes, at, font);
    // A row starts with its left bar.
    if (layout.StringNames && x == layout.TabLeft)
        DrawStringNames(painter, m_tab, layout, y, font);
    painter.restore();
    return y + (layout.Strings + 1) * layout.StringGap;
}

void TabPainter::DrawStaff(QPainter& painter, const TabLayout& layout, int x, int y, int width) const
{
    painter.drawLine(x, y, x, y + layout.StaffHeight);
    painter.drawLine(x + width - 1, y, x + width - 1, y + layout.StaffHeight);
    for (int k = 0; k < layout.Strings; ++k)
        painter.drawLine(x, y + k * layout.StringGap, x + width, y + k * layout.StringGap);
}

int TabPainter::PrintTablature(
    QPainter& painter, const TabLayout& layout, int pageHeight, const std::function<bool()>& newPage)
{
    // Hairlines vanish at printer resolutions: staff lines get a width of about 1/150 inch.
    const qreal dpi = painter.device() ? painter.device()->logicalDpiY() : 96.0;
    painter.setPen(QPen(Qt::black, std::max<qreal>(1.0, dpi / 150.0)));
    painter.setBrush(Qt::NoBrush);
    painter.setFont(FretFont(layout.FretPointSize, false));
    const int labelX = layout.TabLeft + layout.TabRight - 2 * TextWidth(painter, PageLabel(1));
    const QList<PrintedBar> plan = PlanPrintout(layout, pageHeight, m_tab.Bars.size());
    int pages = plan.isEmpty() ? 0 : 1;
    for (qsizetype i = 0; i < plan.size(); ++i) {
        const PrintedBar& placed = plan[i];
        if (placed.Page > pages) {
            if (!newPage())
                break;
            pages = placed.Page;
        }
        if (placed.FirstOnPage) {
            painter.save();
            painter.setFont(TitleFont(PrinterLabelFontPointSize));
            TextOut(painter, labelX, 0, PageLabel(placed.Page));
            painter.restore();
            PrintTitles(painter, layout);
        }
        DrawBar(painter, layout, m_tab.Bars[i], layout.BarWidth(), placed.Y, placed.X);
    }
    return pages;
}

QPageLayout TabPdfPageLayout(const QPageSize& pageSize, QPageLayout::Orientation orientation)
{
    return QPageLayout(pageSize, orientation, QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

bool WriteTablaturePdf(const QString& fileName, const Tablature& tab, const QString& title, const QString& subtitle,
    bool boldFrets, const QPageSize& pageSize, QString* errorText, QPageLayout::Orientation orientation)
{
    SafeFile file(fileName);
    bool ok = file.openForWriting();
    bool drawn = true;
    if (ok) {
        QPdfWriter writer(&file);
        writer.setResolution(TabPdfResolution);
        writer.setPageLayout(TabPdfPageLayout(pageSize, orientation));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Fretwerk Bass"));
        QPainter painter;
        drawn = painter.begin(&writer);
        if (drawn) {
            const TabLayout layout = TabLayout::Printer(writer.width(), writer.height(), tab);
            TabPainter tabPainter(tab, title, subtitle, boldFrets);
            tabPainter.PrintTablature(painter, layout, writer.height(), [&writer] { return writer.newPage(); });
            drawn = painter.end();
        }
        ok = drawn && file.finish();
    }
    if (!ok && errorText) {
        *errorText = file.error() != QFileDevice::NoError || drawn
            ? file.errorText()
            : QStringLiteral("Cannot write \"%1\": the PDF could not be drawn").arg(fileName);
    }
    // Read before, since cancelling sets an error text of its own.
    if (!ok)
        file.cancelWriting();
    return ok;
}

} // namespace fw
