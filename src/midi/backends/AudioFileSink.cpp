#include "AudioFileSink.h"

#include "PlayClock.h"
#include "SafeFileWrite.h"
#include "WavRender.h"

#include <QSysInfo>
#include <QtEndian>

namespace fw {

AudioFileSink::AudioFileSink(QString path, int sampleRate, int periodFrames)
    : m_path(std::move(path))
    , m_sampleRate(sampleRate)
    , m_periodFrames(periodFrames)
{
}

AudioFileSink::~AudioFileSink()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void AudioFileSink::start(RenderFunction render)
{
    m_render = std::move(render);
    m_thread = std::thread([this] { run(); });
}

void AudioFileSink::run()
{
    SteadyPlayClock clock;
    const std::int64_t startUs = clock.nowUs();
    std::vector<std::int16_t> buffer(static_cast<size_t>(m_periodFrames) * 2);
    std::int64_t frames = 0;
    while (!m_stop) {
        // A card asks for the next period once the one before it has started to play.
        clock.napUntil(startUs + frames * 1000000 / m_sampleRate);
        m_render(m_periodFrames, buffer.data());
        if (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
            for (std::int16_t& sample : buffer)
                sample = qToLittleEndian(sample);
        }
        // Past what a WAV file holds the sound is only counted, for the refusal to name its length.
        if (frames + m_periodFrames <= MaxWavFrames)
            m_data.append(reinterpret_cast<const char*>(buffer.data()), static_cast<qsizetype>(buffer.size() * 2));
        frames += m_periodFrames;
        m_frames = frames;
    }
}

QString AudioFileSink::finish()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (const QString tooLong = WavLengthProblem(m_path, m_frames.load()); !tooLong.isEmpty())
        return tooLong;
    SafeFile file(m_path);
    if (!file.openForWriting() || file.write(WavHeader(m_frames.load())) < 0 || file.write(m_data) < 0
        || !file.finish())
        return file.errorText();
    return QString();
}

} // namespace fw
