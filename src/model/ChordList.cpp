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
    const Tuning& listTuning = tuning();
    return ParseText(m_editor.lineText(lineIndex), lineIndex, showDialog, def, listTuning);
}

QString ChordList::ParseText(const QString& line, int lineIndex, bool showDialog, ChordDef& def, const Tuning& with)
{
    m_display.setChordNameCaption(QString());
    const LineParseResult result = ParseLineText(line, lineIndex, def, with);
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
    // One pass parses with the tuning last known and notes the tuning lines it meets; only when the
    // list turns out to have another tuning does a second pass parse it again.
    Tuning assumed = m_override ? *m_override : (m_tuningKnown ? m_tuning : StandardTuning());
    const int count = m_editor.lineCount();
    ChordDef def;
    for (int pass = 0; pass < 2; ++pass) {
        ParsedLines.clear();
        ParsedLines.reserve(count + 1);
        std::optional<Tuning> found;
        int errorLine = -1;
        QString errorText;
        for (int i = 0; i <= count; ++i) {
            const QString line = m_editor.lineText(i);
            if (!m_override && line.startsWith(u'*')) {
                TuningLineResult tuningLine = ParseTuningLine(line);
                if (tuningLine.kind == TuningLineKind::Valid)
                    found = std::move(tuningLine.tuning);
            }
            errorText = ParseText(line, i, false, def, assumed);
            if (!errorText.isEmpty()) {
                errorLine = i;
                break;
            }
            ParsedLines.append(def);
        }
        if (!m_override) {
            // A tuning line after the error still counts.
            if (errorLine >= 0) {
                for (int i = count - 1; i > errorLine; --i) {
                    const QString line = m_editor.lineText(i);
                    if (!line.startsWith(u'*'))
                        continue;
                    TuningLineResult tuningLine = ParseTuningLine(line);
                    if (tuningLine.kind == TuningLineKind::Valid) {
                        found = std::move(tuningLine.tuning);
                        break;
                    }
                }
            }
            Tuning actual = found ? *found : StandardTuning();
            RememberTuning(actual);
            if (!(actual == assumed) && pass == 0) {
                assumed = std::move(actual);
                continue;
            }
        }
        if (errorLine < 0)
            return true;
        if (showErrors) {
            m_boxes.errorBox(errorText);
            m_editor.selectLine(errorLine, true);
        }
        if (!TrimBlanks(extraMessage).isEmpty())
            m_boxes.errorBox(extraMessage);
        return false;
    }
    return true;
}

const Tuning& ChordList::tuning()
{
    if (m_override)
        return *m_override;
    const long long revision = m_editor.revision();
    if (!m_tuningKnown || revision < 0 || revision != m_tuningRevision)
        RememberTuning(ScanTuning());
    return m_tuning;
}

void ChordList::OverrideTuning(std::optional<Tuning> tuning) { m_override = std::move(tuning); }

Tuning ChordList::ScanTuning() const
{
    Tuning found = StandardTuning();
    m_editor.visitLinesBackward([&found](const QString& line) {
        if (!line.startsWith(u'*'))
            return true;
        TuningLineResult result = ParseTuningLine(line);
        if (result.kind != TuningLineKind::Valid)
            return true;
        found = std::move(result.tuning);
        return false;
    });
    return found;
}

void ChordList::RememberTuning(Tuning tuning)
{
    m_tuning = std::move(tuning);
    m_tuningRevision = m_editor.revision();
    m_tuningKnown = true;
}

void ChordList::ReplaceChordLine(int lineIndex, const QString& text)
{
    // A chord definition replaced by another cannot change the tuning, so a known tuning stays known.
    const bool current = m_tuningKnown && m_tuningRevision >= 0 && m_tuningRevision == m_editor.revision();
    m_editor.replaceLine(lineIndex, text);
    if (current)
        m_tuningRevision = m_editor.revision();
}

void ChordList::SetDurationValues(int whole) { fw::SetDurationValues(ParsedLines, whole); }

void ChordList::SetStringFret(int lineIndex, int slot, int fret)
{
    ChordDef def;
    if (!ParseLine(lineIndex, true, def).isEmpty() || !IsNoteEntry(def))
        return;
    const Tuning& listTuning = tuning();
    if (!listTuning.hasSlot(slot))
        return;
    const unsigned char note
        = fret == NotPlayedFret ? NotPlayedNote : static_cast<unsigned char>(listTuning.openNote(slot) + fret);
    if (!m_display.chordEntryMode()) {
        def.Frets = NoFrets;
        def.Notes = NoNotes;
    }
    def.Name = NoteName(listTuning, slot, fret, TrimBlanks(def.Name).toString());
    def.Frets[slot] = fret;
    def.Notes[slot] = note;
    ReplaceChordLine(lineIndex, BuildLine(def, listTuning));
    ShowLineInfo(lineIndex);
}

void ChordList::AutoNameLine(int lineIndex) { AutoName(lineIndex, false); }

void ChordList::AutoNameTypedLine(int lineIndex) { AutoName(lineIndex, true); }

void ChordList::AutoName(int lineIndex, bool typing)
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

    const Tuning& listTuning = tuning();
    // Only names the program wrote are replaced; a name the user chose is kept as written.
    const bool writingName = typing && selStart - m_editor.lineStart(lineIndex) <= line.indexOf(u',');
    if (IsProgramName(def.Name) && !writingName)
        def.Name = AutomaticName(def, listTuning);

    // An unchanged line is left alone, so moving the caret neither marks the document modified
    // nor fills the undo history.
    const QString canonical = BuildLine(def, listTuning);
    if (canonical == line)
        return;
    // A selection at the very start stays there (canonical lines start with their name), which spares
    // the renaming of a whole list a walk to each line's position.
    const auto [start, length] = selStart == 0 && selLength == 0
        ? std::pair(0, 0)
        : SelectionAfterRename(line, canonical, m_editor.lineStart(lineIndex), selStart, selLength);
    ReplaceChordLine(lineIndex, canonical);
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
        if (comment) {
            m_display.setChordNameCaption(QStringLiteral("Comment Line"));
            // A comment that looks like a tuning line but is none says why, so the user can mend it.
            const TuningLineResult tuningLine = ParseTuningLine(m_editor.lineText(lineIndex));
            if (tuningLine.kind == TuningLineKind::Invalid)
                m_display.setStatusMessage(tuningLine.reason);
        } else if (!text)
            m_display.setChordNameCaption(QStringLiteral("Blank Line"));
        else
            m_display.setChordNameCaption(def.Name);
    } else {
        m_display.setChordNameCaption(QStringLiteral("(Error in line.)"));
    }

    m_display.showTuning(tuning());
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

QStringList AutoNameLines(
    const QStringList& lines, const std::function<void(int done)>& progress, const std::optional<Tuning>& override)
{
    StringListLines renamed(lines);
    SilentHost silent;
    ChordList renamer(renamed, silent, silent);
    // Renaming leaves comment lines alone, so the tuning found first holds for the whole list.
    renamer.OverrideTuning(override ? *override : TuningOfLines(lines));
    for (int i = 0; i <= renamed.lineCount(); ++i) {
        renamer.AutoNameLine(i);
        if (progress && i % 4096 == 0)
            progress(i);
    }
    return renamed.lines();
}

} // namespace fw
