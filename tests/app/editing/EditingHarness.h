#pragma once

#include "ChordList.h"
#include "LineEditCommands.h"
#include "MarkerGrid.h"
#include "StringListLines.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <vector>

namespace fw::testing_support {

// The slots of a four-string bass's strings, by their names.
inline constexpr int G = 3, D = 4, A = 5, E = 6;

// The main window as the commands see it: an in-memory editor, the real marker state, recorded sounds,
// boxes, focus and undo blocks.
struct EditingHarness : ::testing::Test,
                        LineDisplay,
                        MessageBoxes,
                        EditHost,
                        EditControlStates,
                        PressedMarkers,
                        NoteSounder {
    struct Sound {
        NoteArray notes;
        int milliseconds;
    };

    StringListLines lines;
    MarkerGrid grid;
    ChordList chords { lines, *this, *this };
    LineEditCommands commands { chords, *this, *this, *this, *this };

    QString caption;
    QString status;
    QStringList errors;
    std::vector<Sound> sounds;
    int focusCount = 0;
    int blocksBegun = 0;
    int blocksEnded = 0;
    int openBlocks = 0;
    int maxOpenBlocks = 0;
    bool playing = false;
    bool stopRequested = true;
    QString duration = QStringLiteral(" Q");
    bool autoCorrectOn = true;
    bool dottedBox = false;
    bool tripletBox = false;
    bool chordModeBox = false;
    bool autoAdvanceBox = false;
    bool transposeEnabled = true;
    std::vector<bool> storedChordMode;
    std::vector<bool> storedAutoAdvance;

    void setText(const QStringList& text, int caretLine)
    {
        lines = StringListLines(text);
        lines.selectLine(caretLine, false);
    }
    QStringList text() const { return lines.lines(); }
    int caretLine() const { return lines.currentLine(); }

    // LineDisplay
    void setChordNameCaption(const QString& text) override { caption = text; }
    void setStatusMessage(const QString& text) override { status = text; }
    void showMarkers(const FretArray& frets) override { grid.ShowMarkers(frets); }
    bool chordEntryMode() const override { return chordModeBox; }
    // MessageBoxes
    void errorBox(const QString& text) override { errors << text; }
    void plainBox(const QString& text) override { errors << text; }
    void warningBox(const QString& text) override { errors << text; }
    void informationBox(const QString& text) override { errors << text; }
    Answer askYesNoCancel(const QString&) override { return Answer::Cancel; }
    // EditHost
    void beginEditBlock() override
    {
        ++blocksBegun;
        maxOpenBlocks = std::max(maxOpenBlocks, ++openBlocks);
    }
    void endEditBlock() override
    {
        ++blocksEnded;
        --openBlocks;
    }
    void focusEditor() override { ++focusCount; }
    bool isPlaying() const override { return playing; }
    void clearStopRequested() override { stopRequested = false; }
    QString newLineDuration() const override { return duration; }
    void setNewLineDuration(const QString& text) override { duration = text; }
    bool autoCorrect() const override { return autoCorrectOn; }
    void storeChordEntryMode(bool on) override { storedChordMode.push_back(on); }
    void storeAutoLineAdvance(bool on) override { storedAutoAdvance.push_back(on); }
    // EditControlStates
    bool dotted() const override { return dottedBox; }
    void setDotted(bool checked) override { dottedBox = checked; }
    bool triplet() const override { return tripletBox; }
    void setTriplet(bool checked) override { tripletBox = checked; }
    void setChordEntryMode(bool checked) override { chordModeBox = checked; }
    bool autoLineAdvance() const override { return autoAdvanceBox; }
    void setAutoLineAdvance(bool checked) override { autoAdvanceBox = checked; }
    void setTransposeEnabled(bool enabled) override { transposeEnabled = enabled; }
    // PressedMarkers
    bool isMarkerShown(int slot, int fret) const override { return grid.isShown(slot, fret); }
    void showPressedMarker(int slot, int fret) override { grid.showCell(slot, fret); }
    // NoteSounder
    void soundNotes(const NoteArray& notes, int milliseconds) override { sounds.push_back({ notes, milliseconds }); }

    static NoteArray single(int slot, int fret)
    {
        NoteArray notes = NoNotes;
        notes[slot] = static_cast<unsigned char>(OpenStringNote(slot) + fret);
        return notes;
    }
    // The command ran as exactly one undo step.
    void expectOneUndoStep() const
    {
        EXPECT_EQ(blocksBegun, 1);
        EXPECT_EQ(blocksEnded, 1);
        EXPECT_EQ(maxOpenBlocks, 1);
    }
};

} // namespace fw::testing_support
