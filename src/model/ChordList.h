#pragma once

#include "ChordDef.h"
#include "EditorLines.h"
#include "LineDisplay.h"
#include "MessageBoxes.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace fw {

// The chord-list operations that read and rewrite editor lines: parsing with its side effects
// (chord-name caption, count-off correction and number, error boxes), canonical rewriting and
// the display of one line.
class ChordList {
public:
    ChordList(EditorLines& editor, LineDisplay& display, MessageBoxes& boxes);

    // Returns the error text, empty on success.
    QString ParseLine(int lineIndex, bool showDialog, ChordDef& def);
    bool ParseAllLines(const QString& extraMessage, bool showErrors);
    void SetDurationValues(int whole);

    void SetStringFret(int lineIndex, int slot, int fret);
    void AutoNameLine(int lineIndex);
    bool ShowLineInfo(int lineIndex);

    // A line that parses without error and is a note entry (chords and rests).
    bool IsPlayableLine(int lineIndex, bool showDialog);

    EditorLines& editor() { return m_editor; }

    ParsedLineList ParsedLines;
    int CountOffBeats = 0;

private:
    EditorLines& m_editor;
    LineDisplay& m_display;
    MessageBoxes& m_boxes;
};

// Every line as AutoNameLine leaves it, for a whole list at once (opening a file, the command-line tool).
// progress, when given, hears now and then how many lines are done.
QStringList AutoNameLines(const QStringList& lines, const std::function<void(int done)>& progress = {});

} // namespace fw
