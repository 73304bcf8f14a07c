#include "SafeFileWrite.h"

#include <QDir>
#include <QSaveFile>

namespace fw {

QString WriteFileSafely(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    // A file we cannot rename over (another program holds it) must fail rather than be written in place.
    file.setDirectWriteFallback(false);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok)
        ok = file.write(bytes) == bytes.size();
    if (ok)
        ok = file.commit();
    else
        file.cancelWriting();
    if (ok)
        return QString();
    return QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(fileName), file.errorString());
}

} // namespace fw
