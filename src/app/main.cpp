#include "AppWindows.h"
#include "FileAssociation.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "Splash.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Answered before any window system is asked for, so that they also work where there is no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("fretwerk-bass " FW_VERSION);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs("Usage: fretwerk-bass [FILE.bss]\n"
                   "Write, hear and print bass-guitar parts.\n\n"
                   "Opens the window with FILE.bss, a chord list, when it is given; a path split at its blanks\n"
                   "into up to five arguments is joined again.\n\n"
                   "Options:\n"
                   "  --help     show this help\n"
                   "  --version  show the version\n\n"
                   "fretwerk-cli checks, plays and converts chord lists without a window.\n",
            stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fretwerk Bass"));
    QApplication::setApplicationDisplayName(QStringLiteral("Fretwerk Bass"));
    QApplication::setOrganizationName(QStringLiteral("Fretwerk Bass"));
    QApplication::setApplicationVersion(QStringLiteral(FW_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("fretwerk-bass"));
    QIcon icon;
    for (const QFileInfo& size : QDir(QStringLiteral(":/icons/app")).entryInfoList())
        icon.addFile(size.filePath());
    QApplication::setWindowIcon(icon);

    fw::ShowSplash(1000);

    fw::AppWindows windows(fw::LoadSettings());
    windows.main->saveSettings = [](const fw::Settings& settings) { fw::SaveSettings(settings); };
    fw::AssociateFileType(QStringLiteral(".bss"), QString(), QStringLiteral("Fretwerk Bass File"), QString(),
        QCoreApplication::applicationFilePath());
    windows.main->OpenCommandLineFile(QApplication::arguments());
    windows.main->show();
    // Without a window manager nothing activates the window, and the first activation does start-up work.
    windows.main->activateWindow();
    return app.exec();
}
