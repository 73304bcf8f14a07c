#pragma once

#include "ChordDef.h"
#include "DocumentText.h"
#include "Tuning.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace fw::musicxml {

// One note entry of a chord list: its frets by string slot and its duration text.
struct ScoreEntry {
    FretArray frets = NoFrets;
    QString duration;
};

// What a score file carries of a chord list: bars of note entries (comment lines and empty bars
// left out), the tuning, the titles, tempo and patch.
struct ScoreInput {
    QList<QList<ScoreEntry>> bars;
    Tuning tuning;
    QString title;
    QString subtitle;
    int tempo = DefaultTempo;
    int patch = DefaultPatch;
};

// Reads chord-list lines as the editor holds them. On a line in error, or without any note entry,
// returns nothing and error says why.
std::optional<ScoreInput> ScoreFromLines(const QStringList& lines, const DocumentHeader& header, QString& error);

// The uncompressed score-partwise document.
QByteArray WriteScoreXml(const ScoreInput& score);

} // namespace fw::musicxml
