#pragma once

#include "MidiBackend.h"

#include <QString>
#include <memory>

namespace fw {

// The backend the program sounds through, chosen at run time: device -1 is the built-in
// synthesizer, devices 0..n-1 the system's MIDI output ports. Parts the build lacks act as a
// missing device, so the program runs silently.
std::unique_ptr<MidiBackend> CreateSystemBackend(const QString& soundFont = QString());

} // namespace fw
