#pragma once

#include "ChordDef.h"
#include "TabBuilder.h"

#include <QDialog>
#include <QStringList>
#include <QWidget>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QScrollArea;

namespace fw {

class MessageBoxes;
class SaveFileDialog;
class TfrmTab;

inline const QString TabSaveDialogTitle = QStringLiteral("Save As ASCII Tablature");
inline const QString TabSaveDialogFilter = QStringLiteral("Tab files (*.tab)|*.tab|All Files (*.*)|*.*");

// The platform print dialog, behind an interface so printing can be driven without a window.
class PrintDialog {
public:
    virtual ~PrintDialog() = default;
    // Lets the user pick a printer (or a PDF file) for printer; false when cancelled.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;
};

class QtPrintDialog : public PrintDialog {
public:
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;
};

// What the tablature window takes from the main window before it is shown.
struct TabWindowInputs {
    int TabMode = 0; // 0 graphic, 1 ASCII
    ParsedLineList ParsedLines; // as ParseAllLines left them
    QStringList EditorLines; // for titles from comment lines
    QString DocumentFileName; // folder included
    bool TabPrompt = true;
    bool TabFont = false;
    QString LastDir;
};

// Draws the graphic tablature of its window; only the exposed rows are painted.
class TabPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TabPaintBox(TfrmTab& window);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TfrmTab& m_window;
};

// The modal tablature window: drawn tablature with printing, or ASCII tablature with saving.
class TfrmTab : public QDialog {
    Q_OBJECT
public:
    TfrmTab(MessageBoxes& boxes, SaveFileDialog& saveDialog, PrintDialog& printDialog, QWidget* parent = nullptr);
    // With the platform's message boxes, save dialog and print dialog.
    explicit TfrmTab(QWidget* parent = nullptr);
    ~TfrmTab() override;

    // Set before each showing.
    void setInputs(const TabWindowInputs& inputs);
    // The titles chosen in the title dialog; used as they are while TabPrompt is on.
    void setTitles(const QString& title, const QString& subtitle);

    // The folder of the last saved file.
    const QString& lastDir() const { return m_inputs.LastDir; }
    const QString& tabTitle() const { return TabTitle; }
    const QString& tabSubtitle() const { return TabSubtitle; }
    int barCount() const { return BarCount; }
    bool truncationWarned() const { return TruncationWarned; }
    // The tablature of the current activation; null while the window is not active.
    const Tablature* tablature() const { return m_tab.get(); }
    QScrollArea* scrollBox() const { return ScrollBox; }

    void FormActivate();
    void FormDeactivate();
    // Returns whether the key was used.
    bool FormKeyDown(int key);
    void btnPrintClick();
    void btnSaveClick();
    void btnExitClick();

    QScrollArea* ScrollBox = nullptr;
    TabPaintBox* PaintBox1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnExit = nullptr;
    // Saves and shows a line of durations above each line group.
    QCheckBox* chkRhythmLine = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class TabPaintBox;

    void CreateControls();
    void BuildTablature();
    void ReleaseTablature();
    void SetUpGraphic();
    void SetUpAscii();
    void FormResize();
    void WarnTruncation();
    void PaintBox1Paint(QPaintEvent* event);
    void PrintTo(QPrinter& printer);

    std::unique_ptr<MessageBoxes> m_ownBoxes;
    std::unique_ptr<SaveFileDialog> m_ownSaveDialog;
    std::unique_ptr<PrintDialog> m_ownPrintDialog;
    MessageBoxes& m_boxes;
    SaveFileDialog& m_saveDialog;
    PrintDialog& m_printDialog;
    TabWindowInputs m_inputs;
    std::unique_ptr<Tablature> m_tab;
    QWidget* m_content = nullptr;
    // The memo's text, one entry per line: what Save writes.
    QStringList m_asciiLines;

    QString TabTitle;
    QString TabSubtitle;
    int BarCount = 0;
    bool Truncated = false;
    // Guards the truncation warning for one opening of the window; its own boxes reactivate it.
    bool TruncationWarned = false;
};

// Asks for the titles printed above the tablature.
class TfrmGetTabInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGetTabInfo(QWidget* parent = nullptr);

    // The chord list and document name the boxes are pre-loaded from.
    void setDocument(const QStringList& editorLines, const QString& documentFileName);

    // Pre-loads the boxes: titles from comment lines, the file name when there is no title.
    void FormActivate();
    void btnOKClick();
    void btnCancelClick();

    // Set by OK only.
    QString TabTitle;
    QString TabSubtitle;

    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QLineEdit* edtTitle = nullptr;
    QLineEdit* edtBy = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QStringList m_lines;
    QString m_documentFileName;
};

} // namespace fw
