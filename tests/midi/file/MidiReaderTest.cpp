// The reader's notes against a plain reading of the same events, and a file that piles up notes.
#include "MidiFileReader.h"
#include "MidiTestSupport.h"

#include <QElapsedTimer>
#include <deque>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace fw {
namespace {

    using test::Be;

    struct PlainNote {
        qint64 start = 0;
        qint64 end = 0;
        int key = 0;
        int velocity = 0;
        int channel = 0;
        friend bool operator==(const PlainNote&, const PlainNote&) = default;
    };

    std::ostream& operator<<(std::ostream& out, const PlainNote& note)
    {
        return out << note.start << "-" << note.end << " key " << note.key << " velocity " << note.velocity
                   << " channel " << note.channel;
    }

    void AppendVarLen(QByteArray& out, quint32 value)
    {
        QByteArray bytes(1, static_cast<char>(value & 0x7F));
        while (value >>= 7)
            bytes.prepend(static_cast<char>(0x80 | (value & 0x7F)));
        out += bytes;
    }

    QByteArray Bytes(int first, int second)
    {
        QByteArray out;
        out.append(static_cast<char>(first));
        out.append(static_cast<char>(second));
        return out;
    }

    QByteArray OneTrackFile(const QByteArray& events)
    {
        return QByteArray("MThd") + Be(6, 4) + Be(0, 2) + Be(1, 2) + Be(96, 2) + QByteArray("MTrk")
            + Be(static_cast<quint32>(events.size()), 4) + events;
    }

    // A random track as sequencers write it: notes that overlap on a few keys or spread over many,
    // both kinds of note-off, running status used or not, controllers, program changes and meta
    // events between them, one-byte and long deltas. Alongside, what the file means, read plainly:
    // a note-off ends the earliest sounding note of its channel and key, or else marks a silence.
    QByteArray RandomTrack(std::mt19937& random, int events, int keys, std::vector<PlainNote>& notes,
        std::vector<std::pair<qint64, int>>& marks, qint64& endTick)
    {
        QByteArray bytes;
        std::map<std::pair<int, int>, std::deque<size_t>> sounding;
        quint8 running = 0;
        qint64 tick = 0;
        for (int e = 0; e < events; ++e) {
            // Now and then the longest delta, so that times pass 2^32 ticks, stopping once a little
            // short of it.
            const int deltaKind = static_cast<int>(random() % 20);
            const qint64 shortOf2To32 = (qint64(1) << 32) - 1 - static_cast<qint64>(random() % 600);
            const quint32 longest = tick < shortOf2To32 && shortOf2To32 - tick < (1 << 28)
                ? static_cast<quint32>(shortOf2To32 - tick)
                : (1u << 28) - 1;
            const quint32 delta = deltaKind < 14 ? random() % 128
                : deltaKind < 18                 ? 0
                : deltaKind < 19                 ? random() % (1u << 21)
                                                 : longest;
            AppendVarLen(bytes, delta);
            tick += delta;
            const int kind = static_cast<int>(random() % 10);
            if (kind == 9) {
                bytes += QByteArray::fromHex("ff0103414243");
                running = 0;
                continue;
            }
            const int channel = static_cast<int>(random() % 3);
            const int key = 40 + static_cast<int>(random() % keys);
            const int velocity = 1 + static_cast<int>(random() % 127);
            quint8 status = 0;
            QByteArray data;
            if (kind < 4) {
                status = 0x90 | channel;
                data = Bytes(key, velocity);
                sounding[{ channel, key }].push_back(notes.size());
                notes.push_back({ tick, tick, key, velocity, channel });
            } else if (kind < 7) {
                const bool zeroVelocity = random() % 2 == 0;
                status = (zeroVelocity ? 0x90 : 0x80) | channel;
                data = Bytes(key, zeroVelocity ? 0 : velocity);
                std::deque<size_t>& waiting = sounding[{ channel, key }];
                if (waiting.empty()) {
                    marks.push_back({ tick, channel });
                } else {
                    notes[waiting.front()].end = tick;
                    waiting.pop_front();
                }
            } else if (kind < 8) {
                status = 0xB0 | channel;
                data = Bytes(7, velocity);
            } else {
                status = 0xC0 | channel;
                data = QByteArray(1, static_cast<char>(random() % 128));
            }
            if (status != running || random() % 4 == 0)
                bytes.append(static_cast<char>(status));
            running = status;
            bytes += data;
            // Often a note ends at once by velocity 0, as a line of single notes is written.
            if (kind < 4 && random() % 2 == 0) {
                const quint32 length = random() % 128;
                bytes.append(static_cast<char>(length));
                tick += length;
                if (random() % 4 == 0)
                    bytes.append(static_cast<char>(status));
                bytes += Bytes(key, 0);
                std::deque<size_t>& waiting = sounding[{ channel, key }];
                notes[waiting.front()].end = tick;
                waiting.pop_front();
            }
        }
        bytes += QByteArray::fromHex("00ff2f00");
        for (auto& [where, waiting] : sounding) {
            for (size_t index : waiting)
                notes[index].end = tick;
        }
        endTick = tick;
        return bytes;
    }

    TEST(MidiReaderTest, NotesAreThoseOfAPlainReadingOfTheEvents)
    {
        std::mt19937 random(21);
        for (int round = 0; round < 300; ++round) {
            std::vector<PlainNote> expected;
            std::vector<std::pair<qint64, int>> marks;
            qint64 endTick = 0;
            const int keys = round % 3 == 0 ? 2 : 40;
            const QByteArray file
                = OneTrackFile(RandomTrack(random, static_cast<int>(random() % 600), keys, expected, marks, endTick));
            const MidiReadResult read = ReadMidiFile(file);
            ASSERT_TRUE(read.song) << read.error.toStdString();
            const MidiTrack& track = read.song->tracks.at(0);
            std::vector<PlainNote> notes;
            for (const MidiNote& note : track.notes)
                notes.push_back({ note.start(), note.end(), note.key(), note.velocity(), note.channel() });
            ASSERT_EQ(notes, expected) << "round " << round;
            EXPECT_EQ(track.silentMarks, marks) << "round " << round;
            EXPECT_EQ(track.endTick, endTick) << "round " << round;
        }
    }

    TEST(MidiReaderTest, ManyNotesOfOneKeyAtOnceEndInTheirOrderAndQuickly)
    {
        constexpr int Count = 200000;
        QByteArray events = QByteArray::fromHex("0090287f");
        for (int i = 1; i < Count; ++i)
            events += QByteArray::fromHex("00287f");
        for (int i = 0; i < Count; ++i)
            events += QByteArray::fromHex("012800");
        events += QByteArray::fromHex("00ff2f00");
        QElapsedTimer timer;
        timer.start();
        const MidiReadResult read = ReadMidiFile(OneTrackFile(events));
        // Each end finds its note at once: ending them by shifting a list of the waiting notes took
        // tens of seconds here.
        EXPECT_LT(timer.elapsed(), 2000);
        ASSERT_TRUE(read.song) << read.error.toStdString();
        const MidiNoteList& notes = read.song->tracks.at(0).notes;
        ASSERT_EQ(notes.size(), size_t(Count));
        for (int i = 0; i < Count; ++i)
            ASSERT_EQ(notes[i].end(), i + 1) << "note " << i;
        EXPECT_TRUE(read.song->tracks.at(0).silentMarks.empty());
    }

} // namespace
} // namespace fw
