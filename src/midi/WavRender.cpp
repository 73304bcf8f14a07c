#include "WavRender.h"

#include "HeadlessPlayback.h"
#include "MidiPort.h"
#include "PlayClock.h"

#ifdef FW_HAVE_FLUIDSYNTH
#include "backends/FluidSynthEngine.h"
#endif

#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <vector>

namespace fw {

RecordedPlayback RecordPlayback(
    const QStringList& lines, int tempo, unsigned char patch, const std::optional<Tuning>& tuning)
{
    InstantPlayClock clock;
    RecordingBackend recorder(clock);
    MidiPort port(recorder);
    HeadlessPlayback playback(lines, tempo, patch, port, clock);
    playback.overrideTuning(tuning);
    playback.play();
    return { recorder.messages, playback.errors };
}

#ifdef FW_HAVE_FLUIDSYNTH

namespace {

    constexpr int Channels = 2;
    constexpr int BytesPerSample = 2;

} // namespace

QByteArray WavHeader(qint64 frames)
{
    const auto dataBytes = static_cast<quint32>(frames * Channels * BytesPerSample);
    QByteArray header;
    auto put32 = [&header](quint32 value) {
        const quint32 le = qToLittleEndian(value);
        header.append(reinterpret_cast<const char*>(&le), 4);
    };
    auto put16 = [&header](quint16 value) {
        const quint16 le = qToLittleEndian(value);
        header.append(reinterpret_cast<const char*>(&le), 2);
    };
    header.append("RIFF");
    put32(36 + dataBytes);
    header.append("WAVEfmt ");
    put32(16);
    put16(1); // PCM
    put16(Channels);
    put32(WavSampleRate);
    put32(WavSampleRate * Channels * BytesPerSample);
    put16(Channels * BytesPerSample);
    put16(8 * BytesPerSample);
    header.append("data");
    put32(dataBytes);
    return header;
}

namespace {

    qint64 FrameAt(std::int64_t timeUs) { return timeUs * WavSampleRate / 1000000; }

} // namespace

QString RenderMessagesToWav(const QList<TimedMessage>& messages, const QString& soundFontPath, const QString& wavPath)
{
    if (soundFontPath.isEmpty())
        return QStringLiteral("no General MIDI SoundFont found");
    FluidSynthEngine engine;
    if (engine.load(soundFontPath, WavSampleRate) != MidiResult::Ok)
        return QStringLiteral("cannot load SoundFont %1").arg(soundFontPath);

    const std::int64_t originUs = messages.isEmpty() ? 0 : messages.first().timeUs;
    const std::int64_t endUs = (messages.isEmpty() ? 0 : messages.last().timeUs - originUs) + RenderTailMs * 1000;
    const qint64 totalFrames = FrameAt(endUs);

    QSaveFile file(wavPath);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(wavPath, file.errorString());
    file.write(WavHeader(totalFrames));

    std::vector<qint16> buffer;
    qint64 written = 0;
    auto renderTo = [&](qint64 frame) {
        while (written < frame) {
            const int count = static_cast<int>(std::min<qint64>(frame - written, 4096));
            buffer.resize(static_cast<size_t>(count) * Channels);
            engine.writeS16(count, buffer.data());
            if (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
                for (qint16& sample : buffer)
                    sample = qToLittleEndian(sample);
            }
            file.write(
                reinterpret_cast<const char*>(buffer.data()), static_cast<qint64>(buffer.size() * sizeof(qint16)));
            written += count;
        }
    };
    for (const TimedMessage& message : messages) {
        renderTo(FrameAt(message.timeUs - originUs));
        engine.send(message.message);
    }
    renderTo(totalFrames);
    // Only flush() reports a full disk for the last buffered data; commit() alone would not.
    if (!file.flush() || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(wavPath, file.errorString());
    return QString();
}

#else

QString RenderMessagesToWav(const QList<TimedMessage>&, const QString&, const QString&)
{
    return QStringLiteral("this build has no built-in synthesizer");
}

#endif

} // namespace fw
