#pragma once

#include "MidiBackend.h"

#include <QString>
#include <functional>

namespace fw {

// The text shown for a failed open: "Error" or the meaning of a known code; empty for 0.
QString MidiOpenErrorText(int resultCode);

// The program's one MIDI output port (the mymidi operations) and the policy that decides when it
// is opened and closed. Every send is skipped while the port is not open, so callers never check.
//
// Wiring in the main window: set Device, Channel and Octave from the settings, MidiHeldOpen from
// ExternalMIDI once after loading them; with MidiHeldOpen call OpenMidiOut at the first activation
// (show the error text in the no-sound dialog when it is not empty), and CloseMidiOut on close.
class MidiPort {
public:
    explicit MidiPort(MidiBackend& backend);
    ~MidiPort();

    int Device = -1;
    unsigned char Channel = 0;
    int Octave = -12;
    bool MidiHeldOpen = false;

    bool MidiOpen() const { return m_open; }

    void OpenMidiOut(QString& errorText);
    void CloseMidiOut();
    void SendShortMsg(unsigned char status, unsigned char data1, unsigned char data2);
    // A message whose status byte already names its channel (the extra channels of marked notes).
    void SendChannelMsg(unsigned char status, unsigned char data1, unsigned char data2);
    void NoteOn(unsigned char note);
    void NoteOff(unsigned char note);
    void ProgramChange(unsigned char patch);
    // The playback time the following messages belong to (none: now); see MidiBackend.
    void SetEventTime(std::optional<std::int64_t> timeUs) { m_backend.setEventTime(timeUs); }
    // The playback time sounding now, when the open device plays on its own audio clock.
    std::optional<std::int64_t> SoundingTime() { return m_open ? m_backend.soundingTimeUs() : std::nullopt; }
    // What the player's clock is moved by to follow the open device's audio clock; see MidiBackend.
    std::int64_t ClockShift() { return m_open ? m_backend.clockShiftUs() : 0; }
    void Silence()
    {
        if (m_open)
            m_backend.silence();
    }
    int MidiDeviceCount();
    QString MidiDeviceName(int index);

    // Opens for one sounding action unless the device is held open for the run.
    void OpenPort(QString& errorText);
    void ClosePort();

    // Shows or hides the hourglass while OpenPort opens the device; may stay empty.
    std::function<void(bool busy)> setBusyCursor;
    // Told, with the reason, the first time in a run that OpenPort finds the default device (the
    // built-in synthesizer) without sound, so the user learns why playing is silent. A chosen MIDI
    // port that fails leaves each action silent without a word.
    std::function<void(const QString& errorText)> noSoundNotice;

private:
    MidiBackend& m_backend;
    bool m_open = false;
    bool m_noSoundTold = false;
};

// The items of the Settings dialog's device list: the default device with " (Default)", then every
// port; empty when there is no port. Item i stands for device i - 1.
QStringList MidiDeviceListItems(MidiPort& port);

} // namespace fw
