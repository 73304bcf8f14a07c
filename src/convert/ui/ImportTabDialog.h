#pragma once

#include "AsciiTabReader.h"

#include <QDialog>
#include <QTimer>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace fw {

// Shows tab text with the rhythm, unit and repeat choices, a live preview of the chord list and the report,
// and gives the chord list on OK. The preview follows every edit of the text and every choice.
class ImportTabDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImportTabDialog(QWidget* parent = nullptr);

    // The text and the choices the dialog opens with; options.tuning, when set, is kept.
    void setSource(const QString& title, const QString& text, const TabImportOptions& options);
    TabImportOptions options() const;
    // The import of the current text and choices, as the preview shows it.
    const TabImport& imported() const { return m_result; }
    // Brings the preview up to date now instead of after the typing pause.
    void refreshPreview();

    QPlainTextEdit* edtText = nullptr;
    QComboBox* cboRhythm = nullptr;
    QComboBox* cboUnit = nullptr;
    QCheckBox* chkAsWritten = nullptr;
    QPlainTextEdit* memPreview = nullptr;
    QPlainTextEdit* memReport = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void schedulePreview();

    QLabel* m_unitLabel = nullptr;
    TabImportOptions m_options;
    TabImport m_result;
    QTimer m_previewTimer;
};

// What the import commands ask the user: the real dialog, or a fake in tests.
class TabImportPrompt {
public:
    virtual ~TabImportPrompt() = default;
    // The chord list the user accepted, or nothing when cancelled.
    virtual std::optional<TabImport> ask(
        QWidget* parent, const QString& title, const QString& text, const TabImportOptions& options)
        = 0;
};

class DialogTabImportPrompt : public TabImportPrompt {
public:
    std::optional<TabImport> ask(
        QWidget* parent, const QString& title, const QString& text, const TabImportOptions& options) override;
};

} // namespace fw
