#pragma once

#include <QString>

class QWidget;

namespace fw {

// What a save dialog is asked to show. Filter uses the "Description|*.ext|..." pairs of the menus.
struct SaveDialogRequest {
    QString Title;
    QString Filter;
    // Start folder; empty to start where ProposedName points.
    QString Directory;
    QString ProposedName;
};

// The platform save dialog, behind an interface so commands can be driven without a window.
class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    // The chosen file name, empty when cancelled. The dialog asks before an existing file is replaced.
    virtual QString getSaveFileName(QWidget* parent, const SaveDialogRequest& request) = 0;
};

// "Tab files (*.tab)|*.tab|All Files (*.*)|*.*" as Qt's name filters ("Tab files (*.tab);;All Files (*.*)").
QString QtNameFilters(const QString& pipeFilter);

// Where the dialog starts: the proposed file name inside Directory when that is set.
QString InitialSavePath(const SaveDialogRequest& request);

class QtSaveFileDialog : public SaveFileDialog {
public:
    QString getSaveFileName(QWidget* parent, const SaveDialogRequest& request) override;
};

} // namespace fw
