#include "FormatRegistrations.h"

namespace fw {

const FormatRegistry& Formats()
{
    static const FormatRegistry registry = [] {
        FormatRegistry formats;
        RegisterChordListFormat(formats);
        RegisterMidiFileFormat(formats);
        RegisterAsciiTabFormat(formats);
        RegisterPdfFormat(formats);
        RegisterWavFormat(formats);
        RegisterMidiImportFormat(formats);
        RegisterMusicXmlFormat(formats);
        RegisterGuitarProFormat(formats);
        return formats;
    }();
    return registry;
}

} // namespace fw
