#pragma once

#include <QByteArray>
#include <QString>

namespace fw::guitarpro {

// Little-endian values and Guitar Pro's length-prefixed strings, read in order from a byte array.
// Reading past the end, or a length that runs past it, stops the stream: every later read gives 0
// or "" and ok() turns false, so a reader may check once after a group of reads. Texts are UTF-8
// when they are valid UTF-8, else Windows-1252, as older files write them.
class BinaryStream {
public:
    explicit BinaryStream(const QByteArray& bytes)
        : m_data(bytes.constData())
        , m_size(bytes.size())
    {
    }

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    // Stops the stream with a message (the first one stays).
    void fail(const QString& message);

    qsizetype position() const { return m_pos; }
    qsizetype remaining() const { return m_size - m_pos; }

    int byte(); // 0..255
    int signedByte(); // -128..127
    bool boolean() { return byte() != 0; }
    int shortInt(); // signed 16 bits
    int integer(); // signed 32 bits
    void skip(qsizetype count);

    // A length byte, then `size` bytes of which the first `length` are the text.
    QString byteSizeString(int size);
    // An int length, then the text.
    QString intSizeString();
    // An int holding the length plus one, a length byte, then the text.
    QString intByteSizeString();

private:
    bool need(qsizetype count);
    QString text(qsizetype length);

    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QString m_error;
};

} // namespace fw::guitarpro
