#pragma once

#include "FluidSynthEngine.h"
#include "MidiBackend.h"

namespace fw {

// The built-in synthesizer: FluidSynth playing a General MIDI SoundFont through the system's
// audio output. The SoundFont is loaded at the first open and kept; the audio output stays
// running after a close, so notes ring out and the next preview starts at once.
class SynthBackend : public MidiBackend {
public:
    // soundFont: the configured file, or "" for the usual system places.
    explicit SynthBackend(QString soundFont = QString());

    int open(int device) override;
    void send(std::uint32_t message) override;
    void close() override;
    int deviceCount() override { return 0; }
    QString deviceName(int device) override;
    QString openErrorText() override { return m_errorText; }

    static QString Name();

private:
    QString m_soundFont;
    QString m_errorText;
    FluidSynthEngine m_engine;
    std::unique_ptr<fluid_audio_driver_t, FluidAudioDriverDeleter> m_driver;
};

} // namespace fw
