#pragma once

#include "ChordDef.h"
#include "DocumentText.h"
#include "Tuning.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace fw::musicxml {

// One note entry of a chord list: its frets by string slot, its duration text and its marks.
struct ScoreEntry {
    FretArray frets = NoFrets;
    QString duration;
    MarkArray marks {};
    LineMarks technique {};
    // By slot: the link of the note before on the string that this note completes.
    std::array<NoteLink, 7> into {};
    // By slot: a slide with no next note on its string, which slides off the note.
    std::array<bool, 7> slideOff {};
};

// What a score file carries of a chord list: bars of note entries (comment lines and empty bars
// left out), the tuning, the titles, tempo and patch.
struct ScoreInput {
    QList<QList<ScoreEntry>> bars;
    // By bar index: the times the list sets where they change. The first bar is in 4/4 without one.
    QMap<int, TimeSignature> times;
    Tuning tuning;
    QString title;
    QString subtitle;
    int tempo = DefaultTempo;
    int patch = DefaultPatch;
    int countOff = -1; // the beats of the list's count-off line; -1 without one
};

// Reads chord-list lines as the editor holds them. On a line in error, or without any note entry,
// returns nothing and error says why.
std::optional<ScoreInput> ScoreFromLines(const QStringList& lines, const DocumentHeader& header, QString& error);

// The uncompressed score-partwise document.
QByteArray WriteScoreXml(const ScoreInput& score);

} // namespace fw::musicxml
