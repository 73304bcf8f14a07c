#include "HeadlessPlayback.h"

namespace fw {

HeadlessPlayback::HeadlessPlayback(
    const QStringList& lines, int tempo, unsigned char patch, MidiPort& port, PlayClock& clock)
    : m_tempo(tempo)
    , m_patch(patch)
    , m_editor(lines)
    , m_chordList(m_editor, *this, *this)
    , m_player(m_chordList, *this, *this, *this, port, clock)
{
}

bool HeadlessPlayback::play()
{
    m_player.PlayToggle();
    return errors.isEmpty();
}

bool HeadlessPlayback::playPractice(const PracticePlan& plan)
{
    m_player.PlayPractice(plan);
    return errors.isEmpty();
}

void HeadlessPlayback::processEvents()
{
    if (onProcessEvents)
        onProcessEvents();
    if (m_stopWanted && m_player.IsPlaying())
        m_player.PlayToggle();
}

} // namespace fw
