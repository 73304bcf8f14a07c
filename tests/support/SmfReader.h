#pragma once

#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QString>
#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

namespace fw::test {

// One sounding note as a Standard MIDI File describes it, times in ticks.
struct SmfNote {
    quint32 start = 0;
    int key = 0;
    quint32 length = 0;
    int velocity = 0;

    friend bool operator==(const SmfNote&, const SmfNote&) = default;
    friend bool operator<(const SmfNote& a, const SmfNote& b)
    {
        return std::tie(a.start, a.key, a.length, a.velocity) < std::tie(b.start, b.key, b.length, b.velocity);
    }
};

struct SmfSong {
    int format = -1;
    int trackCount = 0;
    int division = 0;
    std::optional<quint32> tempo;
    std::optional<int> program;
    // Sorted by start, key and length.
    QList<SmfNote> notes;
    // Ticks of the last End of Track event of any track.
    quint32 endTick = 0;
    // Empty when the whole file was well formed.
    QString error;
};

// A strict reader, independent of the writer: every chunk length, event and running status is
// checked, each track must close with End of Track exactly at its chunk's end, and every note must end.
// A note-off (or note-on at velocity 0) for a key that is not sounding is ignored, as synthesizers do.
class SmfReader {
public:
    static SmfSong Read(QByteArrayView bytes)
    {
        SmfReader reader(bytes);
        reader.ReadFile();
        std::sort(reader.m_song.notes.begin(), reader.m_song.notes.end());
        return reader.m_song;
    }

private:
    explicit SmfReader(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    bool Fail(const QString& message)
    {
        if (m_song.error.isEmpty())
            m_song.error = message + QStringLiteral(" at byte %1").arg(m_pos);
        return false;
    }

    bool Byte(quint8& value, qsizetype end)
    {
        if (m_pos >= end)
            return Fail(QStringLiteral("unexpected end of data"));
        value = static_cast<quint8>(m_bytes[m_pos++]);
        return true;
    }

    bool Number(quint32& value, int size, qsizetype end)
    {
        value = 0;
        for (int i = 0; i < size; ++i) {
            quint8 b = 0;
            if (!Byte(b, end))
                return false;
            value = (value << 8) | b;
        }
        return true;
    }

    bool VarLen(quint32& value, qsizetype end)
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            quint8 b = 0;
            if (!Byte(b, end))
                return false;
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return true;
        }
        return Fail(QStringLiteral("variable-length number longer than four bytes"));
    }

    bool ChunkId(const char* id)
    {
        if (m_pos + 4 > m_bytes.size() || m_bytes.sliced(m_pos, 4) != QByteArrayView(id, 4))
            return Fail(QStringLiteral("missing chunk %1").arg(QLatin1String(id)));
        m_pos += 4;
        return true;
    }

    void ReadFile()
    {
        quint32 length = 0;
        quint32 format = 0;
        quint32 tracks = 0;
        quint32 division = 0;
        if (!ChunkId("MThd") || !Number(length, 4, m_bytes.size()))
            return;
        if (length != 6) {
            Fail(QStringLiteral("header length %1").arg(length));
            return;
        }
        if (!Number(format, 2, m_bytes.size()) || !Number(tracks, 2, m_bytes.size())
            || !Number(division, 2, m_bytes.size()))
            return;
        m_song.format = static_cast<int>(format);
        m_song.trackCount = static_cast<int>(tracks);
        m_song.division = static_cast<int>(division);
        for (quint32 t = 0; t < tracks; ++t) {
            if (!ReadTrack())
                return;
        }
        if (m_pos != m_bytes.size())
            Fail(QStringLiteral("data after the last track"));
    }

    bool ReadTrack()
    {
        quint32 length = 0;
        if (!ChunkId("MTrk") || !Number(length, 4, m_bytes.size()))
            return false;
        if (length > m_bytes.size() - m_pos)
            return Fail(QStringLiteral("track length %1 runs past the file").arg(length));
        const qsizetype end = m_pos + length;
        // Start tick and velocity of each sounding key, oldest first.
        QMap<int, QList<std::pair<quint32, int>>> sounding;
        quint32 tick = 0;
        quint8 status = 0;
        while (true) {
            quint32 delta = 0;
            if (!VarLen(delta, end))
                return false;
            tick += delta;
            quint8 first = 0;
            if (!Byte(first, end))
                return false;
            if (first & 0x80) {
                status = first;
                if (status < 0xF0 && !Byte(first, end))
                    return false;
            } else if (status == 0 || status >= 0xF0) {
                return Fail(QStringLiteral("running status without a channel event before it"));
            }
            if (status == 0xFF) {
                quint8 type = 0;
                quint32 size = 0;
                if (!Byte(type, end) || !VarLen(size, end))
                    return false;
                if (size > end - m_pos)
                    return Fail(QStringLiteral("meta event runs past its track"));
                const QByteArrayView data = m_bytes.sliced(m_pos, size);
                m_pos += size;
                status = 0;
                if (type == 0x51 && size == 3)
                    m_song.tempo = (quint8(data[0]) << 16) | (quint8(data[1]) << 8) | quint8(data[2]);
                if (type == 0x2F) {
                    if (m_pos != end)
                        return Fail(QStringLiteral("End of Track before the chunk's end"));
                    m_song.endTick = std::max(m_song.endTick, tick);
                    if (!sounding.isEmpty())
                        return Fail(QStringLiteral("key %1 never ends").arg(sounding.firstKey()));
                    return true;
                }
                continue;
            }
            if (status == 0xF0 || status == 0xF7) {
                quint32 size = 0;
                if (!VarLen(size, end))
                    return false;
                if (size > end - m_pos)
                    return Fail(QStringLiteral("system exclusive event runs past its track"));
                m_pos += size;
                status = 0;
                continue;
            }
            if (status > 0xF0)
                return Fail(QStringLiteral("system event %1 in a file").arg(status));
            if (first & 0x80)
                return Fail(QStringLiteral("status byte where a data byte belongs"));
            const int kind = status & 0xF0;
            quint8 second = 0;
            if (kind != 0xC0 && kind != 0xD0) {
                if (!Byte(second, end))
                    return false;
                if (second & 0x80)
                    return Fail(QStringLiteral("status byte where a data byte belongs"));
            }
            if (kind == 0xC0)
                m_song.program = first;
            const bool on = kind == 0x90 && second > 0;
            const bool off = kind == 0x80 || (kind == 0x90 && second == 0);
            if (on)
                sounding[first].append({ tick, second });
            if (off && sounding.contains(first)) {
                QList<std::pair<quint32, int>>& starts = sounding[first];
                const auto [start, velocity] = starts.takeFirst();
                m_song.notes.append({ start, first, tick - start, velocity });
                if (starts.isEmpty())
                    sounding.remove(first);
            }
        }
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    SmfSong m_song;
};

} // namespace fw::test
