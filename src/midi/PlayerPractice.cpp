// The speed trainer's run, a kind of playback of its own.

#include "Player.h"
#include "Practice.h"

#include <algorithm>

namespace fw {

namespace {

    enum class Action { NoteOff, ClickOff, ClickOn, NoteOn };

    struct PassEvent {
        int timeMs;
        Action action;
        int index; // the entry, or for clicks 1 when accented
    };

} // namespace

void Player::PlayPractice(const PracticePlan& plan)
{
    if (IsPlaying() || StopRequested)
        return;
    m_chordList.CountOffBeats = 0;
    if (m_editor.lineCount() == 0) {
        m_boxes.errorBox(QStringLiteral("No notes to play - no lines in editor."));
        return;
    }
    if (const QString error = PracticePlanError(plan); !error.isEmpty()) {
        m_boxes.errorBox(error);
        return;
    }
    if (!ParseForPlayback())
        return;
    const int selStart = m_editor.selectionStart();
    const int selLength = m_editor.selectionLength();
    const bool selected = selLength > 0;
    const int first = selected ? m_editor.currentLine() : 0;
    const int last = selected ? SelectionEndLine() : static_cast<int>(m_chordList.ParsedLines.size()) - 1;
    if (!HasPlayableLine(first, last)) {
        m_boxes.errorBox(selected ? QStringLiteral("No chords to play in highlighted lines.")
                                  : QStringLiteral("No chords to play in editor."));
        m_host.focusEditor();
        return;
    }
    m_host.focusEditor();
    StopRequested = false;
    SetCaption(QStringLiteral("Stop"));
    m_host.SetPlayControls(false);

    const std::vector<int> tempos = PassTempos(plan, m_host.tempo());
    const unsigned char patch = m_host.patch();
    m_scheduled = true;
    m_scheduleUs = m_clock.nowUs();
    m_port.SetEventTime(m_scheduleUs);
    QString errorText;
    m_port.OpenPort(errorText);
    // One count-off, at the first pass's tempo.
    m_port.ProgramChange(CountOffPatch);
    const int firstQuarter = DurationValue(u"Q", WholeNoteLength(tempos.front()));
    for (int beat = 0; beat < m_chordList.CountOffBeats && !StopRequested; ++beat)
        PlayChord(NoteArray { 255, 255, 255, CountOffNote, 255, 255, 255 }, firstQuarter, true);
    m_port.ProgramChange(patch);
    for (const int tempo : tempos) {
        if (StopRequested)
            break;
        m_host.showPracticeTempo(tempo);
        PracticePass(first, last, tempo, plan.metronome);
    }
    FinishShows();
    m_port.ClosePort();
    m_port.SetEventTime(std::nullopt);
    m_scheduled = false;

    m_host.showPracticeTempo(m_host.tempo());
    m_host.SetPlayControls(true);
    RestoreSelection(selStart, selLength);
    m_chordList.ShowLineInfo(m_editor.currentLine());
    StopRequested = false;
    SetCaption(QStringLiteral("Play"));
    m_host.focusEditor();
}

void Player::PracticePass(int first, int last, int tempo, bool metronome)
{
    const int whole = WholeNoteLength(tempo);
    m_chordList.SetDurationValues(whole);
    std::vector<PassEvent> events;
    int passMs = 0;
    for (int index = first; index <= last && index < m_chordList.ParsedLines.size(); ++index) {
        const ChordDef& def = m_chordList.ParsedLines[index];
        if (!IsNoteEntry(def))
            continue;
        events.push_back({ passMs, Action::NoteOn, index });
        passMs += def.DurationValue;
        events.push_back({ passMs, Action::NoteOff, index });
    }
    if (metronome) {
        const int quarter = DurationValue(u"Q", whole);
        for (const MetronomeClick& click : MetronomeClicks(passMs, quarter)) {
            events.push_back({ click.timeMs, Action::ClickOn, click.accent ? 1 : 0 });
            events.push_back({ std::min(click.timeMs + quarter / 2, passMs), Action::ClickOff, 0 });
        }
    }
    // At one time, what ends goes before what starts; the order of the actions says so.
    std::stable_sort(events.begin(), events.end(), [](const PassEvent& a, const PassEvent& b) {
        return a.timeMs != b.timeMs ? a.timeMs < b.timeMs : a.action < b.action;
    });

    const unsigned char patch = m_host.patch();
    const auto clickKey = static_cast<unsigned char>(CountOffNote + m_port.Octave);
    int at = 0;
    int sounding = -1;
    bool clicking = false;
    auto sendNotes = [this](int index, bool on) {
        const NoteArray& notes = m_chordList.ParsedLines[index].Notes;
        for (int slot = FirstBassSlot; slot <= LastBassSlot; ++slot) {
            if (notes[slot] != NotPlayedNote)
                on ? m_port.NoteOn(notes[slot]) : m_port.NoteOff(notes[slot]);
        }
    };
    for (const PassEvent& event : events) {
        if (event.timeMs > at) {
            WaitMs(event.timeMs - at, true);
            at = event.timeMs;
        }
        if (StopRequested)
            break;
        switch (event.action) {
        case Action::NoteOff:
            sendNotes(event.index, false);
            sounding = -1;
            break;
        case Action::ClickOff:
            if (clicking)
                m_port.SendShortMsg(0x80, clickKey, 0);
            clicking = false;
            break;
        case Action::ClickOn:
            m_port.ProgramChange(CountOffPatch);
            m_port.SendShortMsg(0x90, clickKey, event.index ? 127 : 80);
            m_port.ProgramChange(patch);
            clicking = true;
            break;
        case Action::NoteOn: {
            ShowEntry(event.index);
            sendNotes(event.index, true);
            sounding = event.index;
            break;
        }
        }
    }
    if (StopRequested) {
        SilenceOnStop();
        if (sounding >= 0)
            sendNotes(sounding, false);
        if (clicking)
            m_port.SendShortMsg(0x80, clickKey, 0);
    }
}

} // namespace fw
