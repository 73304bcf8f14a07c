#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace fw::musicxml {

// One note element as the file has it, its times already in our divisions (Divisions per quarter),
// relative to the start of its measure.
struct ReadNote {
    long long onset = 0;
    long long length = 0;
    int staff = 1;
    int voice = 1;
    int key = -1; // sounding MIDI key; -1 for rests and unpitched notes
    int string = 0; // 0: none given
    int fret = -1;
    bool chord = false;
    bool rest = false;
    bool grace = false;
    bool cue = false;
    bool unpitched = false;
    bool tieStart = false;
    bool tieStop = false;
    bool rounded = false; // the file's time did not fall on one of our divisions
};

struct ReadMeasure {
    long long length = 0; // the furthest any voice reached
    QList<ReadNote> notes;
};

struct ReadPart {
    QString id;
    QString name;
    int program = -1; // 0..127 from midi-program, -1 when absent
    int tabStaff = 0; // first staff with a TAB clef, 0 for none
    int bassStaff = 0; // first staff with an F clef, 0 for none
    // Sounding MIDI keys of the open strings, by staff: line 1 (the lowest string) first.
    QMap<int, QList<int>> staffTuning;
    QList<ReadMeasure> measures;
    int dynamics = 0;
    int lyrics = 0;
};

struct ReadScore {
    QString title;
    QString subtitle;
    int tempo = 0; // 0 when the file names none
    QList<ReadPart> parts;
};

// Nesting deeper than this is refused: no score needs it, and it would only cost memory.
inline constexpr int MaxXmlDepth = 64;

// Reads an uncompressed score-partwise document. Nothing on a file that is not one (not XML, another
// document, too deeply nested), with error saying why.
std::optional<ReadScore> ReadScoreXml(const QByteArray& xml, QString& error);

} // namespace fw::musicxml
