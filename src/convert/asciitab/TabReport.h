#pragma once

#include "MarkRepair.h"
#include "TabBlocks.h"
#include "TabLineKinds.h"
#include "Tuning.h"

#include <QString>
#include <QStringList>
#include <map>

namespace fw {
enum class TabRhythm;
}

namespace fw::asciitab {

// What the reader dropped or guessed, collected while it reads and written as sentences in a fixed
// order. Line numbers given to it count from 0; the sentences count from 1, as editors do.
class TabReport {
public:
    MarkTally marks;

    void summary(int blocks, int strings, int bars, int chordLines);
    void tuningGiven(const Tuning& tuning, int tabStrings);
    void tuningFromLine(const Tuning& tuning, int line, const QString& text);
    void tuningFromLabels(const Tuning& tuning, const QStringList& labelsTopDown);
    void tuningFromCount(const Tuning& tuning);
    void blockMapped(int line, int lines, int strings, bool byLabels);
    void rhythm(TabRhythm rhythm, const QString& unit);
    void titleGuessed(int line, const QString& title);
    void tempo(int tempo, int line);

    void dropped(TextKind kind);
    void repeatMark() { ++m_repeats; }
    // The rule the tab's digit runs were read by, and what spoke for it.
    void digitRule(const DigitEvidence& evidence);
    // Repeats: passes played out (extra passes and the bars they added), kept as written, or kept
    // once because playing them out would not do.
    void repeatPlayed(int extraPasses, int bars);
    void repeatKept() { ++m_repeatsKept; }
    void repeatNeverClosed(int line);
    void repeatTooOften(int line, int passes);
    void repeatTooLong(int line);
    void countOff(int beats, int line);
    void alternativeKept() { ++m_alternatives; }
    void rhythmLineKept() { ++m_rhythmLinesKept; }
    void emptyBar() { ++m_emptyBars; }
    void strayLines(int line, int count);
    void noteWithoutString(int line);
    void fretsKept(int highest);
    // A hammer-on, pull-off, slide or tie of the block at line that did not hold as written.
    void mendedLink(int line, const MendedLink& mended);
    void strayAttackLetter(int line);
    void letRingUnderPalmMute(int line);
    void wrappedBar(int fromLine, int toLine);
    void unbarred(int line);

    void missingRhythmLine(int line, const QString& unit);
    void strayRhythmToken(int line);
    void untimedNotes(int line, int count, const QString& unit);
    void barLength(int bar, int line, int ticks);
    void barNotFitted(int bar, int line, const QString& unit);
    void proportionalWithoutBars(int line, const QString& unit);

    QStringList lines() const;

private:
    // Sentences about single places, at most a few of each kind, in the order they were found.
    void place(const QString& key, const QString& sentence);
    // The same for what giving durations finds: said after what reading found, however the reader
    // interleaves the two.
    void timingPlace(const QString& key, const QString& sentence);
    void addPlace(QStringList& places, const QString& key, const QString& sentence);

    QString m_summary;
    QString m_tuning;
    QString m_rhythm;
    QString m_title;
    QString m_tempo;
    QString m_frets;
    int m_letRingLine = -1;
    std::map<TextKind, int> m_dropped;
    int m_repeats = 0;
    QString m_digitRule;
    int m_repeatsPlayed = 0;
    int m_passesAdded = 0;
    int m_barsAdded = 0;
    int m_repeatsKept = 0;
    QString m_countOff;
    int m_alternatives = 0;
    int m_rhythmLinesKept = 0;
    int m_emptyBars = 0;
    QStringList m_places;
    QStringList m_timingPlaces;
    std::map<QString, int> m_placeCounts;
};

} // namespace fw::asciitab
