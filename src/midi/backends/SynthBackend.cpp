#include "SynthBackend.h"

#include "SoundFont.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace fw {

namespace {

    constexpr double SampleRate = 44100.0;

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

SynthBackend::SynthBackend(QString soundFont)
    : m_soundFont(std::move(soundFont))
{
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
    if (!m_driver) {
        for (const QString& driver : AvailableAudioDrivers()) {
            fluid_settings_setstr(m_engine.settings(), "audio.driver", driver.toLatin1().constData());
            m_driver.reset(new_fluid_audio_driver(m_engine.settings(), m_engine.synth()));
            if (m_driver)
                break;
        }
        // No audio output is the synthesizer's way of having no device at all.
        if (!m_driver)
            return MidiResult::NoPort;
    }
    return MidiResult::Ok;
}

void SynthBackend::send(std::uint32_t message) { m_engine.send(message); }

void SynthBackend::close() { m_engine.allNotesOff(); }

QString SynthBackend::deviceName(int device) { return device == -1 ? Name() : QString(); }

} // namespace fw
