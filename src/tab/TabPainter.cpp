#include "TabPainter.h"

#include "SafeFileWrite.h"
#include "TextRules.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QVarLengthArray>
#include <algorithm>

namespace fw {

namespace {

    constexpr int RowMargin = 20;
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
    layout.TabLeft = 10;
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
            y += 2 * printer.StaffHeight;
            ++rowsOnPage;
            if (bottom + printer.StaffHeight + printer.StaffHeight / 2 > pageHeight)
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
    const TabLayout layout = TabLayout::Screen(area.width(), m_tab.StringCount());
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
    const qsizetype firstRow
        = std::clamp<qsizetype>((exposed.top() - layout.FirstStaffTop - layout.StaffHeight - reach) / pitch, 0, rows);
    const qsizetype lastRow
        = std::clamp<qsizetype>((exposed.bottom() - layout.FirstStaffTop + reach) / pitch + 1, 0, rows);
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
    const int x = width < layout.TabRight + layout.TabLeft ? layout.TabRight / 2 - width / 2 : 0;
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
    const int c = SpacingCount(bar.BarLength);
    const int step = width / (c + 1);
    int col = x;
    painter.save();
    painter.setFont(FretFont(layout.FretPointSize, m_boldFrets));
    const QFontMetrics metrics(painter.font(), painter.device());
    // The digits' top sits half a text height above their string line.
    const int baselineBelowLine = metrics.ascent() - metrics.height() / 2;
    struct FretNumber {
        QPoint baseline;
        QString text;
    };
    QVarLengthArray<FretNumber, 4 * MaxTabColumns> numbers;
    int shown = 0;
    for (qsizetype i = bar.FirstColumn; i < bar.EndIndex; ++i) {
        if (++shown > MaxTabColumns) {
            m_truncated = true;
            break;
        }
        col += step;
        const TabColumn& column = m_tab.Columns[i];
        for (int slot = m_tab.FirstSlot; slot <= LastBassSlot; ++slot) {
            if (column.Frets[slot] != NotPlayedFret) {
                const int sy = y + (slot - m_tab.FirstSlot) * layout.StringGap;
                numbers.append({ QPoint(col, sy + baselineBelowLine), QString::number(column.Frets[slot]) });
            }
        }
    }
    // Every gap before any digit, so a wide gap never clips its neighbour's digits.
    const int margin = std::max(2, layout.StringGap / 8);
    for (const FretNumber& number : numbers)
        painter.fillRect(metrics.tightBoundingRect(number.text)
                             .translated(number.baseline)
                             .adjusted(-margin, -margin, margin, margin),
            Qt::white);
    for (const FretNumber& number : numbers)
        painter.drawText(number.baseline, number.text);
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
            const TabLayout layout = TabLayout::Printer(writer.width(), writer.height(), tab.StringCount());
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
