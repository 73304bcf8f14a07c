#pragma once

#include "DocumentText.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace fw {

class FileDialogs;
class FormatRegistry;
class ImportPartPrompt;
struct WriterFormat;
class MessageBoxes;
class TabImportPrompt;

// What File > Import... and Edit > Paste Tab need of the main window.
class ImportHost {
public:
    virtual ~ImportHost() = default;
    virtual QWidget* dialogParent() = 0;
    // Asks to save changes first; false when the user cancels.
    virtual bool confirmDiscard() = 0;
    virtual bool isPlaying() const = 0;
    // Opens the lines as a new, unsaved document named name (folder and file name).
    virtual void openImportedDocument(const QStringList& lines, const DocumentHeader& header, const QString& name) = 0;
    // Inserts the lines before the caret's line, as one step of undo.
    virtual void insertLinesAtCaret(const QStringList& lines) = 0;
    virtual QString clipboardText() const = 0;
    virtual QStringList documentLines() const = 0;
    virtual DocumentHeader documentHeader() const = 0;
    // The document's file name with its folder, for titles and the proposed export name.
    virtual QString documentName() const = 0;
    virtual QString lastFolder() const = 0;
    virtual void setLastFolder(const QString& folder) = 0;
    // The SoundFont chosen in the settings ("" for the system's), which a WAV export plays.
    virtual QString soundFontSetting() const { return QString(); }
};

// File > Import... and Edit > Paste Tab: through the conversion layer and the import dialog. A file
// of several parts is read as the part the user chooses. Running out of memory is reported like any
// other failure, and the open document stays as it was.
class ImportCommands {
public:
    ImportCommands(ImportHost& host, FileDialogs& dialogs, MessageBoxes& boxes, TabImportPrompt& prompt,
        ImportPartPrompt& partPrompt);

    // The formats to read and write; the program's own unless a test gives others.
    void setFormats(const FormatRegistry* formats);

    void importFile();
    void pasteTab();
    // File > Export: the list written in the writer's format, under a name the user chooses.
    void exportAs(const WriterFormat& writer);

    // The name an import opens as: the file's name with ".bss", in its folder; a number is added
    // while a file of that name exists, so saving never replaces a list the user did not choose.
    static QString ImportedDocumentName(const QString& importedFile);

private:
    // False when nothing was imported (refused, failed or cancelled).
    bool importChosenFile(const QString& chosen);

    ImportHost& m_host;
    FileDialogs& m_dialogs;
    MessageBoxes& m_boxes;
    TabImportPrompt& m_prompt;
    ImportPartPrompt& m_partPrompt;
    const FormatRegistry* m_formats;
};

} // namespace fw
