#pragma once

#include "ScoreParts.h"
#include "ScoreReader.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <utility>
#include <vector>

namespace fw::musicxml {

// One note or chord (or rest, when notes is empty) of the voices that are read, in our divisions.
struct Item {
    int measure = 0;
    long long length = 0;
    QList<ReadNote> notes;
};

// The voices read of a part as one line of items, measure by measure, and what was left out.
struct PartItems {
    QList<Item> items;
    std::vector<std::pair<qsizetype, qsizetype>> measures; // each measure's items: from first to end
    QMap<QString, int> unkept; // marks of the notes read that a list has no place for, by name
    int grace = 0;
    int cue = 0;
    int otherVoices = 0; // notes of the voices not read
    int unpitched = 0;
    int overlaps = 0; // notes shortened where they overlap an earlier one
    int inside = 0; // notes that end before an earlier one does: dropped
    int rounded = 0;
    QString error; // a measure too long for any score
};

// The notes of part in the voices read (by the file's numbers), staves that copy another left out:
// notes at one time make a chord (a key given twice sounds once), a capo raises keys and frets.
PartItems CollectItems(const ReadPart& part, const PartVoices& voices, const QSet<int>& readVoices);

} // namespace fw::musicxml
