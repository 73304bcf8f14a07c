#include "GpifFile.h"

#include "GpifReader.h"
#include "GpxContainer.h"
#include "ZipArchive.h"

#include <QRegularExpression>

namespace fw::guitarpro {

namespace {

    const QString Gp6 = QStringLiteral("Guitar Pro 6");
    const QString Gp7 = QStringLiteral("Guitar Pro 7 or 8");
    const QString ScoreEntry = QStringLiteral("Content/score.gpif");
    // A .gp file holds a score, a few settings files and perhaps audio tracks.
    constexpr qint64 MaxEntries = 10000;

    // A score that is plain XML starts with its first element, after white space and a byte-order
    // mark at most; a protected file's is ciphered bytes.
    bool LooksLikeXml(const QByteArray& bytes)
    {
        qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\r' || bytes[at] == '\n'))
            ++at;
        return at < bytes.size() && bytes[at] == '<';
    }

    const QString ProtectedMessage
        = QStringLiteral("This %1 file is protected: its score is encrypted and cannot be read. Open it in Guitar Pro "
                         "and export it without protection.");

} // namespace

bool IsGpxFile(const QByteArray& bytes) { return IsGpxContainer(bytes); }

bool IsGp7File(const QByteArray& bytes) { return bytes.startsWith("PK\x03\x04"); }

std::optional<Score> ReadGpxFile(const QByteArray& bytes, QString& error)
{
    const std::optional<QByteArray> xml = UnpackGpxFile(bytes, QStringLiteral("score.gpif"), MaxGpifBytes, error);
    if (!xml)
        return std::nullopt;
    if (!LooksLikeXml(*xml)) {
        error = ProtectedMessage.arg(Gp6);
        return std::nullopt;
    }
    return ReadGpif(*xml, Gp6, error);
}

std::optional<Score> ReadGp7File(const QByteArray& bytes, QString& error)
{
    const ZipArchive archive(bytes);
    if (!archive.isOpen()) {
        error = QStringLiteral("Not a %1 file: %2").arg(Gp7, archive.openError());
        return std::nullopt;
    }
    // Nothing is unpacked to disk, but a name that climbs out of the archive is a forged one.
    const qint64 entries = archive.entryCount();
    if (entries > MaxEntries) {
        error = QStringLiteral("Not a readable %1 file: it holds %2 entries.").arg(Gp7).arg(entries);
        return std::nullopt;
    }
    for (qint64 i = 0; i < entries; ++i) {
        const QString name = archive.entryName(i);
        if (name.startsWith(u'/') || name.startsWith(u'\\') || name.contains(u':')
            || name.split(QRegularExpression(QStringLiteral("[/\\\\]"))).contains(QStringLiteral(".."))) {
            error = QStringLiteral("Not a readable %1 file: an entry is named outside the file (\"%2\").")
                        .arg(Gp7, name.left(100));
            return std::nullopt;
        }
    }
    const qint64 entry = archive.find(ScoreEntry);
    if (entry < 0) {
        error = QStringLiteral("Not a %1 file: it holds no \"%2\".").arg(Gp7, ScoreEntry);
        return std::nullopt;
    }
    if (archive.isEncrypted(entry)) {
        error = ProtectedMessage.arg(Gp7);
        return std::nullopt;
    }
    QString readError;
    const std::optional<QByteArray> xml = archive.read(entry, MaxGpifBytes, readError);
    if (!xml) {
        error = QStringLiteral("Not a readable %1 file: %2").arg(Gp7, readError);
        return std::nullopt;
    }
    if (!LooksLikeXml(*xml)) {
        error = ProtectedMessage.arg(Gp7);
        return std::nullopt;
    }
    return ReadGpif(*xml, Gp7, error);
}

} // namespace fw::guitarpro
