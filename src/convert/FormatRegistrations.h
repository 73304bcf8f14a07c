#pragma once

#include "ChordDef.h"
#include "Conversion.h"
#include "Tuning.h"

#include <optional>

namespace fw {

// One function per format unit; Formats() calls each once.
void RegisterChordListFormat(FormatRegistry& registry);
void RegisterMidiFileFormat(FormatRegistry& registry);
void RegisterAsciiTabFormat(FormatRegistry& registry);
void RegisterPdfFormat(FormatRegistry& registry);
void RegisterWavFormat(FormatRegistry& registry);
void RegisterMidiImportFormat(FormatRegistry& registry);
void RegisterMusicXmlFormat(FormatRegistry& registry);
void RegisterGuitarProFormat(FormatRegistry& registry);

// --tuning "B E A D G", as the readers that place notes on strings take it.
extern const FormatOption TuningFormatOption;
// False with error set when the option names no tuning; tuning stays empty when it is not given.
bool ReadTuningFormatOption(const ConvertOptions& options, std::optional<Tuning>& tuning, QString& error);

// The list parsed as the export commands parse it; on an error, or when it has no notes, nothing,
// with result's error and listErrors set.
std::optional<ParsedLineList> ParseForExport(
    const QStringList& lines, const QString& fixMessage, const QString& noNotesMessage, WriteResult& result);

} // namespace fw
