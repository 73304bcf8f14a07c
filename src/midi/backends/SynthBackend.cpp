#include "SynthBackend.h"

#include "SoundFont.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace fw {

namespace {

    // Only sound systems that are there are tried: a driver asked to reach a missing server can
    // wait a long time or start one.
    QStringList AvailableAudioDrivers()
    {
        QStringList drivers;
        const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (qEnvironmentVariableIsSet("PULSE_SERVER")
            || (!runtimeDir.isEmpty()
                && (QFileInfo::exists(runtimeDir + QStringLiteral("/pulse/native"))
                    || QFileInfo::exists(runtimeDir + QStringLiteral("/pipewire-0")))))
            drivers.append(QStringLiteral("pulseaudio"));
        if (!QDir(QStringLiteral("/dev/snd")).entryList({ QStringLiteral("pcmC*p") }, QDir::System).isEmpty())
            drivers.append(QStringLiteral("alsa"));
        return drivers;
    }

} // namespace

SynthBackend::SynthBackend(QString soundFont, QString audioFile, std::int64_t leadFrames)
    : m_soundFont(std::move(soundFont))
    , m_audioFile(std::move(audioFile))
    , m_scheduler(SampleRate, leadFrames)
{
}

SynthBackend::~SynthBackend()
{
    m_pulse.reset();
    m_driver.reset();
    m_fileSink.reset();
}

QString SynthBackend::Name() { return QStringLiteral("Built-in synthesizer"); }

int SynthBackend::open(int device)
{
    m_errorText.clear();
    if (device != -1)
        return MidiResult::BadDeviceId;
    if (!m_engine.isLoaded()) {
        const QString soundFont = FindSoundFont(m_soundFont);
        if (soundFont.isEmpty()) {
            m_errorText = MissingSoundFontText(m_soundFont);
            return MidiResult::Error;
        }
        const int loaded = m_engine.load(soundFont, SampleRate);
        if (loaded != MidiResult::Ok) {
            if (loaded == MidiResult::Error)
                m_errorText = QStringLiteral("The SoundFont %1 could not be read.").arg(soundFont);
            return loaded;
        }
    }
    if (!m_audioFile.isEmpty()) {
        if (!m_fileSink) {
            // The file stands for a card that starts to play each period as it asks for the next.
            m_framesInFlight = PeriodFrames;
            m_fileSink = std::make_unique<AudioFileSink>(m_audioFile, SampleRate, PeriodFrames);
            m_fileSink->start([this](int frames, std::int16_t* interleaved) {
                m_scheduler.render(
                    frames,
                    [this, interleaved](int offset, int count) {
                        std::int16_t* at = interleaved + 2 * offset;
                        // The same call as the WAV export, so both hold the same samples.
                        m_engine.writeS16(count, at);
                    },
                    [this](std::uint32_t message) { apply(message); });
            });
        }
        return MidiResult::Ok;
    }
    if (!m_driver && !m_pulse) {
        fluid_settings_setint(m_engine.settings(), "audio.periods", Periods);
        for (const QString& driver : AvailableAudioDrivers()) {
            if (driver == QLatin1String("pulseaudio")) {
                auto output = std::make_unique<PulseOutput>(SampleRate, PeriodFrames, Periods);
                const bool started = output->start([this](int frames, float* left, float* right) {
                    float* out[2] = { left, right };
                    AudioCallback(this, frames, 0, nullptr, 2, out);
                });
                if (started) {
                    m_pulse = std::move(output);
                    m_framesInFlight = PeriodFrames * Periods;
                    break;
                }
            }
            // FluidSynth's PulseAudio output asks the server for a buffer of one period only: with
            // 128 frames the server runs dry many times a second and each time plays silence in the
            // middle of the line. One period there holds the whole buffer instead.
            const bool pulse = driver == QLatin1String("pulseaudio");
            fluid_settings_setint(
                m_engine.settings(), "audio.period-size", pulse ? PeriodFrames * Periods : PeriodFrames);
            fluid_settings_setstr(m_engine.settings(), "audio.driver", driver.toLatin1().constData());
            m_driver.reset(new_fluid_audio_driver2(m_engine.settings(), &SynthBackend::AudioCallback, this));
            if (m_driver) {
                m_framesInFlight = PeriodFrames * Periods;
                break;
            }
        }
        // No audio output is the synthesizer's way of having no device at all.
        if (!m_driver && !m_pulse)
            return MidiResult::NoPort;
    }
    return MidiResult::Ok;
}

int SynthBackend::AudioCallback(void* data, int len, int, float*[], int nout, float* out[])
{
    auto* self = static_cast<SynthBackend*>(data);
    if (nout < 2)
        return FLUID_FAILED;
    self->m_scheduler.render(
        len,
        [self, out](int offset, int count) {
            float* buffers[2] = { out[0] + offset, out[1] + offset };
            // Reverb and chorus are mixed into the same two buffers, as in the WAV export.
            fluid_synth_process(self->m_engine.synth(), count, 2, buffers, 2, buffers);
        },
        [self](std::uint32_t message) { self->apply(message); });
    return FLUID_OK;
}

void SynthBackend::apply(std::uint32_t message)
{
    // A note-off that reaches FluidSynth after its sounds were cut starts their release again, so
    // until the next note-on, releases are not asked for.
    const int status = message & 0xF0;
    const bool noteOn = status == 0x90 && ((message >> 16) & 0x7F) != 0;
    if (m_silenced && !noteOn && (status == 0x80 || status == 0x90 || message == SynthScheduler::AllNotesOff))
        return;
    m_silenced = message == SynthScheduler::AllSoundsOff || (m_silenced && !noteOn);
    if (message == SynthScheduler::AllNotesOff)
        m_engine.allNotesOff();
    else if (message == SynthScheduler::AllSoundsOff)
        m_engine.allSoundsOff();
    else if (message == SynthScheduler::Reset)
        fluid_synth_system_reset(m_engine.synth());
    else
        m_engine.send(message);
}

void SynthBackend::send(std::uint32_t message) { m_scheduler.send(message); }

void SynthBackend::setEventTime(std::optional<std::int64_t> timeUs) { m_scheduler.setEventTime(timeUs); }

std::optional<std::int64_t> SynthBackend::soundingTimeUs()
{
    // The server's own account of what it holds, once it has given one.
    const std::int64_t serverFrames = m_pulse ? m_pulse->framesInFlight() : -1;
    return m_scheduler.soundingTimeUs(serverFrames >= 0 ? serverFrames : m_framesInFlight);
}

void SynthBackend::silence()
{
    m_scheduler.send(SynthScheduler::AllSoundsOff);
    if (m_pulse)
        m_pulse->discardQueued();
}

void SynthBackend::close() { m_scheduler.send(SynthScheduler::AllNotesOff); }

QString SynthBackend::deviceName(int device) { return device == -1 ? Name() : QString(); }

QString SynthBackend::finishAudioFile()
{
    if (!m_fileSink)
        return QStringLiteral("no audio was played");
    const QString error = m_fileSink->finish();
    m_fileSink.reset();
    return error;
}

} // namespace fw
