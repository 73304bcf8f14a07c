#pragma once

#include "AsciiTabReader.h"
#include "Conversion.h"

namespace fw {

// The reader's options from their command-line names (rhythm, unit, tuning); on a mistake error
// says what is wrong.
std::optional<TabImportOptions> TabImportOptionsFrom(const ConvertOptions& options, QString& error);

} // namespace fw
