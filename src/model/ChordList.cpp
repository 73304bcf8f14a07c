#include "ChordList.h"

#include "LineParser.h"
#include "RenameCaret.h"
#include "SilentHost.h"
#include "StringListLines.h"
#include "TextRules.h"

namespace fw {

ChordList::ChordList(EditorLines& editor, LineDisplay& display, MessageBoxes& boxes)
    : m_editor(editor)
    , m_display(display)
    , m_boxes(boxes)
{
}

QString ChordList::ParseLine(int lineIndex, bool showDialog, ChordDef& def)
{
    m_display.setChordNameCaption(QString());
    const QString line = m_editor.lineText(lineIndex);
    const LineParseResult result = ParseLineText(line, lineIndex, def);
    if (result.kind == LineKind::CountOff) {
        if (result.countOffNumber >= 0) {
            CountOffBeats = result.countOffNumber;
        } else {
            m_boxes.plainBox(InvalidCountOffMessage(line));
            m_editor.replaceLine(lineIndex, CorrectedCountOffLine);
            CountOffBeats = 0;
        }
        return QString();
    }
    if (!result.errorText.isEmpty() && showDialog)
        m_boxes.errorBox(result.errorText);
    return result.errorText;
}

bool ChordList::ParseAllLines(const QString& extraMessage, bool showErrors)
{
    ParsedLines.clear();
    const int count = m_editor.lineCount();
    ParsedLines.reserve(count + 1);
    ChordDef def;
    for (int i = 0; i <= count; ++i) {
        if (!ParseLine(i, showErrors, def).isEmpty()) {
            if (showErrors)
                m_editor.selectLine(i, true);
            if (!TrimBlanks(extraMessage).isEmpty())
                m_boxes.errorBox(extraMessage);
            return false;
        }
        ParsedLines.append(def);
    }
    return true;
}

void ChordList::SetDurationValues(int whole) { fw::SetDurationValues(ParsedLines, whole); }

void ChordList::SetStringFret(int lineIndex, int slot, int fret)
{
    ChordDef def;
    if (!ParseLine(lineIndex, true, def).isEmpty() || !IsNoteEntry(def))
        return;
    if (slot < 1 || slot > 6)
        return;
    const unsigned char note
        = fret == NotPlayedFret ? NotPlayedNote : static_cast<unsigned char>(OpenStringNote(slot) + fret);
    if (!m_display.chordEntryMode()) {
        def.Frets = NoFrets;
        def.Notes = NoNotes;
    }
    def.Name = NoteName(slot, fret, TrimBlanks(def.Name).toString());
    def.Frets[slot] = fret;
    def.Notes[slot] = note;
    m_editor.replaceLine(lineIndex, BuildLine(def));
    ShowLineInfo(lineIndex);
}

void ChordList::AutoNameLine(int lineIndex)
{
    const QString line = m_editor.lineText(lineIndex);
    if (IsCommentLine(line))
        return;
    ChordDef def;
    if (!ParseLine(lineIndex, false, def).isEmpty())
        return;
    const int selStart = m_editor.selectionStart();
    const int selLength = m_editor.selectionLength();
    if (TrimBlanks(line).isEmpty())
        return;

    int played = 0;
    int playedSlot = 0;
    for (int slot = FirstBassSlot; slot <= LastBassSlot; ++slot) {
        if (def.Frets[slot] != NotPlayedFret) {
            ++played;
            playedSlot = slot;
        }
    }
    if (played == 1)
        def.Name = NoteName(playedSlot, def.Frets[playedSlot], def.Name);
    else if (played == 0)
        def.Name = QStringLiteral("Rest");
    else
        def.Name = QStringLiteral("Chord");

    // An unchanged line is left alone, so moving the caret neither marks the document modified
    // nor fills the undo history.
    const QString canonical = BuildLine(def);
    if (canonical == line)
        return;
    // A selection at the very start stays there (canonical lines start with their name), which spares
    // the renaming of a whole list a walk to each line's position.
    const auto [start, length] = selStart == 0 && selLength == 0
        ? std::pair(0, 0)
        : SelectionAfterRename(line, canonical, m_editor.lineStart(lineIndex), selStart, selLength);
    m_editor.replaceLine(lineIndex, canonical);
    m_editor.setSelection(start, length);
}

bool ChordList::ShowLineInfo(int lineIndex)
{
    ChordDef def;
    const QString errorText = ParseLine(lineIndex, false, def);
    const bool ok = errorText.isEmpty();
    const bool comment = IsCommentLine(def.Name);
    const bool text = !TrimBlanks(def.Name).isEmpty();

    m_display.setChordNameCaption(QString());
    if (ok) {
        if (comment)
            m_display.setChordNameCaption(QStringLiteral("Comment Line"));
        else if (!text)
            m_display.setChordNameCaption(QStringLiteral("Blank Line"));
        else
            m_display.setChordNameCaption(def.Name);
    } else {
        m_display.setChordNameCaption(QStringLiteral("(Error in line.)"));
    }

    if (ok && !comment && text) {
        m_display.setStatusMessage(QString());
        m_display.showMarkers(def.Frets);
        m_display.setChordNameCaption(def.Name);
        return true;
    }
    if (!ok)
        m_display.setStatusMessage(QStringLiteral("   ***Error***   ") + errorText);
    m_display.showMarkers(NoFrets);
    return false;
}

bool ChordList::IsPlayableLine(int lineIndex, bool showDialog)
{
    ChordDef def;
    return ParseLine(lineIndex, showDialog, def).isEmpty() && IsNoteEntry(def);
}

QStringList AutoNameLines(const QStringList& lines, const std::function<void(int done)>& progress)
{
    StringListLines renamed(lines);
    SilentHost silent;
    ChordList renamer(renamed, silent, silent);
    for (int i = 0; i <= renamed.lineCount(); ++i) {
        renamer.AutoNameLine(i);
        if (progress && i % 4096 == 0)
            progress(i);
    }
    return renamed.lines();
}

} // namespace fw
