#include "MxlContainer.h"
#include "ZipArchive.h"

#include <QIODevice>
#include <QXmlStreamReader>
#include <zip.h>

namespace fw::musicxml {

namespace {

    const QByteArray MediaType = QByteArrayLiteral("application/vnd.recordare.musicxml");
    constexpr const char* ContainerPath = "META-INF/container.xml";
    // A container file is a few lines; anything much larger is not one.
    constexpr qint64 MaxContainerBytes = 1 << 20;

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
    const ZipArchive archive(archiveBytes);
    if (!archive.isOpen()) {
        error = QStringLiteral("Not a compressed MusicXML file: ") + archive.openError();
        return false;
    }
    QString scorePath;
    const qint64 containerIndex = archive.find(QString::fromLatin1(ContainerPath));
    if (containerIndex >= 0) {
        const auto container = archive.read(containerIndex, MaxContainerBytes, error);
        if (!container)
            return false;
        scorePath = RootFileOf(*container);
    }
    qint64 scoreIndex = scorePath.isEmpty() ? -1 : archive.find(scorePath);
    if (scoreIndex < 0) {
        const qint64 count = archive.entryCount();
        for (qint64 i = 0; i < count && scoreIndex < 0; ++i) {
            const QString name = archive.entryName(i);
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
    const std::unique_ptr<ZipEntryDevice> device = archive.open(scoreIndex, maxBytes, error);
    if (!device)
        return false;
    read(device.get());
    if (!device->failure().isEmpty()) {
        error = device->failure();
        return false;
    }
    return true;
}

} // namespace fw::musicxml
