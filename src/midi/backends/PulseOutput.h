#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
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
// Each such underrun grows the buffer by GrowPeriods, up to maxPeriods, for the rest of the run: a
// machine that cannot keep a short buffer filled gets a longer one and plays without gaps. A growth
// makes the server ask for the extra periods at once, so it waits until the growth gate lets it.
//
// The whole client (its main loop, the server's requests, the rendering) runs in one thread at
// real-time priority where the system grants it: with the simple client library, its own main
// loop thread ran at normal priority and came late to the server's requests on a loaded machine.
class PulseOutput {
public:
    // render(frames, left, right) fills frames samples of each channel; the buffers come zeroed.
    using RenderFunction = std::function<void(int frames, float* left, float* right)>;
    // Asked on the audio thread before the buffer grows from fromFrames to toFrames: whether it may
    // grow now.
    using GrowthGate = std::function<bool(int fromFrames, int toFrames)>;

    static constexpr int GrowPeriods = 3;
    // The server asks for a grown buffer's new periods at once and may report an underrun while they
    // come: an underrun this soon after a growth is that growth's own and grows the buffer no further.
    static constexpr std::int64_t GrowthSettleUs = 50000;
    // A server that takes the connection but does not answer is given up after this long.
    static constexpr int ConnectTimeoutMs = 2000;

    // An underrun or a growth of the buffer, with the time since the output started.
    struct Event {
        std::int64_t atUs;
        bool underrun;
        int bufferFrames;
    };

    // Whether this build has the client library; without it start() always fails.
    static bool Available();

    PulseOutput(int sampleRate, int periodFrames, int periods, int maxPeriods);
    ~PulseOutput();
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // Connects to the server and starts the audio thread; false when no server takes the stream,
    // with the reason in errorText.
    bool start(RenderFunction render, GrowthGate gate = {});
    QString errorText() const { return m_errorText; }
    // Whether start failed because the server did not answer in time (asking again would wait again).
    bool timedOut() const { return m_timedOut; }
    // Drops what the server still holds to play: a stop is then heard within a period, not after
    // the whole buffer. Any thread may ask.
    void discardQueued();
    // The frames written but not yet heard after the last period, by the server's own account of
    // its buffer and its device; -1 until the server has told.
    std::int64_t framesInFlight() const { return m_framesInFlight; }
    int bufferFrames() const { return m_bufferFrames; }
    std::vector<Event> events() const;

private:
    void run(std::function<void(bool)> started);
    bool connect();
    bool iterateUntil(std::int64_t deadlineUs);
    void writeRequested();
    void noteLatency();
    void underflow();
    void growIfWanted();
    void note(bool underrun);

    int m_sampleRate;
    int m_periodFrames;
    int m_periods;
    int m_maxPeriods;
    RenderFunction m_render;
    GrowthGate m_gate;
    QString m_errorText;
    bool m_timedOut = false;
    std::vector<float> m_left, m_right, m_interleaved;
    // Made before and freed after the audio thread, so that other threads may wake it up.
    pa_mainloop* m_loop = nullptr;
    // Used by the audio thread only.
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    int m_wantedFrames = 0;
    std::int64_t m_startUs = 0;
    std::int64_t m_lastGrowthUs = -GrowthSettleUs;
    std::atomic_bool m_stop = false;
    std::atomic_bool m_discard = false;
    std::atomic<std::int64_t> m_framesInFlight = -1;
    std::atomic_int m_bufferFrames = 0;
    mutable std::mutex m_eventsMutex;
    std::vector<Event> m_events;
    std::thread m_thread;
};

} // namespace fw
