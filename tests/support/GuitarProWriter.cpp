#include "GuitarProWriter.h"

#include "DocumentText.h"
#include "SlideFlags.h"

#include <QtEndian>

namespace fw::test {

using namespace guitarpro;

namespace {

    class Out {
    public:
        void byte(int value) { m_bytes.append(static_cast<char>(value & 0xFF)); }
        void boolean(bool value) { byte(value ? 1 : 0); }
        void shortInt(int value)
        {
            byte(value);
            byte(value >> 8);
        }
        void integer(int value)
        {
            char bytes[4];
            qToLittleEndian<qint32>(value, bytes);
            m_bytes.append(bytes, 4);
        }
        void blank(int count) { m_bytes.append(count, '\0'); }
        void fill(int count, int value) { m_bytes.append(count, static_cast<char>(value)); }
        // Texts in Windows-1252 where every character fits, as Guitar Pro writes them.
        static QByteArray Encoded(const QString& text) { return EncodeDocumentText(text); }
        void byteSizeString(const QString& text, int size)
        {
            const QByteArray bytes = Encoded(text).left(size);
            byte(static_cast<int>(bytes.size()));
            m_bytes.append(bytes);
            blank(size - static_cast<int>(bytes.size()));
        }
        void intSizeString(const QString& text)
        {
            const QByteArray bytes = Encoded(text);
            integer(static_cast<int>(bytes.size()));
            m_bytes.append(bytes);
        }
        void intByteSizeString(const QString& text)
        {
            const QByteArray bytes = Encoded(text).left(255);
            integer(static_cast<int>(bytes.size()) + 1);
            byte(static_cast<int>(bytes.size()));
            m_bytes.append(bytes);
        }
        QByteArray bytes() const { return m_bytes; }

    private:
        QByteArray m_bytes;
    };

    const char* VersionText(int version)
    {
        switch (version) {
        case 300:
            return "FICHIER GUITAR PRO v3.00";
        case 400:
            return "FICHIER GUITAR PRO v4.00";
        case 406:
            return "FICHIER GUITAR PRO v4.06";
        case 500:
            return "FICHIER GUITAR PRO v5.00";
        default:
            return "FICHIER GUITAR PRO v5.10";
        }
    }

    int DurationByte(int value)
    {
        int exponent = 0;
        while ((1 << exponent) < value)
            ++exponent;
        return exponent - 2;
    }

    class Writer {
    public:
        Writer(const Score& score, int version)
            : m_score(score)
            , m_version(version)
        {
        }

        QByteArray write()
        {
            m_out.byteSizeString(QString::fromLatin1(VersionText(m_version)), 30);
            m_out.intByteSizeString(m_score.title);
            m_out.intByteSizeString(m_score.subtitle);
            m_out.intByteSizeString(m_score.artist);
            m_out.intByteSizeString(m_score.album);
            m_out.intByteSizeString(QStringLiteral("Words"));
            if (m_version >= 500)
                m_out.intByteSizeString(QStringLiteral("Music"));
            m_out.intByteSizeString(QStringLiteral("Copyright"));
            m_out.intByteSizeString(QStringLiteral("Tabbed by a test"));
            m_out.intByteSizeString(QString());
            m_out.integer(1);
            m_out.intByteSizeString(QStringLiteral("A notice line"));
            if (m_version < 500)
                m_out.boolean(false); // triplet feel
            if (m_version >= 400) {
                m_out.integer(1); // the track the lyrics belong to
                for (int line = 0; line < 5; ++line) {
                    m_out.integer(1);
                    m_out.intSizeString(line < m_score.lyrics ? QStringLiteral("la la") : QString());
                }
            }
            if (m_version >= 510) {
                m_out.integer(100); // master volume
                m_out.integer(0);
                m_out.blank(11); // equaliser
            }
            if (m_version >= 500) {
                for (int value : { 210, 297, 10, 10, 15, 10, 100 })
                    m_out.integer(value);
                m_out.shortInt(0x01FF);
                for (const char* text : { "%TITLE%", "%SUBTITLE%", "%ARTIST%", "%ALBUM%", "Words by %WORDS%",
                         "Music by %MUSIC%", "Words & Music by %WORDSMUSIC%", "Copyright %COPYRIGHT%",
                         "All Rights Reserved", "Page %N%/%P%" })
                    m_out.intByteSizeString(QString::fromLatin1(text));
                m_out.intByteSizeString(QStringLiteral("Moderate"));
            }
            m_out.integer(m_score.tempo);
            if (m_version >= 510)
                m_out.boolean(false);
            if (m_version >= 400) {
                m_out.byte(0); // key
                m_out.integer(0); // octave
            } else {
                m_out.integer(0);
            }
            writeChannels();
            if (m_version >= 500) {
                for (int sign = 0; sign < 19; ++sign)
                    m_out.shortInt(sign < m_score.jumps ? 2 : -1);
                m_out.integer(0); // master reverb
            }
            m_out.integer(static_cast<int>(m_score.measures.size()));
            m_out.integer(static_cast<int>(m_score.tracks.size()));
            unsigned endingsSinceOpen = 0;
            for (qsizetype m = 0; m < m_score.measures.size(); ++m)
                writeHeader(static_cast<int>(m), endingsSinceOpen);
            for (qsizetype t = 0; t < m_score.tracks.size(); ++t)
                writeTrack(static_cast<int>(t));
            if (m_version >= 500)
                m_out.blank(m_version == 500 ? 2 : 1);
            for (qsizetype m = 0; m < m_score.measures.size(); ++m) {
                for (const Track& track : m_score.tracks) {
                    writeMeasure(static_cast<int>(m), track);
                    // GP5 closes each track's measure with a line-break byte, but Guitar Pro leaves
                    // out the file's last one.
                    const bool last = m + 1 == m_score.measures.size() && &track == &m_score.tracks.back();
                    if (m_version >= 500 && !last)
                        m_out.byte(0);
                }
            }
            return m_out.bytes();
        }

    private:
        int channelOf(int track) const
        {
            if (m_score.tracks[track].percussion)
                return 10;
            int channel = 1;
            for (int t = 0; t < track; ++t) {
                if (!m_score.tracks[t].percussion)
                    ++channel;
            }
            return channel >= 10 ? channel + 1 : channel;
        }

        void writeChannels()
        {
            for (int slot = 0; slot < 64; ++slot) {
                int program = 0;
                for (qsizetype t = 0; t < m_score.tracks.size(); ++t) {
                    if (channelOf(static_cast<int>(t)) - 1 == slot)
                        program = m_score.tracks[t].program;
                }
                m_out.integer(program);
                for (int value : { 13, 8, 0, 0, 0, 0 })
                    m_out.byte(value);
                m_out.blank(2);
            }
        }

        void writeHeader(int index, unsigned& endingsSinceOpen)
        {
            const MeasureHeader& header = m_score.measures[index];
            const Meter before = index > 0 ? m_score.measures[index - 1].time : Meter();
            if (m_version >= 500 && index > 0)
                m_out.byte(0);
            int flags = 0;
            if (index == 0 || header.time.numerator != before.numerator)
                flags |= 0x01;
            if (index == 0 || header.time.denominator != before.denominator)
                flags |= 0x02;
            if (header.repeatOpen)
                flags |= 0x04;
            if (header.repeatPlays > 0)
                flags |= 0x08;
            if (header.alternateEndings)
                flags |= 0x10;
            if (!header.marker.isEmpty())
                flags |= 0x20;
            m_out.byte(flags);
            if (flags & 0x01)
                m_out.byte(header.time.numerator);
            if (flags & 0x02)
                m_out.byte(header.time.denominator);
            if (header.repeatOpen)
                endingsSinceOpen = 0;
            if (flags & 0x08)
                m_out.byte(m_version >= 500 ? header.repeatPlays : header.repeatPlays - 1);
            if (m_version < 500 && (flags & 0x10)) {
                // The number of the last pass it takes; the earlier ones of the repeat took the rest.
                int last = 0;
                while (header.alternateEndings >> last)
                    ++last;
                m_out.byte(last);
                endingsSinceOpen |= header.alternateEndings;
            }
            if (flags & 0x20) {
                m_out.intByteSizeString(header.marker);
                m_out.integer(0x0000FF);
            }
            if (m_version >= 500) {
                if (flags & 0x10)
                    m_out.byte(static_cast<int>(header.alternateEndings));
                if (flags & 0x03)
                    m_out.fill(4, 2); // beam eighths in pairs
                if (!(flags & 0x10))
                    m_out.byte(0);
                m_out.byte(0); // triplet feel
            }
        }

        void writeTrack(int index)
        {
            const Track& track = m_score.tracks[index];
            if (m_version >= 500 && (index == 0 || m_version == 500))
                m_out.byte(0);
            m_out.byte(track.percussion ? 0x01 : 0x00);
            m_out.byteSizeString(track.name, 40);
            m_out.integer(static_cast<int>(track.tuning.size()));
            for (int string = 0; string < 7; ++string)
                m_out.integer(string < track.tuning.size() ? track.tuning[string] : 0);
            m_out.integer(1); // port
            m_out.integer(channelOf(index));
            m_out.integer(channelOf(index)); // effects
            m_out.integer(track.frets);
            m_out.integer(track.capo);
            m_out.integer(0xFF0000); // colour
            if (m_version >= 510) {
                m_out.byte(0x03);
                m_out.byte(0x00);
                m_out.blank(47);
                m_out.intByteSizeString(QString());
                m_out.intByteSizeString(QString());
            } else if (m_version == 500) {
                m_out.byte(0x03);
                m_out.blank(43);
            }
        }

        void writeMeasure(int index, const Track& track)
        {
            const int voices = m_version >= 500 ? 2 : 1;
            const TrackMeasure& measure = track.measures[index];
            for (int v = 0; v < voices; ++v) {
                const QList<Beat> beats = v < measure.voices.size() ? measure.voices[v] : QList<Beat>();
                m_out.integer(static_cast<int>(beats.size()));
                for (const Beat& beat : beats)
                    writeBeat(index, track, beat);
            }
        }

        bool anyNote(const Beat& beat, bool (*test)(const Note&)) const
        {
            return std::any_of(beat.notes.begin(), beat.notes.end(), test);
        }

        void writeBeat(int measure, const Track& track, const Beat& beat)
        {
            // GP3 writes vibrato for the beat; Guitar Pro 4 and 5 also set that bit beside the notes' own.
            const bool beatVibrato = anyNote(beat, [](const Note& n) { return n.vibrato; });
            const bool gp3Harmonic
                = m_version < 400 && anyNote(beat, [](const Note& n) { return n.harmonic == Harmonic::Natural; });
            const bool effects
                = beat.attack != Attack::Normal || beat.fadeIn || beat.tremoloBar || beatVibrato || gp3Harmonic;
            const bool tempo = tempoAt(measure, beat);
            int flags = 0;
            if (beat.duration.dots)
                flags |= 0x01;
            if (beat.chordDiagram)
                flags |= 0x02;
            if (!beat.text.isEmpty())
                flags |= 0x04;
            if (effects)
                flags |= 0x08;
            if (tempo)
                flags |= 0x10;
            if (beat.duration.enters > 1)
                flags |= 0x20;
            if (beat.rest || beat.empty)
                flags |= 0x40;
            m_out.byte(flags);
            if (flags & 0x40)
                m_out.byte(beat.empty ? 0x00 : 0x02);
            m_out.byte(DurationByte(beat.duration.value));
            if (flags & 0x20)
                m_out.integer(beat.duration.enters);
            if (flags & 0x02)
                writeChord();
            if (flags & 0x04)
                m_out.intByteSizeString(beat.text);
            if (effects)
                writeBeatEffects(beat, beatVibrato, gp3Harmonic);
            if (tempo)
                writeTempo(m_score.tempoChanges[m_nextTempo++].bpm);
            int strings = 0;
            for (const Note& note : beat.notes)
                strings |= 1 << (7 - note.string);
            m_out.byte(beat.rest ? 0 : strings);
            if (!beat.rest) {
                // Notes go from the highest string down.
                for (int string = 1; string <= track.tuning.size(); ++string) {
                    for (const Note& note : beat.notes) {
                        if (note.string == string)
                            writeNote(note);
                    }
                }
            }
            if (m_version >= 500)
                m_out.shortInt(0);
        }

        // The score's next tempo change goes on the first beat of its measure in the first track.
        bool tempoAt(int measure, const Beat& beat)
        {
            if (m_nextTempo >= m_score.tempoChanges.size() || m_score.tempoChanges[m_nextTempo].measure != measure)
                return false;
            const QList<Beat>& first = m_score.tracks.front().measures[measure].voices.front();
            return &first.front() == &beat;
        }

        void writeChord()
        {
            // A diagram of E minor named "Em", in the version's own layout.
            if (m_version >= 400) {
                m_out.byte(1);
                m_out.blank(16);
                m_out.byteSizeString(QStringLiteral("Em"), 21);
                m_out.blank(4);
                m_out.integer(1); // first fret
                for (int fret : { 0, 0, 0, 2, 2, 0, -1 })
                    m_out.integer(fret);
                m_out.blank(32);
            } else {
                m_out.byte(1);
                m_out.blank(25);
                m_out.byteSizeString(QStringLiteral("Em"), 34);
                m_out.integer(1);
                for (int fret : { 0, 0, 0, 2, 2, 0 })
                    m_out.integer(fret);
                m_out.blank(36);
            }
        }

        void writeBend(int height, bool release)
        {
            m_out.byte(release ? 2 : 1);
            m_out.integer(height * 2);
            const QList<std::pair<int, int>> points = release
                ? QList<std::pair<int, int>> { { 0, 0 }, { 15, height }, { 30, height }, { 60, 0 } }
                : QList<std::pair<int, int>> { { 0, 0 }, { 30, height }, { 60, height } };
            m_out.integer(static_cast<int>(points.size()));
            for (const auto& [position, value] : points) {
                m_out.integer(position);
                m_out.integer(value);
                m_out.byte(0);
            }
        }

        void writeBeatEffects(const Beat& beat, bool beatVibrato, bool gp3Harmonic)
        {
            int flags = 0;
            if (beatVibrato)
                flags |= 0x01;
            if (gp3Harmonic)
                flags |= 0x04;
            if (beat.fadeIn)
                flags |= 0x10;
            if (beat.attack != Attack::Normal || (m_version < 400 && beat.tremoloBar))
                flags |= 0x20;
            m_out.byte(flags);
            const int attack = beat.attack == Attack::Tap ? 1
                : beat.attack == Attack::Slap             ? 2
                : beat.attack == Attack::Pop              ? 3
                                                          : 0;
            if (m_version < 400) {
                if (flags & 0x20) {
                    m_out.byte(attack);
                    m_out.integer(beat.tremoloBar && attack == 0 ? -100 : 0);
                }
                return;
            }
            m_out.byte(beat.tremoloBar ? 0x04 : 0x00);
            if (flags & 0x20)
                m_out.byte(attack);
            if (beat.tremoloBar) {
                m_out.byte(6); // dip
                m_out.integer(-100);
                m_out.integer(3);
                for (const auto& [position, value] : { std::pair { 0, 0 }, { 30, -4 }, { 60, 0 } }) {
                    m_out.integer(position);
                    m_out.integer(value);
                    m_out.byte(0);
                }
            }
        }

        void writeTempo(int bpm)
        {
            m_out.byte(-1); // instrument
            if (m_version >= 500)
                m_out.fill(16, 0xFF);
            m_out.fill(6, 0xFF); // volume, balance, chorus, reverb, phaser, tremolo: unchanged
            if (m_version >= 500)
                m_out.intByteSizeString(QString());
            m_out.integer(bpm);
            m_out.byte(0); // at once
            if (m_version >= 510)
                m_out.boolean(false);
            if (m_version >= 400)
                m_out.byte(0);
            if (m_version >= 500) {
                m_out.byte(-1); // wah
                if (m_version >= 510) {
                    m_out.intByteSizeString(QString());
                    m_out.intByteSizeString(QString());
                }
            }
        }

        void writeNote(const Note& note)
        {
            const bool gp4Effects = note.staccato || note.palmMute || note.tremoloPicking
                || note.slideOut != SlideOut::None || note.slideIn != SlideIn::None || note.harmonic != Harmonic::None
                || note.trill || note.vibrato;
            const bool effects = note.bendCents > 0 || note.hammer || note.letRing || note.graceBefore
                || (m_version < 400 ? note.slideOut != SlideOut::None : gp4Effects);
            int flags = 0x20; // type and fret
            if (note.ghost)
                flags |= 0x04;
            if (effects)
                flags |= 0x08;
            // GP4 songs carry the heavy accent, GP5 songs the plain one.
            if (note.accent && m_version >= 400)
                flags |= m_version >= 500 ? 0x40 : 0x02;
            m_out.byte(flags);
            m_out.byte(note.tie ? 2 : note.dead ? 3 : 1);
            m_out.byte(note.fret);
            if (m_version >= 500)
                m_out.byte(0);
            if (effects)
                writeNoteEffects(note);
        }

        void writeNoteEffects(const Note& note)
        {
            int flags = 0;
            if (note.bendCents > 0)
                flags |= 0x01;
            if (note.hammer)
                flags |= 0x02;
            if (m_version < 400 && note.slideOut != SlideOut::None)
                flags |= 0x04;
            if (note.letRing)
                flags |= 0x08;
            if (note.graceBefore)
                flags |= 0x10;
            m_out.byte(flags);
            int more = 0;
            if (m_version >= 400) {
                if (note.staccato)
                    more |= 0x01;
                if (note.palmMute)
                    more |= 0x02;
                if (note.tremoloPicking)
                    more |= 0x04;
                if (note.slideOut != SlideOut::None || note.slideIn != SlideIn::None)
                    more |= 0x08;
                if (note.harmonic != Harmonic::None)
                    more |= 0x10;
                if (note.trill)
                    more |= 0x20;
                if (note.vibrato)
                    more |= 0x40;
                m_out.byte(more);
            }
            if (flags & 0x01)
                writeBend(note.bendCents / 2, note.bendRelease);
            if (flags & 0x10) {
                // A grace note two frets below, a 32nd, played before the beat.
                m_out.byte(std::max(note.fret - 2, 0));
                m_out.byte(6);
                if (m_version >= 500) {
                    m_out.byte(1); // slide into the note
                    m_out.byte(2);
                    m_out.byte(0);
                } else {
                    m_out.byte(2);
                    m_out.byte(1);
                }
            }
            if (more & 0x04)
                m_out.byte(2);
            if (more & 0x08)
                writeSlide(note);
            if (more & 0x10)
                writeHarmonic(note.harmonic);
            if (more & 0x20) {
                m_out.byte(note.fret + 2);
                m_out.byte(2);
            }
        }

        void writeSlide(const Note& note)
        {
            if (m_version >= 500) {
                m_out.byte(SlideFlags(note));
                return;
            }
            // GP4 holds one slide a note.
            int type = 0;
            switch (note.slideOut) {
            case SlideOut::Shift:
                type = 1;
                break;
            case SlideOut::Legato:
                type = 2;
                break;
            case SlideOut::Down:
                type = 3;
                break;
            case SlideOut::Up:
                type = 4;
                break;
            case SlideOut::None:
                type = note.slideIn == SlideIn::FromAbove ? -2 : -1;
                break;
            }
            m_out.byte(type);
        }

        void writeHarmonic(Harmonic harmonic)
        {
            switch (harmonic) {
            case Harmonic::Natural:
                m_out.byte(1);
                break;
            case Harmonic::Artificial:
                if (m_version >= 500) {
                    m_out.byte(2);
                    m_out.byte(4); // E
                    m_out.byte(0);
                    m_out.byte(1); // an octave above
                } else {
                    m_out.byte(22);
                }
                break;
            case Harmonic::Tapped:
                m_out.byte(3);
                if (m_version >= 500)
                    m_out.byte(12);
                break;
            case Harmonic::Pinch:
                m_out.byte(4);
                break;
            case Harmonic::Semi:
                m_out.byte(5);
                break;
            case Harmonic::None:
                m_out.byte(0);
                break;
            }
        }

        const Score& m_score;
        int m_version;
        Out m_out;
        qsizetype m_nextTempo = 0;
    };

} // namespace

QByteArray WriteGuitarPro(const Score& score, int version) { return Writer(score, version).write(); }

Note GpNote(int string, int fret)
{
    Note note;
    note.string = string;
    note.fret = fret;
    return note;
}

Beat GpBeat(int value, QList<Note> notes)
{
    Beat beat;
    beat.duration.value = value;
    beat.notes = std::move(notes);
    return beat;
}

Beat GpRest(int value)
{
    Beat beat = GpBeat(value);
    beat.rest = true;
    return beat;
}

Track GpTrack(const QString& name, int program, QList<int> tuning, int measures)
{
    Track track;
    track.name = name;
    track.program = program;
    track.tuning = std::move(tuning);
    track.measures.resize(measures);
    for (TrackMeasure& measure : track.measures)
        measure.voices.resize(1);
    return track;
}

} // namespace fw::test
