#include "SafeFileWrite.h"

#include <QDir>
#include <QSaveFile>

namespace fw {

QString WriteFileSafely(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    // A file we cannot rename over (another program holds it) must fail rather than be written in place.
    file.setDirectWriteFallback(false);
    // Written data waits in a buffer: only flush() reports a full disk, which commit() would miss and
    // then replace the previous file with a cut one. A failed file is discarded when it goes out of scope.
    const bool ok
        = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() && file.commit();
    if (ok)
        return QString();
    return QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(fileName), file.errorString());
}

} // namespace fw
