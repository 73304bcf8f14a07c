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

// --track N and --voice N: the part and voice of a multi-part file, 1 the first; the reader checks
// that the file has them. --fold-octaves: notes no string of the chosen tuning reaches are moved by
// octaves into its range (TuningChoice::fit) instead of becoming rests.
extern const FormatOption TrackFormatOption;
extern const FormatOption VoiceFormatOption;
extern const FormatOption FoldOctavesFormatOption;
// --as-written: a repeated section is kept once, its repeat marks as comment lines
// (RepeatComments.h), instead of its bars played out pass by pass.
extern const FormatOption AsWrittenFormatOption;
// False with error set when --track or --voice is not a whole number from 1; unset ones stay 0.
bool ReadPartOptions(const ConvertOptions& options, PartChoice& choice, QString& error);
bool FoldOctavesOption(const ConvertOptions& options);
bool AsWrittenOption(const ConvertOptions& options);

// The list parsed as the export commands parse it; on an error, or when it has no notes, nothing,
// with result's error and listErrors set.
std::optional<ParsedLineList> ParseForExport(
    const QStringList& lines, const QString& fixMessage, const QString& noNotesMessage, WriteResult& result);

} // namespace fw
