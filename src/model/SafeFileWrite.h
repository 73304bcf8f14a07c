#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace fw {

// A QSaveFile that keeps the system's reason for its first failed write. Qt reports a write that
// stopped part way (as one does when the disk fills up) as "Unknown error"; this says "No space left
// on device" instead. Writes the whole file or nothing: the bytes go to a temporary file that
// replaces the old one only when everything was written; a failed file is discarded when it goes out
// of scope.
class SafeFile : public QSaveFile {
public:
    explicit SafeFile(const QString& fileName);

    bool openForWriting();
    // Flushes and commits. Only flush() reports a full disk for the last buffered data; commit() alone
    // would miss it and replace the previous file with a cut one.
    bool finish();
    // "Cannot write "NAME": REASON", naming the system's reason.
    QString errorText() const;

protected:
    qint64 writeData(const char* data, qint64 length) override;

private:
    void keepReason(int error);

    int m_errno = 0;
};

// Writes bytes with a SafeFile. Returns the error text, naming the file and the system's reason;
// empty on success.
QString WriteFileSafely(const QString& fileName, const QByteArray& bytes);

// Whether a file could be written there now (its folder exists and takes new files), without
// touching anything: the error text WriteFileSafely would give, or empty.
QString FileWriteProblem(const QString& fileName);

} // namespace fw
