#include "MidiPort.h"

#include <QStringList>

namespace fw {

QString MidiOpenErrorText(int resultCode)
{
    switch (resultCode) {
    case MidiResult::Ok:
        return QString();
    case MidiResult::BadDeviceId:
        return QStringLiteral("The specified device identifier is out of range.");
    case MidiResult::Allocated:
        return QStringLiteral("The MIDI device is already in use.");
    case MidiResult::NoMemory:
        return QStringLiteral("The system is unable to allocate or lock memory.");
    case MidiResult::InvalidParameter:
        return QStringLiteral("The specified pointer or structure is invalid.");
    case MidiResult::NoPort:
        return QStringLiteral("No MIDI port was found.");
    default:
        return QStringLiteral("Error");
    }
}

MidiPort::MidiPort(MidiBackend& backend)
    : m_backend(backend)
{
}

MidiPort::~MidiPort() { CloseMidiOut(); }

void MidiPort::OpenMidiOut(QString& errorText)
{
    errorText.clear();
    // Opening an open port again would leak the first connection; start over instead.
    CloseMidiOut();
    const int result = m_backend.open(Device);
    m_open = result == MidiResult::Ok;
    errorText = MidiOpenErrorText(result);
    if (!m_open && !m_backend.openErrorText().isEmpty())
        errorText = m_backend.openErrorText();
}

void MidiPort::CloseMidiOut()
{
    if (!m_open)
        return;
    m_backend.close();
    m_open = false;
}

void MidiPort::SendShortMsg(unsigned char status, unsigned char data1, unsigned char data2)
{
    if (!m_open)
        return;
    SendChannelMsg(static_cast<unsigned char>(status + Channel), data1, data2);
}

void MidiPort::SendChannelMsg(unsigned char status, unsigned char data1, unsigned char data2)
{
    if (!m_open)
        return;
    m_backend.send(static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(data1) << 8
        | static_cast<std::uint32_t>(data2) << 16);
}

void MidiPort::NoteOn(unsigned char note) { SendShortMsg(0x90, static_cast<unsigned char>(note + Octave), 127); }

void MidiPort::NoteOff(unsigned char note) { SendShortMsg(0x80, static_cast<unsigned char>(note + Octave), 0); }

void MidiPort::ProgramChange(unsigned char patch) { SendShortMsg(0xC0, patch, 0); }

int MidiPort::MidiDeviceCount() { return m_backend.deviceCount(); }

QString MidiPort::MidiDeviceName(int index)
{
    if (index >= MidiDeviceCount() && index != -1)
        return QString();
    return m_backend.deviceName(index);
}

void MidiPort::OpenPort(QString& errorText)
{
    errorText.clear();
    if (MidiHeldOpen)
        return;
    if (setBusyCursor)
        setBusyCursor(true);
    OpenMidiOut(errorText);
    if (setBusyCursor)
        setBusyCursor(false);
    if (!m_open && Device == -1 && !m_noSoundTold && noSoundNotice) {
        m_noSoundTold = true;
        noSoundNotice(errorText);
    }
}

void MidiPort::ClosePort()
{
    if (!MidiHeldOpen)
        CloseMidiOut();
}

QStringList MidiDeviceListItems(MidiPort& port)
{
    QStringList items;
    const int count = port.MidiDeviceCount();
    // The built-in synthesizer is there without any MIDI port; leaving it out would make OK store a
    // device that does not exist and silence the program.
    const QString defaultName = port.MidiDeviceName(-1);
    if (count <= 0 && defaultName.isEmpty())
        return items;
    items.append(defaultName + QStringLiteral(" (Default)"));
    for (int i = 0; i < count; ++i)
        items.append(port.MidiDeviceName(i));
    return items;
}

} // namespace fw
