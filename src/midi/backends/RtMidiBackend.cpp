#include "RtMidiBackend.h"

#include <QFileInfo>
#include <iostream>
#include <rtmidi/RtMidi.h>
#include <streambuf>

namespace fw {

namespace {

    // RtMidi reports errors through this callback once it is set; before that it writes them to
    // std::cerr, which SilencedCerr hides during construction.
    void IgnoreRtMidiError(RtMidiError::Type, const std::string&, void*) { }

    class DiscardBuffer : public std::streambuf {
    protected:
        int overflow(int c) override { return c; }
    };

    class SilencedCerr {
    public:
        SilencedCerr()
            : m_saved(std::cerr.rdbuf(&m_discard))
        {
        }
        ~SilencedCerr() { std::cerr.rdbuf(m_saved); }
        SilencedCerr(const SilencedCerr&) = delete;
        SilencedCerr& operator=(const SilencedCerr&) = delete;

    private:
        DiscardBuffer m_discard;
        std::streambuf* m_saved;
    };

    int ResultOf(const RtMidiError& error)
    {
        switch (error.getType()) {
        case RtMidiError::NO_DEVICES_FOUND:
            return MidiResult::NoPort;
        case RtMidiError::INVALID_DEVICE:
            return MidiResult::BadDeviceId;
        case RtMidiError::MEMORY_ERROR:
            return MidiResult::NoMemory;
        case RtMidiError::INVALID_PARAMETER:
        case RtMidiError::INVALID_USE:
            return MidiResult::InvalidParameter;
        default:
            return MidiResult::Error;
        }
    }

} // namespace

RtMidiBackend::RtMidiBackend() = default;
RtMidiBackend::~RtMidiBackend() = default;

RtMidiOut* RtMidiBackend::output()
{
    if (m_tried)
        return m_out.get();
    m_tried = true;
    // Without the sequencer device ALSA prints its own complaint; there is nothing to find anyway.
    if (!QFileInfo(QStringLiteral("/dev/snd/seq")).isWritable())
        return nullptr;
    try {
        SilencedCerr silence;
        m_out = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "Fretwerk Bass");
        m_out->setErrorCallback(IgnoreRtMidiError, nullptr);
    } catch (const RtMidiError&) {
        m_out.reset();
    }
    return m_out.get();
}

int RtMidiBackend::open(int device)
{
    RtMidiOut* out = output();
    if (!out)
        return MidiResult::NoPort;
    const int count = static_cast<int>(out->getPortCount());
    if (count == 0)
        return MidiResult::NoPort;
    if (device < 0 || device >= count)
        return MidiResult::BadDeviceId;
    try {
        out->closePort();
        out->openPort(static_cast<unsigned>(device), "Fretwerk Bass output");
    } catch (const RtMidiError& error) {
        return ResultOf(error);
    }
    return out->isPortOpen() ? MidiResult::Ok : MidiResult::Allocated;
}

void RtMidiBackend::send(std::uint32_t message)
{
    if (!m_out || !m_out->isPortOpen())
        return;
    const unsigned char bytes[3] = { static_cast<unsigned char>(message & 0xFF),
        static_cast<unsigned char>((message >> 8) & 0xFF), static_cast<unsigned char>((message >> 16) & 0xFF) };
    // Program changes carry one data byte.
    const size_t size = (bytes[0] & 0xF0) == 0xC0 ? 2 : 3;
    try {
        m_out->sendMessage(bytes, size);
    } catch (const RtMidiError&) {
    }
}

void RtMidiBackend::close()
{
    if (m_out)
        m_out->closePort();
}

int RtMidiBackend::deviceCount()
{
    RtMidiOut* out = output();
    return out ? static_cast<int>(out->getPortCount()) : 0;
}

QString RtMidiBackend::deviceName(int device)
{
    RtMidiOut* out = output();
    if (!out || device < 0 || device >= static_cast<int>(out->getPortCount()))
        return QString();
    try {
        return QString::fromStdString(out->getPortName(static_cast<unsigned>(device)));
    } catch (const RtMidiError&) {
        return QString();
    }
}

} // namespace fw
