#pragma once

#include "ChordList.h"
#include "EditHost.h"
#include "NoteSounder.h"

#include <QString>
#include <QStringView>

namespace fw {

// The neck press and the commands of the Edit Controls group, on the caret's editor line.
//
// The main window keeps one instance and calls one method per control event:
//   neck cell press           -> Shape1MouseDown(button, slot, fret)
//   btnNewChord, btnRest, btnDup, btnClear, btnDelete clicked
//                             -> btnNewChordClick(), btnRestClick(), btnDupClick(), btnClearClick(), btnDeleteClick()
//   duration buttons clicked  -> DurationClick(button->objectName())   ("btnWholeNote" .. "btnSixtyFourthNote")
//   chkDotted, chkTriplet, chkChordEntryMode, chkAutoNewLine clicked (QAbstractButton::clicked, after the
//                                box has changed) -> chkDottedClick(), chkTripletClick(), chkChordEntryModeClick(),
//                                chkAutoNewLineClick()
//   btnShiftLeft, btnShiftRight clicked -> btnShiftLeftClick(), btnShiftRightClick()
//   start-up, after the settings are read -> startUp(AutoLineAdvance, ChordEntryMode)
//   File New / Open            -> resetDocumentDefaults()
// Every method that may change text is one undo step (EditHost::beginEditBlock/endEditBlock).
class LineEditCommands {
public:
    // 250 ms: the length of every short preview of a press, a duplicate or a transposition.
    static constexpr int PreviewMilliseconds = 250;
    static constexpr int MaxDurationLength = 5;
    inline static const QString DefaultNewLineDuration = QStringLiteral(" Q");

    LineEditCommands(
        ChordList& chords, EditHost& host, EditControlStates& boxes, PressedMarkers& markers, NoteSounder& sounder);

    // A press on a neck cell. Right presses and presses during playback do nothing; a left press
    // sounds and writes the note, a middle press only removes a shown one. Makes sure the caret line
    // is a chord definition first, and with Auto Line Advance opens the next line after a press that
    // created one.
    void Shape1MouseDown(Qt::MouseButton button, int slot, int fret);

    // The new-line templates: name + " , x, x, x, x," + NewLineDuration inserted after the caret line
    // (or at the empty place after the last line), and "New , x, x, x, x," + NewLineDuration replacing
    // a line; either is then selected and shown.
    void InsertChordLine(const QString& name);
    void ReplaceWithNewLine(int line);

    // Rewrites the duration of the caret line (everything after its last comma) with NewLineDuration.
    void LineDuration();
    // The duration letter of a duration button's object name; a null QChar for any other name.
    static QChar durationLetter(QStringView buttonName);
    void DurationClick(QStringView buttonName);
    void chkDottedClick();
    void chkTripletClick();

    void btnShiftLeftClick();
    void btnShiftRightClick();
    void btnNewChordClick();
    void btnRestClick();
    void btnDupClick();
    void btnClearClick();
    void btnDeleteClick();

    void chkChordEntryModeClick();
    void chkAutoNewLineClick();
    // The transpose buttons are enabled exactly when Auto Line Advance is off.
    void applyTransposeRule();
    // Sets the two mode boxes from the stored settings, running each box's handler when it changes
    // (Chord Entry Mode wins when both are stored on), then applies the transpose rule.
    void startUp(bool autoLineAdvance, bool chordEntryMode);
    // The per-document defaults: NewLineDuration " Q", Dotted and Triplets unchecked.
    void resetDocumentDefaults();

private:
    class EditBlock;
    struct FlagBox;

    static const FlagBox& dottedBox();
    static const FlagBox& tripletBox();
    EditorLines& editor() { return m_chords.editor(); }
    bool isCommentOrBlank(int line);
    void flagClick(const FlagBox& box, const FlagBox& other);
    void flagUnchecked(const FlagBox& box);
    void transpose(int step);
    void setNewLineDuration(const QString& text);

    ChordList& m_chords;
    EditHost& m_host;
    EditControlStates& m_boxes;
    PressedMarkers& m_markers;
    NoteSounder& m_sounder;
    int m_editDepth = 0;
};

} // namespace fw
