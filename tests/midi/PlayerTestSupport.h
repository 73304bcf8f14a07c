#pragma once

#include "ChordList.h"
#include "MidiPort.h"
#include "PlayClock.h"
#include "Player.h"
#include "RecordingBackend.h"
#include "StringListLines.h"

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace fw::test {

// Everything the player touches in the window, recorded; input during waits is a callback.
class FakeWindow : public PlayerHost, public LineDisplay, public MessageBoxes {
public:
    void SetPlayControls(bool enabled) override { controls.push_back(enabled); }
    void setPlayButtonCaption(const QString& text) override { caption = text; }
    void focusEditor() override { ++focusCount; }
    void setBusyCursor(bool) override { }
    void processEvents() override
    {
        ++pumpCount;
        if (onPump)
            onPump();
    }
    int playOption() const override { return option; }
    bool loopChecked() const override { return loop; }
    bool traceChecked() const override { return trace; }
    int tempo() const override { return tempoValue; }
    unsigned char patch() const override { return patchValue; }
    void showPracticeTempo(int tempo) override { practiceTempos.push_back(tempo); }

    void setChordNameCaption(const QString& text) override { chordName = text; }
    void setStatusMessage(const QString&) override { }
    void showMarkers(const FretArray& frets) override { markers.push_back(frets); }
    bool chordEntryMode() const override { return false; }

    void errorBox(const QString& text) override { boxes.append(text); }
    void plainBox(const QString& text) override { boxes.append(text); }
    void warningBox(const QString& text) override { boxes.append(text); }
    void informationBox(const QString& text) override { boxes.append(text); }
    Answer askYesNoCancel(const QString&) override { return Answer::Cancel; }

    int option = PlayAll;
    bool loop = false;
    bool trace = false;
    int tempoValue = 120;
    unsigned char patchValue = 33;

    std::vector<bool> controls;
    std::vector<int> practiceTempos;
    QString caption = QStringLiteral("Play");
    QString chordName;
    std::vector<FretArray> markers;
    QStringList boxes;
    int focusCount = 0;
    int pumpCount = 0;
    std::function<void()> onPump;
};

// A clock that jumps to each deadline, optionally arriving late by a fixed amount, as a
// real sleep does.
class FakeClock : public PlayClock {
public:
    std::int64_t nowUs() override { return now; }
    void sleepUntil(std::int64_t deadlineUs) override
    {
        ++sleepCount;
        if (deadlineUs > now)
            now = deadlineUs + lateUs;
    }
    std::int64_t now = 0;
    std::int64_t lateUs = 0;
    int sleepCount = 0;
};

// A chord list in a memory editor with the player wired to fakes.
struct PlayerRig {
    explicit PlayerRig(const QStringList& lines)
        : editor(lines)
        , chordList(editor, window, window)
        , recorder(clock)
        , port(recorder)
        , player(chordList, window, window, window, port, clock)
    {
    }

    // Presses Play once the clock has reached the given time, from inside a wait.
    void pressPlayAt(std::int64_t timeUs)
    {
        window.onPump = [this, timeUs] {
            if (clock.now >= timeUs && player.IsPlaying() && !player.StopRequested)
                player.PlayToggle();
        };
    }

    StringListLines editor;
    FakeWindow window;
    ChordList chordList;
    FakeClock clock;
    RecordingBackend recorder;
    MidiPort port;
    Player player;
};

// "ms status data1 data2" per message, so a failing sequence reads like a MIDI log.
inline std::vector<std::string> Log(const QList<TimedMessage>& messages)
{
    std::vector<std::string> lines;
    for (const TimedMessage& m : messages)
        lines.push_back(QString::asprintf("%.3f %02X %02X %02X", m.timeUs / 1000.0, m.status(), m.data1(), m.data2())
                            .toStdString());
    return lines;
}

inline TimedMessage Msg(double ms, unsigned char status, unsigned char data1, unsigned char data2)
{
    return TimedMessage { static_cast<std::int64_t>(ms * 1000),
        static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(data1) << 8
            | static_cast<std::uint32_t>(data2) << 16 };
}

} // namespace fw::test
