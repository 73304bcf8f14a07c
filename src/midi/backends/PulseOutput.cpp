#include "PulseOutput.h"

#include <algorithm>
#include <pthread.h>
#include <sched.h>
#ifdef FW_HAVE_PULSE
#include <pulse/simple.h>
#endif

namespace fw {

#ifdef FW_HAVE_PULSE

namespace {

    constexpr int BytesPerFrame = 2 * sizeof(float);

} // namespace

PulseOutput::PulseOutput(int sampleRate, int periodFrames, int periods)
    : m_sampleRate(sampleRate)
    , m_periodFrames(periodFrames)
    , m_periods(periods)
{
}

PulseOutput::~PulseOutput()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void PulseOutput::StreamFree::operator()(pa_simple* stream) const { pa_simple_free(stream); }

bool PulseOutput::start(RenderFunction render)
{
    m_render = std::move(render);
    pa_sample_spec format {};
    format.format = PA_SAMPLE_FLOAT32NE;
    format.channels = 2;
    format.rate = static_cast<std::uint32_t>(m_sampleRate);
    pa_buffer_attr attr {};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(m_periods * m_periodFrames * BytesPerFrame);
    // No pre-buffering: the stream starts at once and is never stopped to fill up again.
    attr.prebuf = 0;
    attr.minreq = static_cast<std::uint32_t>(m_periodFrames * BytesPerFrame);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    int error = 0;
    m_stream.reset(pa_simple_new(nullptr, "Fretwerk Bass", PA_STREAM_PLAYBACK, nullptr, "Built-in synthesizer", &format,
        nullptr, &attr, &error));
    if (!m_stream)
        return false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void PulseOutput::run()
{
    // As FluidSynth's own outputs do; without the right to it the thread runs at normal priority.
    sched_param priority {};
    priority.sched_priority = 60;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);

    const auto frames = static_cast<size_t>(m_periodFrames);
    std::vector<float> left(frames), right(frames), interleaved(2 * frames);
    while (!m_stop) {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
        m_render(m_periodFrames, left.data(), right.data());
        for (size_t i = 0; i < frames; ++i) {
            interleaved[2 * i] = left[i];
            interleaved[2 * i + 1] = right[i];
        }
        int error = 0;
        // Returns once the server has room for the period: this paces the thread.
        if (pa_simple_write(m_stream.get(), interleaved.data(), interleaved.size() * sizeof(float), &error) < 0)
            break;
        if (m_discard.exchange(false) && pa_simple_flush(m_stream.get(), &error) < 0)
            break;
    }
}

#else

// Built without the PulseAudio client library: FluidSynth's own outputs serve instead.
PulseOutput::PulseOutput(int sampleRate, int periodFrames, int periods)
    : m_sampleRate(sampleRate)
    , m_periodFrames(periodFrames)
    , m_periods(periods)
{
}

PulseOutput::~PulseOutput() = default;

void PulseOutput::StreamFree::operator()(pa_simple*) const { }

bool PulseOutput::start(RenderFunction) { return false; }

void PulseOutput::run() { }

#endif

} // namespace fw
