#pragma once

#include "MidiBackend.h"
#include "PlayClock.h"

#include <QList>
#include <functional>

namespace fw {

// A MIDI message as sent, with the clock's time.
struct TimedMessage {
    std::int64_t timeUs = 0;
    std::uint32_t message = 0;

    unsigned char status() const { return message & 0xFF; }
    unsigned char data1() const { return (message >> 8) & 0xFF; }
    unsigned char data2() const { return (message >> 16) & 0xFF; }
    friend bool operator==(const TimedMessage&, const TimedMessage&) = default;
};

// A device that keeps every message with its time instead of sounding it: for listing the
// events, offline rendering, tests and the benchmark. It always opens.
class RecordingBackend : public MidiBackend {
public:
    explicit RecordingBackend(PlayClock& clock);

    int open(int device) override;
    void send(std::uint32_t message) override;
    void close() override;
    int deviceCount() override { return 0; }
    QString deviceName(int device) override;

    // Called for each message as it is sent, after it is recorded.
    std::function<void(const TimedMessage&)> onMessage;
    // The result the next opens give; tests use it to act as a missing device.
    int openResult = MidiResult::Ok;
    // The reason a failed open gives beyond its code.
    QString failureText;
    QString openErrorText() override { return failureText; }
    // When set, the device acts as one that plays on its own audio clock, which this tells.
    std::function<std::int64_t()> audioClock;
    std::optional<std::int64_t> soundingTimeUs() override
    {
        return audioClock ? std::optional<std::int64_t>(audioClock()) : std::nullopt;
    }
    void silence() override { ++silenceCount; }

    QList<TimedMessage> messages;
    int openCount = 0;
    int closeCount = 0;
    int silenceCount = 0;
    int lastDevice = 0;

private:
    PlayClock& m_clock;
};

} // namespace fw
