#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

struct zip;

namespace fw {

// A zip archive held in memory, read one entry at a time within a limit on what an entry may unpack
// to, whatever its headers claim, so that a small archive cannot fill the memory.
class ZipArchive {
public:
    // bytes must outlive the archive. Check isOpen(); openError() says why it is not.
    explicit ZipArchive(const QByteArray& bytes);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool isOpen() const { return m_archive != nullptr; }
    const QString& openError() const { return m_openError; }

    qint64 entryCount() const;
    QString entryName(qint64 index) const;
    // The index of the entry of that exact name; -1 when there is none.
    qint64 find(const QString& name) const;
    bool isEncrypted(qint64 index) const;
    // The entry's bytes, at most limit of them; nothing, with error saying why, when it holds more
    // or cannot be read.
    std::optional<QByteArray> read(qint64 index, qint64 limit, QString& error) const;

private:
    zip* m_archive = nullptr;
    QString m_openError;
};

} // namespace fw
