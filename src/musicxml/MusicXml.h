#pragma once

#include "ChordDef.h"
#include "DocumentText.h"
#include "Tuning.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

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
// FingeredNote per note value, in the same order, at frets up to fretLimit.
using FingeringStep = std::function<QList<QList<FingeredNote>>(
    const QList<QList<int>>& pitchGroups, const Tuning& tuning, int fretLimit)>;

// Each note on the string that gives it the lowest fret, one note per string in a chord.
QList<QList<FingeredNote>> LowestFretFingering(
    const QList<QList<int>>& pitchGroups, const Tuning& tuning, int fretLimit = FretCount);

// Room for the export of a list of a million lines (about 350 MB), while the memory a read takes stays bounded.
inline constexpr qint64 MaxMusicXmlBytes = qint64(512) << 20;
// Longer scores are refused rather than filling the editor with millions of lines.
inline constexpr qsizetype MaxImportedLines = 4'000'000;

struct MusicXmlImportOptions {
    // The tuning for scores without a usable TAB staff.
    Tuning tuning;
    // Instead of tuning, the tuning that plays the notes read (for a list whose file names none).
    bool chooseTuning = false;
    // With chooseTuning: notes out of the chosen tuning's range moved by octaves into it.
    bool foldOctaves = false;
    // The part read (1 the first) and its voice (1 the first voice of the part, as --list-tracks
    // counts them); 0: the part a bass player means, and on each of its staves its lowest voice.
    int track = 0;
    int voice = 0;
    // Repeats kept once, as the file writes them, instead of played out.
    bool asWritten = false;
    FingeringStep fingering = [](const QList<QList<int>>& groups, const Tuning& tuning, int fretLimit) {
        return LowestFretFingering(groups, tuning, fretLimit);
    };
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

// A MusicXML score (plain or compressed, told apart by its bytes) as a chord list: the part and
// voices options choose, one bar per measure.
MusicXmlImport ImportMusicXml(const QByteArray& bytes, const MusicXmlImportOptions& options = {});

// One part of a score as a chooser shows it.
struct MusicXmlPart {
    QString name;
    QString instrument;
    int lowest = -1; // MIDI keys, -1 without notes
    int highest = -1;
    int strings = 0; // of its TAB staff
    int notes = 0;
    int voices = 0;
    bool chosen = false; // the part read without a choice
};

// The parts of a score; nothing with error set when it cannot be read.
std::optional<QList<MusicXmlPart>> ListMusicXmlParts(const QByteArray& bytes, qint64 maxBytes, QString& error);

} // namespace fw
