#pragma once

#include "ChordList.h"
#include "LineDisplay.h"
#include "MessageBoxes.h"
#include "MidiPort.h"
#include "NoteSounder.h"
#include "Performance.h"
#include "PlayClock.h"
#include "Practice.h"

#include <QString>
#include <cstdint>
#include <deque>

namespace fw {

// Item indices of the play options radio group.
enum PlayOption { PlayAll = 0, PlayFromCursor = 1, PlayHighlighted = 2, PlayCurrentLine = 3 };

// What the player touches in the main window beyond the editor, the line display and the boxes.
class PlayerHost {
public:
    virtual ~PlayerHost() = default;
    // Disables (false) or enables (true) every control that could change the chord list or the
    // play settings, greys the group fonts, and swaps Start1/Stop1.
    virtual void SetPlayControls(bool enabled) = 0;
    virtual void setPlayButtonCaption(const QString& caption) = 0;
    virtual void focusEditor() = 0;
    virtual void setBusyCursor(bool busy) = 0;
    // Handles pending input (QCoreApplication::processEvents); a Play or F2 press in here calls
    // Player::PlayToggle, which only asks the running playback to stop.
    virtual void processEvents() = 0;
    virtual int playOption() const = 0;
    virtual bool loopChecked() const = 0;
    virtual bool traceChecked() const = 0;
    virtual int tempo() const = 0;
    virtual unsigned char patch() const = 0;
    // A practice run shows the tempo of each pass here, and the document's tempo at its end.
    virtual void showPracticeTempo(int tempo) { (void)tempo; }
};

// Plays the chord list in time through the MIDI port.
//
// Wiring in the main window: btnPlayMouseDown, Start1Click and Stop1Click call PlayToggle;
// btnNextClick StepForward; btnPrevClick StepBack; cursor-key previews PreviewLine. While
// IsPlaying() (btnPlay reads "Stop") the window refuses to close, the neck ignores clicks and the
// cursor keys play nothing. The player is also the NoteSounder of the neck and the edit commands.
//
// Timing: each wait ends at an absolute deadline (the start of the playback plus all earlier
// lengths), so delays never add up; pumping waits sleep in short slices and hand input to the
// host between them, so a stop press is seen within PumpSliceUs. With a device that plays ahead on
// its own audio clock (the built-in synthesizer), the messages still go out at the deadlines, on
// the player's clock moved to follow the audio clock (MidiPort::ClockShift), while an entry's
// markers, trace and name wait until the device reports that its sound is being heard.
class Player : public NoteSounder {
public:
    Player(ChordList& chordList, LineDisplay& display, MessageBoxes& boxes, PlayerHost& host, MidiPort& port,
        PlayClock& clock);

    static constexpr int PreviewMs = 250;
    static constexpr unsigned char CountOffPatch = 115;
    static constexpr unsigned char CountOffNote = 120;
    static constexpr std::int64_t PumpSliceUs = 2000;
    // A playback held up longer than this (a slow handler during pumping) starts a new schedule
    // instead of rushing through the notes it missed.
    static constexpr std::int64_t MaxLateUs = 100000;

    void PlayToggle();
    // Loops the highlighted lines (every line when none are) as the plan asks: one count-off, then
    // each pass at its own tempo. A playback like any other: Play and F2 stop it.
    void PlayPractice(const PracticePlan& plan);
    bool IsPlaying() const { return m_caption == QLatin1String("Stop"); }
    bool StopRequested = false;

    void PlayChordList(int option);
    void PlayRange(int first, int last);
    // The count-off line's clicks, each a beat of the time of the bar the playback starts in.
    void PlayCountOff(int first);
    void PlayChord(const NoteArray& notes, int milliseconds, bool pump);
    void WaitMs(int milliseconds, bool pump);

    bool HasPlayableLine(int first, int last);
    int SelectionEndLine() const;
    void PreviewLine(int line);
    void StepForward();
    void StepBack();

    // OpenPort, ProgramChange with the patch, the notes for the given time without pumping, ClosePort.
    void soundNotes(const NoteArray& notes, int milliseconds) override;

private:
    PerformOptions PerformOptionsFor(int whole) const;
    // Sends the events in time (milliseconds), waiting to length after the last; entries are shown
    // as they start when show is set. A stop cuts the sound and ends every note still sounding.
    void PlayEvents(const std::vector<SoundEvent>& events, long long length, bool show, bool pump);
    // One line on its own for the given time, its marks as they sound without the lines around it.
    void PlayLineAlone(ChordDef def, int milliseconds, bool pump);
    // The time of the bar holding the first note entry from first on.
    TimeSignature TimeAt(int first) const;
    int LineOfPosition(int position) const;
    bool IsStepLine(int line) const;
    void Step(int direction, const QString& refusal);
    void SetCaption(const QString& caption);
    // After a playback: the user's own highlight comes back; a line the trace highlighted does not stay
    // selected, or the next key typed would replace it. The caret is left at the start of that line.
    void RestoreSelection(int selStart, int selLength);
    void PracticePass(int first, int last, int tempo, bool metronome);
    // The metronome of a pass: without a time line every quarter, each fourth louder, as always; with
    // one, the beats of each bar's time from the bar's start, its first louder.
    std::vector<MetronomeClick> PassClicks(int first, int last, int passMs, int whole) const;
    // Shows the entry whose messages go out now: at once, or when its sound is heard.
    void ShowEntry(int index);
    void DisplayEntry(int index);
    void ShowDueEntries();
    // Waits, pumping, for the entries not yet heard at the end of a playback.
    void FinishShows();
    void SilenceOnStop();
    // Parses every line under a busy cursor; false when a line is wrong (its message was shown).
    bool ParseForPlayback();

    ChordList& m_chordList;
    EditorLines& m_editor;
    LineDisplay& m_display;
    MessageBoxes& m_boxes;
    PlayerHost& m_host;
    MidiPort& m_port;
    // The given clock, following the audio clock of the device while it plays on one.
    ShiftedPlayClock m_clock;
    QString m_caption = QStringLiteral("Play");
    bool m_scheduled = false;
    std::int64_t m_scheduleUs = 0;
    struct PendingShow {
        std::int64_t timeUs;
        int index;
    };
    std::deque<PendingShow> m_pendingShows;
};

} // namespace fw
