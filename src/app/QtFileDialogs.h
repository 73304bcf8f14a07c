#pragma once

#include "FileDialogs.h"

class QWidget;

namespace fw {

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent);
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& proposedPath, const QString& filter) override;
    QString saveFileNameUnchecked(const QString& title, const QString& proposedPath, const QString& filter) override;
    bool confirmOverwrite(const QString& path) override;

private:
    QWidget* m_parent;
};

} // namespace fw
