#pragma once

#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace fw {

// The help commands the program asks for, numbered as the old help engine numbered them.
namespace HelpCommand {
    inline constexpr int Context = 1; // data: a context number
    inline constexpr int Contents = 3;
    inline constexpr int Finder = 11;
} // namespace HelpCommand

// Context numbers of help topics.
inline constexpr int GettingStartedContext = 13;

// The help pages "fwbass", compiled into the program: contents, topic index and one page per subject.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    static QUrl contentsUrl();
    static QUrl topicsUrl();
    // The page of a context number; the contents for a number without a page of its own.
    static QUrl contextUrl(int context);
    // Every page of the help, as qrc URLs.
    static QList<QUrl> pageUrls();

    void showContents();
    void showTopics();
    void showContext(int context);
    // Opens the window at the page of a help command; false for a command the help does not know.
    bool OpenHelp(int command, int data);

    QTextBrowser* browser() const { return m_browser; }
    QUrl currentPage() const;

private:
    void showPage(const QUrl& url);

    QTextBrowser* m_browser = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
};

// The program's one help window, made on first use; parentless so it stays open beside the main window.
HelpWindow& ProgramHelp();
// Closes the help window, if it was ever opened, as the program ends.
void CloseProgramHelp();
// WinHelp-like entry: OpenHelp(3, 0) contents, OpenHelp(11, 0) topics, OpenHelp(1, 13) Getting Started.
bool OpenHelp(int command, int data);

} // namespace fw
