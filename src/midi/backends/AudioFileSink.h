#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace fw {

// Stands in for a sound card: a thread that asks for one period of 16-bit stereo audio at a time,
// each when a card running at the sample rate would, and keeps it for a WAV file.
class AudioFileSink {
public:
    // render(frames, interleaved) fills frames stereo frames.
    using RenderFunction = std::function<void(int frames, std::int16_t* interleaved)>;

    AudioFileSink(QString path, int sampleRate, int periodFrames);
    ~AudioFileSink();
    AudioFileSink(const AudioFileSink&) = delete;
    AudioFileSink& operator=(const AudioFileSink&) = delete;

    void start(RenderFunction render);
    // Stops the thread and writes the file; returns an error text, empty on success.
    QString finish();
    std::int64_t framesWritten() const { return m_frames.load(); }

private:
    void run();

    QString m_path;
    int m_sampleRate;
    int m_periodFrames;
    RenderFunction m_render;
    std::atomic_bool m_stop = false;
    std::atomic<std::int64_t> m_frames = 0;
    QByteArray m_data;
    std::thread m_thread;
};

} // namespace fw
