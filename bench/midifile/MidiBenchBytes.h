#pragma once

#include <QByteArray>

namespace fw::bench {

// A number's bytes, most significant first, as MIDI files hold lengths and header fields.
inline QByteArray BigEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

} // namespace fw::bench
