#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace fw {

// Result codes of MidiBackend::open, numbered as the MIDI output error texts expect them.
namespace MidiResult {
    inline constexpr int Ok = 0;
    inline constexpr int Error = 1;
    inline constexpr int BadDeviceId = 2;
    inline constexpr int Allocated = 4;
    inline constexpr int NoMemory = 7;
    inline constexpr int InvalidParameter = 11;
    inline constexpr int NoPort = 68;
}

// The system service behind MidiPort: one output device at a time. Short messages are packed
// with the status in bits 0-7, data1 in bits 8-15 and data2 in bits 16-23.
class MidiBackend {
public:
    virtual ~MidiBackend() = default;
    // Device -1 is the default (built-in) device, 0..deviceCount()-1 the system's ports.
    virtual int open(int device) = 0;
    virtual void send(std::uint32_t message) = 0;
    // The playback time (on the player's clock) that the messages sent from now on belong to, or
    // none for "now". A backend that can schedule ahead places them exactly at that time.
    virtual void setEventTime(std::optional<std::int64_t> timeUs) { (void)timeUs; }
    // The playback time (as setEventTime names it) of the sound leaving the audio output now, for a
    // backend that plays on its own audio clock; none for one that sounds each message as it comes.
    virtual std::optional<std::int64_t> soundingTimeUs() { return std::nullopt; }
    // How far ahead of the player's clock (behind, when negative) the playback time has moved whose
    // messages are due now to sound a lead ahead of the audio, since the running playback was placed:
    // the drift between the audio clock and the player's. 0 for a backend without an audio clock.
    virtual std::int64_t clockShiftUs() { return 0; }
    // Cuts every sound at once, release and all (a stop); a device that cannot leaves the notes to
    // end by their note-offs.
    virtual void silence() { }
    virtual void close() = 0;
    virtual int deviceCount() = 0;
    // "" when the device does not exist.
    virtual QString deviceName(int device) = 0;
    // Why the last open failed, when the backend can say more than its result code (the SoundFont
    // it looked for); "" leaves the text to the code.
    virtual QString openErrorText() { return QString(); }
    // What the audio output did in this run (its buffer, its underruns), one line each, for a
    // verbose report; empty for a backend without one.
    virtual QStringList outputReport() { return {}; }
};

} // namespace fw
