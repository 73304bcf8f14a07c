#pragma once

#include <QString>

namespace fw {

// The platform's open and save dialogs, so tests can choose files without a window. Filters use
// Qt's syntax ("Midi files (*.mid);;All Files (*)"). An empty result means the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString openFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    // Asks before overwriting an existing file.
    virtual QString saveFileName(const QString& title, const QString& proposedPath, const QString& filter) = 0;
    // For callers that settle the real name after the dialog (an extension added): the dialog asks
    // nothing, and confirmOverwrite then asks about the file that will really be written.
    virtual QString saveFileNameUnchecked(const QString& title, const QString& proposedPath, const QString& filter)
    {
        return saveFileName(title, proposedPath, filter);
    }
    virtual bool confirmOverwrite(const QString& path) = 0;
};

} // namespace fw
