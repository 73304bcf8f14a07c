#include "MidiFileReader.h"
#include "MidiImport.h"

#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

using namespace fw;

namespace {

[[noreturn]] void Fail(const char* message)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", message);
    std::abort();
}

} // namespace

// Any bytes at all: the reader and the import either succeed with sound notes and lines or give a
// message, and never read outside the input (the sanitizers watch) or run away (libFuzzer's timeout).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const MidiReadResult read = ReadMidiFile(bytes);
    if (read.song.has_value() == !read.error.isEmpty())
        Fail("a result must be a song or a message, not both or neither");
    if (read.song) {
        for (const MidiTrack& track : read.song->tracks) {
            for (const MidiNote& note : track.notes) {
                if (note.end() < note.start() || note.key() > 127 || note.channel() > 15)
                    Fail("a note out of range");
            }
        }
    }
    const MidiImportResult imported = ImportMidiChordList(bytes, {});
    if (imported.error.isEmpty() == imported.lines.isEmpty())
        Fail("an import must give lines or a message");
    if (read.song.has_value() == false && imported.error != read.error)
        Fail("the import must pass on the reader's message");
    const MidiPartList parts = ListMidiParts(bytes);
    if (parts.chosen >= static_cast<int>(parts.parts.size()) || (parts.chosen >= 0) != imported.error.isEmpty())
        Fail("the part listed as chosen must be the part an import reads");
    MidiImportOptions folded;
    folded.foldOctaves = true;
    if (imported.error.isEmpty() && !ImportMidiChordList(bytes, folded).error.isEmpty())
        Fail("folding notes by octaves must not refuse a file");
    return 0;
}
