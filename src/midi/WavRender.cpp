#include "WavRender.h"

#include "HeadlessPlayback.h"
#include "MidiPort.h"
#include "PlayClock.h"

#ifdef FW_HAVE_FLUIDSYNTH
#include "backends/FluidSynthEngine.h"
#endif

#include "SafeFileWrite.h"

#include <QDir>
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

qint64 WavFrames(const QList<TimedMessage>& messages)
{
    const std::int64_t spanUs = messages.isEmpty() ? 0 : messages.last().timeUs - messages.first().timeUs;
    return FrameAt(spanUs + RenderTailMs * 1000);
}

QString WavLengthProblem(const QString& wavPath, qint64 frames)
{
    if (frames <= MaxWavFrames)
        return QString();
    const qint64 minutes = frames / WavSampleRate / 60;
    const double gigabytes = static_cast<double>(44 + frames * Channels * BytesPerSample) / 1e9;
    return QStringLiteral("Cannot write \"%1\": %2 h %3 min of sound would make a WAV file of %4 GB, more than the "
                          "4 GB (6 h 45 min) a WAV file can hold. Choose a faster tempo or a shorter part.")
        .arg(QDir::toNativeSeparators(wavPath))
        .arg(minutes / 60)
        .arg(minutes % 60)
        .arg(gigabytes, 0, 'f', 1);
}

#ifdef FW_HAVE_FLUIDSYNTH

QString RenderMessagesToWav(const QList<TimedMessage>& messages, const QString& soundFontPath, const QString& wavPath)
{
    if (soundFontPath.isEmpty())
        return QStringLiteral("no General MIDI SoundFont found");
    const qint64 totalFrames = WavFrames(messages);
    if (const QString tooLong = WavLengthProblem(wavPath, totalFrames); !tooLong.isEmpty())
        return tooLong;
    FluidSynthEngine engine;
    if (engine.load(soundFontPath, WavSampleRate) != MidiResult::Ok)
        return QStringLiteral("cannot load SoundFont %1").arg(soundFontPath);

    const std::int64_t originUs = messages.isEmpty() ? 0 : messages.first().timeUs;
    SafeFile file(wavPath);
    if (!file.openForWriting())
        return file.errorText();
    file.write(WavHeader(totalFrames));

    std::vector<qint16> buffer;
    qint64 written = 0;
    auto renderTo = [&](qint64 frame) {
        // A write that failed (a full disk) ends the rendering; the file is refused at its end.
        while (written < frame && file.error() == QFileDevice::NoError) {
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
    if (!file.finish())
        return file.errorText();
    return QString();
}

#else

QString RenderMessagesToWav(const QList<TimedMessage>&, const QString&, const QString&)
{
    return QStringLiteral("this build has no built-in synthesizer");
}

#endif

} // namespace fw
