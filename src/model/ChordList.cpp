#include "ChordList.h"

#include "Bars.h"

#include "LineParser.h"
#include "ListCheck.h"
#include "MarkDescription.h"
#include "RenameCaret.h"
#include "SilentHost.h"
#include "SpecialLines.h"
#include "StringListLines.h"
#include "TextRules.h"

#include <algorithm>

namespace fw {

ChordList::ChordList(EditorLines& editor, LineDisplay& display, MessageBoxes& boxes)
    : m_editor(editor)
    , m_display(display)
    , m_boxes(boxes)
{
}

QString ChordList::ParseLine(int lineIndex, bool showDialog, ChordDef& def)
{
    const ListSetup& list = setup();
    return ParseText(m_editor.lineText(lineIndex), lineIndex, showDialog, def, list);
}

QString ChordList::ParseText(const QString& line, int lineIndex, bool showDialog, ChordDef& def, const ListSetup& with)
{
    m_display.setChordNameCaption(QString());
    const LineParseResult result = ParseLineText(line, lineIndex, def, with.tuning, with.fretLimit);
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
    // One pass parses with the tuning and fret limit last known and notes the tuning and frets lines
    // it meets; only when the list turns out to read otherwise does a second pass parse it again.
    ListSetup assumed = m_setupKnown ? m_setup : ListSetup {};
    if (m_override)
        assumed.tuning = *m_override;
    const int count = m_editor.lineCount();
    ChordDef def;
    for (int pass = 0; pass < 2; ++pass) {
        ParsedLines.clear();
        ParsedLines.reserve(count + 1);
        SpecialLineSeen seen;
        int errorLine = -1;
        int lastRead = count;
        QString errorText;
        // The last note entry: the next one must complete its hammer-ons, pull-offs, slides and ties.
        int previous = -1;
        const auto linkError = [&](const ChordDef* next) {
            const QString problem = LinkProblem(ParsedLines[previous], next, assumed.tuning);
            if (problem.isEmpty())
                return false;
            errorLine = previous;
            errorText = LinePrefix(previous) + problem;
            ParsedLines.resize(previous);
            return true;
        };
        for (int i = 0; i <= count; ++i) {
            const QString line = m_editor.lineText(i);
            if (line.startsWith(u'*'))
                seen.note(line);
            errorText = ParseText(line, i, false, def, assumed);
            if (!errorText.isEmpty()) {
                errorLine = lastRead = i;
                break;
            }
            if (IsNoteEntry(def)) {
                if (previous >= 0 && linkError(&def)) {
                    lastRead = i;
                    break;
                }
                previous = i;
            }
            ParsedLines.append(def);
        }
        if (errorLine < 0 && previous >= 0)
            linkError(nullptr);
        // A tuning or frets line after the error still counts.
        SpecialLineSeen after;
        for (int i = count - 1; i > lastRead && !after.complete(); --i) {
            const QString line = m_editor.lineText(i);
            if (line.startsWith(u'*'))
                after.noteEarlier(line);
        }
        if (after.tuning)
            seen.tuning = std::move(after.tuning);
        if (after.fretLimit)
            seen.fretLimit = after.fretLimit;
        ListSetup actual;
        actual.tuning = m_override ? *m_override : (seen.tuning ? *seen.tuning : StandardTuning());
        actual.fretLimit = seen.fretLimit.value_or(FretCount);
        if (errorLine < 0) {
            // Every line was read, so the time lines are known too and no scan is needed until a change.
            for (int i = 0; i < ParsedLines.size(); ++i) {
                if (ParsedLines[i].Time)
                    actual.timeLines.emplace_back(i, *ParsedLines[i].Time);
            }
            RememberSetup(actual);
        }
        if (!actual.readsLike(assumed) && pass == 0) {
            assumed = std::move(actual);
            continue;
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

const Tuning& ChordList::tuning() { return setup().tuning; }

int ChordList::fretLimit() { return setup().fretLimit; }

void ChordList::OverrideTuning(std::optional<Tuning> tuning)
{
    m_override = std::move(tuning);
    m_setupKnown = false;
}

const ListSetup& ChordList::setup()
{
    const long long revision = m_editor.revision();
    if (!m_setupKnown || revision < 0 || revision != m_setupRevision) {
        ListSetup scanned = ScanListSetup(m_editor);
        if (m_override)
            scanned.tuning = *m_override;
        RememberSetup(std::move(scanned));
    }
    return m_setup;
}

void ChordList::RememberSetup(ListSetup setup)
{
    m_setup = std::move(setup);
    m_setupRevision = m_editor.revision();
    m_setupKnown = true;
}

void ChordList::ReplaceChordLine(int lineIndex, const QString& text)
{
    // A chord definition replaced by another cannot change the setup, so a known setup stays known.
    const bool current = m_setupKnown && m_setupRevision >= 0 && m_setupRevision == m_editor.revision();
    m_editor.replaceLine(lineIndex, text);
    if (current)
        m_setupRevision = m_editor.revision();
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
        def.Marks = {};
    }
    // A new fret on the string is a new note: the old note's marks do not carry over.
    def.Marks[slot] = {};
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
    QString errorText = ParseLine(lineIndex, false, def);
    bool ok = errorText.isEmpty();
    const bool comment = IsCommentLine(def.Name);
    const bool text = !TrimBlanks(def.Name).isEmpty();
    const Tuning& listTuning = tuning();
    QString described;
    if (ok && !comment && text) {
        // Marks that lead into the next note are checked, and described, with that note.
        ChordDef next;
        const bool joins
            = std::any_of(def.Marks.begin(), def.Marks.end(), [](const NoteMarks& m) { return m.joinsNext(); });
        const int found = joins ? NextEntry(lineIndex, next) : 0;
        if (found >= 0) {
            const QString problem = LinkProblem(def, found > 0 ? &next : nullptr, listTuning);
            if (!problem.isEmpty()) {
                ok = false;
                errorText = LinePrefix(lineIndex) + problem;
            }
        }
        if (ok)
            described = DescribeMarks(def, found > 0 ? &next : nullptr, listTuning);
    }

    m_display.setChordNameCaption(QString());
    if (ok) {
        if (comment) {
            m_display.setChordNameCaption(QStringLiteral("Comment Line"));
            // A comment that looks like a tuning, time or frets line but is none says why, so the user can mend it.
            const QString problem = CommentLineProblem(m_editor.lineText(lineIndex));
            if (!problem.isEmpty())
                m_display.setStatusMessage(problem);
        } else if (!text)
            m_display.setChordNameCaption(QStringLiteral("Blank Line"));
        else
            m_display.setChordNameCaption(def.Name);
    } else {
        m_display.setChordNameCaption(QStringLiteral("(Error in line.)"));
    }

    m_display.showTuning(listTuning);
    m_display.showFretLimit(fretLimit());
    if (ok && !comment && text) {
        m_display.setStatusMessage(BarWarning(lineIndex));
        m_display.showMarkers(def.Frets);
        m_display.setChordNameCaption(
            described.isEmpty() ? def.Name : def.Name + QStringLiteral(" (") + described + QStringLiteral(")"));
        return true;
    }
    if (!ok)
        m_display.setStatusMessage(QStringLiteral("   ***Error***   ") + errorText);
    m_display.showMarkers(NoFrets);
    return false;
}

int ChordList::NextEntry(int lineIndex, ChordDef& next)
{
    const ListSetup& list = setup();
    const int count = m_editor.lineCount();
    for (int i = lineIndex + 1; i < count; ++i) {
        const QString line = m_editor.lineText(i);
        if (IsCommentLine(line) || TrimBlanks(line).isEmpty())
            continue;
        return ParseLineText(line, i, next, list.tuning, list.fretLimit).errorText.isEmpty() ? 1 : -1;
    }
    return 0;
}

QString ChordList::BarWarning(int lineIndex)
{
    // Lists without a time line show exactly what they always showed.
    const ListSetup& list = setup();
    if (list.timeLines.empty())
        return QString();
    // A bar longer than this is no bar a time could describe; it is not walked on every caret move.
    constexpr int MaxBarLines = 1000;
    const auto isBlank = [this](int i) { return TrimBlanks(m_editor.lineText(i)).isEmpty(); };
    int first = lineIndex;
    while (first > 0 && !isBlank(first - 1)) {
        if (lineIndex - --first > MaxBarLines)
            return QString();
    }
    Bar bar;
    int firstEntry = -1;
    const int count = m_editor.lineCount();
    for (int i = first; i < count && !isBlank(i); ++i) {
        if (i - first > 2 * MaxBarLines)
            return QString();
        const QString line = m_editor.lineText(i);
        if (IsCommentLine(line))
            continue;
        ChordDef def;
        if (!ParseLineText(line, i, def, list.tuning, list.fretLimit).errorText.isEmpty())
            return QString();
        if (firstEntry < 0)
            firstEntry = i;
        bar.ticks += DurationValue(def.Duration, WholeTicks);
    }
    bar.time = list.timeBefore(firstEntry);
    return BarLengthProblem(bar);
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
