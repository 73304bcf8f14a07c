#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <zip.h>

namespace fw::test {

// A ZIP archive of the named entries, deflated, made in memory.
inline QByteArray Zip(const QList<QPair<QByteArray, QByteArray>>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const auto& entry : entries)
        zip_file_add(archive, entry.first.constData(),
            zip_source_buffer(archive, entry.second.constData(), static_cast<zip_uint64_t>(entry.second.size()), 0), 0);
    zip_close(archive);
    zip_stat_t stat;
    zip_source_stat(buffer, &stat);
    QByteArray bytes(static_cast<qsizetype>(stat.size), '\0');
    zip_source_open(buffer);
    zip_source_read(buffer, bytes.data(), stat.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}

} // namespace fw::test
