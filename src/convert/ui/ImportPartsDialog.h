#pragma once

#include "Conversion.h"

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace fw {

// Before a file of several parts is imported: its parts in a list with the columns --list-tracks
// prints, the one the import would take selected, and a voice box for parts of several voices.
class ImportPartsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImportPartsDialog(QWidget* parent = nullptr);

    void setParts(const QString& fileName, const QList<ImportPart>& parts);
    // The selected part, and the voice when the box names one.
    PartChoice choice() const;

    QLabel* lblParts = nullptr;
    QTreeWidget* lstParts = nullptr;
    QSpinBox* spnVoice = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void showVoices();

    QList<ImportPart> m_parts;
};

// What the import commands ask before reading a file of several parts: the real dialog, or a fake
// in tests. Nothing when the user cancels.
class ImportPartPrompt {
public:
    virtual ~ImportPartPrompt() = default;
    virtual std::optional<PartChoice> choose(QWidget* parent, const QString& fileName, const QList<ImportPart>& parts)
        = 0;
};

class DialogImportPartPrompt : public ImportPartPrompt {
public:
    std::optional<PartChoice> choose(QWidget* parent, const QString& fileName, const QList<ImportPart>& parts) override;
};

} // namespace fw
