#include "LineEditCommands.h"

#include "LineParser.h"
#include "Pitch.h"
#include "TextRules.h"

namespace fw {

namespace {

    // The fret fields of a new line: " , x, x, x, x," for four strings.
    QString TemplateFrets(const Tuning& tuning)
    {
        QString fields = QStringLiteral(" ,");
        for (int i = 0; i < tuning.stringCount(); ++i)
            fields += QStringLiteral(" x,");
        return fields;
    }

    struct DurationButton {
        const char16_t* name;
        char16_t letter;
    };

    constexpr DurationButton DurationButtons[] = {
        { u"btnWholeNote", u'W' },
        { u"btnHalfNote", u'H' },
        { u"btnQuarterNote", u'Q' },
        { u"btnEighthNote", u'E' },
        { u"btnSixteenthNote", u'S' },
        { u"btnThirtySecondNote", u'T' },
        { u"btnSixtyFourthNote", u'F' },
    };

} // namespace

// Groups the text changes of one command into one undo step; commands that run other commands
// open only the outermost block.
class LineEditCommands::EditBlock {
public:
    explicit EditBlock(LineEditCommands& owner)
        : m_owner(owner)
    {
        if (m_owner.m_editDepth++ == 0)
            m_owner.m_host.beginEditBlock();
    }
    ~EditBlock()
    {
        if (--m_owner.m_editDepth == 0)
            m_owner.m_host.endEditBlock();
    }
    EditBlock(const EditBlock&) = delete;
    EditBlock& operator=(const EditBlock&) = delete;

private:
    LineEditCommands& m_owner;
};

// The Dotted and Triplets boxes differ only in their mark and which box they are.
struct LineEditCommands::FlagBox {
    QChar mark;
    QString prefix;
    bool (EditControlStates::*checked)() const;
    void (EditControlStates::*setChecked)(bool);
};

LineEditCommands::LineEditCommands(
    ChordList& chords, EditHost& host, EditControlStates& boxes, PressedMarkers& markers, NoteSounder& sounder)
    : m_chords(chords)
    , m_host(host)
    , m_boxes(boxes)
    , m_markers(markers)
    , m_sounder(sounder)
{
}

bool LineEditCommands::isCommentOrBlank(int line)
{
    const QString text = editor().lineText(line);
    return IsCommentLine(text) || TrimBlanks(text).isEmpty();
}

void LineEditCommands::setNewLineDuration(const QString& text)
{
    m_host.setNewLineDuration(text.left(MaxDurationLength));
}

void LineEditCommands::InsertChordLine(const QString& name)
{
    EditBlock block(*this);
    const QString text = name + TemplateFrets(m_chords.tuning()) + m_host.newLineDuration();
    int line = editor().currentLine();
    if (line != editor().lineCount())
        ++line;
    editor().insertLine(line, text);
    editor().selectLine(line, true);
    m_chords.ShowLineInfo(line);
    m_host.focusEditor();
}

void LineEditCommands::ReplaceWithNewLine(int line)
{
    EditBlock block(*this);
    editor().replaceLine(line, QStringLiteral("New") + TemplateFrets(m_chords.tuning()) + m_host.newLineDuration());
    editor().selectLine(line, true);
    m_chords.ShowLineInfo(line);
    m_host.focusEditor();
}

void LineEditCommands::Shape1MouseDown(Qt::MouseButton button, int slot, int fret)
{
    if (m_host.isPlaying() || (button != Qt::LeftButton && button != Qt::MiddleButton))
        return;
    const Tuning tuning = m_chords.tuning();
    if (!tuning.hasSlot(slot) || fret < 0 || fret > m_chords.fretLimit())
        return;
    EditBlock block(*this);
    const bool left = button == Qt::LeftButton;
    const bool wasShown = m_markers.isMarkerShown(slot, fret);
    const QString name = NoteName(tuning, slot, fret, QString());

    bool created = false;
    if (IsCommentLine(editor().lineText(editor().currentLine()))) {
        InsertChordLine(name);
        created = true;
    }
    ChordDef def;
    int line = editor().currentLine();
    if (!m_chords.ParseLine(line, false, def).isEmpty()) {
        editor().replaceLine(line, name + TemplateFrets(m_chords.tuning()) + m_host.newLineDuration());
        // Keep the caret on the rewritten line whatever the editor did with it.
        editor().selectLine(line, true);
        created = true;
    }
    if (TrimBlanks(editor().lineText(line)).isEmpty()) {
        ReplaceWithNewLine(line);
        created = true;
    }

    m_markers.showPressedMarker(slot, fret);
    m_host.clearStopRequested();
    if (left) {
        NoteArray notes = NoNotes;
        notes[slot] = static_cast<unsigned char>(tuning.openNote(slot) + fret);
        m_sounder.soundNotes(notes, PreviewMilliseconds);
    }

    line = editor().currentLine();
    if (m_chords.ParseLine(line, false, def).isEmpty()) {
        if (left)
            m_chords.SetStringFret(line, slot, fret);
        if (wasShown)
            m_chords.SetStringFret(line, slot, NotPlayedFret);
    }

    if (m_boxes.autoLineAdvance() && created) {
        int next = editor().currentLine();
        if (next != editor().lineCount())
            ++next;
        editor().insertLine(next, QString());
        editor().selectLine(next, true);
        m_chords.ShowLineInfo(next);
        m_host.focusEditor();
    }
}

void LineEditCommands::LineDuration()
{
    EditBlock block(*this);
    const int line = editor().currentLine();
    ChordDef def;
    if (!m_chords.ParseLine(line, false, def).isEmpty()) {
        m_host.focusEditor();
        return;
    }
    if (!IsNoteEntry(def))
        return;
    // Everything up to and including the last comma stays as typed.
    const QString text = editor().lineText(line);
    const qsizetype comma = text.lastIndexOf(u',');
    if (comma < 0)
        return;
    editor().replaceLine(line, text.left(comma + 1) + m_host.newLineDuration());
    m_host.focusEditor();
}

QChar LineEditCommands::durationLetter(QStringView buttonName)
{
    for (const DurationButton& button : DurationButtons) {
        if (buttonName == QStringView(button.name))
            return QChar(button.letter);
    }
    return {};
}

void LineEditCommands::DurationClick(QStringView buttonName)
{
    const QChar letter = durationLetter(buttonName);
    if (letter.isNull())
        return;
    QString duration = QStringLiteral(" ");
    if (m_boxes.dotted())
        duration = QStringLiteral(" .");
    if (m_boxes.triplet())
        duration = QStringLiteral(" /");
    setNewLineDuration(duration + letter);
    LineDuration();
}

const LineEditCommands::FlagBox& LineEditCommands::dottedBox()
{
    static const FlagBox box { u'.', QStringLiteral(" ."), &EditControlStates::dotted, &EditControlStates::setDotted };
    return box;
}

const LineEditCommands::FlagBox& LineEditCommands::tripletBox()
{
    static const FlagBox box { u'/', QStringLiteral(" /"), &EditControlStates::triplet,
        &EditControlStates::setTriplet };
    return box;
}

void LineEditCommands::chkDottedClick() { flagClick(dottedBox(), tripletBox()); }

void LineEditCommands::chkTripletClick() { flagClick(tripletBox(), dottedBox()); }

void LineEditCommands::flagUnchecked(const FlagBox& box)
{
    EditBlock block(*this);
    const QString t = TrimBlanks(m_host.newLineDuration()).toString();
    if (t.startsWith(box.mark))
        setNewLineDuration(QStringLiteral(" ") + t.mid(1));
    LineDuration();
}

void LineEditCommands::flagClick(const FlagBox& box, const FlagBox& other)
{
    EditBlock block(*this);
    if (!(m_boxes.*box.checked)()) {
        flagUnchecked(box);
        return;
    }
    if ((m_boxes.*other.checked)()) {
        (m_boxes.*other.setChecked)(false);
        flagUnchecked(other);
    }
    QString t = TrimBlanks(m_host.newLineDuration()).toString();
    if (t.startsWith(u'.') || t.startsWith(u'/'))
        t.remove(0, 1);
    setNewLineDuration(box.prefix + t);
    LineDuration();
}

void LineEditCommands::transpose(int step)
{
    const int line = editor().currentLine();
    if (isCommentOrBlank(line))
        return;
    ChordDef def;
    if (!m_chords.ParseLine(line, false, def).isEmpty())
        return;
    EditBlock block(*this);

    // Every string moves, whatever the entry mode, so a chord keeps all its notes. The line is named
    // after the last string, G to Low E, that is still on the neck.
    QString name = TrimBlanks(def.Name).toString();
    bool moved = false;
    const Tuning tuning = m_chords.tuning();
    const int fretLimit = m_chords.fretLimit();
    for (int slot = tuning.firstSlot(); slot <= LastBassSlot; ++slot) {
        // A natural harmonic sounds where its node is: a fret further along is no harmonic.
        if (def.Frets[slot] == NotPlayedFret || def.Marks[slot].kind == NoteKind::Harmonic)
            continue;
        const int fret = def.Frets[slot] + step;
        const bool onNeck = fret >= 0 && fret <= fretLimit;
        def.Frets[slot] = onNeck ? fret : NotPlayedFret;
        def.Notes[slot] = onNeck ? static_cast<unsigned char>(tuning.openNote(slot) + fret) : NotPlayedNote;
        // The marks go with the note, a bend keeping its interval; a note gone takes them along.
        if (!onNeck)
            def.Marks[slot] = {};
        else if (def.Marks[slot].hasBend())
            def.Marks[slot].bendTarget = static_cast<signed char>(def.Marks[slot].bendTarget + step);
        if (def.Marks[slot].kind != NoteKind::Dead)
            name = NoteName(tuning, slot, def.Frets[slot], name);
        moved = true;
    }
    if (moved) {
        def.Name = name;
        editor().replaceLine(line, BuildLine(def, tuning));
    }

    if (!isCommentOrBlank(line) && m_chords.ParseLine(line, true, def).isEmpty())
        m_sounder.soundNotes(def.Notes, PreviewMilliseconds);
    m_chords.ShowLineInfo(line);
    m_host.focusEditor();
}

void LineEditCommands::btnShiftLeftClick() { transpose(-1); }

void LineEditCommands::btnShiftRightClick() { transpose(+1); }

void LineEditCommands::btnNewChordClick()
{
    EditBlock block(*this);
    const int count = editor().lineCount();
    const int line = editor().currentLine();
    if (line >= count) {
        editor().insertLine(count, QString());
        const int newCount = editor().lineCount();
        m_chords.ShowLineInfo(newCount);
        editor().selectLine(newCount, true);
    } else {
        editor().insertLine(line + 1, QString());
        editor().selectLine(line + 1, false);
        m_chords.ShowLineInfo(line + 1);
    }
    m_host.focusEditor();
}

void LineEditCommands::btnRestClick() { InsertChordLine(QStringLiteral("Rest")); }

void LineEditCommands::btnDupClick()
{
    const int line = editor().currentLine();
    if (isCommentOrBlank(line))
        return;
    ChordDef def;
    if (!m_chords.ParseLine(line, true, def).isEmpty()) {
        m_host.focusEditor();
        return;
    }
    EditBlock block(*this);
    editor().insertLine(line, editor().lineText(line));
    // The lower copy is selected, so further presses keep duplicating the same line.
    editor().selectLine(line + 1, true);
    m_sounder.soundNotes(def.Notes, PreviewMilliseconds);
    editor().selectLine(editor().currentLine(), true);
    m_host.focusEditor();
}

void LineEditCommands::btnClearClick()
{
    const int line = editor().currentLine();
    if (!isCommentOrBlank(line)) {
        // One parse with its error box up front: a line in error is reported once and left alone,
        // rather than once for each of the six string writes.
        ChordDef def;
        if (!m_chords.ParseLine(line, true, def).isEmpty()) {
            m_host.focusEditor();
            return;
        }
        EditBlock block(*this);
        for (int slot = 1; slot <= 6; ++slot)
            m_chords.SetStringFret(line, slot, NotPlayedFret);
        m_chords.ShowLineInfo(line);
        if (m_host.autoCorrect())
            m_chords.AutoNameLine(line);
    }
    m_host.focusEditor();
}

void LineEditCommands::btnDeleteClick()
{
    EditBlock block(*this);
    const int line = editor().currentLine();
    if (line < editor().lineCount()) {
        editor().deleteLine(line);
        // The caret goes to the start of the line that followed.
        editor().selectLine(line, false);
    }
    m_chords.ShowLineInfo(editor().currentLine());
    m_host.focusEditor();
}

void LineEditCommands::applyTransposeRule() { m_boxes.setTransposeEnabled(!m_boxes.autoLineAdvance()); }

void LineEditCommands::chkChordEntryModeClick()
{
    m_host.storeChordEntryMode(m_boxes.chordEntryMode());
    if (!m_boxes.chordEntryMode() && !m_boxes.autoLineAdvance()) {
        m_boxes.setTransposeEnabled(true);
    } else if (m_boxes.chordEntryMode()) {
        if (m_boxes.autoLineAdvance()) {
            m_boxes.setAutoLineAdvance(false);
            chkAutoNewLineClick();
        }
        m_boxes.setTransposeEnabled(true);
    } else {
        m_boxes.setTransposeEnabled(false);
    }
}

void LineEditCommands::chkAutoNewLineClick()
{
    m_host.storeAutoLineAdvance(m_boxes.autoLineAdvance());
    if (!m_boxes.autoLineAdvance()) {
        m_boxes.setTransposeEnabled(true);
    } else {
        m_boxes.setTransposeEnabled(false);
        if (m_boxes.chordEntryMode()) {
            m_boxes.setChordEntryMode(false);
            chkChordEntryModeClick();
        }
    }
}

void LineEditCommands::startUp(bool autoLineAdvance, bool chordEntryMode)
{
    if (m_boxes.autoLineAdvance() != autoLineAdvance) {
        m_boxes.setAutoLineAdvance(autoLineAdvance);
        chkAutoNewLineClick();
    }
    if (m_boxes.chordEntryMode() != chordEntryMode) {
        m_boxes.setChordEntryMode(chordEntryMode);
        chkChordEntryModeClick();
    }
    applyTransposeRule();
}

void LineEditCommands::resetDocumentDefaults()
{
    m_host.setNewLineDuration(DefaultNewLineDuration);
    m_boxes.setDotted(false);
    m_boxes.setTriplet(false);
}

} // namespace fw
