#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>
#include <optional>

struct zip;
struct zip_file;
struct zip_error;

namespace fw {

// libzip's text for an error, as the messages show it.
QString ZipErrorText(zip_error* error);

// One entry of an archive as a device that unpacks as it is read, so that an entry is never held
// whole; more than its limit, whatever the headers claim, ends it with failure() set.
class ZipEntryDevice : public QIODevice {
public:
    ZipEntryDevice(zip_file* file, QString name, qint64 limit);
    ~ZipEntryDevice() override;
    bool isSequential() const override { return true; }
    // Why reading stopped early; "" while all is well.
    const QString& failure() const { return m_failure; }

protected:
    qint64 readData(char* data, qint64 size) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file* m_file;
    QString m_name;
    qint64 m_limit;
    qint64 m_total = 0;
    QString m_failure;
};

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
    // The entry, to be read as it unpacks, at most limit bytes of it; null, with error saying why,
    // when its header claims more or it cannot be opened.
    std::unique_ptr<ZipEntryDevice> open(qint64 index, qint64 limit, QString& error) const;
    // The entry's bytes, at most limit of them; nothing, with error saying why, when it holds more
    // or cannot be read.
    std::optional<QByteArray> read(qint64 index, qint64 limit, QString& error) const;

private:
    zip* m_archive = nullptr;
    QString m_openError;
};

} // namespace fw
