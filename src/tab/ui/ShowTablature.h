#pragma once

#include "TabTitles.h"
#include "TabWindows.h"

#include <QString>

namespace fw {

class ChordList;
class MessageBoxes;

// What the tablature command needs of the main window besides the chord list.
class TablatureHost {
public:
    virtual ~TablatureHost() = default;
    virtual void setBusyCursor(bool busy) = 0;
    // Off while the modal windows are open, so their hints stay out of the main status bar.
    virtual void setHintsEnabled(bool enabled) = 0;
};

// The title dialog and the tablature window, shown modally.
class TablatureWindows {
public:
    virtual ~TablatureWindows() = default;
    // Returns true on OK, with the titles as the user left them.
    virtual bool execTitleDialog(const QStringList& editorLines, const QString& documentFileName, TabTitles& titles)
        = 0;
    // prompted is null when the window takes its titles from the chord list. inputs.LastDir comes
    // back as the window left it.
    virtual void execTabWindow(TabWindowInputs& inputs, const TabTitles* prompted) = 0;
};

// The program's own windows, created once by the main window and reused.
class ModalTablatureWindows : public TablatureWindows {
public:
    ModalTablatureWindows(TfrmGetTabInfo& titleDialog, TfrmTab& tabWindow);
    bool execTitleDialog(const QStringList& editorLines, const QString& documentFileName, TabTitles& titles) override;
    void execTabWindow(TabWindowInputs& inputs, const TabTitles* prompted) override;

private:
    TfrmGetTabInfo& m_titleDialog;
    TfrmTab& m_tabWindow;
};

struct TablatureSettings {
    int TabMode = 0; // 0 graphic, 1 ASCII
    QString DocumentFileName;
    bool TabPrompt = true;
    bool TabFont = false;
};

// The "Tablature..." and "ASCII Tablature..." commands: checks the chord list, asks for the titles
// when TabPrompt is on and shows the tablature window. lastDir follows a save in the window.
// Returns whether the tablature window was shown.
bool ShowTablature(ChordList& chordList, MessageBoxes& boxes, TablatureHost& host, TablatureWindows& windows,
    const TablatureSettings& settings, QString& lastDir);

} // namespace fw
