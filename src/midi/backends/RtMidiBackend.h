#pragma once

#include "MidiBackend.h"

#include <memory>

class RtMidiOut;

namespace fw {

// The system's MIDI output ports (ALSA sequencer) through RtMidi, numbered 0..n-1.
class RtMidiBackend : public MidiBackend {
public:
    RtMidiBackend();
    ~RtMidiBackend() override;

    int open(int device) override;
    void send(std::uint32_t message) override;
    void close() override;
    int deviceCount() override;
    QString deviceName(int device) override;

private:
    // Made when first needed; stays empty on a machine without a MIDI sequencer.
    RtMidiOut* output();

    std::unique_ptr<RtMidiOut> m_out;
    bool m_tried = false;
};

} // namespace fw
