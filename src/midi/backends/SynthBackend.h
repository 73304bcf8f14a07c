#pragma once

#include "AudioFileSink.h"
#include "FluidSynthEngine.h"
#include "MidiBackend.h"
#include "PulseOutput.h"
#include "SynthScheduler.h"

#include <QStringList>

namespace fw {

// The built-in synthesizer: FluidSynth playing a General MIDI SoundFont through the system's
// audio output, or in real time into a WAV file. The SoundFont is loaded at the first open and
// kept; the audio output stays running after a close, so notes ring out and the next preview
// starts at once. Messages reach the synthesizer only through the scheduler, inside the audio
// callback, each at its own sample.
class SynthBackend : public MidiBackend {
public:
    static constexpr int SampleRate = 44100;
    // The audio output asks for 128 frames at a time and holds three such periods: 384 frames,
    // 8.7 ms in flight (a sound server's output holds more, see PulsePeriods).
    static constexpr int PeriodFrames = 128;
    static constexpr int Periods = 3;
    // A sound server's buffer starts at six periods, 17.4 ms: a quiet virtual machine keeps three
    // filled only for a few seconds at a time. It grows after underruns up to 14 periods, 40.6 ms.
    static constexpr int PulsePeriods = 6;
    static constexpr int MaxPeriods = 14;
    // How far ahead of the audio a playback's notes are placed: room for a late wake-up of the
    // player and for an audio callback that comes early.
    static constexpr std::int64_t DefaultLeadFrames = SampleRate / 100;

    // soundFont: the configured file, or "" for the usual system places. audioFile: when given,
    // the audio goes into that WAV file instead of to the sound system.
    explicit SynthBackend(
        QString soundFont = QString(), QString audioFile = QString(), std::int64_t leadFrames = DefaultLeadFrames);
    ~SynthBackend() override;

    int open(int device) override;
    void send(std::uint32_t message) override;
    void setEventTime(std::optional<std::int64_t> timeUs) override;
    std::optional<std::int64_t> soundingTimeUs() override;
    std::int64_t clockShiftUs() override { return m_scheduler.clockShiftUs(); }
    void silence() override;
    void close() override;
    int deviceCount() override { return 0; }
    QString deviceName(int device) override;
    QString openErrorText() override { return m_errorText; }
    QStringList outputReport() override;

    // Ends the audio file and writes it; returns an error text, empty on success.
    QString finishAudioFile();
    std::int64_t originFrame() const { return m_scheduler.originFrame(); }
    std::int64_t renderedFrames() const { return m_scheduler.renderedFrames(); }

    static QString Name();
    // The first line of the error text when the synthesizer has no audio output to play through.
    static QString NoAudioOutputText();

private:
    static int AudioCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]);
    void apply(std::uint32_t message);
    int loadSoundFont();
    // Starts the first audio output that works; the reasons of those that did not go to reasons.
    bool startAudioOutput(QStringList& reasons);
    // The lead for a sound server's buffer of bufferFrames: the base lead plus what the buffer holds
    // beyond the three periods it was set for.
    std::int64_t pulseLeadFrames(std::int64_t bufferFrames) const;
    bool mayGrowBuffer(int fromFrames, int toFrames);

    QString m_soundFont;
    QString m_audioFile;
    QString m_errorText;
    std::int64_t m_baseLeadFrames;
    FluidSynthEngine m_engine;
    SynthScheduler m_scheduler;
    // Rendered frames not yet heard: the output's buffer.
    std::int64_t m_framesInFlight = 0;
    // Set by a cut of every sound until the next note-on; only the audio thread uses it.
    bool m_silenced = false;
    // Why the sound server was given up for not answering; it is not asked again in this run, since
    // each try would keep the program waiting.
    QString m_serverGivenUp;
    // Declared after what their threads use, so they stop first.
    std::unique_ptr<AudioFileSink> m_fileSink;
    std::unique_ptr<fluid_audio_driver_t, FluidAudioDriverDeleter> m_driver;
    std::unique_ptr<PulseOutput> m_pulse;
};

} // namespace fw
