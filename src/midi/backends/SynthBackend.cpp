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
    , m_baseLeadFrames(leadFrames)
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

QString SynthBackend::NoAudioOutputText()
{
    return QStringLiteral("No audio output was found: playback runs silently. WAV export still works.");
}

int SynthBackend::open(int device)
{
    m_errorText.clear();
    if (device != -1)
        return MidiResult::BadDeviceId;
    if (const int loaded = loadSoundFont(); loaded != MidiResult::Ok)
        return loaded;
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
    QStringList reasons;
    if (!m_driver && !m_pulse && !startAudioOutput(reasons)) {
        // No audio output is the synthesizer's way of having no device at all.
        reasons.prepend(NoAudioOutputText());
        m_errorText = reasons.join(u'\n');
        return MidiResult::NoPort;
    }
    return MidiResult::Ok;
}

int SynthBackend::loadSoundFont()
{
    if (m_engine.isLoaded())
        return MidiResult::Ok;
    // A SoundFont named in the settings is played or reported, never silently replaced.
    const SoundFontChoice choice = ChooseSoundFont(m_soundFont);
    if (!choice.problem.isEmpty()) {
        m_errorText = choice.problem;
        return MidiResult::Error;
    }
    const int loaded = m_engine.load(choice.path, SampleRate);
    if (loaded == MidiResult::Error)
        m_errorText = QStringLiteral("The SoundFont \"%1\" cannot be read: it is damaged.")
                          .arg(QDir::toNativeSeparators(choice.path));
    return loaded;
}

bool SynthBackend::startAudioOutput(QStringList& reasons)
{
    fluid_settings_setint(m_engine.settings(), "audio.periods", Periods);
    for (const QString& driver : AvailableAudioDrivers()) {
        const bool pulse = driver == QLatin1String("pulseaudio");
        if (pulse && !m_serverGivenUp.isEmpty()) {
            reasons.append(m_serverGivenUp);
            continue;
        }
        if (pulse && PulseOutput::Available()) {
            auto output = std::make_unique<PulseOutput>(SampleRate, PeriodFrames, PulsePeriods, MaxPeriods);
            const bool started = output->start(
                [this](int frames, float* left, float* right) {
                    float* out[2] = { left, right };
                    AudioCallback(this, frames, 0, nullptr, 2, out);
                },
                [this](int fromFrames, int toFrames) { return mayGrowBuffer(fromFrames, toFrames); });
            if (started) {
                m_pulse = std::move(output);
                m_framesInFlight = PeriodFrames * PulsePeriods;
                // The lead follows the larger buffer from the start, as after a growth.
                m_scheduler.readyForBurst(pulseLeadFrames(m_framesInFlight), 0);
                return true;
            }
            // FluidSynth's own client would wait on the same server for half a minute.
            if (output->timedOut())
                m_serverGivenUp = output->errorText();
            reasons.append(output->errorText());
            continue;
        }
        // FluidSynth's PulseAudio output asks the server for a buffer of one period only: with
        // 128 frames the server runs dry many times a second and each time plays silence in the
        // middle of the line. One period there holds the whole buffer instead.
        fluid_settings_setint(m_engine.settings(), "audio.period-size", pulse ? PeriodFrames * Periods : PeriodFrames);
        fluid_settings_setstr(m_engine.settings(), "audio.driver", driver.toLatin1().constData());
        m_driver.reset(new_fluid_audio_driver2(m_engine.settings(), &SynthBackend::AudioCallback, this));
        if (m_driver) {
            m_framesInFlight = PeriodFrames * Periods;
            return true;
        }
        reasons.append(QStringLiteral("The %1 output could not be opened.").arg(driver));
    }
    return false;
}

bool SynthBackend::mayGrowBuffer(int fromFrames, int toFrames)
{
    // The lead follows the buffer, so that the burst of the growth, and every later one as large,
    // renders only what the player has sent already.
    return m_scheduler.readyForBurst(pulseLeadFrames(toFrames), toFrames - fromFrames);
}

std::int64_t SynthBackend::pulseLeadFrames(std::int64_t bufferFrames) const
{
    return m_baseLeadFrames + bufferFrames - PeriodFrames * Periods;
}

QStringList SynthBackend::outputReport()
{
    if (!m_pulse)
        return {};
    auto ms = [](std::int64_t frames) { return QString::number(frames * 1000.0 / SampleRate, 'f', 1); };
    QStringList lines;
    int underruns = 0;
    int late = 0;
    for (const PulseOutput::Event& e : m_pulse->events()) {
        const QString at = QString::number(e.atUs / 1e6, 'f', 3);
        if (e.underrun) {
            ++underruns;
            late += e.atUs >= 1000000 ? 1 : 0;
            lines.append(QStringLiteral("audio output: underrun at %1 s").arg(at));
        } else {
            lines.append(QStringLiteral("audio output: buffer grown to %1 ms at %2 s").arg(ms(e.bufferFrames), at));
        }
    }
    lines.append(QStringLiteral("audio output: %1 underruns, %2 after the first second; buffer %3 ms, lead %4 ms")
                     .arg(underruns)
                     .arg(late)
                     .arg(ms(m_pulse->bufferFrames()), ms(m_scheduler.leadFrames())));
    return lines;
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
