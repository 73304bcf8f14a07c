#pragma once

#include <QString>
#include <cstdint>
#include <fluidsynth.h>
#include <memory>
#include <vector>

namespace fw {

struct FluidSettingsDeleter {
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct FluidSynthDeleter {
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct FluidAudioDriverDeleter {
    void operator()(fluid_audio_driver_t* driver) const { delete_fluid_audio_driver(driver); }
};

// One FluidSynth instance with a General MIDI SoundFont loaded, fed with packed short messages.
class FluidSynthEngine {
public:
    // FluidSynth writes its warnings to stderr; the program reports failures itself.
    static void SilenceLogging();

    // Returns a MidiResult code.
    int load(const QString& soundFontPath, double sampleRate);
    bool isLoaded() const { return m_synth != nullptr; }
    void send(std::uint32_t message);
    void allNotesOff();
    void allSoundsOff();
    // Renders frames of interleaved 16-bit stereo, rounded without dither, so the same messages at
    // the same frames give the same samples however the frames are split into calls.
    void writeS16(int frames, std::int16_t* interleaved);

    fluid_settings_t* settings() const { return m_settings.get(); }
    fluid_synth_t* synth() const { return m_synth.get(); }

private:
    std::unique_ptr<fluid_settings_t, FluidSettingsDeleter> m_settings;
    // Declared after the settings it was made from, so it is deleted first.
    std::unique_ptr<fluid_synth_t, FluidSynthDeleter> m_synth;
    std::vector<float> m_scratch;
};

} // namespace fw
