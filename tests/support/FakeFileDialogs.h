#pragma once

#include "FileDialogs.h"

#include <QStringList>

namespace fw {

// Answers open and save dialogs with prepared names and records what they were asked.
struct FakeFileDialogs : FileDialogs {
    QString nextOpen;
    QString nextSave;
    QStringList asked;
    // The files a real dialog would have asked about replacing, and the answer given.
    QStringList overwriteQuestions;
    bool overwrite = false;

    QString openFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        asked << title + "|" + folder + "|" + filter;
        return nextOpen;
    }
    QString saveFileName(const QString& title, const QString& proposedPath, const QString& filter) override
    {
        asked << title + "|" + proposedPath + "|" + filter;
        return nextSave;
    }
    bool confirmOverwrite(const QString& path) override
    {
        overwriteQuestions << path;
        return overwrite;
    }
};

} // namespace fw
