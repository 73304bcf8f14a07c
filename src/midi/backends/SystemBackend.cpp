#include "SystemBackend.h"

#include "NullBackend.h"
#ifdef FW_HAVE_FLUIDSYNTH
#include "SynthBackend.h"
#endif
#ifdef FW_HAVE_RTMIDI
#include "RtMidiBackend.h"
#endif

namespace fw {

namespace {

    class SystemBackend : public MidiBackend {
    public:
        SystemBackend(std::unique_ptr<MidiBackend> synth, std::unique_ptr<MidiBackend> ports)
            : m_synth(std::move(synth))
            , m_ports(std::move(ports))
        {
        }

        int open(int device) override
        {
            close();
            MidiBackend* target = device == -1 ? m_synth.get() : m_ports.get();
            const int result = target->open(device);
            m_lastTried = target;
            if (result == MidiResult::Ok)
                m_current = target;
            return result;
        }
        QString openErrorText() override { return m_lastTried ? m_lastTried->openErrorText() : QString(); }
        QStringList outputReport() override { return m_synth->outputReport(); }
        void send(std::uint32_t message) override
        {
            if (m_current)
                m_current->send(message);
        }
        void setEventTime(std::optional<std::int64_t> timeUs) override
        {
            m_synth->setEventTime(timeUs);
            m_ports->setEventTime(timeUs);
        }
        std::optional<std::int64_t> soundingTimeUs() override
        {
            return m_current ? m_current->soundingTimeUs() : std::nullopt;
        }
        std::int64_t clockShiftUs() override { return m_current ? m_current->clockShiftUs() : 0; }
        void silence() override
        {
            if (m_current)
                m_current->silence();
        }
        void close() override
        {
            if (m_current)
                m_current->close();
            m_current = nullptr;
        }
        int deviceCount() override { return m_ports->deviceCount(); }
        QString deviceName(int device) override
        {
            return device == -1 ? m_synth->deviceName(device) : m_ports->deviceName(device);
        }

    private:
        std::unique_ptr<MidiBackend> m_synth;
        std::unique_ptr<MidiBackend> m_ports;
        MidiBackend* m_current = nullptr;
        MidiBackend* m_lastTried = nullptr;
    };

} // namespace

std::unique_ptr<MidiBackend> CreateSystemBackend([[maybe_unused]] const QString& soundFont)
{
#ifdef FW_HAVE_FLUIDSYNTH
    auto synth = std::make_unique<SynthBackend>(soundFont);
#else
    auto synth = std::make_unique<NullBackend>();
#endif
#ifdef FW_HAVE_RTMIDI
    auto ports = std::make_unique<RtMidiBackend>();
#else
    auto ports = std::make_unique<NullBackend>();
#endif
    return std::make_unique<SystemBackend>(std::move(synth), std::move(ports));
}

} // namespace fw
