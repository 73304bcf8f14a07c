#pragma once

#include "TabBuilder.h"

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QRect>
#include <QString>
#include <algorithm>
#include <functional>

class QPainter;

namespace fw {

// Layout metrics of drawn tablature, in device pixels of the canvas drawn on.
struct TabLayout {
    int TabRight = 0; // right end of a staff row
    int StringGap = 0; // distance between string lines
    int Strings = 4; // string lines of a staff
    int StaffHeight = 0; // top line to bottom line
    int TabLeft = 0; // left end of a staff row
    int FirstStaffTop = 0; // top line of the first row
    int TitleTop = 0;
    // Font sizes in points; the canvas turns them into pixels at its own resolution.
    int SubtitlePointSize = 0;
    int FretPointSize = 0;
    // Room above and below each staff for playing techniques; none for a tablature without them.
    int MarksAbove = 0;
    int MarksBelow = 0;
    // The string names stand left of each row, right of the canvas's left edge.
    bool StringNames = false;

    // The window's preset, for a paint area of the given width.
    static TabLayout Screen(int paintWidth, int strings = 4);
    // The printer's preset, for a printable page of the given size in device pixels: the rows take
    // nine tenths of its width and are centred on it.
    static TabLayout Printer(int pageWidth, int pageHeight, int strings = 4);
    // The presets for a tablature: its strings, room for its marks, and its string names when it names
    // them. A four-string tablature without either gets the plain preset.
    static TabLayout Screen(int paintWidth, const Tablature& tab);
    static TabLayout Printer(int pageWidth, int pageHeight, const Tablature& tab);

    int BarWidth() const { return TabRight / 2; }
    // The middle of a row, over which printed titles are centred.
    int RowCentre() const { return TabLeft + TabRight / 2; }
    // x of a bar: the right bar shares the left bar's closing bar line.
    int BarLeft(bool leftHalf) const { return leftHalf ? TabLeft : TabLeft + TabRight / 2 - 1; }
    friend bool operator==(const TabLayout&, const TabLayout&) = default;

    // Distance between rows on screen and on paper.
    int ScreenRowPitch() const { return StaffHeight + StaffHeight / 2 + MarksAbove + MarksBelow; }
    int PrintedRowPitch() const { return 2 * StaffHeight + std::max(0, MarksAbove + MarksBelow - StaffHeight / 2); }
};

inline constexpr int TitlePointSize = 16;

// Height of the screen paint area for the tablature (rows x 67 + 65 with the screen preset).
int ScreenPaintHeight(const Tablature& tab, const TabLayout& screen);

// Where printing puts each visited bar.
struct PrintedBar {
    int Page = 1; // from 1
    int X = 0;
    int Y = 0;
    bool FirstOnPage = false; // the page label and titles are drawn before it
};

// The placement of barCount bars on pages of the given height: two bars per row, rows every two
// staff heights, a new page once the next row would not fit.
QList<PrintedBar> PlanPrintout(const TabLayout& printer, int pageHeight, qsizetype barCount);

// Draws a built tablature for the window, for printing and for PDF files. The window owns a
// Tablature (rebuilt on activation) and a TabPainter over it; on each paint event it calls
// PaintScreen with the exposed rectangle, then warns once when Truncated() (or
// Tablature::HasTruncatedBar()) is set and calls ClearTruncated().
class TabPainter {
public:
    TabPainter(const Tablature& tab, const QString& title, const QString& subtitle, bool boldFrets);

    // The whole paint-area event: white background, black frame, titles and the bars of every row
    // that meets exposed (only those, so long tablature scrolls smoothly).
    void PaintScreen(QPainter& painter, const QSize& area, const QRect& exposed);

    void DrawTitles(QPainter& painter, const TabLayout& layout) const;
    void PrintTitles(QPainter& painter, const TabLayout& layout) const;
    // The staff, then the fret numbers of the bar's columns (at most 16; more set Truncated), each on
    // a gap of background cut into its string line, then the bar's marks (TabMarkPainter.h) and, for
    // the first bar of a row of a tablature that names its strings, the names. Returns the bar's
    // bottom reference: y + (strings + 1) string gaps.
    int DrawBar(QPainter& painter, const TabLayout& layout, const TabBar& bar, int width, int y, int x);
    void DrawStaff(QPainter& painter, const TabLayout& layout, int x, int y, int width) const;

    // Prints all bars with the printer preset of layout; newPage is called before each page after
    // the first (QPagedPaintDevice::newPage) and may return false to stop. Returns the pages used.
    int PrintTablature(
        QPainter& painter, const TabLayout& layout, int pageHeight, const std::function<bool()>& newPage);

    bool Truncated() const { return m_truncated; }
    void ClearTruncated() { m_truncated = false; }

private:
    const Tablature& m_tab;
    QString m_title;
    QString m_subtitle;
    bool m_boldFrets;
    bool m_truncated = false;
};

inline constexpr int TabPdfResolution = 600;

// The page of a tablature PDF: margins of 12 mm on every side, inside which the rows are centred.
QPageLayout TabPdfPageLayout(const QPageSize& pageSize, QPageLayout::Orientation orientation = QPageLayout::Portrait);

// Prints the tablature to a PDF file on TabPdfPageLayout pages at TabPdfResolution; the window's
// print-to-file, File > Export and fretwerk-cli all come here. The file is replaced only when
// complete; errorText names the file and the reason.
bool WriteTablaturePdf(const QString& fileName, const Tablature& tab, const QString& title, const QString& subtitle,
    bool boldFrets, const QPageSize& pageSize, QString* errorText = nullptr,
    QPageLayout::Orientation orientation = QPageLayout::Portrait);

} // namespace fw
