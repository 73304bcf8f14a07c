#include "RecordingBackend.h"

namespace fw {

RecordingBackend::RecordingBackend(PlayClock& clock)
    : m_clock(clock)
{
}

int RecordingBackend::open(int device)
{
    ++openCount;
    lastDevice = device;
    return openResult;
}

void RecordingBackend::send(std::uint32_t message)
{
    messages.append(TimedMessage { m_clock.nowUs(), message });
    if (onMessage)
        onMessage(messages.last());
}

void RecordingBackend::close() { ++closeCount; }

QString RecordingBackend::deviceName(int device) { return device == -1 ? QStringLiteral("Event recorder") : QString(); }

} // namespace fw
