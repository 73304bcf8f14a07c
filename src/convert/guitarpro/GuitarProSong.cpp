// GP3, GP4 and GP5 files: the song's header, its measure headers and tracks, laid out as the public
// descriptions of these formats give them; each version adds fields to the one before.
#include "BinaryReaderParts.h"
#include "GuitarProBinary.h"

namespace fw::guitarpro {

using detail::BinaryReader;

namespace {

    struct KnownVersion {
        const char* text;
        int version;
    };
    constexpr KnownVersion Versions[] = {
        { "FICHIER GUITAR PRO v3.00", 300 },
        { "FICHIER GUITAR PRO v4.00", 400 },
        { "FICHIER GUITAR PRO v4.06", 406 },
        { "FICHIER GUITAR PRO L4.06", 406 },
        { "FICHIER GUITAR PRO v5.00", 500 },
        { "FICHIER GUITAR PRO v5.10", 510 },
    };

    // The version text: a length byte, then 30 bytes.
    QByteArray VersionText(const QByteArray& bytes)
    {
        if (bytes.isEmpty())
            return QByteArray();
        const int length = static_cast<unsigned char>(bytes[0]);
        return bytes.mid(1, std::min(length, 30));
    }

    QString NotReadable(const QByteArray& bytes)
    {
        const QByteArray text = VersionText(bytes);
        if (text.startsWith("FICHIER GUITARE PRO") || text.startsWith("FICHIER GUITAR PRO v2"))
            return QStringLiteral("Guitar Pro 1 and 2 files cannot be read; open the file in Guitar Pro and save it "
                                  "as GP5.");
        if (text.startsWith("FICHIER GUITAR PRO") || text.startsWith("CLIPBOARD GUITAR PRO"))
            return QStringLiteral("Guitar Pro version \"%1\" cannot be read (GP3, GP4 and GP5 can).")
                .arg(QString::fromLatin1(text).simplified());
        return QStringLiteral(
            "This is not a Guitar Pro file: it does not begin as Guitar Pro files (GP3 to GP5, GPX, GP7 and GP8) do.");
    }

} // namespace

int BinaryVersion(const QByteArray& bytes)
{
    const QByteArray text = VersionText(bytes);
    for (const KnownVersion& known : Versions) {
        if (text == known.text)
            return known.version;
    }
    return 0;
}

std::optional<Score> ReadBinaryScore(const QByteArray& bytes, QString& error)
{
    const int version = BinaryVersion(bytes);
    if (version == 0) {
        error = NotReadable(bytes);
        return std::nullopt;
    }
    BinaryReader reader(bytes, version);
    if (!reader.read()) {
        error = reader.error();
        return std::nullopt;
    }
    return std::move(reader.score());
}

namespace detail {

    bool BinaryReader::read()
    {
        m_in.skip(31); // the version text, known to be one of Versions
        for (const KnownVersion& known : Versions) {
            if (known.version == m_version)
                m_score.version = QString::fromLatin1(known.text);
        }
        readInfo();
        if (m_version < 500)
            m_in.skip(1); // triplet feel
        if (m_version >= 400)
            readLyrics();
        if (m_version >= 510)
            m_in.skip(19); // master volume and equaliser
        if (m_version >= 500) {
            readPageSetup();
            m_in.intByteSizeString(); // tempo name
        }
        m_score.tempo = m_in.integer();
        if (m_version >= 510)
            m_in.skip(1); // tempo hidden
        m_in.skip(m_version >= 400 ? 5 : 4); // key (and octave)
        readChannels();
        if (m_version >= 500) {
            // The measures where the coda, segno, fine and da capo signs stand, -1 for none.
            for (int i = 0; i < 19; ++i)
                m_score.jumps += m_in.shortInt() > 0;
            m_in.skip(4); // master reverb
        }
        const int measureCount = m_in.integer();
        const int trackCount = m_in.integer();
        if (!checkCount(measureCount, 1, MaxMeasures, 1, QStringLiteral("measures"))
            || !checkCount(trackCount, 1, MaxTracks, 98, QStringLiteral("tracks")))
            return false;
        // Every measure of every track holds at least a beat count.
        if (qint64(measureCount) * trackCount * 4 > m_in.remaining()) {
            m_in.fail(QStringLiteral("The file claims %1 measures of %2 tracks, more than its %3 bytes can hold: "
                                     "it is damaged.")
                          .arg(measureCount)
                          .arg(trackCount)
                          .arg(m_in.position() + m_in.remaining()));
            return false;
        }
        m_score.measures.reserve(measureCount);
        for (int i = 0; i < measureCount && m_in.ok(); ++i)
            readMeasureHeader(i);
        m_score.tracks.reserve(trackCount);
        for (int i = 0; i < trackCount && m_in.ok(); ++i)
            readTrack(i);
        if (m_version >= 500)
            m_in.skip(m_version == 500 ? 2 : 1);
        readMeasures();
        return m_in.ok();
    }

    bool BinaryReader::checkCount(int count, int low, int high, qsizetype bytesEach, const QString& what)
    {
        if (!m_in.ok())
            return false;
        if (count < low || count > high || qint64(count) * bytesEach > m_in.remaining()) {
            m_in.fail(QStringLiteral("The file claims %1 %2 (a Guitar Pro file this program reads has %3 to %4): it "
                                     "is damaged.")
                          .arg(count)
                          .arg(what)
                          .arg(low)
                          .arg(high));
            return false;
        }
        return true;
    }

    void BinaryReader::readInfo()
    {
        m_score.title = m_in.intByteSizeString();
        m_score.subtitle = m_in.intByteSizeString();
        m_score.artist = m_in.intByteSizeString();
        m_score.album = m_in.intByteSizeString();
        // Words, music (GP5), copyright, tabbed by, instructions.
        for (int i = m_version >= 500 ? 5 : 4; i > 0; --i)
            m_in.intByteSizeString();
        const int notices = m_in.integer();
        if (!checkCount(notices, 0, 1 << 20, 5, QStringLiteral("notice lines")))
            return;
        for (int i = 0; i < notices; ++i)
            m_in.intByteSizeString();
    }

    void BinaryReader::readLyrics()
    {
        m_in.skip(4); // the track they belong to
        for (int line = 0; line < 5; ++line) {
            m_in.skip(4); // the measure they start at
            if (!m_in.intSizeString().trimmed().isEmpty())
                ++m_score.lyrics;
        }
    }

    void BinaryReader::readPageSetup()
    {
        // Page size, margins and score size (7 ints), which header and footer texts are shown (a
        // short), then those texts.
        m_in.skip(30);
        for (int i = 0; i < 10; ++i)
            m_in.intByteSizeString();
    }

    void BinaryReader::readChannels()
    {
        for (int& program : m_programs) {
            const int instrument = m_in.integer();
            program = instrument >= 0 && instrument < 128 ? instrument : 0;
            m_in.skip(8); // volume, balance, chorus, reverb, phaser, tremolo, two blank bytes
        }
    }

    void BinaryReader::readMeasureHeader(int index)
    {
        if (m_version >= 500 && index > 0)
            m_in.skip(1);
        MeasureHeader header;
        if (index > 0)
            header.time = m_score.measures.back().time;
        const int flags = m_in.byte();
        if (flags & 0x01)
            header.time.numerator = m_in.signedByte();
        if (flags & 0x02)
            header.time.denominator = m_in.signedByte();
        header.repeatOpen = flags & 0x04;
        if (header.repeatOpen)
            m_endingsSinceOpen = 0;
        if (flags & 0x08) {
            // GP5 counts the plays, GP3 and GP4 the repeats.
            const int count = m_in.signedByte();
            header.repeatPlays = std::max(m_version >= 500 ? count : count + 1, 1);
        }
        if (m_version < 500 && (flags & 0x10)) {
            const int ending = std::clamp(m_in.byte(), 0, 31);
            header.alternateEndings = ((1u << ending) - 1) & ~m_endingsSinceOpen;
            m_endingsSinceOpen |= header.alternateEndings;
        }
        if (flags & 0x20) {
            header.marker = m_in.intByteSizeString();
            m_in.skip(4); // colour
        }
        if (flags & 0x40)
            m_in.skip(2); // key and mode
        if (m_version >= 500) {
            if (flags & 0x10)
                header.alternateEndings = m_in.byte();
            if (flags & 0x03)
                m_in.skip(4); // beaming
            if (!(flags & 0x10))
                m_in.skip(1);
            m_in.skip(1); // triplet feel
        }
        const int denominator = header.time.denominator;
        if (m_in.ok()
            && (header.time.numerator < 1 || denominator < 1 || denominator > 64 || (denominator & (denominator - 1))))
            m_in.fail(QStringLiteral("Measure %1 has the time signature %2/%3: the file is damaged.")
                          .arg(index + 1)
                          .arg(header.time.numerator)
                          .arg(denominator));
        m_score.measures.append(header);
    }

    void BinaryReader::readTrack(int index)
    {
        if (m_version >= 500 && (index == 0 || m_version == 500))
            m_in.skip(1);
        Track track;
        const int flags = m_in.byte();
        track.percussion = flags & 0x01;
        track.name = m_in.byteSizeString(40);
        const int strings = m_in.integer();
        if (!checkCount(strings, 1, MaxStrings, 0, QStringLiteral("strings in track %1").arg(index + 1)))
            return;
        for (int i = 0; i < 7; ++i) {
            const int key = m_in.integer();
            if (i < strings)
                track.tuning.append(key);
        }
        const int port = m_in.integer();
        const int channel = m_in.integer();
        m_in.skip(4); // the channel of effects
        track.frets = m_in.integer();
        track.capo = m_in.integer();
        m_in.skip(4); // colour
        if (m_version >= 510) {
            // Display and sound settings, the sound's equaliser and its two effect names.
            m_in.skip(49);
            m_in.intByteSizeString();
            m_in.intByteSizeString();
        } else if (m_version == 500) {
            m_in.skip(44);
        }
        if (!m_in.ok())
            return;
        for (int key : track.tuning) {
            if (key < 0 || key > 127) {
                m_in.fail(QStringLiteral("Track %1 tunes a string to MIDI key %2: the file is damaged.")
                              .arg(index + 1)
                              .arg(key));
                return;
            }
        }
        if (track.frets < 1 || track.frets > MaxNeckFrets || track.capo < 0 || track.capo > MaxFrets) {
            m_in.fail(QStringLiteral("Track %1 has %2 frets and a capo at fret %3 (a track this program reads has at "
                                     "most %4 frets and a capo at most at fret %5): the file is damaged.")
                          .arg(index + 1)
                          .arg(track.frets)
                          .arg(track.capo)
                          .arg(MaxNeckFrets)
                          .arg(MaxFrets));
            return;
        }
        // Channels count from 1; ten is the drums' channel on every port. Some files count the
        // channels of all four ports on.
        const int channels = static_cast<int>(m_programs.size());
        int slot = channel >= 1 && channel <= channels ? channel - 1 : -1;
        if (port >= 1 && port <= 4 && channel >= 1 && channel <= 16)
            slot = (port - 1) * 16 + channel - 1;
        if (slot >= 0) {
            track.program = m_programs[slot];
            track.percussion = track.percussion || slot % 16 == 9;
        }
        track.measures.resize(m_score.measures.size());
        m_score.tracks.append(std::move(track));
    }

} // namespace detail

} // namespace fw::guitarpro
