#include "AboutBox.h"
#include "HelpWindow.h"
#include "TestFiles.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace fw {
namespace {

    QString PageText(const QUrl& url) { return QString::fromUtf8(test::ReadFileBytes(QLatin1Char(':') + url.path())); }

    TEST(HelpWindow, EachCommandOpensItsPage)
    {
        HelpWindow help;
        EXPECT_TRUE(help.OpenHelp(HelpCommand::Contents, 0));
        EXPECT_EQ(help.currentPage(), QUrl(QStringLiteral("qrc:/fwbass/index.html")));
        EXPECT_TRUE(help.isVisible());
        EXPECT_EQ(help.browser()->documentTitle(), QStringLiteral("Fretwerk Bass Help"));

        EXPECT_TRUE(help.OpenHelp(HelpCommand::Finder, 0));
        EXPECT_EQ(help.currentPage(), QUrl(QStringLiteral("qrc:/fwbass/topics.html")));
        EXPECT_EQ(help.browser()->documentTitle(), QStringLiteral("Topic index"));

        EXPECT_TRUE(help.OpenHelp(HelpCommand::Context, GettingStartedContext));
        EXPECT_EQ(help.browser()->documentTitle(), QStringLiteral("Getting Started"));
        EXPECT_TRUE(help.browser()->toPlainText().contains(QStringLiteral("Your first notes")));
        EXPECT_EQ(help.windowTitle(), QStringLiteral("Getting Started - Fretwerk Bass Help"));

        EXPECT_TRUE(help.OpenHelp(HelpCommand::Context, 999));
        EXPECT_EQ(help.currentPage(), HelpWindow::contentsUrl());
        EXPECT_FALSE(help.OpenHelp(2, 0));
        EXPECT_EQ(help.currentPage(), HelpWindow::contentsUrl());

        const auto* back = help.findChild<QPushButton*>(QStringLiteral("btnBack"));
        ASSERT_NE(back, nullptr);
        EXPECT_TRUE(back->isEnabled());
        for (const QWidget* w : help.findChildren<QWidget*>()) {
            if (qobject_cast<const QPushButton*>(w) || qobject_cast<const QTextBrowser*>(w)) {
                EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
            }
        }
    }

    TEST(HelpPages, EveryLinkAndAnchorResolvesAndEveryPageIsReachable)
    {
        const QList<QUrl> pages = HelpWindow::pageUrls();
        ASSERT_GE(pages.size(), 9);
        static const QRegularExpression href(QStringLiteral(R"re(\b(?:href|src)="([^"]+)")re"));
        QSet<QString> linked;
        for (const QUrl& page : pages) {
            const QString html = PageText(page);
            ASSERT_FALSE(html.isEmpty()) << page.toString().toStdString();
            EXPECT_TRUE(html.contains(QStringLiteral("<title>"))) << page.toString().toStdString();
            for (auto it = href.globalMatch(html); it.hasNext();) {
                const QUrl target = page.resolved(QUrl(it.next().captured(1)));
                ASSERT_EQ(target.scheme(), QStringLiteral("qrc")) << target.toString().toStdString();
                const QString targetText = PageText(target);
                EXPECT_FALSE(targetText.isEmpty())
                    << page.toString().toStdString() << " -> " << target.toString().toStdString();
                if (target.hasFragment()) {
                    EXPECT_TRUE(targetText.contains(QStringLiteral("id=\"%1\"").arg(target.fragment())))
                        << page.toString().toStdString() << " -> " << target.toString().toStdString();
                }
                linked.insert(target.path());
            }
        }
        for (const QUrl& page : pages)
            EXPECT_TRUE(linked.contains(page.path())) << "nothing links to " << page.toString().toStdString();
    }

    TEST(HelpPages, AnchorsScrollTheBrowser)
    {
        HelpWindow help;
        help.resize(400, 200);
        help.show();
        help.browser()->setSource(QUrl(QStringLiteral("qrc:/fwbass/settings.html#midi")));
        EXPECT_GT(help.browser()->verticalScrollBar()->value(), 0);
    }

    TEST(AboutBox, ShowsProductAndVersion)
    {
        TfrmAbout about;
        EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
        EXPECT_EQ(about.size(), QSize(323, 285));
        const auto* product = about.findChild<QLabel*>(QStringLiteral("Label3"));
        ASSERT_NE(product, nullptr);
        EXPECT_EQ(product->text(), QStringLiteral("Fretwerk Bass"));
        EXPECT_EQ(product->font().pixelSize(), 21);
        EXPECT_EQ(about.lblVersion->font().pixelSize(), 13);
        const auto* image = about.findChild<QWidget*>(QStringLiteral("Image1"));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->size(), QSize(300, 115));
        about.show();
        EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version 1.0"));
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("btnOK"));
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isDefault());
        ok->click();
        EXPECT_FALSE(about.isVisible());
        EXPECT_EQ(about.result(), QDialog::Accepted);
    }

} // namespace
} // namespace fw
