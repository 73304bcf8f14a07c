#pragma once

#include "ChordDef.h"
#include "MessageBoxes.h"
#include "Tuning.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace fw {

// Ticks per quarter note in the files we write, and so ticks per whole note for SetDurationValues.
inline constexpr int MidiDivision = 96;
inline constexpr int MidiWholeNoteTicks = 4 * MidiDivision;
inline constexpr int MidiNoteShift = 12;
inline constexpr int MidiPlaceholderKey = 60;
inline constexpr quint32 MidiMaxTempoValue = 0xFFFFFF;

inline const QString MidiTrackName = QStringLiteral("Fretwerk Bass");
inline const QString NoMidiNotesMessage = QStringLiteral("Can't create midi file. No notes defined in editor.");
inline const QString FixMidiErrorsMessage = QStringLiteral("Fix errors before creating a midi file.");

// Microseconds per quarter note for a tempo in beats per minute. The tempo event holds 24 bits, so
// the slowest tempos (1 to 3) get the largest value it can carry instead of a value cut to its low bits.
quint32 TempoMicroseconds(int tempo);

// What a file carries of its list's setup besides its notes, for the import to read back.
struct MidiListSetup {
    int countOff = 0; // beats
    int fretLimit = FretCount;
};
// The list's count-off (its last valid count-off line) and fret limit.
MidiListSetup MidiListSetupOf(const QStringList& lines);
// The text events a file carries at the start of its note track: the tuning, frets and count-off
// lines of a list on another tuning or neck than the standard ones. None for a standard four-string
// list, whose files stay as they always were.
QStringList MidiSetupTexts(const Tuning& tuning, const MidiListSetup& setup);

// Builds a Standard MIDI File (format 1, conductor track and note track, division 96) in memory.
// Every writer returns the number of bytes it appended, so callers can add up a track's length.
class MidiFileWriter {
public:
    // boxes, when given, shows the message of a malformed chunk id.
    explicit MidiFileWriter(MessageBoxes* boxes = nullptr);

    int WriteByte(quint8 value);
    int WriteWord(quint16 value);
    int WriteDWord(quint32 value);
    int WriteVarLen(quint32 value);
    // Writes nothing and reports "Error: ID <> 4 chars" when id is not four characters long.
    int WriteChunkId(QByteArrayView id);

    int WriteHeader();
    int WriteProgramChange(int patch);
    // 4/4 unless told; a delta for a change after the start.
    int WriteTimeSignature(const TimeSignature& time = {}, quint32 delta = 0);
    int WriteTempo(int tempo);
    int WriteTrackName(const QString& name);
    int WriteEndOfTrack(quint32 delta = 0);
    int WriteFirstNoteOn(int note);
    int WriteFirstSilentNoteOn();
    int WriteNoteOn(int note);
    int WriteNoteOff(quint32 delta, int note);

    // The whole file for a parsed chord list whose note entries carry DurationValue in ticks
    // (SetDurationValues(MidiWholeNoteTicks)). Entries that are not note entries add nothing. The
    // notes are what Perform makes of the list; its time lines give time signatures where the time
    // changes. In a list without marks a line whose highest string is empty sounds the silent key 60.
    void WriteSong(const ParsedLineList& lines, int tempo, int patch, const Tuning& tuning = StandardTuning(),
        const MidiListSetup& setup = {});

    qsizetype Position() const { return m_bytes.size(); }
    void PatchDWord(qsizetype position, quint32 value);
    const QByteArray& Bytes() const { return m_bytes; }

private:
    int WriteConductorTrack(const ParsedLineList& lines, int tempo, int patch);
    int WriteNoteTrack(
        const ParsedLineList& lines, int tempo, int patch, const Tuning& tuning, const QStringList& texts);
    int WriteText(const QString& text);

    QByteArray m_bytes;
    MessageBoxes* m_boxes;
};

// The file bytes for a chord list; see MidiFileWriter::WriteSong.
QByteArray BuildMidiFile(const ParsedLineList& lines, int tempo, int patch, const Tuning& tuning = StandardTuning(),
    const MidiListSetup& setup = {});

// Writes the file atomically: on failure the previous file is left as it was, nothing half-written
// stays behind, and errorText (when given) names the file and the reason.
bool WriteMidiFile(const QString& fileName, const ParsedLineList& lines, int tempo, int patch,
    QString* errorText = nullptr, const Tuning& tuning = StandardTuning(), const MidiListSetup& setup = {});

// The name the save dialog proposes: the document's name with its extension replaced by ".MID".
QString ProposedMidiFileName(const QString& documentFileName);

} // namespace fw
