#include "SafeFileWrite.h"

#include <QDir>
#include <cerrno>
#include <cstring>

namespace fw {

SafeFile::SafeFile(const QString& fileName)
    : QSaveFile(fileName)
{
    // A file we cannot rename over (another program holds it) must fail rather than be written in place.
    setDirectWriteFallback(false);
}

bool SafeFile::openForWriting()
{
    errno = 0;
    const bool opened = QSaveFile::open(QIODevice::WriteOnly);
    if (!opened)
        keepReason(errno);
    return opened;
}

bool SafeFile::finish()
{
    errno = 0;
    if (flush() && commit())
        return true;
    keepReason(errno);
    return false;
}

qint64 SafeFile::writeData(const char* data, qint64 length)
{
    errno = 0;
    const qint64 written = QSaveFile::writeData(data, length);
    if (written != length)
        keepReason(errno);
    return written;
}

void SafeFile::keepReason(int error)
{
    if (m_errno == 0)
        m_errno = error;
}

QString SafeFile::errorText() const
{
    QString reason = errorString();
    // Qt's own text where it has one ("is not writable"); the system's where Qt lost it.
    if (m_errno != 0 && (reason.isEmpty() || reason == QIODevice::tr("Unknown error")))
        reason = QString::fromLocal8Bit(std::strerror(m_errno));
    return QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(fileName()), reason);
}

QString WriteFileSafely(const QString& fileName, const QByteArray& bytes)
{
    SafeFile file(fileName);
    if (file.openForWriting() && file.write(bytes) == bytes.size() && file.finish())
        return QString();
    return file.errorText();
}

QString FileWriteProblem(const QString& fileName)
{
    // The same open as the real write, which makes its temporary file beside the target and checks
    // that the target is no folder; nothing is committed, so the temporary file goes again.
    SafeFile file(fileName);
    if (!file.openForWriting())
        return file.errorText();
    file.cancelWriting();
    return QString();
}

} // namespace fw
