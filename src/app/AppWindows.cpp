#include "AppWindows.h"

#include "AboutBox.h"
#include "Accessibility.h"
#include "FindDialog.h"
#include "MainWindow.h"
#include "MidiBackend.h"
#include "NewUserMessage.h"
#include "NoSoundMessage.h"
#include "OptionsDialog.h"
#include "TabWindows.h"

#include <QLabel>

namespace fw {

AppWindows::AppWindows(Settings settings, std::unique_ptr<MidiBackend> backend)
    : main(std::make_unique<TfrmMain>(std::move(settings), std::move(backend)))
    , about(std::make_unique<TfrmAbout>(main.get()))
    , tab(std::make_unique<TfrmTab>(main->messageBoxes(), main->saveFileDialog(), printDialog, main.get()))
    , options(std::make_unique<TfrmOptions>(main.get()))
    , getTabInfo(std::make_unique<TfrmGetTabInfo>(main.get()))
    , writeMidiFile(std::make_unique<TfrmWriteMidiFile>(main.get()))
    , noSoundMessage(std::make_unique<TfrmNoSoundMessage>(main.get()))
    , find(std::make_unique<Tfrmfind>(main.get()))
    , newUserMessage(std::make_unique<TfrmNewUserMessage>(main.get()))
{
    main->setTablatureWindows(*getTabInfo, *tab);
    main->setDialogs(*options, *find, *about, *newUserMessage);
    main->showNoSoundMessage = [this](const QString& errorText) {
        noSoundMessage->lblOpenError->setText(errorText);
        noSoundMessage->exec();
    };
    for (QWidget* window : std::initializer_list<QWidget*> { main.get(), about.get(), tab.get(), options.get(),
             getTabInfo.get(), writeMidiFile.get(), noSoundMessage.get(), find.get(), newUserMessage.get() })
        Accessibility::DescribeHints(window);
}

// The secondary windows are children of the main window; they go first so it does not delete them.
AppWindows::~AppWindows()
{
    newUserMessage.reset();
    find.reset();
    noSoundMessage.reset();
    writeMidiFile.reset();
    getTabInfo.reset();
    options.reset();
    tab.reset();
    about.reset();
}

} // namespace fw
