#include "ZipArchive.h"

#include <zip.h>

namespace fw {

QString ZipErrorText(zip_error* error) { return QString::fromLocal8Bit(zip_error_strerror(error)); }

ZipArchive::ZipArchive(const QByteArray& bytes)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source
        = zip_source_buffer_create(bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &zipError);
    if (source) {
        m_archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError);
        if (!m_archive)
            zip_source_free(source);
    }
    if (!m_archive)
        m_openError = ZipErrorText(&zipError);
    zip_error_fini(&zipError);
}

ZipArchive::~ZipArchive()
{
    if (m_archive)
        zip_discard(m_archive);
}

qint64 ZipArchive::entryCount() const { return m_archive ? zip_get_num_entries(m_archive, 0) : 0; }

QString ZipArchive::entryName(qint64 index) const
{
    const char* name = zip_get_name(m_archive, static_cast<zip_uint64_t>(index), 0);
    return name ? QString::fromUtf8(name) : QString();
}

qint64 ZipArchive::find(const QString& name) const
{
    return m_archive ? zip_name_locate(m_archive, name.toUtf8().constData(), 0) : -1;
}

bool ZipArchive::isEncrypted(qint64 index) const
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    return zip_stat_index(m_archive, static_cast<zip_uint64_t>(index), 0, &stat) == 0
        && (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE;
}

ZipEntryDevice::ZipEntryDevice(zip_file* file, QString name, qint64 limit)
    : m_file(file)
    , m_name(std::move(name))
    , m_limit(limit)
{
    QIODevice::open(QIODevice::ReadOnly);
}

ZipEntryDevice::~ZipEntryDevice() { zip_fclose(m_file); }

qint64 ZipEntryDevice::readData(char* data, qint64 size)
{
    if (!m_failure.isEmpty())
        return -1;
    const zip_int64_t got = zip_fread(m_file, data, static_cast<zip_uint64_t>(size));
    if (got < 0) {
        m_failure = QStringLiteral("\"%1\" is damaged: %2")
                        .arg(m_name, QString::fromLocal8Bit(zip_error_strerror(zip_file_get_error(m_file))));
        return -1;
    }
    // The header's size may lie: count what really comes out.
    m_total += got;
    if (m_total > m_limit) {
        m_failure = QStringLiteral("\"%1\" unpacks to more than the %2 bytes allowed.").arg(m_name).arg(m_limit);
        return -1;
    }
    return got;
}

std::unique_ptr<ZipEntryDevice> ZipArchive::open(qint64 index, qint64 limit, QString& error) const
{
    const auto entry = static_cast<zip_uint64_t>(index);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_archive, entry, 0, &stat) != 0) {
        error = QString::fromLocal8Bit(zip_strerror(m_archive));
        return nullptr;
    }
    const QString name = QString::fromUtf8(stat.name);
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > static_cast<zip_uint64_t>(limit)) {
        error = QStringLiteral("\"%1\" would unpack to %2 bytes, more than the %3 allowed.")
                    .arg(name)
                    .arg(stat.size)
                    .arg(limit);
        return nullptr;
    }
    zip_file_t* file = zip_fopen_index(m_archive, entry, 0);
    if (!file) {
        error = QStringLiteral("\"%1\" cannot be unpacked: %2")
                    .arg(name, QString::fromLocal8Bit(zip_strerror(m_archive)));
        return nullptr;
    }
    return std::make_unique<ZipEntryDevice>(file, name, limit);
}

std::optional<QByteArray> ZipArchive::read(qint64 index, qint64 limit, QString& error) const
{
    const std::unique_ptr<ZipEntryDevice> device = open(index, limit, error);
    if (!device)
        return std::nullopt;
    QByteArray bytes = device->readAll();
    if (!device->failure().isEmpty()) {
        error = device->failure();
        return std::nullopt;
    }
    return bytes;
}

} // namespace fw
