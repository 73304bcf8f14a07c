#include "Player.h"

#include "Bars.h"
#include "TextRules.h"

#include <algorithm>

namespace fw {

namespace {

    constexpr NoteArray CountOffNotes { 255, 255, 255, Player::CountOffNote, 255, 255, 255 };

} // namespace

Player::Player(
    ChordList& chordList, LineDisplay& display, MessageBoxes& boxes, PlayerHost& host, MidiPort& port, PlayClock& clock)
    : m_chordList(chordList)
    , m_editor(chordList.editor())
    , m_display(display)
    , m_boxes(boxes)
    , m_host(host)
    , m_port(port)
    , m_clock(clock, [&port] { return port.ClockShift(); })
{
}

void Player::SetCaption(const QString& caption)
{
    m_caption = caption;
    m_host.setPlayButtonCaption(caption);
}

void Player::PlayToggle()
{
    if (IsPlaying() || StopRequested) {
        // Reached from the pumping of a running playback's wait: only ask it to stop. This comes
        // first, so that a stop press stops whatever the editor holds by now.
        SetCaption(QStringLiteral("Play"));
        StopRequested = true;
        return;
    }
    m_chordList.CountOffBeats = 0;
    if (m_editor.lineCount() == 0) {
        m_boxes.errorBox(QStringLiteral("No notes to play - no lines in editor."));
        return;
    }
    if (!ParseForPlayback())
        return;
    SetCaption(QStringLiteral("Stop"));
    PlayChordList(m_host.playOption());
    m_chordList.ShowLineInfo(m_editor.currentLine());
    StopRequested = false;
    SetCaption(QStringLiteral("Play"));
}

void Player::PlayChordList(int option)
{
    m_host.focusEditor();
    StopRequested = false;

    if (option == PlayCurrentLine) {
        const int line = m_editor.currentLine();
        ChordDef def;
        if (m_chordList.ParseLine(line, true, def).isEmpty() && IsNoteEntry(def)) {
            m_host.SetPlayControls(false);
            const int selStart = m_editor.selectionStart();
            const int selLength = m_editor.selectionLength();
            m_editor.selectLine(line, true);
            const int length = DurationValue(def.Duration, WholeNoteLength(m_host.tempo()));
            QString errorText;
            m_port.OpenPort(errorText);
            m_port.ProgramChange(m_host.patch());
            PlayLineAlone(def, length, true);
            m_port.ClosePort();
            if (selLength > 0)
                m_editor.setSelection(selStart, selLength);
            else
                m_editor.selectLine(line, false);
            m_host.SetPlayControls(true);
        } else {
            m_boxes.errorBox(
                QStringLiteral("Play Current Line option is selected and current line is not a chord definition."));
        }
        m_host.focusEditor();
        return;
    }

    const int selStart = m_editor.selectionStart();
    const int selLength = m_editor.selectionLength();
    const bool selected = selLength > 0;
    const int lastParsed = static_cast<int>(m_chordList.ParsedLines.size()) - 1;

    int first = 0;
    int last = lastParsed;
    QString nothingText = QStringLiteral("No chords to play in editor.");
    if (option == PlayFromCursor) {
        first = m_editor.currentLine();
        nothingText = QStringLiteral("No chords to play from cursor.");
    } else if (option == PlayHighlighted) {
        if (!selected) {
            m_boxes.errorBox(QStringLiteral("Play Highlighted option is selected with no lines highlighted."));
            m_host.focusEditor();
            return;
        }
        first = m_editor.currentLine();
        last = SelectionEndLine();
        nothingText = QStringLiteral("No chords to play in highlighted lines.");
    }
    if (HasPlayableLine(first, last)) {
        m_host.SetPlayControls(false);
        PlayRange(first, last);
        m_host.SetPlayControls(true);
    } else {
        m_boxes.errorBox(nothingText);
    }
    RestoreSelection(selStart, selLength);
    m_host.focusEditor();
}

void Player::RestoreSelection(int selStart, int selLength)
{
    if (selLength > 0)
        m_editor.setSelection(selStart, selLength);
    else if (m_editor.selectionLength() > 0)
        m_editor.selectLine(m_editor.currentLine(), false);
}

void Player::PlayRange(int first, int last)
{
    m_scheduled = true;
    m_scheduleUs = m_clock.nowUs();
    m_port.SetEventTime(m_scheduleUs);
    PlayCountOff(first);
    const int whole = WholeNoteLength(m_host.tempo());
    m_chordList.SetDurationValues(whole);
    const Performance performance
        = Perform(m_chordList.ParsedLines, first, last, m_chordList.tuning(), PerformOptionsFor(whole));
    QString errorText;
    m_port.OpenPort(errorText);
    m_port.ProgramChange(m_host.patch());
    do {
        PlayEvents(performance.events, performance.length, true, true);
    } while (m_host.loopChecked() && !StopRequested && performance.length > 0);
    FinishShows();
    m_port.ClosePort();
    m_port.SetEventTime(std::nullopt);
    m_scheduled = false;
}

PerformOptions Player::PerformOptionsFor(int whole) const
{
    PerformOptions options;
    options.whole = whole;
    options.wholeMs = whole;
    options.channel = m_port.Channel & 0x0F;
    options.patch = m_host.patch();
    return options;
}

void Player::PlayEvents(const std::vector<SoundEvent>& events, long long length, bool show, bool pump)
{
    struct Sounding {
        unsigned char channel;
        unsigned char key;
    };
    std::vector<Sounding> sounding;
    long long at = 0;
    for (const SoundEvent& event : events) {
        if (event.time > at) {
            WaitMs(static_cast<int>(event.time - at), pump);
            at = event.time;
        }
        if (StopRequested)
            break;
        if (event.isShow()) {
            if (show)
                ShowEntry(event.entry);
            continue;
        }
        unsigned char data1 = event.data1;
        const auto channel = static_cast<unsigned char>(event.channel());
        if (event.isNote()) {
            // Note values lie an octave above the sound; the port's offset brings them down.
            data1 = static_cast<unsigned char>(event.data1 + m_port.Octave);
            const auto same = std::find_if(sounding.begin(), sounding.end(),
                [&](const Sounding& note) { return note.channel == channel && note.key == data1; });
            if (event.kind() == status::NoteOn)
                sounding.push_back({ channel, data1 });
            else if (same != sounding.end())
                sounding.erase(same);
        }
        m_port.SendChannelMsg(event.status, data1, event.data2);
    }
    if (!StopRequested && length > at)
        WaitMs(static_cast<int>(length - at), pump);
    // A stop silences at once instead of at the time the notes were meant to end.
    if (StopRequested) {
        SilenceOnStop();
        for (const Sounding& note : sounding)
            m_port.SendChannelMsg(static_cast<unsigned char>(status::NoteOff | note.channel), note.key, 0);
    }
}

void Player::PlayLineAlone(ChordDef def, int milliseconds, bool pump)
{
    def.DurationValue = milliseconds;
    const ParsedLineList line { std::move(def) };
    const Performance performance
        = Perform(line, 0, 0, m_chordList.tuning(), PerformOptionsFor(WholeNoteLength(m_host.tempo())));
    PlayEvents(performance.events, performance.length, false, pump);
}

TimeSignature Player::TimeAt(int first) const
{
    for (const Bar& bar : BarsOf(m_chordList.ParsedLines)) {
        if (bar.lastEntry >= first)
            return bar.time;
    }
    return {};
}

void Player::ShowEntry(int index)
{
    if (m_scheduled && m_port.SoundingTime()) {
        m_pendingShows.push_back({ m_scheduleUs, index });
        ShowDueEntries();
        return;
    }
    DisplayEntry(index);
}

void Player::DisplayEntry(int index)
{
    const ChordDef& def = m_chordList.ParsedLines[index];
    m_display.showMarkers(def.Frets);
    if (m_host.traceChecked())
        m_editor.selectLine(index, true);
    m_display.setChordNameCaption(def.Name);
}

void Player::ShowDueEntries()
{
    if (m_pendingShows.empty())
        return;
    const std::optional<std::int64_t> sounding = m_port.SoundingTime();
    // An audio clock that stops (a sound server gone) holds the display back no longer than this.
    const std::int64_t overdue = m_clock.nowUs() - MaxLateUs;
    int due = -1;
    while (!m_pendingShows.empty()
        && (!sounding || *sounding >= m_pendingShows.front().timeUs || m_pendingShows.front().timeUs < overdue)) {
        due = m_pendingShows.front().index;
        m_pendingShows.pop_front();
    }
    // Entries heard together (a late look at the clock) show as the last of them only.
    if (due >= 0)
        DisplayEntry(due);
}

void Player::FinishShows()
{
    while (!m_pendingShows.empty() && !StopRequested) {
        ShowDueEntries();
        if (m_pendingShows.empty())
            break;
        m_host.processEvents();
        if (StopRequested)
            SilenceOnStop();
        else
            m_clock.napUntil(m_clock.nowUs() + PumpSliceUs);
    }
    // What a stop kept from being heard is not shown.
    m_pendingShows.clear();
}

bool Player::ParseForPlayback()
{
    m_host.setBusyCursor(true);
    const bool parsed = m_chordList.ParseAllLines(QString(), true);
    m_host.setBusyCursor(false);
    return parsed;
}

void Player::SilenceOnStop()
{
    m_port.SetEventTime(std::nullopt);
    m_port.Silence();
}

void Player::PlayCountOff(int first)
{
    const int beat = DurationValue(BeatOf(TimeAt(first)).duration, WholeNoteLength(m_host.tempo()));
    QString errorText;
    m_port.OpenPort(errorText);
    const unsigned char patch = m_host.patch();
    m_port.ProgramChange(CountOffPatch);
    // A stop press during the clicks ends them, rather than firing the rest with no time between.
    for (int beatIndex = 0; beatIndex < m_chordList.CountOffBeats && !StopRequested; ++beatIndex)
        PlayChord(CountOffNotes, beat, true);
    m_port.ProgramChange(patch);
    m_port.ClosePort();
}

void Player::PlayChord(const NoteArray& notes, int milliseconds, bool pump)
{
    for (int slot = 1; slot <= LastBassSlot; ++slot) {
        if (notes[slot] != NotPlayedNote)
            m_port.NoteOn(notes[slot]);
    }
    WaitMs(milliseconds, pump);
    // A stop silences at once instead of at the time the notes were meant to end.
    if (StopRequested)
        SilenceOnStop();
    for (int slot = 1; slot <= LastBassSlot; ++slot) {
        if (notes[slot] != NotPlayedNote)
            m_port.NoteOff(notes[slot]);
    }
}

void Player::WaitMs(int milliseconds, bool pump)
{
    if (milliseconds <= 0)
        return;
    std::int64_t now = m_clock.nowUs();
    std::int64_t start = now;
    if (m_scheduled) {
        start = m_scheduleUs < now - MaxLateUs ? now : m_scheduleUs;
    }
    const std::int64_t deadline = start + static_cast<std::int64_t>(milliseconds) * 1000;
    if (m_scheduled) {
        m_scheduleUs = deadline;
        // What is sent next belongs to the deadline, however late the wake-up comes. Named now, it
        // also tells the device that nothing before it is still to come.
        m_port.SetEventTime(deadline);
    }
    while (now < deadline) {
        ShowDueEntries();
        if (pump)
            m_host.processEvents();
        if (StopRequested)
            return;
        // Slices between pumps need no precision; only the deadline itself is approached closely.
        if (pump && now + PumpSliceUs < deadline - PlayClock::ApproachUs)
            m_clock.napUntil(now + PumpSliceUs);
        else
            m_clock.sleepUntil(deadline);
        now = m_clock.nowUs();
    }
}

bool Player::HasPlayableLine(int first, int last)
{
    m_host.setBusyCursor(true);
    bool found = false;
    for (int line = first; line <= last && !found; ++line)
        found = m_chordList.IsPlayableLine(line, true);
    m_host.setBusyCursor(false);
    return found;
}

int Player::LineOfPosition(int position) const
{
    const int count = m_editor.lineCount();
    int lineStart = 0;
    for (int line = 0; line < count; ++line) {
        // A line owns its characters and the line break after them.
        const int next = lineStart + static_cast<int>(m_editor.lineText(line).size()) + 1;
        if (position < next)
            return line;
        lineStart = next;
    }
    return count;
}

int Player::SelectionEndLine() const
{
    const int lastChar = m_editor.selectionStart() + m_editor.selectionLength() - 1;
    const int line = LineOfPosition(std::max(0, lastChar));
    if (m_editor.lineText(line).isEmpty() && line > 1)
        return line - 1;
    return line;
}

void Player::soundNotes(const NoteArray& notes, int milliseconds)
{
    QString errorText;
    m_port.OpenPort(errorText);
    m_port.ProgramChange(m_host.patch());
    PlayChord(notes, milliseconds, false);
    m_port.ClosePort();
}

void Player::PreviewLine(int line)
{
    ChordDef def;
    if (!m_chordList.ParseLine(line, true, def).isEmpty())
        return;
    QString errorText;
    m_port.OpenPort(errorText);
    m_port.ProgramChange(m_host.patch());
    PlayLineAlone(def, PreviewMs, false);
    m_port.ClosePort();
    m_display.setChordNameCaption(def.Name);
}

bool Player::IsStepLine(int line) const
{
    const QString text = m_editor.lineText(line);
    return !TrimBlanks(text).isEmpty() && !IsCommentLine(text);
}

void Player::Step(int direction, const QString& refusal)
{
    const int caret = m_editor.currentLine();
    const int end = direction > 0 ? m_editor.lineCount() - 1 : 0;
    int line = caret;
    for (int i = caret; direction > 0 ? i <= end : i >= end; i += direction) {
        if (IsStepLine(i)) {
            line = i;
            break;
        }
    }
    if (!IsStepLine(line)) {
        m_boxes.errorBox(refusal);
        return;
    }
    m_chordList.ShowLineInfo(line);
    m_editor.selectLine(line, true);
    m_host.processEvents();
    PreviewLine(line);
    for (int i = line + direction; direction > 0 ? i <= end : i >= end; i += direction) {
        if (IsStepLine(i)) {
            m_chordList.ShowLineInfo(i);
            m_editor.selectLine(i, true);
            m_host.focusEditor();
            break;
        }
    }
}

void Player::StepForward() { Step(1, QStringLiteral("Can't step forward from this line")); }

void Player::StepBack() { Step(-1, QStringLiteral("Can't step back from this line")); }

} // namespace fw
