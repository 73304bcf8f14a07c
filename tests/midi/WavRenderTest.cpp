#include "WavRender.h"
#include "SoundFont.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace fw;

namespace {

const QStringList Example { "* Title: Walking in G", "*Count Off 4", "G, 3, x, x, x, Q", "B, x, 2, x, x, Q",
    "D, x, 5, x, x, Q", "Rest, x, x, x, x, Q", "", "Chord, 3, 5, x, x, H", ".", "" };

quint32 Le32(const QByteArray& bytes, int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }
quint16 Le16(const QByteArray& bytes, int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); }

} // namespace

TEST(WavRender, RecordingIsWhatPlayAllSendsInNoTime)
{
    QStringList lines = Example;
    lines.removeLast();
    lines.removeLast(); // the "." line is an error
    const RecordedPlayback playback = RecordPlayback(lines, 120, 33);
    EXPECT_TRUE(playback.errors.isEmpty());
    ASSERT_FALSE(playback.messages.isEmpty());
    EXPECT_EQ(playback.messages.first().message, 0x73C0u);
    // Four clicks of 500 ms, four quarters and a half.
    EXPECT_EQ(playback.messages.last().timeUs, (4 * 500 + 4 * 500 + 1000) * 1000);

    const RecordedPlayback broken = RecordPlayback(Example, 120, 33);
    EXPECT_EQ(broken.errors, QStringList { "Line 9    Not enough commas." });
    EXPECT_TRUE(broken.messages.isEmpty());
}

TEST(WavRender, RenderedExampleIsStereo16BitAndAsLongAsThePlayback)
{
    const QString soundFont = FindSoundFont();
    if (soundFont.isEmpty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    QStringList lines = Example.mid(0, 8);
    const RecordedPlayback playback = RecordPlayback(lines, 120, 33);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("out.wav"));
    ASSERT_EQ(RenderMessagesToWav(playback.messages, soundFont, path), QString());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 44);
    EXPECT_EQ(bytes.left(4), "RIFF");
    EXPECT_EQ(bytes.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le16(bytes, 20), 1); // PCM
    EXPECT_EQ(Le16(bytes, 22), 2);
    EXPECT_EQ(Le32(bytes, 24), 44100u);
    EXPECT_EQ(Le16(bytes, 34), 16);
    EXPECT_EQ(bytes.mid(36, 4), "data");
    const quint32 dataBytes = Le32(bytes, 40);
    EXPECT_EQ(Le32(bytes, 4), 36 + dataBytes);
    ASSERT_EQ(static_cast<qsizetype>(dataBytes), bytes.size() - 44);

    const double seconds = dataBytes / 4.0 / 44100.0;
    const double expected = (4 * 500 + 4 * 500 + 1000 + RenderTailMs) / 1000.0;
    EXPECT_NEAR(seconds, expected, 0.050);

    int peak = 0;
    const auto* samples = reinterpret_cast<const qint16*>(bytes.constData() + 44);
    for (quint32 i = 0; i < dataBytes / 2; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(qFromLittleEndian(samples[i]))));
    EXPECT_GT(peak, 1000);

    // The first 2 s are the count-off, the bass starts after them: sound in both halves.
    auto peakBetween = [&](double from, double to) {
        int p = 0;
        for (auto i = static_cast<quint32>(from * 44100) * 2; i < static_cast<quint32>(to * 44100) * 2; ++i)
            p = std::max(p, std::abs(static_cast<int>(qFromLittleEndian(samples[i]))));
        return p;
    };
    EXPECT_GT(peakBetween(0.0, 0.2), 500);
    EXPECT_GT(peakBetween(2.0, 2.4), 500);
}

TEST(WavRender, MissingSoundFontIsReportedNotWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.wav"));
    EXPECT_FALSE(RenderMessagesToWav({}, QString(), path).isEmpty());
    EXPECT_FALSE(RenderMessagesToWav({}, dir.filePath(QStringLiteral("none.sf2")), path).isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

// A WAV file's sizes are 32-bit numbers: the longest sound that fits is written with exact sizes, and
// one frame more is refused before anything is rendered or written, never given a wrapped header.
TEST(WavRender, APieceTooLongForAWavFileIsRefusedBeforeWriting)
{
    const QByteArray header = WavHeader(MaxWavFrames);
    EXPECT_EQ(Le32(header, 4), 36u + 4u * static_cast<quint32>(MaxWavFrames));
    EXPECT_EQ(Le32(header, 40), 4u * static_cast<quint32>(MaxWavFrames));
    EXPECT_GE(Le32(header, 4), 0xFFFFFFFFu - 3) << "no room for another frame";
    EXPECT_EQ(WavLengthProblem("song.wav", MaxWavFrames), QString());
    EXPECT_NE(WavLengthProblem("song.wav", MaxWavFrames + 1), QString());

    QStringList lines;
    for (int i = 0; i < 110; ++i)
        lines << "G, 3, x, x, x, W";
    const RecordedPlayback playback = RecordPlayback(lines, 1, 33);
    // 110 whole notes of 240 s each, and the tail.
    EXPECT_EQ(WavFrames(playback.messages), (110LL * 240 + 1) * 44100);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("long.wav"));
    const QString error = RenderMessagesToWav(playback.messages, QStringLiteral("/never/loaded.sf2"), path);
    EXPECT_EQ(error,
        QStringLiteral("Cannot write \"%1\": 7 h 20 min of sound would make a WAV file of 4.7 GB, more than the 4 GB "
                       "(6 h 45 min) a WAV file can hold. Choose a faster tempo or a shorter part.")
            .arg(path));
    EXPECT_FALSE(QFileInfo::exists(path));
}
