#include "BinaryStream.h"

#include "DocumentText.h"

namespace fw::guitarpro {

void BinaryStream::fail(const QString& message)
{
    if (m_error.isEmpty())
        m_error = message;
    m_pos = m_size;
}

bool BinaryStream::need(qsizetype count)
{
    if (!m_error.isEmpty())
        return false;
    if (count < 0 || count > m_size - m_pos) {
        fail(QStringLiteral("The file ends early, at byte %1: it is truncated or damaged.").arg(m_size));
        return false;
    }
    return true;
}

int BinaryStream::byte()
{
    if (!need(1))
        return 0;
    return static_cast<unsigned char>(m_data[m_pos++]);
}

int BinaryStream::signedByte()
{
    if (!need(1))
        return 0;
    return static_cast<signed char>(m_data[m_pos++]);
}

int BinaryStream::shortInt()
{
    if (!need(2))
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(m_data + m_pos);
    m_pos += 2;
    return static_cast<qint16>(p[0] | (p[1] << 8));
}

int BinaryStream::integer()
{
    if (!need(4))
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(m_data + m_pos);
    m_pos += 4;
    return static_cast<qint32>(quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24));
}

void BinaryStream::skip(qsizetype count)
{
    if (need(count))
        m_pos += count;
}

QString BinaryStream::text(qsizetype length)
{
    if (!need(length))
        return QString();
    const QByteArray bytes(m_data + m_pos, length);
    m_pos += length;
    QString decoded = DecodeDocumentBytes(bytes);
    // Some writers pad their texts with NUL bytes.
    while (decoded.endsWith(QChar(0)))
        decoded.chop(1);
    return decoded;
}

QString BinaryStream::byteSizeString(int size)
{
    const int length = byte();
    if (!need(size))
        return QString();
    const qsizetype start = m_pos;
    QString result = text(std::min(length, size));
    m_pos = start + size;
    return result;
}

QString BinaryStream::intSizeString()
{
    const int length = integer();
    return text(length);
}

QString BinaryStream::intByteSizeString()
{
    const int field = integer();
    const int length = byte();
    if (field < 0) {
        fail(QStringLiteral("A text at byte %1 has a negative length: the file is damaged.").arg(m_pos));
        return QString();
    }
    // The field counts the length byte; an empty text may be written with a field of 0 or 1.
    const qsizetype size = std::max<qsizetype>(qsizetype(field) - 1, 0);
    if (!need(size))
        return QString();
    const qsizetype start = m_pos;
    QString result = text(std::min<qsizetype>(length, size));
    m_pos = start + size;
    return result;
}

} // namespace fw::guitarpro
