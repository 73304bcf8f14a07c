#include "ShowTablature.h"

#include "ChordList.h"
#include "MessageBoxes.h"
#include "TabBuilder.h"

namespace fw {

ModalTablatureWindows::ModalTablatureWindows(TfrmGetTabInfo& titleDialog, TfrmTab& tabWindow)
    : m_titleDialog(titleDialog)
    , m_tabWindow(tabWindow)
{
}

bool ModalTablatureWindows::execTitleDialog(
    const QStringList& editorLines, const QString& documentFileName, TabTitles& titles)
{
    m_titleDialog.setDocument(editorLines, documentFileName);
    if (m_titleDialog.exec() != QDialog::Accepted)
        return false;
    titles = TabTitles { m_titleDialog.TabTitle, m_titleDialog.TabSubtitle };
    return true;
}

void ModalTablatureWindows::execTabWindow(TabWindowInputs& inputs, const TabTitles* prompted)
{
    m_tabWindow.setInputs(inputs);
    if (prompted)
        m_tabWindow.setTitles(prompted->Title, prompted->Subtitle);
    m_tabWindow.exec();
    inputs.LastDir = m_tabWindow.lastDir();
}

bool ShowTablature(ChordList& chordList, MessageBoxes& boxes, TablatureHost& host, TablatureWindows& windows,
    const TablatureSettings& settings, QString& lastDir)
{
    host.setBusyCursor(true);
    if (!chordList.ParseAllLines(FixTabErrorsMessage, true)) {
        host.setBusyCursor(false);
        return false;
    }
    if (!HasTabNotes(chordList.ParsedLines)) {
        boxes.errorBox(NoTabNotesMessage);
        host.setBusyCursor(false);
        return false;
    }
    // The checks are done: the user works in the modal windows with the normal cursor.
    host.setBusyCursor(false);

    TabWindowInputs inputs { settings.TabMode, chordList.ParsedLines, LineTexts(chordList.editor()),
        settings.DocumentFileName, settings.TabPrompt, settings.TabFont, lastDir };
    bool shown = false;
    host.setHintsEnabled(false);
    if (settings.TabPrompt) {
        TabTitles titles;
        if (windows.execTitleDialog(inputs.EditorLines, settings.DocumentFileName, titles)) {
            windows.execTabWindow(inputs, &titles);
            shown = true;
        }
    } else {
        windows.execTabWindow(inputs, nullptr);
        shown = true;
    }
    host.setHintsEnabled(true);
    lastDir = inputs.LastDir;
    return shown;
}

} // namespace fw
