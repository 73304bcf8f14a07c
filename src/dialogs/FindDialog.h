#pragma once

#include "FindText.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace fw {

class MessageBoxes;

// The find dialog. Created once, so the search text and the two options last between searches.
// A search that finds nothing closes the shown dialog with NotFound, neither Accepted nor Rejected.
class Tfrmfind : public QDialog {
    Q_OBJECT
public:
    static constexpr int NotFound = 3;

    explicit Tfrmfind(QWidget* parent = nullptr);

    // The editor searched; not owned.
    void setEditor(QPlainTextEdit* editor) { m_editor = editor; }

    int FoundStart() const { return m_foundStart; }
    int FoundLength() const { return m_foundLength; }
    QString TextToFind() const { return m_textToFind; }

    // Searches the editor from the end of its selection; selects a match, else collapses the selection
    // at the point where the search began. True when found.
    bool FindInEditor();

    // Shows the dialog modally and returns its result; exec() unless a test replaces it.
    std::function<int()> showModal;

    void FormActivate();
    void Edit1Change(const QString& text);
    void btnOKClick();
    void btnCancelClick();

    QLineEdit* Edit1 = nullptr;
    QCheckBox* chkWholeWord = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void finish(int result);

    QPlainTextEdit* m_editor = nullptr;
    int m_foundStart = 0;
    int m_foundLength = 0;
    QString m_textToFind;
};

// The Edit menu's commands on the editor, kept apart from the main window so they can be tested alone.
namespace EditCommands {

    struct Enabling {
        bool undo = false;
        bool redo = false;
        bool cut = false;
        bool copy = false;
        bool paste = false;
        bool del = false;
    };
    // Undo and Redo when the editor can; Cut, Copy and Delete with a selection; Paste when the clipboard
    // holds text.
    Enabling EditMenuEnabling(const QPlainTextEdit& editor);

    // Inserts the clipboard text before the selection, which stays in the text.
    void PasteBeforeSelection(QPlainTextEdit& editor);
    // Removes the selection without touching the clipboard.
    void DeleteSelection(QPlainTextEdit& editor);

    // Find (Ctrl+F): shows the dialog through its showModal; a match stays selected, a cancel does
    // nothing, a failed search reports the search text.
    void Find1Click(Tfrmfind& dialog, QPlainTextEdit& editor, MessageBoxes& boxes);
    // Find Next (F3): searches again without the dialog; opens it while there is no search text yet.
    void FindNext1Click(Tfrmfind& dialog, QPlainTextEdit& editor, MessageBoxes& boxes);

} // namespace EditCommands

} // namespace fw
