#pragma once

#include <QString>

namespace fw {

// The General MIDI name of a program counted from 0 ("Electric Bass (finger)" for 33); "" for a
// number outside 0 to 127.
QString GeneralMidiName(int program);

} // namespace fw
