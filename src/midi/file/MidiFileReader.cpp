#include "MidiFileReader.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <memory>

namespace fw {

namespace {

    constexpr int HeaderLength = 6;
    constexpr int ChunkHeaderLength = 8;
    constexpr int MaxVarLenBytes = 4;
    constexpr int ChannelCount = 16;
    constexpr int KeyCount = 128;
    // Only a long delta can bring a track near the longest time a note can have; the one-byte
    // deltas that may follow the last of them add less than 2^37.5 in a chunk of 2^32 bytes.
    constexpr qint64 MaxTrackTick = MidiNote::MaxStart / 4;

    quint32 BigEndian(const uchar* p, int count)
    {
        quint32 value = 0;
        for (int i = 0; i < count; ++i)
            value = (value << 8) | p[i];
        return value;
    }

    // Whether the first six of eight bytes are a note-on and, at once, its own end by velocity 0, in
    // running status: delta, key, velocity, delta, the same key, 0.
    inline bool IsLonePair(quint64 bytes)
    {
        const bool dataOnlyEndedSameKey = ((bytes & 0xFF8080808080) | ((bytes ^ bytes >> 24) & 0xFF00)) == 0;
        return dataOnlyEndedSameKey & ((bytes & 0xFF0000) != 0);
    }

    constexpr qint64 LowTicks = qint64(1) << 32;

    // Takes up to PAIRS lone pairs from IN into OUT, times from TIME on, and returns how many. A
    // key that sounds already must wait its turn (the general path's queue), which only needs
    // looking at while some key sounds.
    template <bool AnyKeySounding>
    qsizetype TakeLonePairs(
        const uchar* in, qsizetype pairs, quint32& time, MidiNote* out, quint32 channelBits, const int* firsts)
    {
        const uchar* const first = in;
        const uchar* const end = in + 6 * pairs;
        quint32 now = time;
        for (; in != end; in += 6, ++out) {
            const quint64 word = qFromLittleEndian<quint64>(in);
            if (!IsLonePair(word) || (AnyKeySounding && firsts[uchar(word >> 8)] >= 0))
                break;
            const quint32 start = now + uchar(word);
            now = start + uchar(word >> 24);
            *out = MidiNote::BeforeTick2To32(start, now, (quint32(word >> 8) & 0xFFFF) | channelBits);
        }
        time = now;
        return (in - first) / 6;
    }

    // The sounding notes of each channel and key, oldest first: the first apart, as a key rarely
    // sounds twice at once, the others waiting from head on, so that each end takes constant time
    // however many notes of one key a file piles up. One for the whole file: every track leaves it
    // empty, so a file of many small tracks does not pay for it again and again.
    struct SoundingKeys {
        struct Waiting {
            std::vector<int> indexes;
            size_t head = 0;
        };
        std::array<int, ChannelCount * KeyCount> first;
        std::array<Waiting, ChannelCount * KeyCount> more;
        size_t waiting = 0; // in all of more, so that the common case never looks there
        size_t sounding = 0; // keys with a first sounding note, on every channel

        SoundingKeys() { first.fill(-1); }
    };

    // Reads one track chunk's events into a track. Every read is checked against the chunk's end.
    class TrackParser {
    public:
        TrackParser(const uchar* data, qsizetype length, int trackNumber, MidiSong& song, SoundingKeys& keys)
            : m_data(data)
            , m_length(length)
            , m_trackNumber(trackNumber)
            , m_song(song)
            , m_first(keys.first)
            , m_more(keys.more)
            , m_waiting(keys.waiting)
            , m_sounding(keys.sounding)
        {
        }

        // Returns the error text, empty on success.
        QString Parse(MidiTrack& track)
        {
            // A note and its end take at least six bytes (with running status), so the list seldom
            // grows; the room is sized, not reserved, as the notes are written into it by index.
            m_notes = &track.notes;
            m_notes->resize(static_cast<size_t>(m_length / 6) + 1);
            quint8 running = 0;
            while (m_pos < m_length) {
                if ((running & 0xE0) == 0x80) {
                    RunningNotes(running);
                    if (m_pos >= m_length)
                        break;
                }
                // Most deltas are one byte.
                if (m_data[m_pos] < 0x80) {
                    m_tick += m_data[m_pos++];
                } else {
                    quint32 delta = 0;
                    if (!ReadVarLen(delta))
                        return m_error;
                    m_tick += delta;
                    if (m_tick > MaxTrackTick)
                        return Fail(QStringLiteral("the track lasts longer than %1 ticks").arg(MaxTrackTick));
                }
                if (m_pos >= m_length)
                    return Fail(QStringLiteral("the track ends after a delta time, without an event"));
                quint8 status = m_data[m_pos];
                if (status & 0x80) {
                    ++m_pos;
                } else if (running) {
                    status = running;
                } else {
                    return Fail(QStringLiteral("a data byte stands where an event must start (no running status)"));
                }
                if (status < 0xF0) {
                    running = status;
                    if (!ChannelEvent(status, track))
                        return m_error;
                    continue;
                }
                // System exclusive and meta events end any running status.
                running = 0;
                if (status == 0xF0 || status == 0xF7) {
                    quint32 length = 0;
                    if (!ReadVarLen(length) || !Skip(length, "system exclusive event"))
                        return m_error;
                } else if (status == 0xFF) {
                    bool ended = false;
                    if (!MetaEvent(track, ended))
                        return m_error;
                    if (ended)
                        break;
                } else {
                    return Fail(QStringLiteral("status byte 0x%1 is not allowed in a MIDI file")
                                    .arg(QString::number(status, 16).toUpper()));
                }
            }
            track.endTick = m_tick;
            m_notes->resize(m_count);
            CloseOpenNotes(track);
            return QString();
        }

    private:
        QString Fail(const QString& what)
        {
            m_error = QStringLiteral("Track %1, byte %2 of the track: %3.").arg(m_trackNumber).arg(m_pos).arg(what);
            return m_error;
        }

        bool ReadVarLen(quint32& value)
        {
            value = 0;
            for (int i = 0; i < MaxVarLenBytes; ++i) {
                if (m_pos >= m_length) {
                    Fail(QStringLiteral("the track is cut short inside a variable-length number"));
                    return false;
                }
                const uchar byte = m_data[m_pos++];
                value = (value << 7) | (byte & 0x7F);
                if (!(byte & 0x80))
                    return true;
            }
            Fail(QStringLiteral("a variable-length number is longer than four bytes"));
            return false;
        }

        bool Skip(quint32 count, const char* what)
        {
            if (count > static_cast<quint64>(m_length - m_pos)) {
                Fail(QStringLiteral("a %1 of %2 bytes runs past the end of the track")
                         .arg(QLatin1String(what))
                         .arg(count));
                return false;
            }
            m_pos += count;
            return true;
        }

        inline bool DataBytes(int count, quint8* out)
        {
            if (m_length - m_pos < count) {
                Fail(QStringLiteral("the track is cut short inside an event"));
                return false;
            }
            for (int i = 0; i < count; ++i) {
                out[i] = m_data[m_pos + i];
                if (out[i] & 0x80) {
                    m_pos += i;
                    Fail(QStringLiteral("a status byte stands where a data byte must be"));
                    return false;
                }
            }
            m_pos += count;
            return true;
        }

        bool ChannelEvent(quint8 status, MidiTrack& track)
        {
            const int kind = status & 0xF0;
            const quint8 channel = status & 0x0F;
            quint8 data[2] = { 0, 0 };
            if (!DataBytes(kind == 0xC0 || kind == 0xD0 ? 1 : 2, data))
                return false;
            if (kind == 0x90 && data[1] > 0)
                StartNote(channel, data[0], data[1]);
            else if (kind == 0x80 || kind == 0x90)
                EndNote(track, channel, data[0]);
            else if (kind == 0xC0 && track.programs[channel] < 0)
                track.programs[channel] = data[0];
            else if (kind == 0xE0 && (data[0] != 0 || data[1] != 0x40))
                ++track.bends[channel];
            return true;
        }

        // Note-ons and note-offs in running status with one-byte deltas, the bulk of most files, in a
        // loop of their own that does with them just what the general path would. It stops short of
        // the first event it cannot take so simply (another kind of event, a key sounding twice, an
        // end without a start, a full list) and leaves that to the general path.
        void RunningNotes(quint8 running)
        {
            const uchar* const data = m_data;
            const qsizetype last = m_length - 3;
            const qsizetype lastPair = m_length - 8; // the pair is read as eight bytes
            const bool noteOn = (running & 0xF0) == 0x90;
            const quint8 channel = running & 0x0F;
            const quint32 channelBits = quint32(channel) << 16;
            int* const firsts = m_first.data() + channel * KeyCount;
            const bool anyWaiting = m_waiting > 0;
            MidiNote* const notes = m_notes->data();
            const size_t room = m_notes->size();
            size_t count = m_count;
            qsizetype pos = m_pos;
            qint64 tick = m_tick;
            size_t sounding = m_sounding;
            while (pos <= last) {
                // A note-on followed at once by its own end (velocity 0), as a line of single notes
                // is written, is taken six bytes at a time; the key's slot stays free throughout.
                // Below 2^32 ticks the times need no high bits; a pair adds at most 2 x 127 ticks.
                if (noteOn && pos <= lastPair && tick < LowTicks) {
                    const qsizetype pairs = std::min({ (lastPair - pos) / 6 + 1, static_cast<qsizetype>(room - count),
                        (LowTicks - 1 - tick) / 254 });
                    quint32 time = static_cast<quint32>(tick);
                    const qsizetype taken = sounding == 0
                        ? TakeLonePairs<false>(data + pos, pairs, time, notes + count, channelBits, firsts)
                        : TakeLonePairs<true>(data + pos, pairs, time, notes + count, channelBits, firsts);
                    tick = time;
                    pos += 6 * taken;
                    count += static_cast<size_t>(taken);
                    if (pos > last)
                        break;
                }
                const uchar delta = data[pos];
                const uchar key = data[pos + 1];
                const uchar velocity = data[pos + 2];
                if ((delta | key | velocity) & 0x80)
                    break;
                int& first = firsts[key];
                if (noteOn && velocity > 0) {
                    if (first >= 0 || count == room)
                        break;
                    first = static_cast<int>(count);
                    ++sounding;
                    notes[count++] = MidiNote(tick + delta, tick + delta, key, velocity, channel);
                } else {
                    if (first < 0 || anyWaiting)
                        break;
                    notes[first].setEnd(tick + delta);
                    first = -1;
                    --sounding;
                }
                tick += delta;
                pos += 3;
            }
            m_count = count;
            m_sounding = sounding;
            m_pos = pos;
            m_tick = tick;
        }

        void StartNote(quint8 channel, quint8 key, quint8 velocity)
        {
            if (m_count == m_notes->size())
                m_notes->resize(2 * m_count);
            const int slot = channel * KeyCount + key;
            const int index = static_cast<int>(m_count);
            if (m_first[slot] < 0) {
                m_first[slot] = index;
                ++m_sounding;
            } else {
                m_more[slot].indexes.push_back(index);
                ++m_waiting;
            }
            (*m_notes)[m_count++] = MidiNote(m_tick, m_tick, key, velocity, channel);
        }

        // The earliest sounding note of that key ends; an end without a start is a silent mark.
        void EndNote(MidiTrack& track, quint8 channel, quint8 key)
        {
            const int slot = channel * KeyCount + key;
            int& first = m_first[slot];
            if (first < 0) {
                track.silentMarks.push_back({ m_tick, channel });
                return;
            }
            (*m_notes)[first].setEnd(m_tick);
            Waiting& more = m_more[slot];
            if (more.head == more.indexes.size()) {
                first = -1;
                --m_sounding;
                return;
            }
            first = more.indexes[more.head++];
            --m_waiting;
            if (more.head == more.indexes.size()) {
                more.indexes.clear();
                more.head = 0;
            }
        }

        bool MetaEvent(MidiTrack& track, bool& ended)
        {
            if (m_pos >= m_length) {
                Fail(QStringLiteral("the track is cut short inside a meta event"));
                return false;
            }
            const quint8 type = m_data[m_pos++];
            quint32 length = 0;
            if (!ReadVarLen(length))
                return false;
            const qsizetype start = m_pos;
            if (!Skip(length, "meta event"))
                return false;
            const uchar* body = m_data + start;
            if (type == 0x2F) {
                ended = true;
            } else if (type == 0x51 && length >= 3) {
                const quint32 micro = BigEndian(body, 3);
                if (micro > 0)
                    m_song.tempos.push_back({ m_tick, micro });
            } else if (type == 0x58 && length >= 2) {
                // The denominator is a power of two; beyond 2^6 (64ths) no bar can be written.
                if (body[0] > 0 && body[1] <= 6)
                    m_song.timeSignatures.push_back({ m_tick, body[0], 1 << body[1] });
            } else if (type == 0x03 && track.name.isEmpty()) {
                track.name = QString::fromLatin1(reinterpret_cast<const char*>(body), length);
            } else if (type == 0x01 && m_tick == 0 && length > 0 && body[0] == '*'
                && track.setupTexts.size() < MidiTrack::MaxSetupTexts) {
                track.setupTexts << QString::fromLatin1(reinterpret_cast<const char*>(body), length);
            }
            return true;
        }

        // Ends what still sounds at the track's end and leaves the keys empty for the next track.
        void CloseOpenNotes(MidiTrack& track)
        {
            if (m_sounding == 0)
                return;
            int unended = 0;
            for (int slot = 0; slot < ChannelCount * KeyCount; ++slot) {
                if (m_first[slot] < 0)
                    continue;
                track.notes[m_first[slot]].setEnd(m_tick);
                Waiting& more = m_more[slot];
                for (size_t i = more.head; i < more.indexes.size(); ++i)
                    track.notes[more.indexes[i]].setEnd(m_tick);
                unended += 1 + static_cast<int>(more.indexes.size() - more.head);
                m_first[slot] = -1;
                more.indexes.clear();
                more.head = 0;
            }
            m_sounding = 0;
            m_waiting = 0;
            if (unended > 0)
                m_song.warnings << QStringLiteral("Track %1: %2 notes never ended; they last to the end of the track.")
                                       .arg(m_trackNumber)
                                       .arg(unended);
        }

        using Waiting = SoundingKeys::Waiting;

        const uchar* m_data;
        qsizetype m_length;
        int m_trackNumber;
        MidiSong& m_song;
        qsizetype m_pos = 0;
        qint64 m_tick = 0;
        QString m_error;
        std::array<int, ChannelCount * KeyCount>& m_first;
        std::array<Waiting, ChannelCount * KeyCount>& m_more;
        size_t& m_waiting;
        size_t& m_sounding;
        // The track's notes, sized ahead: the first m_count are written.
        MidiNoteList* m_notes = nullptr;
        size_t m_count = 0;
    };

} // namespace

bool MidiTrack::holdsAnything() const
{
    return !notes.empty() || !silentMarks.empty()
        || std::any_of(programs.begin(), programs.end(), [](int program) { return program >= 0; });
}

MidiReadResult ReadMidiFile(QByteArrayView bytes)
{
    MidiReadResult result;
    const auto* data = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype size = bytes.size();
    if (size < ChunkHeaderLength || bytes.first(4) != QByteArrayView("MThd")) {
        result.error = QStringLiteral("Not a Standard MIDI file: it does not start with an \"MThd\" header.");
        return result;
    }
    const quint32 headerLength = BigEndian(data + 4, 4);
    if (headerLength < HeaderLength || headerLength > static_cast<quint64>(size - ChunkHeaderLength)) {
        result.error = QStringLiteral("The MIDI file header is cut short or damaged (its length says %1 bytes).")
                           .arg(headerLength);
        return result;
    }
    MidiSong song;
    song.format = static_cast<int>(BigEndian(data + 8, 2));
    const int announcedTracks = static_cast<int>(BigEndian(data + 10, 2));
    const quint32 division = BigEndian(data + 12, 2);
    if (song.format > 1) {
        result.error
            = QStringLiteral("The MIDI file has format %1; only formats 0 and 1 can be imported.").arg(song.format);
        return result;
    }
    if (division & 0x8000) {
        result.error = QStringLiteral(
            "The MIDI file counts time in SMPTE frames; only files that count ticks per quarter note can be imported.");
        return result;
    }
    if (division == 0) {
        result.error = QStringLiteral("The MIDI file header gives a time division of 0 ticks per quarter note.");
        return result;
    }
    song.division = static_cast<int>(division);

    qsizetype pos = ChunkHeaderLength + headerLength;
    int trackNumber = 0;
    const auto keys = std::make_unique<SoundingKeys>();
    while (pos < size) {
        if (size - pos < ChunkHeaderLength) {
            result.error = QStringLiteral("The MIDI file ends inside a chunk header, %1 bytes after the last chunk.")
                               .arg(size - pos);
            return result;
        }
        const quint32 length = BigEndian(data + pos + 4, 4);
        const bool isTrack = QByteArrayView(bytes.data() + pos, 4) == QByteArrayView("MTrk");
        if (length > static_cast<quint64>(size - pos - ChunkHeaderLength)) {
            result.error = isTrack
                ? QStringLiteral("Track %1 is cut short: its length says %2 bytes, the file holds %3 more.")
                      .arg(trackNumber + 1)
                      .arg(length)
                      .arg(size - pos - ChunkHeaderLength)
                : QStringLiteral(
                    "A chunk after track %1 is cut short: its length says %2 bytes, the file holds %3 more.")
                      .arg(trackNumber)
                      .arg(length)
                      .arg(size - pos - ChunkHeaderLength);
            return result;
        }
        if (isTrack) {
            ++trackNumber;
            MidiTrack track;
            track.number = trackNumber;
            TrackParser parser(data + pos + ChunkHeaderLength, length, trackNumber, song, *keys);
            result.error = parser.Parse(track);
            if (!result.error.isEmpty())
                return result;
            if (track.holdsAnything())
                song.tracks.push_back(std::move(track));
        }
        pos += ChunkHeaderLength + length;
    }
    if (trackNumber == 0) {
        result.error = QStringLiteral("The MIDI file holds no track.");
        return result;
    }
    song.trackCount = trackNumber;
    if (trackNumber < announcedTracks)
        song.warnings << QStringLiteral("The header announces %1 tracks; the file holds %2.")
                             .arg(announcedTracks)
                             .arg(trackNumber);
    const auto byTick = [](const auto& a, const auto& b) { return a.tick < b.tick; };
    std::stable_sort(song.tempos.begin(), song.tempos.end(), byTick);
    std::stable_sort(song.timeSignatures.begin(), song.timeSignatures.end(), byTick);
    result.song = std::move(song);
    return result;
}

} // namespace fw
