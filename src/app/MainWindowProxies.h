#pragma once

#include "MainWindow.h"
#include "QtFileDialogs.h"
#include "QtMessageBoxes.h"
#include "SaveFileDialog.h"

namespace fw {

// Everything that shows a box holds this one object, so tests can answer in place of a user.
class TfrmMain::BoxesProxy : public MessageBoxes {
public:
    explicit BoxesProxy(QWidget* parent)
        : m_native(parent)
    {
    }
    void retarget(MessageBoxes* boxes) { m_target = boxes ? boxes : &m_native; }
    void errorBox(const QString& text) override { m_target->errorBox(text); }
    void plainBox(const QString& text) override { m_target->plainBox(text); }
    void warningBox(const QString& text) override { m_target->warningBox(text); }
    void informationBox(const QString& text) override { m_target->informationBox(text); }
    Answer askYesNoCancel(const QString& text) override { return m_target->askYesNoCancel(text); }

private:
    QtMessageBoxes m_native;
    MessageBoxes* m_target = &m_native;
};

class TfrmMain::DialogsProxy : public FileDialogs, public SaveFileDialog {
public:
    explicit DialogsProxy(QWidget* parent)
        : m_native(parent)
    {
    }
    void retarget(FileDialogs* dialogs) { m_target = dialogs ? dialogs : &m_native; }
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        return m_target->openFileName(title, folder, filter);
    }
    QString saveFileName(const QString& title, const QString& proposedPath, const QString& filter) override
    {
        return m_target->saveFileName(title, proposedPath, filter);
    }
    QString saveFileNameUnchecked(const QString& title, const QString& proposedPath, const QString& filter) override
    {
        return m_target->saveFileNameUnchecked(title, proposedPath, filter);
    }
    bool confirmOverwrite(const QString& path) override { return m_target->confirmOverwrite(path); }
    QString getSaveFileName(QWidget*, const SaveDialogRequest& request) override
    {
        return saveFileName(request.Title, InitialSavePath(request), QtNameFilters(request.Filter));
    }

private:
    QtFileDialogs m_native;
    FileDialogs* m_target = &m_native;
};

} // namespace fw
