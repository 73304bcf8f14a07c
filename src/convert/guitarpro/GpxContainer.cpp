#include "GpxContainer.h"

#include <QtEndian>
#include <algorithm>
#include <vector>

namespace fw::guitarpro {

namespace {

    constexpr qsizetype SectorSize = 0x1000;
    constexpr qsizetype HeaderSize = 4; // the magic "BCFZ" or "BCFS"
    // A file entry: its type (2 for a file), its name (zero-terminated, 127 bytes at most), its size,
    // then the numbers of the sectors that hold its data, ended by 0.
    constexpr int FileEntryType = 2;
    constexpr qsizetype NameOffset = 0x04;
    constexpr qsizetype NameLength = 127;
    constexpr qsizetype SizeOffset = 0x8C;
    constexpr qsizetype SectorsOffset = 0x94;

    const QString DamagedMessage = QStringLiteral("Not a readable Guitar Pro 6 file: %1.");

    qint32 IntAt(const QByteArray& bytes, qsizetype offset)
    {
        return qFromLittleEndian<qint32>(bytes.constData() + offset);
    }

    // Bits in the order the compressed stream holds them: the highest bit of each byte first.
    class BitReader {
    public:
        explicit BitReader(const QByteArray& bytes, qsizetype start)
            : m_bytes(bytes)
            , m_bit(start * 8)
        {
        }

        bool atEnd(int bits) const { return m_bit + bits > m_bytes.size() * 8; }

        // The next bits (16 at most), the first read the highest: taken from the three bytes
        // they lie in at once, since every byte of a container passes through here.
        unsigned high(int bits)
        {
            const qsizetype byte = m_bit / 8;
            const int skip = static_cast<int>(m_bit % 8);
            unsigned window = 0;
            for (qsizetype i = byte; i < byte + 3; ++i)
                window = (window << 8) | (i < m_bytes.size() ? static_cast<unsigned char>(m_bytes[i]) : 0u);
            m_bit += bits;
            return (window >> (24 - skip - bits)) & ((1u << bits) - 1);
        }
        // The next bits, the first read the lowest.
        unsigned low(int bits)
        {
            const unsigned highFirst = high(bits);
            unsigned value = 0;
            for (int i = 0; i < bits; ++i)
                value |= ((highFirst >> (bits - 1 - i)) & 1u) << i;
            return value;
        }

    private:
        const QByteArray& m_bytes;
        qsizetype m_bit;
    };

    // The unpacked bytes of a "BCFZ" container. The stream may end before the declared size, as
    // some files' do: what is missing then shows as a file whose sectors are not all there.
    std::optional<QByteArray> Decompress(const QByteArray& bytes, qint64 maxBytes, QString& error)
    {
        if (bytes.size() < HeaderSize + 4) {
            error = DamagedMessage.arg(QStringLiteral("it ends inside its header"));
            return std::nullopt;
        }
        const qint64 declared = IntAt(bytes, HeaderSize);
        if (declared < 0 || declared > maxBytes) {
            error = QStringLiteral("Not a Guitar Pro 6 file this program reads: it would unpack to %1 bytes, more than "
                                   "the %2 allowed.")
                        .arg(declared)
                        .arg(maxBytes);
            return std::nullopt;
        }
        QByteArray out;
        // A copy codes up to 32767 bytes in 35 bits, so the declared size may be far beyond the
        // file's; memory grows with what really comes out.
        out.reserve(static_cast<qsizetype>(std::min<qint64>(declared, bytes.size() * qint64(16))));
        BitReader bits(bytes, HeaderSize + 4);
        while (out.size() < declared) {
            if (bits.atEnd(1))
                break;
            if (bits.high(1) == 1) {
                if (bits.atEnd(4))
                    break;
                const int width = static_cast<int>(bits.high(4));
                if (bits.atEnd(2 * width))
                    break;
                const qsizetype offset = bits.low(width);
                const qsizetype length = bits.low(width);
                if (offset == 0 || offset > out.size()) {
                    error = DamagedMessage.arg(QStringLiteral("its compressed data refers back before its start"));
                    return std::nullopt;
                }
                // The copy never runs into the bytes it makes.
                const qsizetype count = std::min({ length, offset, static_cast<qsizetype>(declared - out.size()) });
                const qsizetype from = out.size() - offset;
                out.resize(out.size() + count);
                std::copy_n(out.constData() + from, count, out.data() + out.size() - count);
            } else {
                if (bits.atEnd(2))
                    break;
                const int length = static_cast<int>(bits.low(2));
                for (int i = 0; i < length && out.size() < declared && !bits.atEnd(8); ++i)
                    out.append(static_cast<char>(bits.high(8)));
            }
        }
        return out;
    }

    // The named file of a "BCFS" file system (its header included).
    std::optional<QByteArray> FileOf(const QByteArray& system, const QString& wanted, qint64 maxBytes, QString& error)
    {
        // Sectors are counted from the end of the header; sector 0 holds nothing.
        const qsizetype data = system.size() - HeaderSize;
        const qsizetype sectors = data / SectorSize;
        const auto sectorAt = [](qsizetype sector) { return HeaderSize + sector * SectorSize; };
        // Data sectors, and those that the list of an entry's sectors runs into, are no entries,
        // whatever their first bytes say.
        std::vector<bool> taken(static_cast<size_t>(sectors + 1), false);
        for (qsizetype sector = 1; sector < sectors; ++sector) {
            const qsizetype entry = sectorAt(sector);
            if (taken[static_cast<size_t>(sector)] || IntAt(system, entry) != FileEntryType)
                continue;
            QByteArray rawName = system.mid(entry + NameOffset, NameLength);
            rawName.truncate(rawName.indexOf('\0') < 0 ? rawName.size() : rawName.indexOf('\0'));
            const qint64 size = IntAt(system, entry + SizeOffset);
            std::vector<qsizetype> parts;
            qsizetype at = entry + SectorsOffset;
            for (; at + 4 <= system.size(); at += 4) {
                const qint32 part = IntAt(system, at);
                if (part == 0)
                    break;
                if (part < 0 || part >= sectors + (data % SectorSize ? 1 : 0)) {
                    error = DamagedMessage.arg(QStringLiteral("a file lies in sectors beyond its end"));
                    return std::nullopt;
                }
                if (static_cast<qsizetype>(parts.size()) >= sectors) {
                    error = DamagedMessage.arg(QStringLiteral("a file names more sectors than there are"));
                    return std::nullopt;
                }
                parts.push_back(part);
            }
            for (qsizetype s = sector + 1; s <= sectors && sectorAt(s) < at; ++s)
                taken[static_cast<size_t>(s)] = true;
            for (const qsizetype part : parts)
                taken[static_cast<size_t>(part)] = true;
            if (QString::fromUtf8(rawName) != wanted)
                continue;
            if (size < 0 || size > maxBytes || size > static_cast<qint64>(parts.size()) * SectorSize) {
                error = DamagedMessage.arg(
                    QStringLiteral("\"%1\" claims %2 bytes that its sectors do not hold").arg(wanted).arg(size));
                return std::nullopt;
            }
            QByteArray file;
            file.reserve(static_cast<qsizetype>(size));
            for (const qsizetype part : parts) {
                const qsizetype count = std::min(SectorSize, static_cast<qsizetype>(size - file.size()));
                if (count <= 0)
                    break;
                if (sectorAt(part) + count > system.size()) {
                    error = DamagedMessage.arg(QStringLiteral("it is cut short"));
                    return std::nullopt;
                }
                file.append(system.constData() + sectorAt(part), count);
            }
            return file;
        }
        error = DamagedMessage.arg(QStringLiteral("it holds no \"%1\"").arg(wanted));
        return std::nullopt;
    }

} // namespace

bool IsGpxContainer(const QByteArray& bytes) { return bytes.startsWith("BCFZ") || bytes.startsWith("BCFS"); }

std::optional<QByteArray> UnpackGpxFile(const QByteArray& bytes, const QString& name, qint64 maxBytes, QString& error)
{
    if (bytes.startsWith("BCFS"))
        return FileOf(bytes, name, maxBytes, error);
    if (!bytes.startsWith("BCFZ")) {
        error = QStringLiteral("Not a Guitar Pro 6 file: it does not start as one.");
        return std::nullopt;
    }
    const auto system = Decompress(bytes, maxBytes, error);
    if (!system)
        return std::nullopt;
    if (!system->startsWith("BCFS")) {
        error = DamagedMessage.arg(QStringLiteral("what it unpacks to is no file system"));
        return std::nullopt;
    }
    auto file = FileOf(*system, name, maxBytes, error);
    // What is missing from a stream that ends early shows only as a file it cannot find.
    if (!file && system->size() < IntAt(bytes, HeaderSize))
        error = DamagedMessage.arg(QStringLiteral("it is cut short"));
    return file;
}

} // namespace fw::guitarpro
