#include "SaveFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace fw {

QString QtNameFilters(const QString& pipeFilter)
{
    const QStringList parts = pipeFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        // Qt reads the patterns from the parentheses of the description, so add them when missing.
        if (description.contains(u'(') && description.endsWith(u')'))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + patterns + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

QString InitialSavePath(const SaveDialogRequest& request)
{
    if (request.Directory.isEmpty())
        return request.ProposedName;
    return QDir(request.Directory).filePath(QFileInfo(request.ProposedName).fileName());
}

QString QtSaveFileDialog::getSaveFileName(QWidget* parent, const SaveDialogRequest& request)
{
    return QFileDialog::getSaveFileName(parent, request.Title, InitialSavePath(request), QtNameFilters(request.Filter));
}

} // namespace fw
