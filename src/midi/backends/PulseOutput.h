#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

struct pa_context;
struct pa_mainloop;
struct pa_stream;

namespace fw {

// The built-in synthesizer's own output to a PulseAudio (or PipeWire) server. It asks for a buffer
// of `periods` periods and renders one period at a time as the server asks for them; and the
// server plays on without waiting for the buffer to fill again when a period comes late (a loaded
// machine): what came too late is skipped, and every later sample plays at its own time on the
// server's clock. (FluidSynth's own output lets the server hold the stream back instead, so that
// each late period delays all the rest of a playback.)
//
// The whole client (its main loop, the server's requests, the rendering) runs in one thread at
// real-time priority where the system grants it: with the simple client library, its own main
// loop thread ran at normal priority and came late to the server's requests on a loaded machine.
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
    // Drops what the server still holds to play: a stop is then heard within a period, not after
    // the whole buffer. Any thread may ask.
    void discardQueued();
    // The frames written but not yet heard after the last period, by the server's own account of
    // its buffer and its device; -1 until the server has told.
    std::int64_t framesInFlight() const { return m_framesInFlight; }

private:
    void run(std::function<void(bool)> started);
    bool connect();
    void writeRequested();
    void noteLatency();

    int m_sampleRate;
    int m_periodFrames;
    int m_periods;
    RenderFunction m_render;
    std::vector<float> m_left, m_right, m_interleaved;
    // Made before and freed after the audio thread, so that other threads may wake it up.
    pa_mainloop* m_loop = nullptr;
    // Used by the audio thread only.
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    std::atomic_bool m_stop = false;
    std::atomic_bool m_discard = false;
    std::atomic<std::int64_t> m_framesInFlight = -1;
    std::thread m_thread;
};

} // namespace fw
