#pragma once

#include "ImportCommands.h"
#include "ImportPartsDialog.h"
#include "ImportTabDialog.h"

namespace fw {

class FileDialogs;
class MessageBoxes;
class TfrmMain;

// Connects the import commands to the main window: File > Import... and Edit > Paste Tab.
class ImportWiring : private ImportHost, private TabImportPrompt, private ImportPartPrompt {
public:
    ImportWiring(TfrmMain& window, FileDialogs& dialogs, MessageBoxes& boxes);

    // Tests answer the import dialog instead of a user; null restores the dialog.
    void setPrompt(TabImportPrompt* prompt) { m_prompt = prompt ? prompt : &m_dialogPrompt; }
    void setPartPrompt(ImportPartPrompt* prompt) { m_partPrompt = prompt ? prompt : &m_dialogPartPrompt; }
    void setFormats(const FormatRegistry* formats) { m_commands.setFormats(formats); }
    void importFile() { m_commands.importFile(); }
    void pasteTab() { m_commands.pasteTab(); }
    void exportAs(const WriterFormat& writer) { m_commands.exportAs(writer); }

private:
    // ImportHost
    QWidget* dialogParent() override;
    bool confirmDiscard() override;
    bool isPlaying() const override;
    void openImportedDocument(const QStringList& lines, const DocumentHeader& header, const QString& name) override;
    void insertLinesAtCaret(const QStringList& lines) override;
    QString clipboardText() const override;
    QStringList documentLines() const override;
    DocumentHeader documentHeader() const override;
    QString documentName() const override;
    QString lastFolder() const override;
    void setLastFolder(const QString& folder) override;
    QString soundFontSetting() const override;

    // TabImportPrompt, forwarding to the dialog or to a test's fake.
    std::optional<TabImport> ask(
        QWidget* parent, const QString& title, const QString& text, const TabImportOptions& options) override;

    // ImportPartPrompt, likewise.
    std::optional<PartChoice> choose(QWidget* parent, const QString& fileName, const QList<ImportPart>& parts) override;

    TfrmMain& m_window;
    DialogTabImportPrompt m_dialogPrompt;
    TabImportPrompt* m_prompt = &m_dialogPrompt;
    DialogImportPartPrompt m_dialogPartPrompt;
    ImportPartPrompt* m_partPrompt = &m_dialogPartPrompt;
    ImportCommands m_commands;
};

} // namespace fw
