#include "HeadlessPlayback.h"
#include "MidiPort.h"
#include "PlayClock.h"
#include "SoundFont.h"
#include "SynthBackend.h"
#include "WavRender.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace fw;

namespace {

QByteArray Samples(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().mid(44);
}

// The live path, played in real time with its audio going to a file, holds the samples of the
// offline render from its first note on: every note starts at the same sample.
void ExpectLiveIsTheRender(const QStringList& lines, int tempo)
{
    const QString soundFont = FindSoundFont();
    if (soundFont.isEmpty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    const QString renderPath = dir.filePath(QStringLiteral("render.wav"));
    const RecordedPlayback recorded = RecordPlayback(lines, tempo, 33);
    ASSERT_EQ(recorded.errors, QStringList());
    ASSERT_EQ(RenderMessagesToWav(recorded.messages, soundFont, renderPath), QString());

    const QString livePath = dir.filePath(QStringLiteral("live.wav"));
    // A generous lead keeps the test exact on a loaded machine; the placement is the same.
    SynthBackend synth(soundFont, livePath, SynthBackend::SampleRate / 5);
    MidiPort port(synth);
    port.MidiHeldOpen = true;
    QString error;
    port.OpenMidiOut(error);
    ASSERT_EQ(error, QString());
    QThread::msleep(30);
    SteadyPlayClock clock;
    HeadlessPlayback playback(lines, tempo, 33, port, clock);
    ASSERT_TRUE(playback.play());
    QThread::msleep(RenderTailMs + 300);
    port.CloseMidiOut();
    ASSERT_EQ(synth.finishAudioFile(), QString());

    const QByteArray render = Samples(renderPath);
    const QByteArray live = Samples(livePath);
    const qsizetype origin = synth.originFrame() * 4;
    ASSERT_GT(origin, 0);
    ASSERT_GE(live.size(), origin + render.size());
    // Nothing sounds before the first note, and from there on the two are the same.
    EXPECT_EQ(live.left(origin).count('\0'), origin);
    EXPECT_TRUE(live.mid(origin, render.size()) == render);
}

} // namespace

TEST(LiveRender, RealTimePlaybackIsTheOfflineRenderSampleForSample)
{
    ExpectLiveIsTheRender({ "*Count Off 2", "G, 3, x, x, x, E", "B, x, 2, x, x, /S", "D, x, 5, x, x, .E", "",
                              "Rest, x, x, x, x, S", "Chord, 3, 5, x, x, T", "E, x, x, x, 0, Q" },
        240);
}

// Slides, bends and vibrato on channels of their own, legato notes, slap and pop: the same.
TEST(LiveRender, MarkedListLiveIsTheOfflineRenderSampleForSample)
{
    ExpectLiveIsTheRender(
        { "* Time: 3/4", "*Count Off 3", "E, 0, x, x, x, E, slap", "E, x, x, 2, x, E, pop", "A, x, 0h, x, x, S",
            "B, x, 2p, x, x, S", "A, x, 0, x, x, E", "", "G, 3_, x, x, x, Q", "G, 3, x, x, x, E, accent",
            "X, m, x, x, x, E", "A, x, 5/, x, x, E", "", "D, x, 7, x, x, E", "D, x, 7b9~, x, x, Q",
            "H, x, x, x, <12>, Q, lr", "A, x, /5, x, x, E" },
        200);
}

// A stop cuts the sound, releases and all, within 10 ms of the block playing when it came: the
// notes would otherwise ring out through their release for far longer.
TEST(LiveRender, StopSilencesWithinTenMilliseconds)
{
    const QString soundFont = FindSoundFont();
    if (soundFont.isEmpty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString livePath = dir.filePath(QStringLiteral("live.wav"));
    SynthBackend synth(soundFont, livePath);
    MidiPort port(synth);
    port.MidiHeldOpen = true;
    QString error;
    port.OpenMidiOut(error);
    ASSERT_EQ(error, QString());
    SteadyPlayClock clock;
    HeadlessPlayback playback({ "Chord, 3, 5, 5, 3, W", "G, 3, x, x, x, W" }, 120, 33, port, clock);
    const std::int64_t startUs = clock.nowUs();
    std::int64_t stopFrame = -1;
    playback.onProcessEvents = [&] {
        if (stopFrame < 0 && clock.nowUs() - startUs > 400000) {
            stopFrame = synth.renderedFrames();
            playback.requestStop();
        }
    };
    ASSERT_TRUE(playback.play());
    QThread::msleep(300);
    port.CloseMidiOut();
    ASSERT_EQ(synth.finishAudioFile(), QString());

    const QByteArray live = Samples(livePath);
    ASSERT_GT(stopFrame, synth.originFrame());
    const qsizetype quiet = (stopFrame + SynthBackend::SampleRate / 100) * 4;
    ASSERT_GT(live.size(), quiet + 4 * 4410);
    // The chord sounded up to the stop, and nothing is heard from 10 ms after it.
    EXPECT_LT(live.mid((stopFrame - 4410) * 4, 4 * 4410).count('\0'), 4 * 4410 / 2);
    EXPECT_EQ(live.mid(quiet).count('\0'), live.size() - quiet);
}
