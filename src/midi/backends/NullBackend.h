#pragma once

#include "MidiBackend.h"

namespace fw {

// No sound system: nothing opens, so every play runs silently with full timing.
class NullBackend : public MidiBackend {
public:
    int open(int) override { return MidiResult::NoPort; }
    void send(std::uint32_t) override { }
    void close() override { }
    int deviceCount() override { return 0; }
    QString deviceName(int) override { return QString(); }
};

} // namespace fw
