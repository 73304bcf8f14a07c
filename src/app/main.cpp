#include "AppWindows.h"
#include "FileAssociation.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "Splash.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fretwerk Bass"));
    QApplication::setApplicationDisplayName(QStringLiteral("Fretwerk Bass"));
    QApplication::setOrganizationName(QStringLiteral("Fretwerk Bass"));
    QApplication::setApplicationVersion(QStringLiteral(FW_VERSION));

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
