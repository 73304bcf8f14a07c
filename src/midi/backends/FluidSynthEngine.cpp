#include "FluidSynthEngine.h"

#include "MidiBackend.h"

#include <algorithm>
#include <cmath>

namespace fw {

void FluidSynthEngine::SilenceLogging()
{
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
}

int FluidSynthEngine::load(const QString& soundFontPath, double sampleRate)
{
    SilenceLogging();
    m_synth.reset();
    m_scratch.resize(8192);
    m_settings.reset(new_fluid_settings());
    if (!m_settings)
        return MidiResult::NoMemory;
    fluid_settings_setnum(m_settings.get(), "synth.sample-rate", sampleRate);
    // Keeps a bass and its count-off clicks well clear of clipping.
    fluid_settings_setnum(m_settings.get(), "synth.gain", 0.5);
    fluid_settings_setint(m_settings.get(), "synth.reverb.active", 0);
    fluid_settings_setint(m_settings.get(), "synth.chorus.active", 0);
    m_synth.reset(new_fluid_synth(m_settings.get()));
    if (!m_synth)
        return MidiResult::NoMemory;
    if (soundFontPath.isEmpty()
        || fluid_synth_sfload(m_synth.get(), soundFontPath.toLocal8Bit().constData(), 1) == FLUID_FAILED) {
        m_synth.reset();
        return MidiResult::Error;
    }
    return MidiResult::Ok;
}

void FluidSynthEngine::send(std::uint32_t message)
{
    if (!m_synth)
        return;
    const int status = message & 0xF0;
    const int channel = message & 0x0F;
    const int data1 = (message >> 8) & 0x7F;
    const int data2 = (message >> 16) & 0x7F;
    switch (status) {
    case 0x90:
        if (data2 == 0)
            fluid_synth_noteoff(m_synth.get(), channel, data1);
        else
            fluid_synth_noteon(m_synth.get(), channel, data1, data2);
        break;
    case 0x80:
        fluid_synth_noteoff(m_synth.get(), channel, data1);
        break;
    case 0xC0:
        fluid_synth_program_change(m_synth.get(), channel, data1);
        break;
    case 0xB0:
        fluid_synth_cc(m_synth.get(), channel, data1, data2);
        break;
    case 0xE0:
        // Slides and bends: 14 bits, least significant seven first.
        fluid_synth_pitch_bend(m_synth.get(), channel, data1 | data2 << 7);
        break;
    default:
        break;
    }
}

void FluidSynthEngine::allNotesOff()
{
    if (m_synth)
        fluid_synth_all_notes_off(m_synth.get(), -1);
}

void FluidSynthEngine::allSoundsOff()
{
    if (m_synth)
        fluid_synth_all_sounds_off(m_synth.get(), -1);
}

void FluidSynthEngine::writeS16(int frames, std::int16_t* interleaved)
{
    if (!m_synth || frames <= 0)
        return;
    const auto samples = static_cast<size_t>(frames) * 2;
    if (m_scratch.size() < samples)
        m_scratch.resize(samples);
    fluid_synth_write_float(m_synth.get(), frames, m_scratch.data(), 0, 2, m_scratch.data(), 1, 2);
    for (size_t i = 0; i < samples; ++i) {
        const float scaled = std::clamp(m_scratch[i] * 32767.0f, -32768.0f, 32767.0f);
        interleaved[i] = static_cast<std::int16_t>(std::lrintf(scaled));
    }
}

} // namespace fw
