#include "TabPainter.h"
#include "TabTestSupport.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace fw {
namespace {

    Tablature Build(const QStringList& lines) { return Tablature::Build(test::ParseEveryLine(lines)); }

    // Lines holding the given number of one-column bars.
    QStringList Bars(int count)
    {
        QStringList lines;
        for (int i = 0; i < count; ++i)
            lines << test::FretLine(6, i % 19) << QString();
        return lines;
    }

    bool IsDark(QRgb pixel) { return qGray(pixel) < 128; }

    // Leftmost dark pixel in the rectangle, or -1.
    int FirstDarkColumn(const QImage& image, const QRect& area)
    {
        for (int x = area.left(); x <= area.right(); ++x)
            for (int y = area.top(); y <= area.bottom(); ++y)
                if (IsDark(image.pixel(x, y)))
                    return x;
        return -1;
    }

    int DarkPixels(const QImage& image, const QRect& area)
    {
        int count = 0;
        for (int x = area.left(); x <= area.right(); ++x)
            for (int y = area.top(); y <= area.bottom(); ++y)
                count += IsDark(image.pixel(x, y));
        return count;
    }

    QImage WhiteImage(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }

    TEST(TabPainter, LayoutPresets)
    {
        const TabLayout screen = TabLayout::Screen(593);
        EXPECT_EQ(screen.TabRight, 593 - 29);
        EXPECT_EQ(screen.StringGap, 15);
        EXPECT_EQ(screen.StaffHeight, 45);
        EXPECT_EQ(screen.TabLeft, 10);
        EXPECT_EQ(screen.FirstStaffTop, 65);
        EXPECT_EQ(screen.TitleTop, 10);
        EXPECT_EQ(screen.ScreenRowPitch(), 67);
        EXPECT_EQ(screen.BarLeft(false), 10 + 282 - 1);

        const TabLayout printer = TabLayout::Printer(5100, 6600);
        EXPECT_EQ(printer.TabRight, 4590);
        EXPECT_EQ(printer.StringGap, 110);
        EXPECT_EQ(printer.StaffHeight, 330);
        // The rows are centred: 255 pixels on either side of 2 x 2295.
        EXPECT_EQ(printer.TabLeft, 255);
        EXPECT_EQ(printer.FirstStaffTop, 660);
        EXPECT_EQ(printer.TitleTop, 110);
    }

    TEST(TabPainter, ScreenHeightFollowsTheRowCount)
    {
        const TabLayout screen = TabLayout::Screen(593);
        EXPECT_EQ(ScreenPaintHeight(Build(Bars(1)), screen), 67 + 65);
        EXPECT_EQ(ScreenPaintHeight(Build(Bars(3)), screen), 2 * 67 + 65);
        EXPECT_EQ(ScreenPaintHeight(Build(Bars(4)), screen), 2 * 67 + 65);
    }

    TEST(TabPainter, PrintoutBreaksPagesAfterNineRows)
    {
        const TabLayout printer = TabLayout::Printer(5100, 6600);
        const QList<PrintedBar> plan = PlanPrintout(printer, 6600, 24);
        ASSERT_EQ(plan.size(), 24);
        for (int i = 0; i < 24; ++i) {
            const int row = i / 2 < 9 ? i / 2 : i / 2 - 9;
            EXPECT_EQ(plan[i].Page, i < 18 ? 1 : 2) << i;
            EXPECT_EQ(plan[i].Y, 660 + row * 660) << i;
            EXPECT_EQ(plan[i].X, i % 2 == 0 ? 255 : 255 + 2295 - 1) << i;
            EXPECT_EQ(plan[i].FirstOnPage, i == 0 || i == 18) << i;
        }
        // A last row that fills the page exactly ends the printout: no further page.
        EXPECT_EQ(PlanPrintout(printer, 6600, 18).last().Page, 1);
        // An odd last bar stands in the left half.
        const QList<PrintedBar> odd = PlanPrintout(printer, 6600, 19);
        EXPECT_EQ(odd.last().Page, 2);
        EXPECT_EQ(odd.last().X, 255);
    }

    TEST(TabPainter, PrintTablatureStartsPagesAndLabelsThem)
    {
        const Tablature tab = Build(Bars(24));
        QImage page = WhiteImage(5100, 6600);
        QPainter painter(&page);
        TabPainter tabPainter(tab, QStringLiteral("Title"), QStringLiteral("Sub"), false);
        int newPages = 0;
        const int pages = tabPainter.PrintTablature(painter, TabLayout::Printer(5100, 6600), 6600, [&] {
            ++newPages;
            return true;
        });
        painter.end();
        EXPECT_EQ(pages, 2);
        EXPECT_EQ(newPages, 1);
        // The page label sits at the top right, left of the staff's right end.
        EXPECT_GT(DarkPixels(page, QRect(3000, 0, 255 + 4590 - 3000, 100)), 0);
        EXPECT_FALSE(tabPainter.Truncated());
    }

    TEST(TabPainter, RestColumnsKeepTheirPlace)
    {
        const TabLayout layout = TabLayout::Screen(593);
        const int width = layout.BarWidth();
        // Three columns: c = 4, step = width div 5.
        const int step = width / 5;
        for (const bool restFirst : { false, true }) {
            const Tablature tab = Build({ restFirst ? test::FretLine(0, 0) : test::FretLine(4, 7),
                restFirst ? test::FretLine(4, 7) : test::FretLine(0, 0), test::FretLine(0, 0) });
            QImage image = WhiteImage(600, 200);
            QPainter painter(&image);
            TabPainter tabPainter(tab, QString(), QString(), false);
            EXPECT_EQ(tabPainter.DrawBar(painter, layout, tab.Bars[0], width, 65, 10), 65 + 75);
            painter.end();
            // Between the string lines of D (y 80) and A (y 95) only the fret number is dark.
            const int x = FirstDarkColumn(image, QRect(12, 82, 500, 4));
            const int expected = 10 + (restFirst ? 2 : 1) * step;
            EXPECT_GE(x, expected) << restFirst;
            EXPECT_LE(x, expected + 3) << restFirst;
        }
    }

    TEST(TabPainter, StaffLinesAndBarLines)
    {
        const TabLayout layout = TabLayout::Screen(593);
        QImage image = WhiteImage(600, 200);
        QPainter painter(&image);
        const Tablature tab = Build({ test::FretLine(0, 0) });
        TabPainter(tab, QString(), QString(), false).DrawStaff(painter, layout, 10, 65, 282);
        painter.end();
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(DarkPixels(image, QRect(10, 65 + 15 * k, 283, 1)), 283) << k;
        EXPECT_EQ(DarkPixels(image, QRect(10, 65, 1, 46)), 46);
        EXPECT_EQ(DarkPixels(image, QRect(291, 65, 1, 46)), 46);
        EXPECT_EQ(DarkPixels(image, QRect(11, 66, 279, 14)), 0);
    }

    // Each fret number stands on a gap of background in its string line, on screen and on a page at
    // printer resolution, in both weights: the line stops short of the digits' ink on both sides, goes
    // on beyond the gap, and the digits themselves are dark.
    TEST(TabPainter, FretNumbersSitOnGapsInTheirStringLines)
    {
        struct Canvas {
            const char* name;
            QSize size;
            int dotsPerInch;
            TabLayout layout;
        };
        const Canvas canvases[] = {
            { "screen", QSize(600, 200), 96, TabLayout::Screen(593) },
            { "page", QSize(5100, 1200), 600, TabLayout::Printer(5100, 6600) },
        };
        // Fret 1 on the D string and 12 on the A string, then fret 7 on the D string.
        const Tablature tab = Build({ "N, x, 12, 1, x, Q", "N, x, x, 7, x, Q" });
        for (const Canvas& canvas : canvases) {
            for (const bool bold : { false, true }) {
                SCOPED_TRACE(std::string(canvas.name) + (bold ? " bold" : ""));
                QImage image = WhiteImage(canvas.size.width(), canvas.size.height());
                image.setDotsPerMeterX(qRound(canvas.dotsPerInch / 0.0254));
                image.setDotsPerMeterY(qRound(canvas.dotsPerInch / 0.0254));
                const TabLayout& layout = canvas.layout;
                const int x = layout.TabLeft;
                const int y = layout.FirstStaffTop;
                const int width = layout.BarWidth();
                QPainter painter(&image);
                TabPainter(tab, QString(), QString(), bold).DrawBar(painter, layout, tab.Bars[0], width, y, x);
                painter.end();
                // Two columns: c = 3, step = width div 4.
                const int step = width / 4;
                struct Number {
                    int string; // 0 = G
                    int column; // 1 or 2
                };
                for (const Number number : { Number { 1, 1 }, Number { 2, 1 }, Number { 1, 2 } }) {
                    SCOPED_TRACE(number.string * 10 + number.column);
                    const int lineY = y + number.string * layout.StringGap;
                    // The digits' ink, found between this string line and the neighbouring ones.
                    const QRect cell(x + number.column * step - step / 2, lineY - layout.StringGap / 2 + 1, step,
                        layout.StringGap - 2);
                    int left = -1;
                    int right = -1;
                    for (int px = cell.left(); px <= cell.right(); ++px) {
                        for (int py = cell.top(); py <= cell.bottom(); ++py) {
                            if (py != lineY && IsDark(image.pixel(px, py))) {
                                left = left < 0 ? px : left;
                                right = px;
                            }
                        }
                    }
                    ASSERT_GE(left, 0) << "the digits are drawn";
                    EXPECT_GT(DarkPixels(image, QRect(left, cell.top(), right - left + 1, cell.height())),
                        (right - left + 1) / 2)
                        << "the digits are dark";
                    EXPECT_FALSE(IsDark(image.pixel(left - 1, lineY))) << "a gap before the digits";
                    EXPECT_FALSE(IsDark(image.pixel(right + 1, lineY))) << "a gap after the digits";
                    const int beyond = 2 + layout.StringGap / 4;
                    EXPECT_TRUE(IsDark(image.pixel(left - beyond, lineY))) << "the line goes on before the gap";
                    EXPECT_TRUE(IsDark(image.pixel(right + beyond, lineY))) << "the line goes on after the gap";
                }
                // Strings without numbers are whole.
                EXPECT_EQ(DarkPixels(image, QRect(x, y, width, 1)), width);
                EXPECT_EQ(DarkPixels(image, QRect(x, y + 3 * layout.StringGap, width, 1)), width);
            }
        }
    }

    TEST(TabPainter, SeventeenColumnsSetTruncated)
    {
        QStringList lines;
        for (int i = 0; i < 17; ++i)
            lines << test::FretLine(3, i);
        const Tablature tab = Build(lines);
        QImage image = WhiteImage(600, 200);
        QPainter painter(&image);
        TabPainter tabPainter(tab, QString(), QString(), false);
        tabPainter.DrawBar(painter, TabLayout::Screen(593), tab.Bars[0], 282, 65, 10);
        EXPECT_TRUE(tabPainter.Truncated());
        tabPainter.ClearTruncated();
        EXPECT_FALSE(tabPainter.Truncated());
    }

    TEST(TabPainter, BoldFretsAreHeavier)
    {
        const Tablature tab = Build({ "N, 8, 8, 8, 8, Q" });
        int dark[2];
        for (const bool bold : { false, true }) {
            QImage image = WhiteImage(600, 200);
            QPainter painter(&image);
            TabPainter(tab, QString(), QString(), bold)
                .DrawBar(painter, TabLayout::Screen(593), tab.Bars[0], 282, 65, 10);
            painter.end();
            dark[bold] = DarkPixels(image, QRect(0, 0, 600, 200));
        }
        EXPECT_GT(dark[1], dark[0]);
    }

    TEST(TabPainter, ScreenPaintDrawsOnlyExposedRows)
    {
        const Tablature tab = Build(Bars(40));
        const TabLayout layout = TabLayout::Screen(593);
        const int height = ScreenPaintHeight(tab, layout);
        EXPECT_EQ(height, 20 * 67 + 65);
        QImage image(593, height, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        TabPainter tabPainter(tab, QStringLiteral("Title"), QString(), false);
        // Row 10 starts at y = 65 + 9 x 67.
        const QRect exposed(0, 65 + 9 * 67 - 10, 593, 60);
        tabPainter.PaintScreen(painter, image.size(), exposed);
        painter.end();
        EXPECT_EQ(image.pixel(300, 10), QColor(Qt::red).rgb());
        EXPECT_EQ(image.pixel(300, height - 10), QColor(Qt::red).rgb());
        EXPECT_GT(DarkPixels(image, QRect(10, 65 + 9 * 67, 560, 1)), 500);

        QImage whole(593, height, QImage::Format_RGB32);
        QPainter wholePainter(&whole);
        tabPainter.PaintScreen(wholePainter, whole.size(), whole.rect());
        wholePainter.end();
        EXPECT_EQ(whole.copy(exposed), image.copy(exposed));
        EXPECT_EQ(whole.pixel(0, 0), QColor(Qt::black).rgb());
    }

    TEST(TabPainter, WideTitleStartsAtTheLeftOnScreenButStaysCentredInPrint)
    {
        const Tablature tab = Build(Bars(1));
        const QString title(60, u'W');
        QImage screen = WhiteImage(593, 200);
        QPainter painter(&screen);
        TabPainter tabPainter(tab, title, QString(), false);
        tabPainter.DrawTitles(painter, TabLayout::Screen(593));
        painter.end();
        EXPECT_LE(FirstDarkColumn(screen, QRect(0, 10, 593, 30)), 3);

        QImage short_ = WhiteImage(593, 200);
        QPainter shortPainter(&short_);
        TabPainter(tab, QStringLiteral("Hi"), QString(), false).DrawTitles(shortPainter, TabLayout::Screen(593));
        shortPainter.end();
        EXPECT_GT(FirstDarkColumn(short_, QRect(0, 10, 593, 30)), 250);

        // On paper the same title stays centred on the page, running off both sides alike: drawn with
        // room to spare on either side of a 593-pixel page to see where it falls.
        constexpr int Room = 2000;
        const TabLayout paper = TabLayout::Printer(593, 800);
        QImage sheet = WhiteImage(593 + 2 * Room, 200);
        QPainter sheetPainter(&sheet);
        sheetPainter.translate(Room, 0);
        tabPainter.PrintTitles(sheetPainter, paper);
        sheetPainter.end();
        const QRect band(0, 0, sheet.width(), 200);
        const int first = FirstDarkColumn(sheet, band);
        int last = -1;
        for (int x = band.right(); x >= 0 && last < 0; --x)
            for (int y = band.top(); y <= band.bottom() && last < 0; ++y)
                if (IsDark(sheet.pixel(x, y)))
                    last = x;
        ASSERT_GE(first, 0);
        EXPECT_LT(first, Room) << "a title wider than the page starts left of it";
        EXPECT_GT(last, Room + 593) << "and ends right of it";
        EXPECT_NEAR((first + last) / 2.0, Room + 593 / 2.0, 8);
    }

    // The marks are drawn around their notes: an arc between a hammer-on and its note (none without the
    // mark), an X in a dead note's place with a gap in its string line, and the string names at the start
    // of each row of a list with a tuning line.
    TEST(TabPainter, MarksAndStringNamesAreDrawnWhereTheyBelong)
    {
        const QStringList marked { "* Tuning: D A D G", "A, x, 5h, x, x, Q", "B, x, 7, x, x, Q", "X, m, x, x, x, Q" };
        QStringList plain = marked;
        plain[1] = "A, x, 5, x, x, Q";
        plain[3] = "Rest, x, x, x, x, Q";
        const Tablature tab = Tablature::Build(test::ParseEveryLine(marked), TuningOfLines(marked));
        const Tablature without = Tablature::Build(test::ParseEveryLine(plain), TuningOfLines(plain));
        const TabLayout layout = TabLayout::Screen(593, tab);
        ASSERT_GT(layout.MarksAbove, 0);
        ASSERT_GT(layout.TabLeft, 10) << "room for the names";
        const int width = layout.BarWidth();
        const int step = width / 5; // three columns: c = 4
        const int x = layout.TabLeft;
        const int y = layout.FirstStaffTop;
        const auto draw = [&](const Tablature& drawn) {
            QImage image = WhiteImage(600, 260);
            QPainter painter(&image);
            TabPainter(drawn, QString(), QString(), false).DrawBar(painter, layout, drawn.Bars[0], width, y, x);
            return image;
        };
        const QImage with = draw(tab);
        const QImage plainImage = draw(without);

        // Above the A string between the two numbers, below the D string: the arc (and its h).
        const int aLine = y + 2 * layout.StringGap;
        const QRect overTheLink(x + step + 10, aLine - layout.StringGap + 2, step - 12, layout.StringGap - 6);
        EXPECT_GT(DarkPixels(with, overTheLink), 3);
        EXPECT_EQ(DarkPixels(plainImage, overTheLink), 0);

        // The dead note on the low string: ink off the line where it stands, the line cut before it.
        const int eLine = y + 3 * layout.StringGap;
        const int dead = x + 3 * step;
        EXPECT_GT(DarkPixels(with, QRect(dead, eLine - 6, 10, 5)) + DarkPixels(with, QRect(dead, eLine + 1, 10, 5)), 4);
        EXPECT_FALSE(IsDark(with.pixel(dead - 2, eLine)));
        EXPECT_TRUE(IsDark(plainImage.pixel(dead - 2, eLine)));

        // D A D G: a name left of every string line, and nothing there for a list without a tuning line.
        for (int string = 0; string < 4; ++string) {
            const int lineY = y + string * layout.StringGap;
            EXPECT_GT(DarkPixels(with, QRect(0, lineY - 5, x - 1, 10)), 3) << string;
        }
        const Tablature standard = Tablature::Build(test::ParseEveryLine({ "A, x, 5, x, x, Q" }));
        EXPECT_EQ(TabLayout::Screen(593, standard), TabLayout::Screen(593));
        EXPECT_EQ(TabLayout::Printer(5100, 6600, standard), TabLayout::Printer(5100, 6600));
    }

    // Printed rows of a marked list keep the room of their marks inside the page and apart from each other.
    TEST(TabPainter, PrintedRowsKeepTheirMarksOnThePage)
    {
        QStringList lines;
        for (int i = 0; i < 40; ++i)
            lines << "E, 3, x, x, x, Q, slap pm" << QString();
        const Tablature tab = Build(lines);
        const TabLayout printer = TabLayout::Printer(5100, 6600, tab);
        const QList<PrintedBar> plan = PlanPrintout(printer, 6600, tab.Bars.size());
        ASSERT_EQ(plan.size(), 40);
        EXPECT_GT(plan.last().Page, 2);
        for (qsizetype i = 0; i < plan.size(); i += 2) {
            const PrintedBar& bar = plan[i];
            EXPECT_LE(bar.Y + printer.StaffHeight + printer.StringGap + printer.MarksBelow, 6600) << i;
            // The numbers reach half a gap beyond the staff; the marks of two rows do not meet.
            if (i + 2 < plan.size() && plan[i + 2].Page == bar.Page) {
                EXPECT_GE(plan[i + 2].Y - bar.Y,
                    printer.StaffHeight + printer.StringGap + printer.MarksAbove + printer.MarksBelow)
                    << i;
            }
        }
    }

} // namespace
} // namespace fw
