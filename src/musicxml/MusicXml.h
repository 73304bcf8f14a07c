#pragma once

#include "ChordDef.h"
#include "DocumentText.h"
#include "Tuning.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace fw {

// ---- Writing -------------------------------------------------------------------------------------

enum class MusicXmlContainer {
    Plain, // .musicxml: the score document itself
    Compressed, // .mxl: the score in a zip container
};

struct MusicXmlExport {
    QByteArray bytes;
    QString error; // empty on success
};

// A chord list (lines as the editor holds them, with their tuning and title lines) as a MusicXML
// score: one part "Bass" with a bass-clef staff and a TAB staff of the same notes, one measure per bar.
// A line in error, or a list without notes, gives the error instead.
MusicXmlExport ExportMusicXml(const QStringList& lines, const DocumentHeader& header, MusicXmlContainer container);

// .mxl is compressed; every other name is written plain.
MusicXmlContainer MusicXmlContainerForFileName(const QString& fileName);

// ---- Reading -------------------------------------------------------------------------------------

// Where one note of a group is played: slot 0 when no string of the tuning can play it.
struct FingeredNote {
    int slot = 0;
    int fret = NotPlayedFret;
};

// Chooses strings and frets for notes that come without them: PITCHGROUPS holds, in playing order,
// the note values (one octave above the sound) of each note or chord; the result holds one
// FingeredNote per note value, in the same order.
using FingeringStep
    = std::function<QList<QList<FingeredNote>>(const QList<QList<int>>& pitchGroups, const Tuning& tuning)>;

// Each note on the string that gives it the lowest fret, one note per string in a chord.
QList<QList<FingeredNote>> LowestFretFingering(const QList<QList<int>>& pitchGroups, const Tuning& tuning);

// Room for the export of a list of a million lines (about 350 MB), while the memory a read takes stays bounded.
inline constexpr qint64 MaxMusicXmlBytes = qint64(512) << 20;
// Longer scores are refused rather than filling the editor with millions of lines.
inline constexpr qsizetype MaxImportedLines = 4'000'000;

struct MusicXmlImportOptions {
    // The tuning for scores without a usable TAB staff.
    Tuning tuning;
    FingeringStep fingering = LowestFretFingering;
    // Score documents larger than this, packed or not, are refused.
    qint64 maxBytes = MaxMusicXmlBytes;
};

struct MusicXmlImport {
    QString error; // empty on success; then lines holds the chord list
    QStringList lines;
    DocumentHeader header;
    // What could not be carried over or was guessed, one sentence each ("2 grace notes dropped.").
    QStringList report;
};

// A MusicXML score (plain or compressed, told apart by its bytes) as a chord list: the first part
// with a TAB staff, else the first with a bass clef, else the first part; one bar per measure.
MusicXmlImport ImportMusicXml(const QByteArray& bytes, const MusicXmlImportOptions& options = {});

} // namespace fw
