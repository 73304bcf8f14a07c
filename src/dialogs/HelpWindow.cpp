#include "HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// Resources of a static library must be registered by hand, outside any namespace.
static void InitHelpResources() { Q_INIT_RESOURCE(fwbass); }

namespace fw {

namespace {

    QUrl Page(const QString& file) { return QUrl(QStringLiteral("qrc:/fwbass/") + file); }

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    InitHelpResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Fretwerk Bass Help"));
    setAccessibleName(QStringLiteral("Fretwerk Bass Help"));
    // The help belongs to the main window: it never keeps the program running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);

    const auto button = [this](const char* name, const QString& caption, const QString& description) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
        b->setAccessibleDescription(description);
        b->setToolTip(description);
        return b;
    };
    auto* contents = button("btnContents", QStringLiteral("&Contents"), QStringLiteral("Show the contents page."));
    auto* topics = button("btnTopics", QStringLiteral("&Index"), QStringLiteral("Show the topic index."));
    m_back = button("btnBack", QStringLiteral("&Back"), QStringLiteral("Go back to the page shown before."));
    m_forward = button("btnForward", QStringLiteral("&Forward"), QStringLiteral("Go forward again."));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setAccessibleName(QStringLiteral("Help page"));
    m_browser->setOpenExternalLinks(true);
    // The pages link their style sheet for other viewers; the browser needs it as the default instead.
    QFile css(QStringLiteral(":/fwbass/help.css"));
    if (css.open(QIODevice::ReadOnly))
        m_browser->document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));

    connect(contents, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(topics, &QPushButton::clicked, this, &HelpWindow::showTopics);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(
            title.isEmpty() ? QStringLiteral("Fretwerk Bass Help") : title + QStringLiteral(" - Fretwerk Bass Help"));
    });
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    auto* bar = new QHBoxLayout;
    for (QPushButton* b : { contents, topics, m_back, m_forward })
        bar->addWidget(b);
    bar->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(bar);
    column->addWidget(m_browser, 1);
    resize(640, 520);
}

QUrl HelpWindow::contentsUrl() { return Page(QStringLiteral("index.html")); }

QUrl HelpWindow::topicsUrl() { return Page(QStringLiteral("topics.html")); }

QUrl HelpWindow::contextUrl(int context)
{
    return context == GettingStartedContext ? Page(QStringLiteral("getting-started.html")) : contentsUrl();
}

QList<QUrl> HelpWindow::pageUrls()
{
    InitHelpResources();
    QList<QUrl> pages;
    const QStringList files = QDir(QStringLiteral(":/fwbass")).entryList({ QStringLiteral("*.html") }, QDir::Files);
    for (const QString& file : files)
        pages << Page(file);
    return pages;
}

QUrl HelpWindow::currentPage() const { return m_browser->source(); }

void HelpWindow::showPage(const QUrl& url)
{
    m_browser->setSource(url);
    show();
    raise();
    activateWindow();
}

void HelpWindow::showContents() { showPage(contentsUrl()); }

void HelpWindow::showTopics() { showPage(topicsUrl()); }

void HelpWindow::showContext(int context) { showPage(contextUrl(context)); }

bool HelpWindow::OpenHelp(int command, int data)
{
    switch (command) {
    case HelpCommand::Contents:
        showContents();
        return true;
    case HelpCommand::Finder:
        showTopics();
        return true;
    case HelpCommand::Context:
        showContext(data);
        return true;
    default:
        return false;
    }
}

namespace {

    HelpWindow* TheProgramHelp = nullptr;

} // namespace

HelpWindow& ProgramHelp()
{
    if (!TheProgramHelp)
        TheProgramHelp = new HelpWindow;
    return *TheProgramHelp;
}

void CloseProgramHelp()
{
    if (TheProgramHelp)
        TheProgramHelp->close();
}

bool OpenHelp(int command, int data) { return ProgramHelp().OpenHelp(command, data); }

} // namespace fw
