#include "MxlContainer.h"

#include <QIODevice>
#include <QXmlStreamReader>
#include <memory>
#include <zip.h>

namespace fw::musicxml {

namespace {

    const QByteArray MediaType = QByteArrayLiteral("application/vnd.recordare.musicxml");
    constexpr const char* ContainerPath = "META-INF/container.xml";
    // A container file is a few lines; anything much larger is not one.
    constexpr qint64 MaxContainerBytes = 1 << 20;

    struct ArchiveCloser {
        void operator()(zip_t* archive) const { zip_discard(archive); }
    };
    using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

    QString ZipErrorText(zip_error_t* error) { return QString::fromLocal8Bit(zip_error_strerror(error)); }

    QByteArray ContainerXml()
    {
        QByteArray bytes;
        QXmlStreamWriter xml(&bytes);
        xml.setAutoFormatting(true);
        xml.writeStartDocument();
        xml.writeStartElement(QStringLiteral("container"));
        xml.writeStartElement(QStringLiteral("rootfiles"));
        xml.writeEmptyElement(QStringLiteral("rootfile"));
        xml.writeAttribute(QStringLiteral("full-path"), MxlScoreName);
        xml.writeAttribute(QStringLiteral("media-type"), QStringLiteral("application/vnd.recordare.musicxml+xml"));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndDocument();
        return bytes;
    }

    bool AddEntry(zip_t* archive, const char* name, const QByteArray& bytes, bool store, QString& error)
    {
        // libzip reads the bytes at zip_close, while they are still alive here.
        zip_source_t* source
            = zip_source_buffer(archive, bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
        if (!source) {
            error = QString::fromLocal8Bit(zip_strerror(archive));
            return false;
        }
        const zip_int64_t index = zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            error = QString::fromLocal8Bit(zip_strerror(archive));
            return false;
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
        return true;
    }

    // One entry of an archive as a device that unpacks as it is read, so that a score is never held
    // whole; more than limit bytes, whatever the headers claim, end it with an error.
    class EntryDevice : public QIODevice {
    public:
        EntryDevice(zip_file_t* file, QString name, qint64 limit)
            : m_file(file)
            , m_name(std::move(name))
            , m_limit(limit)
        {
            open(QIODevice::ReadOnly);
        }
        ~EntryDevice() override { zip_fclose(m_file); }
        bool isSequential() const override { return true; }
        const QString& failure() const { return m_failure; }

    protected:
        qint64 readData(char* data, qint64 size) override
        {
            if (!m_failure.isEmpty())
                return -1;
            const zip_int64_t got = zip_fread(m_file, data, static_cast<zip_uint64_t>(size));
            if (got < 0) {
                m_failure = QStringLiteral("\"%1\" is damaged: %2")
                                .arg(m_name, QString::fromLocal8Bit(zip_error_strerror(zip_file_get_error(m_file))));
                return -1;
            }
            m_total += got;
            if (m_total > m_limit) {
                m_failure
                    = QStringLiteral("\"%1\" unpacks to more than the %2 bytes allowed.").arg(m_name).arg(m_limit);
                return -1;
            }
            return got;
        }
        qint64 writeData(const char*, qint64) override { return -1; }

    private:
        zip_file_t* m_file;
        QString m_name;
        qint64 m_limit;
        qint64 m_total = 0;
        QString m_failure;
    };

    // Checks an entry's declared size against limit and opens it; null with error set on failure.
    zip_file_t* OpenEntry(zip_t* archive, zip_uint64_t index, qint64 limit, QString& name, QString& error)
    {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, index, 0, &stat) != 0) {
            error = QString::fromLocal8Bit(zip_strerror(archive));
            return nullptr;
        }
        name = QString::fromUtf8(stat.name);
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > static_cast<zip_uint64_t>(limit)) {
            error = QStringLiteral("\"%1\" would unpack to %2 bytes, more than the %3 allowed.")
                        .arg(name)
                        .arg(stat.size)
                        .arg(limit);
            return nullptr;
        }
        zip_file_t* file = zip_fopen_index(archive, index, 0);
        if (!file)
            error = QStringLiteral("\"%1\" cannot be unpacked: %2")
                        .arg(name, QString::fromLocal8Bit(zip_strerror(archive)));
        return file;
    }

    // Reads one entry, at most limit bytes of it; nothing when it holds more or cannot be read.
    std::optional<QByteArray> ReadEntry(zip_t* archive, zip_uint64_t index, qint64 limit, QString& error)
    {
        QString name;
        zip_file_t* file = OpenEntry(archive, index, limit, name, error);
        if (!file)
            return std::nullopt;
        QByteArray bytes;
        char buffer[1 << 16];
        bool ok = true;
        for (;;) {
            const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
            if (got < 0) {
                error = QStringLiteral("\"%1\" is damaged: %2")
                            .arg(name, QString::fromLocal8Bit(zip_error_strerror(zip_file_get_error(file))));
                ok = false;
                break;
            }
            if (got == 0)
                break;
            // The header's size may lie: count what really comes out.
            if (bytes.size() + got > limit) {
                error = QStringLiteral("\"%1\" unpacks to more than the %2 bytes allowed.").arg(name).arg(limit);
                ok = false;
                break;
            }
            bytes.append(buffer, static_cast<qsizetype>(got));
        }
        zip_fclose(file);
        if (!ok)
            return std::nullopt;
        return bytes;
    }

    QString RootFileOf(const QByteArray& containerXml)
    {
        QXmlStreamReader xml(containerXml);
        while (xml.readNextStartElement()) {
            if (xml.name() == u"container" || xml.name() == u"rootfiles")
                continue;
            if (xml.name() == u"rootfile")
                return xml.attributes().value(QStringLiteral("full-path")).toString();
            xml.skipCurrentElement();
        }
        return QString();
    }

} // namespace

bool IsZipArchive(const QByteArray& bytes) { return bytes.startsWith("PK\x03\x04"); }

QByteArray PackMxl(const QByteArray& scoreXml, QString& error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    if (!buffer) {
        error = ZipErrorText(&zipError);
        zip_error_fini(&zipError);
        return {};
    }
    // Kept past zip_close, which writes the archive into it.
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &zipError);
    if (!archive) {
        error = ZipErrorText(&zipError);
        zip_error_fini(&zipError);
        zip_source_free(buffer);
        return {};
    }
    zip_error_fini(&zipError);
    const QByteArray container = ContainerXml();
    const QByteArray name = MxlScoreName.toUtf8();
    if (!AddEntry(archive, "mimetype", MediaType, true, error)
        || !AddEntry(archive, ContainerPath, container, false, error)
        || !AddEntry(archive, name.constData(), scoreXml, false, error)) {
        zip_discard(archive);
        zip_source_free(buffer);
        return {};
    }
    if (zip_close(archive) != 0) {
        error = QString::fromLocal8Bit(zip_strerror(archive));
        zip_discard(archive);
        zip_source_free(buffer);
        return {};
    }
    QByteArray bytes;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
        bytes.resize(static_cast<qsizetype>(stat.size));
        const zip_int64_t got = zip_source_read(buffer, bytes.data(), stat.size);
        zip_source_close(buffer);
        if (got != static_cast<zip_int64_t>(stat.size))
            bytes.clear();
    }
    if (bytes.isEmpty())
        error = QStringLiteral("The compressed file could not be assembled.");
    zip_source_free(buffer);
    return bytes;
}

bool ReadPackedScore(
    const QByteArray& archiveBytes, qint64 maxBytes, const std::function<void(QIODevice*)>& read, QString& error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(
        archiveBytes.constData(), static_cast<zip_uint64_t>(archiveBytes.size()), 0, &zipError);
    if (!source) {
        error = QStringLiteral("Not a compressed MusicXML file: ") + ZipErrorText(&zipError);
        zip_error_fini(&zipError);
        return false;
    }
    Archive archive(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError));
    if (!archive) {
        error = QStringLiteral("Not a compressed MusicXML file: ") + ZipErrorText(&zipError);
        zip_error_fini(&zipError);
        zip_source_free(source);
        return false;
    }
    zip_error_fini(&zipError);

    QString scorePath;
    const zip_int64_t containerIndex = zip_name_locate(archive.get(), ContainerPath, 0);
    if (containerIndex >= 0) {
        const auto container
            = ReadEntry(archive.get(), static_cast<zip_uint64_t>(containerIndex), MaxContainerBytes, error);
        if (!container)
            return false;
        scorePath = RootFileOf(*container);
    }
    zip_int64_t scoreIndex
        = scorePath.isEmpty() ? -1 : zip_name_locate(archive.get(), scorePath.toUtf8().constData(), 0);
    if (scoreIndex < 0) {
        const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
        for (zip_int64_t i = 0; i < count && scoreIndex < 0; ++i) {
            const QString name = QString::fromUtf8(zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0));
            if (!name.startsWith(QLatin1String("META-INF/"))
                && (name.endsWith(QLatin1String(".musicxml"), Qt::CaseInsensitive)
                    || name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive)))
                scoreIndex = i;
        }
    }
    if (scoreIndex < 0) {
        error = QStringLiteral("The compressed file holds no MusicXML score.");
        return false;
    }
    QString name;
    zip_file_t* file = OpenEntry(archive.get(), static_cast<zip_uint64_t>(scoreIndex), maxBytes, name, error);
    if (!file)
        return false;
    EntryDevice device(file, name, maxBytes);
    read(&device);
    if (!device.failure().isEmpty()) {
        error = device.failure();
        return false;
    }
    return true;
}

} // namespace fw::musicxml
