// The speed trainer's run, a kind of playback of its own.

#include "Bars.h"
#include "Player.h"
#include "Practice.h"

#include <algorithm>

namespace fw {

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
    const int firstBeat = DurationValue(BeatOf(TimeAt(first)).duration, WholeNoteLength(tempos.front()));
    for (int beat = 0; beat < m_chordList.CountOffBeats && !StopRequested; ++beat)
        PlayChord(NoteArray { 255, 255, 255, CountOffNote, 255, 255, 255 }, firstBeat, true);
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
    Performance pass = Perform(m_chordList.ParsedLines, first, last, m_chordList.tuning(), PerformOptionsFor(whole));
    if (metronome) {
        const int quarter = DurationValue(u"Q", whole);
        const auto passMs = static_cast<int>(pass.length);
        const auto channel = static_cast<unsigned char>(m_port.Channel & 0x0F);
        const auto patch = m_host.patch();
        for (const MetronomeClick& click : PassClicks(first, last, passMs, whole)) {
            const int velocity = click.accent ? 127 : 80;
            // The woodblock for the click, then the bass again, on the base channel.
            const int messages[][3] = { { status::Program, CountOffPatch, 0 },
                { status::NoteOn, CountOffNote, velocity }, { status::Program, patch, 0 } };
            for (const auto& [kind, data1, data2] : messages)
                pass.events.push_back({ click.timeMs, EventPhase::ClickOn, static_cast<unsigned char>(kind | channel),
                    static_cast<unsigned char>(data1), static_cast<unsigned char>(data2) });
            pass.events.push_back({ std::min(click.timeMs + quarter / 2, passMs), EventPhase::ClickOff,
                static_cast<unsigned char>(status::NoteOff | channel), CountOffNote, 0 });
        }
        // At one time, what ends goes before what starts; the phases say so.
        std::stable_sort(pass.events.begin(), pass.events.end(), [](const SoundEvent& a, const SoundEvent& b) {
            return a.time != b.time ? a.time < b.time : a.phase < b.phase;
        });
    }
    PlayEvents(pass.events, pass.length, true, true);
}

std::vector<MetronomeClick> Player::PassClicks(int first, int last, int passMs, int whole) const
{
    const ParsedLineList& parsed = m_chordList.ParsedLines;
    const std::vector<Bar> bars = BarsOf(parsed);
    if (std::none_of(bars.begin(), bars.end(), [](const Bar& bar) { return bar.timeSet; }))
        return MetronomeClicks(passMs, DurationValue(u"Q", whole));
    // Each bar counted in its own time from its own start, which lies before the pass when the
    // highlighted lines begin inside it.
    std::vector<long long> startMs(static_cast<size_t>(parsed.size()) + 1, 0);
    for (int index = 0; index < parsed.size(); ++index)
        startMs[index + 1] = startMs[index] + (IsNoteEntry(parsed[index]) ? parsed[index].DurationValue : 0);
    const long long origin = startMs[std::clamp(first, 0, static_cast<int>(parsed.size()))];
    std::vector<MeteredBar> metered;
    for (const Bar& bar : bars) {
        if (bar.lastEntry < first || bar.firstEntry > last)
            continue;
        metered.push_back({ static_cast<int>(startMs[bar.firstEntry] - origin),
            static_cast<int>(startMs[bar.lastEntry + 1] - origin), DurationValue(BeatOf(bar.time).duration, whole) });
    }
    return BarClicks(metered, passMs);
}

} // namespace fw
