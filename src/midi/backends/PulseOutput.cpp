#include "PulseOutput.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <pthread.h>
#include <sched.h>
#ifdef FW_HAVE_PULSE
#include <pulse/pulseaudio.h>
#endif

namespace fw {

namespace {

    std::int64_t SteadyUs()
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

} // namespace

PulseOutput::PulseOutput(int sampleRate, int periodFrames, int periods, int maxPeriods)
    : m_sampleRate(sampleRate)
    , m_periodFrames(periodFrames)
    , m_periods(periods)
    , m_maxPeriods(std::max(periods, maxPeriods))
{
}

std::vector<PulseOutput::Event> PulseOutput::events() const
{
    const std::lock_guard lock(m_eventsMutex);
    return m_events;
}

void PulseOutput::note(bool underrun)
{
    const std::lock_guard lock(m_eventsMutex);
    m_events.push_back({ SteadyUs() - m_startUs, underrun, m_bufferFrames });
}

#ifdef FW_HAVE_PULSE

namespace {

    constexpr int BytesPerFrame = 2 * sizeof(float);

} // namespace

bool PulseOutput::Available() { return true; }

PulseOutput::~PulseOutput()
{
    m_stop = true;
    if (m_loop)
        pa_mainloop_wakeup(m_loop);
    if (m_thread.joinable())
        m_thread.join();
    if (m_loop)
        pa_mainloop_free(m_loop);
}

bool PulseOutput::start(RenderFunction render, GrowthGate gate)
{
    m_render = std::move(render);
    m_gate = std::move(gate);
    const auto frames = static_cast<size_t>(m_periodFrames);
    m_left.resize(frames);
    m_right.resize(frames);
    m_interleaved.resize(2 * frames);
    m_bufferFrames = m_periods * m_periodFrames;
    m_wantedFrames = m_bufferFrames;
    m_loop = pa_mainloop_new();
    if (!m_loop) {
        m_errorText = QStringLiteral("The sound server's client could not start.");
        return false;
    }
    std::promise<bool> connected;
    std::future<bool> result = connected.get_future();
    m_thread = std::thread([this, &connected] { run([&connected](bool ok) { connected.set_value(ok); }); });
    if (result.get())
        return true;
    m_thread.join();
    return false;
}

void PulseOutput::discardQueued()
{
    m_discard = true;
    if (m_loop)
        pa_mainloop_wakeup(m_loop);
}

void PulseOutput::run(std::function<void(bool)> started)
{
    // As FluidSynth's own outputs do; without the right to it the thread runs at normal priority.
    sched_param priority {};
    priority.sched_priority = 60;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);

    const bool ok = connect();
    m_startUs = SteadyUs();
    started(ok);
    while (ok && !m_stop) {
        if (pa_mainloop_iterate(m_loop, 1, nullptr) < 0 || pa_stream_get_state(m_stream) != PA_STREAM_READY)
            break;
        if (m_discard.exchange(false)) {
            if (pa_operation* flush = pa_stream_flush(m_stream, nullptr, nullptr))
                pa_operation_unref(flush);
        }
    }
    if (m_stream) {
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
    }
    if (m_context) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
}

bool PulseOutput::iterateUntil(std::int64_t deadlineUs)
{
    const std::int64_t left = deadlineUs - SteadyUs();
    return left > 0 && pa_mainloop_prepare(m_loop, static_cast<int>(left)) >= 0 && pa_mainloop_poll(m_loop) >= 0
        && pa_mainloop_dispatch(m_loop) >= 0;
}

bool PulseOutput::connect()
{
    // The client library waits half a minute for a server that takes the connection and says
    // nothing; a program about to play cannot.
    const std::int64_t deadline = SteadyUs() + ConnectTimeoutMs * 1000LL;
    auto fail = [this](const QString& why) {
        const char* server = m_context ? pa_context_get_server(m_context) : nullptr;
        m_errorText = QStringLiteral("The sound server%1 %2")
                          .arg(server ? QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(server)) : QString(), why);
        return false;
    };
    auto refused = [this, &fail] {
        return fail(QStringLiteral("refused the connection: %1.")
                        .arg(QString::fromLocal8Bit(pa_strerror(pa_context_errno(m_context)))));
    };
    auto timeOut = [this, &fail] {
        m_timedOut = true;
        return fail(QStringLiteral("did not answer within %1 seconds.").arg(ConnectTimeoutMs / 1000));
    };
    m_context = pa_context_new(pa_mainloop_get_api(m_loop), "Fretwerk Bass");
    if (!m_context)
        return fail(QStringLiteral("could not be reached."));
    // A missing server is not started for us: the synthesizer then tries its other outputs.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return refused();
    for (pa_context_state_t state; (state = pa_context_get_state(m_context)) != PA_CONTEXT_READY;) {
        if (!PA_CONTEXT_IS_GOOD(state))
            return refused();
        if (m_stop || !iterateUntil(deadline))
            return timeOut();
    }
    pa_sample_spec format {};
    format.format = PA_SAMPLE_FLOAT32NE;
    format.channels = 2;
    format.rate = static_cast<std::uint32_t>(m_sampleRate);
    m_stream = pa_stream_new(m_context, "Built-in synthesizer", &format, nullptr);
    if (!m_stream)
        return refused();
    pa_stream_set_write_callback(
        m_stream, [](pa_stream*, size_t, void* self) { static_cast<PulseOutput*>(self)->writeRequested(); }, this);
    pa_stream_set_underflow_callback(
        m_stream, [](pa_stream*, void* self) { static_cast<PulseOutput*>(self)->underflow(); }, this);
    pa_buffer_attr attr {};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(m_bufferFrames * BytesPerFrame);
    // No pre-buffering: the stream starts at once and is never stopped to fill up again.
    attr.prebuf = 0;
    attr.minreq = static_cast<std::uint32_t>(m_periodFrames * BytesPerFrame);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    // The server sets its device's latency to what the buffer asks (the whole of it in flight), and
    // keeps the client's account of the stream's timing up to date.
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa_stream_connect_playback(m_stream, nullptr, &attr, flags, nullptr, nullptr) < 0)
        return refused();
    for (pa_stream_state_t state; (state = pa_stream_get_state(m_stream)) != PA_STREAM_READY;) {
        if (!PA_STREAM_IS_GOOD(state))
            return refused();
        if (m_stop || !iterateUntil(deadline))
            return timeOut();
    }
    return true;
}

void PulseOutput::writeRequested()
{
    growIfWanted();
    const size_t bytes = m_interleaved.size() * sizeof(float);
    for (size_t room = pa_stream_writable_size(m_stream); room != static_cast<size_t>(-1) && room >= bytes;
         room = pa_stream_writable_size(m_stream)) {
        std::fill(m_left.begin(), m_left.end(), 0.0f);
        std::fill(m_right.begin(), m_right.end(), 0.0f);
        m_render(m_periodFrames, m_left.data(), m_right.data());
        for (size_t i = 0; i < m_left.size(); ++i) {
            m_interleaved[2 * i] = m_left[i];
            m_interleaved[2 * i + 1] = m_right[i];
        }
        if (pa_stream_write(m_stream, m_interleaved.data(), bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return;
    }
    noteLatency();
}

void PulseOutput::underflow()
{
    note(true);
    // One step per stall: its underruns before the larger buffer is in place, and those the growth
    // itself brings about, count as one.
    const bool settling = SteadyUs() - m_lastGrowthUs < GrowthSettleUs;
    if (m_wantedFrames == m_bufferFrames && !settling)
        m_wantedFrames = std::min(m_bufferFrames + GrowPeriods * m_periodFrames, m_maxPeriods * m_periodFrames);
    growIfWanted();
}

void PulseOutput::growIfWanted()
{
    if (m_wantedFrames <= m_bufferFrames || (m_gate && !m_gate(m_bufferFrames, m_wantedFrames)))
        return;
    const pa_buffer_attr* current = pa_stream_get_buffer_attr(m_stream);
    if (!current)
        return;
    pa_buffer_attr attr = *current;
    attr.tlength = static_cast<std::uint32_t>(m_wantedFrames * BytesPerFrame);
    attr.prebuf = 0;
    if (pa_operation* grow = pa_stream_set_buffer_attr(m_stream, &attr, nullptr, nullptr))
        pa_operation_unref(grow);
    m_bufferFrames = m_wantedFrames;
    m_lastGrowthUs = SteadyUs();
    note(false);
}

void PulseOutput::noteLatency()
{
    pa_usec_t latency = 0;
    int negative = 0;
    // After an underrun the server plays ahead of what was written: nothing is in flight then.
    if (pa_stream_get_latency(m_stream, &latency, &negative) == 0)
        m_framesInFlight = negative ? 0 : static_cast<std::int64_t>(latency) * m_sampleRate / 1000000;
}

#else

// Built without the PulseAudio client library: FluidSynth's own outputs serve instead.
bool PulseOutput::Available() { return false; }

PulseOutput::~PulseOutput() = default;

bool PulseOutput::start(RenderFunction, GrowthGate) { return false; }

void PulseOutput::discardQueued() { }

void PulseOutput::run(std::function<void(bool)>) { }

bool PulseOutput::iterateUntil(std::int64_t) { return false; }

bool PulseOutput::connect() { return false; }

void PulseOutput::writeRequested() { }

void PulseOutput::noteLatency() { }

void PulseOutput::underflow() { }

void PulseOutput::growIfWanted() { }

#endif

} // namespace fw
