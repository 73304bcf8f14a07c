#include "MidiFileWriter.h"

#include "Bars.h"
#include "LineParser.h"
#include "Performance.h"
#include "SafeFileWrite.h"
#include "SpecialLines.h"
#include "TextRules.h"

#include <algorithm>

namespace fw {

namespace {

    constexpr quint8 NoteOnStatus = status::NoteOn;
    constexpr quint8 ProgramChangeStatus = status::Program;
    constexpr quint8 MetaEvent = 0xFF;
    constexpr quint8 FullVelocity = 0x7F;

    // The times the file's time signatures are written at: 4/4 at the start unless the first bar sets
    // another, then wherever a bar's time changes.
    std::vector<std::pair<long long, TimeSignature>> TimeSignatures(const ParsedLineList& lines)
    {
        std::vector<std::pair<long long, TimeSignature>> times { { 0, TimeSignature {} } };
        for (const Bar& bar : BarsOf(lines)) {
            if (!bar.timeChanges)
                continue;
            if (bar.startTicks == 0)
                times.front().second = bar.time;
            else
                times.emplace_back(bar.startTicks, bar.time);
        }
        return times;
    }

} // namespace

MidiListSetup MidiListSetupOf(const QStringList& lines)
{
    MidiListSetup setup;
    setup.fretLimit = FretLimitOfLines(lines);
    for (const QString& line : lines) {
        ChordDef def;
        const LineParseResult parsed = ParseLineText(line, 0, def);
        if (parsed.kind == LineKind::CountOff && parsed.countOffNumber >= 0)
            setup.countOff = parsed.countOffNumber;
    }
    return setup;
}

QStringList MidiSetupTexts(const Tuning& tuning, const MidiListSetup& setup)
{
    if (tuning.isStandard() && setup.fretLimit <= FretCount)
        return {};
    QStringList texts { tuning.lineText() };
    if (setup.fretLimit > FretCount)
        texts << FretsLineText(setup.fretLimit);
    if (setup.countOff > 0)
        texts << QStringLiteral("*Count Off %1").arg(setup.countOff);
    return texts;
}

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

int MidiFileWriter::WriteTimeSignature(const TimeSignature& time, quint32 delta)
{
    int power = 0;
    while ((1 << power) < time.unit)
        ++power;
    // MIDI clocks (24 to the quarter) per metronome click: one click a beat as the player counts it.
    const int clocks = BeatOf(time).ticks * 24 / (WholeTicks / 4);
    int count = WriteVarLen(delta) + WriteByte(MetaEvent) + WriteByte(0x58) + WriteByte(4);
    count += WriteByte(static_cast<quint8>(time.beats)) + WriteByte(static_cast<quint8>(power));
    return count + WriteByte(static_cast<quint8>(clocks)) + WriteByte(8);
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

int MidiFileWriter::WriteText(const QString& text)
{
    const QByteArray bytes = text.toLatin1().left(255);
    int count = WriteByte(0) + WriteByte(MetaEvent) + WriteByte(0x01) + WriteByte(static_cast<quint8>(bytes.size()));
    m_bytes.append(bytes);
    return count + static_cast<int>(bytes.size());
}

int MidiFileWriter::WriteEndOfTrack(quint32 delta)
{
    return WriteVarLen(delta) + WriteByte(MetaEvent) + WriteByte(0x2F) + WriteByte(0);
}

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

int MidiFileWriter::WriteConductorTrack(const ParsedLineList& lines, int tempo, int patch)
{
    int count = WriteChunkId("MTrk");
    const qsizetype lengthPosition = Position();
    count += WriteDWord(0);
    const auto times = TimeSignatures(lines);
    int length = WriteProgramChange(patch);
    length += WriteTimeSignature(times.front().second);
    length += WriteTempo(tempo);
    long long at = 0;
    for (size_t i = 1; i < times.size(); ++i) {
        length += WriteTimeSignature(times[i].second, static_cast<quint32>(times[i].first - at));
        at = times[i].first;
    }
    length += WriteEndOfTrack();
    PatchDWord(lengthPosition, static_cast<quint32>(length));
    return count + length;
}

int MidiFileWriter::WriteNoteTrack(
    const ParsedLineList& lines, int tempo, int patch, const Tuning& tuning, const QStringList& texts)
{
    PerformOptions options;
    options.whole = MidiWholeNoteTicks;
    options.wholeMs = WholeNoteLength(std::max(tempo, 1));
    options.patch = static_cast<unsigned char>(patch & 0x7F);
    const Performance song = Perform(lines, 0, static_cast<int>(lines.size()) - 1, tuning, options);
    const int highest = tuning.firstSlot();
    int count = WriteChunkId("MTrk");
    const qsizetype lengthPosition = Position();
    count += WriteDWord(0);
    int length = WriteTrackName(MidiTrackName);
    for (const QString& text : texts)
        length += WriteText(text);
    // Every event with running status; a note-off is a note-on of velocity 0.
    long long at = 0;
    int running = -1;
    auto write = [&](long long time, int statusByte, int data1, int data2) {
        length += WriteVarLen(static_cast<quint32>(time - at));
        at = time;
        if (statusByte != running)
            length += WriteByte(static_cast<quint8>(statusByte));
        running = statusByte;
        length += WriteByte(static_cast<quint8>(data1));
        if ((statusByte & 0xF0) != ProgramChangeStatus)
            length += WriteByte(static_cast<quint8>(data2));
    };
    // A list without marks carries a line with an empty highest string on the silent key 60, from its
    // start to its end, as our files always have.
    long long placeholderEnd = -1;
    for (const SoundEvent& event : song.events) {
        if (placeholderEnd >= 0 && event.time >= placeholderEnd) {
            write(placeholderEnd, NoteOnStatus, MidiPlaceholderKey, 0);
            placeholderEnd = -1;
        }
        if (event.isShow()) {
            const ChordDef& def = lines[event.entry];
            if (!song.marked && def.Notes[highest] == NotPlayedNote) {
                write(event.time, NoteOnStatus, MidiPlaceholderKey, 0);
                placeholderEnd = event.time + std::max(def.DurationValue, 0);
            }
            continue;
        }
        const int kind = event.isNote() ? NoteOnStatus | event.channel() : event.status;
        const int data1 = event.isNote() ? event.data1 - MidiNoteShift : event.data1;
        const int data2 = event.kind() == status::NoteOff ? 0 : event.data2;
        write(event.time, kind, data1, data2);
    }
    if (placeholderEnd >= 0)
        write(placeholderEnd, NoteOnStatus, MidiPlaceholderKey, 0);
    length += WriteEndOfTrack(static_cast<quint32>(std::max(song.length - at, 0LL)));
    PatchDWord(lengthPosition, static_cast<quint32>(length));
    return count + length;
}

void MidiFileWriter::WriteSong(
    const ParsedLineList& lines, int tempo, int patch, const Tuning& tuning, const MidiListSetup& setup)
{
    WriteHeader();
    WriteConductorTrack(lines, tempo, patch);
    WriteNoteTrack(lines, tempo, patch, tuning, MidiSetupTexts(tuning, setup));
}

QByteArray BuildMidiFile(
    const ParsedLineList& lines, int tempo, int patch, const Tuning& tuning, const MidiListSetup& setup)
{
    MidiFileWriter writer;
    writer.WriteSong(lines, tempo, patch, tuning, setup);
    return writer.Bytes();
}

bool WriteMidiFile(const QString& fileName, const ParsedLineList& lines, int tempo, int patch, QString* errorText,
    const Tuning& tuning, const MidiListSetup& setup)
{
    const QString error = WriteFileSafely(fileName, BuildMidiFile(lines, tempo, patch, tuning, setup));
    if (!error.isEmpty() && errorText)
        *errorText = error;
    return error.isEmpty();
}

QString ProposedMidiFileName(const QString& documentFileName)
{
    return PathWithoutExtension(documentFileName) + QStringLiteral(".MID");
}

} // namespace fw
