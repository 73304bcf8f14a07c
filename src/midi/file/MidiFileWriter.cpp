#include "MidiFileWriter.h"

#include "SafeFileWrite.h"
#include "TextRules.h"

namespace fw {

namespace {

    constexpr quint8 NoteOnStatus = 0x90;
    constexpr quint8 ProgramChangeStatus = 0xC0;
    constexpr quint8 MetaEvent = 0xFF;
    constexpr quint8 FullVelocity = 0x7F;

    bool HasNote(const ChordDef& def, int slot) { return def.Notes[slot] != NotPlayedNote; }

    int WrittenNote(const ChordDef& def, int slot) { return def.Notes[slot] - MidiNoteShift; }

} // namespace

quint32 TempoMicroseconds(int tempo)
{
    if (tempo < 1)
        tempo = 1;
    const quint32 value = 60000000u / static_cast<quint32>(tempo);
    return value > MidiMaxTempoValue ? MidiMaxTempoValue : value;
}

MidiFileWriter::MidiFileWriter(MessageBoxes* boxes)
    : m_boxes(boxes)
{
}

int MidiFileWriter::WriteByte(quint8 value)
{
    m_bytes.append(static_cast<char>(value));
    return 1;
}

int MidiFileWriter::WriteWord(quint16 value) { return WriteByte(value >> 8) + WriteByte(value & 0xFF); }

int MidiFileWriter::WriteDWord(quint32 value) { return WriteWord(value >> 16) + WriteWord(value & 0xFFFF); }

int MidiFileWriter::WriteVarLen(quint32 value)
{
    // Seven bits per byte, most significant group first; all but the last byte carry bit 7.
    quint8 groups[5];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    int written = 0;
    while (count > 0) {
        --count;
        written += WriteByte(count > 0 ? groups[count] | 0x80 : groups[count]);
    }
    return written;
}

int MidiFileWriter::WriteChunkId(QByteArrayView id)
{
    if (id.size() != 4) {
        if (m_boxes)
            m_boxes->plainBox(QStringLiteral("Error: ID <> 4 chars") + QString::fromLatin1(id));
        return 0;
    }
    m_bytes.append(id);
    return 4;
}

int MidiFileWriter::WriteHeader()
{
    return WriteChunkId("MThd") + WriteDWord(6) + WriteWord(1) + WriteWord(2) + WriteWord(MidiDivision);
}

int MidiFileWriter::WriteProgramChange(int patch)
{
    return WriteByte(0) + WriteByte(ProgramChangeStatus) + WriteByte(static_cast<quint8>(patch & 0x7F));
}

int MidiFileWriter::WriteTimeSignature()
{
    // 4/4, 24 MIDI clocks per metronome click, 8 thirty-seconds per quarter.
    int count = WriteByte(0) + WriteByte(MetaEvent) + WriteByte(0x58) + WriteByte(4);
    return count + WriteByte(4) + WriteByte(2) + WriteByte(24) + WriteByte(8);
}

int MidiFileWriter::WriteTempo(int tempo)
{
    const quint32 micro = TempoMicroseconds(tempo);
    int count = WriteByte(0) + WriteByte(MetaEvent) + WriteByte(0x51) + WriteByte(3);
    return count + WriteByte((micro >> 16) & 0xFF) + WriteByte((micro >> 8) & 0xFF) + WriteByte(micro & 0xFF);
}

int MidiFileWriter::WriteTrackName(const QString& name)
{
    // The length is a single byte, so longer names are cut rather than corrupting the track.
    const QByteArray text = name.toLatin1().left(255);
    int count = WriteByte(0) + WriteByte(MetaEvent) + WriteByte(0x03) + WriteByte(static_cast<quint8>(text.size()));
    m_bytes.append(text);
    return count + static_cast<int>(text.size());
}

int MidiFileWriter::WriteEndOfTrack() { return WriteByte(0) + WriteByte(MetaEvent) + WriteByte(0x2F) + WriteByte(0); }

int MidiFileWriter::WriteFirstNoteOn(int note)
{
    return WriteByte(0) + WriteByte(NoteOnStatus) + WriteByte(static_cast<quint8>(note)) + WriteByte(FullVelocity);
}

int MidiFileWriter::WriteFirstSilentNoteOn()
{
    return WriteByte(0) + WriteByte(NoteOnStatus) + WriteByte(MidiPlaceholderKey) + WriteByte(0);
}

int MidiFileWriter::WriteNoteOn(int note)
{
    return WriteByte(0) + WriteByte(static_cast<quint8>(note)) + WriteByte(FullVelocity);
}

int MidiFileWriter::WriteNoteOff(quint32 delta, int note)
{
    return WriteVarLen(delta) + WriteByte(static_cast<quint8>(note)) + WriteByte(0);
}

void MidiFileWriter::PatchDWord(qsizetype position, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        m_bytes[position + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}

int MidiFileWriter::WriteConductorTrack(int tempo, int patch)
{
    int count = WriteChunkId("MTrk");
    const qsizetype lengthPosition = Position();
    count += WriteDWord(0);
    int length = WriteProgramChange(patch);
    length += WriteTimeSignature();
    length += WriteTempo(tempo);
    length += WriteEndOfTrack();
    PatchDWord(lengthPosition, static_cast<quint32>(length));
    return count + length;
}

int MidiFileWriter::WriteNoteTrack(const ParsedLineList& lines, const Tuning& tuning)
{
    const int highest = tuning.firstSlot();
    int count = WriteChunkId("MTrk");
    const qsizetype lengthPosition = Position();
    count += WriteDWord(0);
    int length = WriteTrackName(MidiTrackName);
    bool first = true;
    for (const ChordDef& def : lines) {
        if (!IsNoteEntry(def))
            continue;
        // The highest string's note (or a silent key 60) carries the chord's length; the other strings
        // start and stop with it at delta 0.
        int endingNote = MidiPlaceholderKey;
        if (HasNote(def, highest)) {
            endingNote = WrittenNote(def, highest);
            length += first ? WriteFirstNoteOn(endingNote) : WriteNoteOn(endingNote);
        } else {
            length += first ? WriteFirstSilentNoteOn() : WriteNoteOff(0, MidiPlaceholderKey);
        }
        first = false;
        for (int slot = highest + 1; slot <= LastBassSlot; ++slot) {
            if (HasNote(def, slot))
                length += WriteNoteOn(WrittenNote(def, slot));
        }
        length += WriteNoteOff(static_cast<quint32>(qMax(def.DurationValue, 0)), endingNote);
        for (int slot = highest + 1; slot <= LastBassSlot; ++slot) {
            if (HasNote(def, slot))
                length += WriteNoteOff(0, WrittenNote(def, slot));
        }
    }
    length += WriteEndOfTrack();
    PatchDWord(lengthPosition, static_cast<quint32>(length));
    return count + length;
}

void MidiFileWriter::WriteSong(const ParsedLineList& lines, int tempo, int patch, const Tuning& tuning)
{
    WriteHeader();
    WriteConductorTrack(tempo, patch);
    WriteNoteTrack(lines, tuning);
}

QByteArray BuildMidiFile(const ParsedLineList& lines, int tempo, int patch, const Tuning& tuning)
{
    MidiFileWriter writer;
    writer.WriteSong(lines, tempo, patch, tuning);
    return writer.Bytes();
}

bool WriteMidiFile(const QString& fileName, const ParsedLineList& lines, int tempo, int patch, QString* errorText,
    const Tuning& tuning)
{
    const QString error = WriteFileSafely(fileName, BuildMidiFile(lines, tempo, patch, tuning));
    if (!error.isEmpty() && errorText)
        *errorText = error;
    return error.isEmpty();
}

QString ProposedMidiFileName(const QString& documentFileName)
{
    return PathWithoutExtension(documentFileName) + QStringLiteral(".MID");
}

} // namespace fw
