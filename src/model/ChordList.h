#pragma once

#include "ChordDef.h"
#include "EditorLines.h"
#include "LineDisplay.h"
#include "ListSetup.h"
#include "MessageBoxes.h"
#include "Tuning.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace fw {

// The chord-list operations that read and rewrite editor lines: parsing with its side effects
// (chord-name caption, count-off correction and number, error boxes), canonical rewriting and
// the display of one line.
class ChordList {
public:
    ChordList(EditorLines& editor, LineDisplay& display, MessageBoxes& boxes);

    // Returns the error text, empty on success. Checks the line alone (see ListCheck.h for marks that
    // need the next line).
    QString ParseLine(int lineIndex, bool showDialog, ChordDef& def);
    // Stops at the first error: a line's own, or a mark that the next note entry does not complete
    // (reported on the marked line; ParsedLines then ends before it).
    bool ParseAllLines(const QString& extraMessage, bool showErrors);
    void SetDurationValues(int whole);

    void SetStringFret(int lineIndex, int slot, int fret);
    void AutoNameLine(int lineIndex);
    // As AutoNameLine, after a key typed into the line: while the caret stands in the name field the user
    // is still writing the name, so it is kept whatever it reads so far ("A" on the way to "Am7").
    void AutoNameTypedLine(int lineIndex);
    // Shows the line: its name with its marks described ("A (hammer-on to B)"), its error (a mark the
    // next note entry does not complete counts as one), or a warning for a comment that starts like a
    // tuning, time or frets line, and, in a list with a time line, for a bar that does not add up.
    bool ShowLineInfo(int lineIndex);

    // A line that parses without error and is a note entry (chords and rests).
    bool IsPlayableLine(int lineIndex, bool showDialog);

    EditorLines& editor() { return m_editor; }

    // The list's tuning: the override when one is set, else the last tuning line of the editor's
    // lines (E A D G without one). Rescanned only when the editor's text has changed.
    const Tuning& tuning();
    // Reads every line with the given tuning instead of the list's own (the command line's --tuning).
    void OverrideTuning(std::optional<Tuning> tuning);
    // The highest fret the list allows: its last "* Frets:" line, else FretCount. Cached like tuning().
    int fretLimit();

    ParsedLineList ParsedLines;
    int CountOffBeats = 0;

private:
    // The list's setup, rescanned when the editor's text has changed.
    const ListSetup& setup();
    QString ParseText(const QString& line, int lineIndex, bool showDialog, ChordDef& def, const ListSetup& with);
    void ReplaceChordLine(int lineIndex, const QString& text);
    void AutoName(int lineIndex, bool typing);
    void RememberSetup(ListSetup setup);
    // The next note entry after lineIndex in the editor: 1 found, 0 none, -1 it has an error.
    int NextEntry(int lineIndex, ChordDef& next);
    // What the status shows for a valid chord definition: a bar that does not add up, or nothing.
    QString BarWarning(int lineIndex);

    EditorLines& m_editor;
    LineDisplay& m_display;
    MessageBoxes& m_boxes;
    ListSetup m_setup;
    std::optional<Tuning> m_override;
    long long m_setupRevision = -1;
    bool m_setupKnown = false;
};

// Every line as AutoNameLine leaves it, for a whole list at once (opening a file, the command-line tool).
// progress, when given, hears now and then how many lines are done.
// The tuning of the lines unless override is given.
QStringList AutoNameLines(const QStringList& lines, const std::function<void(int done)>& progress = {},
    const std::optional<Tuning>& override = std::nullopt);

} // namespace fw
