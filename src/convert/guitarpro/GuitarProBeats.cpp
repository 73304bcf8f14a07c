// GP3, GP4 and GP5 files: the measures of every track, their beats and notes with their effects.
#include "BinaryReaderParts.h"
#include "SlideFlags.h"

namespace fw::guitarpro::detail {

namespace {

    // The notes a tuplet of `enters` notes stands in for: 3 in 2, 5 in 4, 9 in 8.
    int TupletTimes(int enters)
    {
        int times = 1;
        while (times * 2 < enters)
            times *= 2;
        return times;
    }

    Attack AttackOf(int value)
    {
        switch (value) {
        case 1:
            return Attack::Tap;
        case 2:
            return Attack::Slap;
        case 3:
            return Attack::Pop;
        default:
            return Attack::Normal;
        }
    }

    constexpr int MaxBendPoints = 1000;
    constexpr int MaxTuplet = 128;

} // namespace

void BinaryReader::readMeasures()
{
    const int voices = m_version >= 500 ? 2 : 1;
    for (int m = 0; m < m_score.measures.size() && m_in.ok(); ++m) {
        for (Track& track : m_score.tracks) {
            TrackMeasure& measure = track.measures[m];
            measure.voices.resize(voices);
            for (QList<Beat>& beats : measure.voices)
                readVoice(m, track, beats);
            // GP5 ends each track's measure with a line-break byte, except that Guitar Pro leaves
            // it out after the file's last one.
            if (m_version >= 500 && m_in.remaining() > 0)
                m_in.skip(1);
        }
    }
}

void BinaryReader::readVoice(int measure, Track& track, QList<Beat>& beats)
{
    const int count = m_in.integer();
    // A beat takes at least its flags, its duration and the byte of its strings.
    if (!checkCount(count, 0, MaxBeatsPerVoice, 3, QStringLiteral("beats in measure %1").arg(measure + 1)))
        return;
    beats.resize(count);
    for (Beat& beat : beats) {
        readBeat(measure, track, beat);
        if (!m_in.ok())
            return;
    }
}

void BinaryReader::readBeat(int measure, const Track& track, Beat& beat)
{
    const int flags = m_in.byte();
    if (flags & 0x40) {
        beat.empty = m_in.byte() == 0;
        beat.rest = true;
    }
    const int value = m_in.signedByte();
    if (value < -2 || value > 5) {
        m_in.fail(QStringLiteral("A beat in measure %1 has the note value %2: the file is damaged.")
                      .arg(measure + 1)
                      .arg(value));
        return;
    }
    beat.duration.value = 1 << (value + 2);
    beat.duration.dots = flags & 0x01 ? 1 : 0;
    if (flags & 0x20) {
        const int enters = m_in.integer();
        if (enters < 1 || enters > MaxTuplet) {
            m_in.fail(QStringLiteral("A beat in measure %1 is one of a tuplet of %2: the file is damaged.")
                          .arg(measure + 1)
                          .arg(enters));
            return;
        }
        beat.duration.enters = enters;
        beat.duration.times = TupletTimes(enters);
    }
    if (flags & 0x02) {
        skipChord();
        beat.chordDiagram = true;
    }
    if (flags & 0x04)
        beat.text = m_in.intByteSizeString();
    // GP3 writes vibrato and harmonics for the whole beat.
    Note forEveryNote;
    if (flags & 0x08)
        readBeatEffects(beat, forEveryNote);
    if (flags & 0x10)
        readMixTableChange(measure);
    const int strings = m_in.byte();
    for (int string = 1; string <= MaxStrings && m_in.ok(); ++string) {
        if (!(strings & (1 << (MaxStrings - string))))
            continue;
        if (string > track.tuning.size()) {
            m_in.fail(QStringLiteral("A note in measure %1 is on string %2 of a track of %3 strings: the file is "
                                     "damaged.")
                          .arg(measure + 1)
                          .arg(string)
                          .arg(track.tuning.size()));
            return;
        }
        Note note;
        note.string = string;
        readNote(note);
        note.vibrato = note.vibrato || forEveryNote.vibrato;
        if (note.harmonic == Harmonic::None)
            note.harmonic = forEveryNote.harmonic;
        // Guitar Pro may write a dead note with no fret (-1): it is muted wherever the hand lies.
        if (note.dead && note.fret < 0)
            note.fret = -1;
        // A drum track's "fret" is the drum's MIDI key; a longer neck than usual may be played to its end.
        const int highest = track.percussion ? 127 : std::max(MaxFrets, track.frets);
        if (m_in.ok() && !note.tie && !note.dead && (note.fret < 0 || note.fret > highest)) {
            m_in.fail(QStringLiteral("A note in measure %1 is at fret %2 (at most %3): the file is damaged.")
                          .arg(measure + 1)
                          .arg(note.fret)
                          .arg(highest));
            return;
        }
        beat.notes.append(note);
    }
    if (m_version >= 500) {
        const int display = m_in.shortInt();
        if (display & 0x0800)
            m_in.skip(1); // where secondary beams break
    }
    beat.rest = beat.rest || beat.notes.isEmpty();
}

void BinaryReader::skipChord()
{
    if (m_version >= 500) {
        m_in.skip(107);
        return;
    }
    if (m_in.byte() != 0) {
        // The diagram as GP4 writes it; GP3 pads its byte fields to four bytes.
        m_in.skip(m_version >= 400 ? 106 : 124);
        return;
    }
    // The older diagram: a name, the first fret shown and, below a first fret, six strings' frets.
    m_in.intByteSizeString();
    if (m_in.integer() != 0)
        m_in.skip(6 * 4);
}

void BinaryReader::readBeatEffects(Beat& beat, Note& forEveryNote)
{
    const int flags = m_in.byte();
    const int more = m_version >= 400 ? m_in.byte() : 0;
    // GP3 has a vibrato (0x01) and a wide vibrato (0x02) of the beat; GP4 and GP5 keep only the wide
    // one here and mark each note's own vibrato on the note (Guitar Pro still sets 0x01 on its beat).
    forEveryNote.vibrato = flags & (m_version >= 400 ? 0x02 : 0x03);
    if (m_version < 400 && (flags & 0x04))
        forEveryNote.harmonic = Harmonic::Natural;
    if (m_version < 400 && (flags & 0x08))
        forEveryNote.harmonic = Harmonic::Artificial;
    beat.fadeIn = flags & 0x10;
    if (flags & 0x20) {
        if (m_version < 400) {
            // 0 is the tremolo bar; its depth (or the other effects' value) follows.
            const int effect = m_in.byte();
            beat.tremoloBar = effect == 0;
            beat.attack = AttackOf(effect);
            m_in.skip(4);
        } else {
            beat.attack = AttackOf(m_in.signedByte());
        }
    }
    if (more & 0x04) {
        readBend(nullptr);
        beat.tremoloBar = true;
    }
    if (flags & 0x40)
        m_in.skip(2); // strum down and up
    if (more & 0x02)
        m_in.skip(1); // pick stroke
}

void BinaryReader::readMixTableChange(int measure)
{
    m_in.skip(1); // instrument
    if (m_version >= 500)
        m_in.skip(16); // the sound's settings
    int changes = 0;
    for (int i = 0; i < 6; ++i) // volume, balance, chorus, reverb, phaser, tremolo; -1 for no change
        changes += m_in.signedByte() >= 0;
    if (m_version >= 500)
        m_in.intByteSizeString(); // tempo name
    const int tempo = m_in.integer();
    m_in.skip(changes); // how long each change takes
    if (tempo >= 0)
        m_in.skip(m_version >= 510 ? 2 : 1); // its duration, and whether it is hidden
    if (m_version >= 400)
        m_in.skip(1); // which changes apply to every track
    if (m_version >= 500) {
        m_in.skip(1); // wah
        if (m_version >= 510) {
            m_in.intByteSizeString();
            m_in.intByteSizeString();
        }
    }
    if (tempo <= 0 || !m_in.ok())
        return;
    const int current = m_score.tempoChanges.isEmpty() ? m_score.tempo : m_score.tempoChanges.back().bpm;
    if (tempo != current)
        m_score.tempoChanges.append({ measure, tempo });
}

void BinaryReader::readNote(Note& note)
{
    const int flags = m_in.byte();
    note.ghost = flags & 0x04;
    note.accent = flags & 0x42; // accented, or heavily accented
    int type = 1;
    if (flags & 0x20)
        type = m_in.byte();
    if (m_version < 500 && (flags & 0x01))
        m_in.skip(2); // a duration of its own and its tuplet
    if (flags & 0x10)
        m_in.skip(1); // dynamic
    if (flags & 0x20)
        note.fret = m_in.signedByte();
    if (flags & 0x80)
        m_in.skip(2); // fingering of both hands
    if (m_version >= 500) {
        if (flags & 0x01)
            m_in.skip(8); // how much of its duration it sounds
        m_in.skip(1);
    }
    note.tie = type == 2;
    note.dead = type == 3;
    if (flags & 0x08)
        readNoteEffects(note);
}

void BinaryReader::readNoteEffects(Note& note)
{
    const int flags = m_in.byte();
    const int more = m_version >= 400 ? m_in.byte() : 0;
    note.hammer = flags & 0x02;
    note.letRing = flags & 0x08;
    if (flags & 0x01)
        readBend(&note);
    if (flags & 0x10) {
        m_in.skip(m_version >= 500 ? 5 : 4);
        note.graceBefore = true;
    }
    if (m_version < 400) {
        if (flags & 0x04)
            note.slideOut = SlideOut::Shift;
        return;
    }
    note.staccato = more & 0x01;
    note.palmMute = more & 0x02;
    note.vibrato = more & 0x40;
    if (more & 0x04) {
        m_in.skip(1); // its speed
        note.tremoloPicking = true;
    }
    if (more & 0x08) {
        if (m_version >= 500) {
            SetSlides(note, m_in.byte());
        } else {
            switch (m_in.signedByte()) {
            case -2:
                note.slideIn = SlideIn::FromAbove;
                break;
            case -1:
                note.slideIn = SlideIn::FromBelow;
                break;
            case 1:
                note.slideOut = SlideOut::Shift;
                break;
            case 2:
                note.slideOut = SlideOut::Legato;
                break;
            case 3:
                note.slideOut = SlideOut::Down;
                break;
            case 4:
                note.slideOut = SlideOut::Up;
                break;
            default:
                break;
            }
        }
    }
    if (more & 0x10) {
        const int type = m_version >= 500 ? m_in.byte() : m_in.signedByte();
        switch (type) {
        case 0:
            break;
        case 1:
            note.harmonic = Harmonic::Natural;
            break;
        case 3:
            note.harmonic = Harmonic::Tapped;
            if (m_version >= 500)
                m_in.skip(1); // the fret it is tapped at
            break;
        case 4:
            note.harmonic = Harmonic::Pinch;
            break;
        case 5:
            note.harmonic = Harmonic::Semi;
            break;
        default:
            // GP4 writes the interval (15, 17, 22); GP5 writes 2, then the pitch it sounds.
            note.harmonic = Harmonic::Artificial;
            if (m_version >= 500)
                m_in.skip(3);
            break;
        }
    }
    if (more & 0x20) {
        m_in.skip(2); // the fret trilled with, and how fast
        note.trill = true;
    }
}

void BinaryReader::readBend(Note* note)
{
    m_in.skip(5); // its type and height
    const int points = m_in.integer();
    if (!checkCount(points, 0, MaxBendPoints, 9, QStringLiteral("points in a bend")))
        return;
    // Each point: where in the note (in 60ths), how high (in quarter tones of 25), and vibrato.
    int highest = 0;
    int first = 0;
    int last = 0;
    for (int i = 0; i < points; ++i) {
        m_in.skip(4);
        const int height = m_in.integer();
        m_in.skip(1);
        highest = std::max(highest, height);
        if (i == 0)
            first = height;
        last = height;
    }
    if (!note || highest <= 0)
        return;
    note->bendCents = std::min(highest, 10000) * 2;
    note->preBend = first > 0;
    note->bendRelease = last < highest;
}

} // namespace fw::guitarpro::detail
