#include "MidiPort.h"
#include "NullBackend.h"
#include "PlayClock.h"
#include "RecordingBackend.h"
#include "SoundFont.h"
#include "backends/RtMidiBackend.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace fw;
using testing::ElementsAre;

namespace {

// Two ports and a default device, as a system with two MIDI outputs shows them.
class TwoPortBackend : public RecordingBackend {
public:
    using RecordingBackend::RecordingBackend;
    int deviceCount() override { return 2; }
    QString deviceName(int device) override
    {
        switch (device) {
        case -1:
            return QStringLiteral("Synth");
        case 0:
            return QStringLiteral("Port A");
        case 1:
            return QStringLiteral("Port B");
        default:
            return QStringLiteral("must not be asked");
        }
    }
};

std::vector<std::uint32_t> Words(const QList<TimedMessage>& messages)
{
    std::vector<std::uint32_t> words;
    for (const TimedMessage& m : messages)
        words.push_back(m.message);
    return words;
}

} // namespace

TEST(MidiPortMessages, PackingOctaveAndChannel)
{
    InstantPlayClock clock;
    RecordingBackend backend(clock);
    MidiPort port(backend);
    QString error = QStringLiteral("stale");
    port.OpenMidiOut(error);
    EXPECT_TRUE(error.isEmpty());
    ASSERT_TRUE(port.MidiOpen());

    port.NoteOn(40);
    port.NoteOff(40);
    port.ProgramChange(33);
    port.Channel = 9;
    port.NoteOn(73);
    port.NoteOff(73);
    port.ProgramChange(115);
    port.SendShortMsg(0xB0, 123, 0);
    EXPECT_THAT(Words(backend.messages),
        ElementsAre(0x007F1C90u, 0x00001C80u, 0x000021C0u, 0x007F3D99u, 0x00003D89u, 0x000073C9u, 0x00007BB9u));
}

TEST(MidiPortMessages, SendsAndClosesAreSkippedWhileNotOpen)
{
    InstantPlayClock clock;
    RecordingBackend backend(clock);
    MidiPort port(backend);
    port.NoteOn(40);
    port.CloseMidiOut();
    EXPECT_EQ(backend.closeCount, 0);

    QString error;
    port.OpenMidiOut(error);
    port.CloseMidiOut();
    port.CloseMidiOut();
    port.ProgramChange(33);
    EXPECT_EQ(backend.closeCount, 1);
    EXPECT_TRUE(backend.messages.isEmpty());
    EXPECT_FALSE(port.MidiOpen());
}

TEST(MidiPortErrors, ResultCodesGiveTheirTexts)
{
    const std::pair<int, const char*> cases[] = {
        { 2, "The specified device identifier is out of range." },
        { 4, "The MIDI device is already in use." },
        { 7, "The system is unable to allocate or lock memory." },
        { 11, "The specified pointer or structure is invalid." },
        { 68, "No MIDI port was found." },
        { 1, "Error" },
        { 3, "Error" },
        { -5, "Error" },
    };
    for (const auto& [code, text] : cases) {
        InstantPlayClock clock;
        RecordingBackend backend(clock);
        backend.openResult = code;
        MidiPort port(backend);
        port.Device = 3;
        QString error;
        port.OpenMidiOut(error);
        EXPECT_EQ(error, QString::fromLatin1(text)) << code;
        EXPECT_FALSE(port.MidiOpen());
        EXPECT_EQ(backend.lastDevice, 3);
        port.NoteOn(40);
        EXPECT_TRUE(backend.messages.isEmpty());
    }
    EXPECT_TRUE(MidiOpenErrorText(0).isEmpty());
}

TEST(MidiPortErrors, ABackendsOwnReasonReplacesTheCodesTextOnlyWhenItFails)
{
    InstantPlayClock clock;
    RecordingBackend backend(clock);
    backend.failureText = MissingSoundFontText(QStringLiteral("/nowhere/bass.sf2"));
    MidiPort port(backend);
    QString error;
    port.OpenMidiOut(error);
    EXPECT_TRUE(error.isEmpty()) << "an open that works reports nothing";
    backend.openResult = MidiResult::Error;
    port.OpenMidiOut(error);
    EXPECT_TRUE(error.startsWith("No SoundFont was found. Looked for: /nowhere/bass.sf2, ")) << error.toStdString();
    for (const QString& place : DefaultSoundFontPaths())
        EXPECT_TRUE(error.contains(place)) << place.toStdString();
}

TEST(MidiPortPolicy, PerActionOpensAndClosesEachTimeWithTheHourglass)
{
    InstantPlayClock clock;
    RecordingBackend backend(clock);
    MidiPort port(backend);
    std::vector<bool> cursor;
    port.setBusyCursor = [&](bool busy) {
        cursor.push_back(busy);
        // The open happens while the hourglass shows.
        if (!busy) {
            EXPECT_EQ(backend.openCount, static_cast<int>(cursor.size() / 2));
        }
    };
    for (int i = 0; i < 3; ++i) {
        QString error;
        port.OpenPort(error);
        EXPECT_TRUE(port.MidiOpen());
        port.ClosePort();
        EXPECT_FALSE(port.MidiOpen());
    }
    EXPECT_EQ(backend.openCount, 3);
    EXPECT_EQ(backend.closeCount, 3);
    EXPECT_THAT(cursor, ElementsAre(true, false, true, false, true, false));
}

TEST(MidiPortPolicy, HeldOpenIgnoresOpenPortAndClosePort)
{
    InstantPlayClock clock;
    RecordingBackend backend(clock);
    MidiPort port(backend);
    port.MidiHeldOpen = true;
    QString error = QStringLiteral("stale");
    port.OpenPort(error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(backend.openCount, 0);
    EXPECT_FALSE(port.MidiOpen());

    port.OpenMidiOut(error);
    port.ClosePort();
    EXPECT_TRUE(port.MidiOpen());
    port.CloseMidiOut();
    port.CloseMidiOut(); // closing the window after the run closes only once
    EXPECT_EQ(backend.openCount, 1);
    EXPECT_EQ(backend.closeCount, 1);
}

TEST(MidiPortDevices, NamesAndTheSettingsList)
{
    InstantPlayClock clock;
    TwoPortBackend backend(clock);
    MidiPort port(backend);
    EXPECT_EQ(port.MidiDeviceCount(), 2);
    EXPECT_EQ(port.MidiDeviceName(-1), "Synth");
    EXPECT_EQ(port.MidiDeviceName(1), "Port B");
    EXPECT_EQ(port.MidiDeviceName(2), "");
    EXPECT_EQ(MidiDeviceListItems(port), (QStringList { "Synth (Default)", "Port A", "Port B" }));

    // Without ports the built-in synthesizer is still offered; without it too the list is empty.
    RecordingBackend synthOnly(clock);
    MidiPort synthPort(synthOnly);
    EXPECT_EQ(MidiDeviceListItems(synthPort), (QStringList { "Event recorder (Default)" }));
    NullBackend none;
    MidiPort empty(none);
    EXPECT_TRUE(MidiDeviceListItems(empty).isEmpty());
}

TEST(MidiPortDevices, SystemPortsRefuseAMissingDeviceQuietly)
{
    RtMidiBackend ports;
    const int count = ports.deviceCount();
    const int result = ports.open(count + 5);
    EXPECT_TRUE(result == MidiResult::NoPort || result == MidiResult::BadDeviceId) << result;
    EXPECT_EQ(ports.deviceName(count), "");
    ports.send(0x007F1C90u);
    ports.close();
}
