#include "TechniqueCommand.h"

#include <algorithm>

namespace fw {

namespace {

    // The caret line as a note entry; false for any other line.
    bool CaretEntry(ChordList& chords, int& line, ChordDef& def)
    {
        line = chords.editor().currentLine();
        return chords.ParseLine(line, false, def).isEmpty() && IsNoteEntry(def);
    }

} // namespace

void ApplyTechnique(ChordList& chords, EditHost& host, LineDisplay& display, Technique technique)
{
    int line = 0;
    ChordDef def;
    if (host.isPlaying() || !CaretEntry(chords, line, def)) {
        host.focusEditor();
        return;
    }
    const Tuning tuning = chords.tuning();
    const QString refusal = ToggleTechnique(def, technique, tuning);
    EditorLines& editor = chords.editor();
    const QString text = BuildLine(def, tuning);
    if (refusal.isEmpty() && text != editor.lineText(line)) {
        const int start = editor.lineStart(line);
        const int column = editor.selectionStart() - start;
        host.beginEditBlock();
        editor.replaceLine(line, text);
        host.endEditBlock();
        editor.setSelection(start + std::clamp(column, 0, static_cast<int>(text.size())), 0);
    }
    chords.ShowLineInfo(line);
    if (!refusal.isEmpty())
        display.setStatusMessage(refusal);
    host.focusEditor();
}

bool CaretLineHas(ChordList& chords, Technique technique)
{
    int line = 0;
    ChordDef def;
    return CaretEntry(chords, line, def) && HasTechnique(def, technique, chords.tuning());
}

} // namespace fw
