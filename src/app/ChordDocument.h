#pragma once

#include "DocumentText.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace fw {

class EditorLines;
class FileDialogs;
class MessageBoxes;
struct Settings;

// What a document needs of the window that shows it.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual bool modified() const = 0;
    virtual void setModified(bool modified) = 0;
    virtual bool isPlaying() const = 0;
    // The window's per-document defaults: markers, play options, tempo, sound, durations.
    virtual void resetDocumentState() = 0;
    virtual DocumentHeader headerValues() const = 0;
    virtual void applyHeaderValues(const DocumentHeader& header) = 0;
    virtual void setEditorText(const QString& text) = 0;
    // Every line renamed after its played strings, showing progress on long lists.
    virtual QStringList autoNameLines(const QStringList& lines) = 0;
    // The document's file name (with its folder) has changed.
    virtual void showDocumentName(const QString& fileName) = 0;
    // The three most recent files, newest first; empty names are no entries.
    virtual void showRecentFiles(const QStringList& names) = 0;
    // Caret at the start with nothing selected, the first line shown.
    virtual void showFirstLine() = 0;
    virtual void focusEditor() = 0;
};

// The chord-list document: its name, the ".bss" files it is read from and written to with their
// header lines, the save-changes question, the recent files, and the files that arrive by the
// Open dialog, the recent-files menu, a drop or the command line.
class ChordDocument {
public:
    ChordDocument(
        EditorLines& lines, DocumentHost& host, MessageBoxes& boxes, FileDialogs& dialogs, Settings& settings);

    const QString& name() const { return m_name; }
    int Info3Value = DefaultInfo3Value;

    void ResetDocument();
    void ResetDocumentState();
    bool LoadChordList(const QString& fileName);
    bool SaveChordList(const QString& fileName);
    bool SaveDocument();
    bool ConfirmDiscard();
    void AddRecentFile(const QString& fileName);
    void ShowRecentFiles();
    void OpenRecentFile(const QString& fileName);
    void OpenCommandLineFile(const QStringList& arguments);
    void OpenDroppedFile(const QString& fileName);
    // Lines brought in from another format, as a new document under the given name, not yet saved.
    void OpenImported(const QStringList& lines, const DocumentHeader& header, const QString& name);

    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();

private:
    void setName(const QString& fileName);
    bool openFile(const QString& fileName);
    std::optional<QByteArray> readFile(const QString& fileName);
    void showBytes(const QByteArray& bytes);

    EditorLines& m_lines;
    DocumentHost& m_host;
    MessageBoxes& m_boxes;
    FileDialogs& m_dialogs;
    Settings& m_settings;
    QString m_name;
};

// The file that a chosen name stands for: the name with its extension made ".bss", or, when no such
// file exists, the file whose name differs from that only in the case of the extension.
QString ChordListFileFor(const QString& chosen);

} // namespace fw
