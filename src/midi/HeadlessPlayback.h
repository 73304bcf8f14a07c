#pragma once

#include "ChordList.h"
#include "Player.h"
#include "StringListLines.h"

#include <QStringList>
#include <atomic>
#include <functional>

namespace fw {

// Plays a document's lines as Play with option "All" does, without a window: no loop, no trace,
// boxes collected as texts. For the command line, offline rendering and the benchmark.
class HeadlessPlayback : private PlayerHost, private LineDisplay, private MessageBoxes {
public:
    HeadlessPlayback(const QStringList& lines, int tempo, unsigned char patch, MidiPort& port, PlayClock& clock);

    // Returns false when a box reported an error (a line in error, nothing to play).
    bool play();
    // Runs the speed trainer over every line instead; the same result.
    bool playPractice(const PracticePlan& plan);
    // Safe from a signal handler: the running playback stops at its next check.
    void requestStop() { m_stopWanted = true; }
    // Plays the lines with this tuning instead of their own.
    void overrideTuning(std::optional<Tuning> tuning) { m_chordList.OverrideTuning(std::move(tuning)); }

    // Error boxes in order, then the plain and other boxes.
    QStringList errors;
    QStringList notices;
    // Called whenever the player hands over input.
    std::function<void()> onProcessEvents;

private:
    void SetPlayControls(bool) override { }
    void setPlayButtonCaption(const QString&) override { }
    void focusEditor() override { }
    void setBusyCursor(bool) override { }
    void processEvents() override;
    int playOption() const override { return PlayAll; }
    bool loopChecked() const override { return false; }
    bool traceChecked() const override { return false; }
    int tempo() const override { return m_tempo; }
    unsigned char patch() const override { return m_patch; }

    void setChordNameCaption(const QString&) override { }
    void setStatusMessage(const QString&) override { }
    void showMarkers(const FretArray&) override { }
    bool chordEntryMode() const override { return false; }

    void errorBox(const QString& text) override { errors.append(text); }
    void plainBox(const QString& text) override { notices.append(text); }
    void warningBox(const QString& text) override { notices.append(text); }
    void informationBox(const QString& text) override { notices.append(text); }
    Answer askYesNoCancel(const QString&) override { return Answer::Cancel; }

    int m_tempo;
    unsigned char m_patch;
    std::atomic_bool m_stopWanted = false;
    StringListLines m_editor;
    ChordList m_chordList;
    Player m_player;
};

} // namespace fw
