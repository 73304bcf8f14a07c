#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

struct pa_simple;

namespace fw {

// The built-in synthesizer's own output to a PulseAudio (or PipeWire) server. It asks for a buffer
// of `periods` periods and writes one period at a time; and the server plays on without waiting
// for the buffer to fill again when a period comes late (a loaded machine): what came too late is
// skipped, and every later sample plays at its own time on the server's clock. (FluidSynth's own
// output lets the server hold the stream back instead, so that each late period delays all the
// rest of a playback.)
class PulseOutput {
public:
    // render(frames, left, right) fills frames samples of each channel; the buffers come zeroed.
    using RenderFunction = std::function<void(int frames, float* left, float* right)>;

    PulseOutput(int sampleRate, int periodFrames, int periods);
    ~PulseOutput();
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // Connects to the server and starts the audio thread; false when no server takes the stream.
    bool start(RenderFunction render);
    // Drops what the server still holds to play, once the period being written is in: a stop is
    // then heard within a period, not after the whole buffer. Any thread may ask.
    void discardQueued() { m_discard = true; }

private:
    void run();

    int m_sampleRate;
    int m_periodFrames;
    int m_periods;
    RenderFunction m_render;
    struct StreamFree {
        void operator()(pa_simple* stream) const;
    };
    // Freed after the destructor has joined the audio thread that writes to it.
    std::unique_ptr<pa_simple, StreamFree> m_stream;
    std::atomic_bool m_stop = false;
    std::atomic_bool m_discard = false;
    std::thread m_thread;
};

} // namespace fw
