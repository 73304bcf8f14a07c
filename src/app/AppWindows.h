#pragma once

#include "Settings.h"
#include "TabWindows.h"

#include <memory>

namespace fw {

class MidiBackend;
class TfrmMain;
class TfrmAbout;
class TfrmTab;
class TfrmOptions;
class TfrmGetTabInfo;
class TfrmWriteMidiFile;
class TfrmNoSoundMessage;
class Tfrmfind;
class TfrmNewUserMessage;

// Every window of the program, created once at start in this order and kept until exit.
struct AppWindows {
    // Without a backend the program sounds through the system's.
    explicit AppWindows(Settings settings = {}, std::unique_ptr<MidiBackend> backend = nullptr);
    ~AppWindows();

    QtPrintDialog printDialog;
    std::unique_ptr<TfrmMain> main;
    std::unique_ptr<TfrmAbout> about;
    std::unique_ptr<TfrmTab> tab;
    std::unique_ptr<TfrmOptions> options;
    std::unique_ptr<TfrmGetTabInfo> getTabInfo;
    std::unique_ptr<TfrmWriteMidiFile> writeMidiFile;
    std::unique_ptr<TfrmNoSoundMessage> noSoundMessage;
    std::unique_ptr<Tfrmfind> find;
    std::unique_ptr<TfrmNewUserMessage> newUserMessage;
};

} // namespace fw
