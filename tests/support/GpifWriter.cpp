#include "GpifWriter.h"

#include "SlideFlags.h"

#include <QXmlStreamWriter>
#include <QtEndian>
#include <algorithm>

namespace fw::test {

namespace {

    using namespace guitarpro;

    QString Joined(const QList<int>& numbers)
    {
        QStringList parts;
        for (const int number : numbers)
            parts.append(QString::number(number));
        return parts.join(u' ');
    }

    void Property(QXmlStreamWriter& xml, const QString& name, const QString& element = QString(),
        const QString& value = QString())
    {
        xml.writeStartElement(QStringLiteral("Property"));
        xml.writeAttribute(QStringLiteral("name"), name);
        if (element.isEmpty())
            xml.writeEmptyElement(QStringLiteral("Enable"));
        else
            xml.writeTextElement(element, value);
        xml.writeEndElement();
    }

    QString NoteValueName(int value)
    {
        switch (value) {
        case 1:
            return QStringLiteral("Whole");
        case 2:
            return QStringLiteral("Half");
        case 4:
            return QStringLiteral("Quarter");
        case 8:
            return QStringLiteral("Eighth");
        default:
            return QStringLiteral("%1%2").arg(value).arg(value == 32 ? "nd" : "th");
        }
    }

    class Writer {
    public:
        Writer(const Score& score, GpifDialect dialect)
            : m_score(score)
            , m_dialect(dialect)
            , m_xml(&m_bytes)
        {
        }

        QByteArray write()
        {
            m_xml.setAutoFormatting(true);
            m_xml.writeStartDocument();
            m_xml.writeStartElement(QStringLiteral("GPIF"));
            m_xml.writeTextElement(QStringLiteral("GPVersion"), m_dialect == GpifDialect::Gp6 ? "6" : "7");
            m_xml.writeStartElement(QStringLiteral("Score"));
            cdata(QStringLiteral("Title"), m_score.title);
            cdata(QStringLiteral("SubTitle"), m_score.subtitle);
            cdata(QStringLiteral("Artist"), m_score.artist);
            cdata(QStringLiteral("Album"), m_score.album);
            m_xml.writeEndElement();
            writeMasterTrack();
            m_xml.writeStartElement(QStringLiteral("Tracks"));
            for (qsizetype t = 0; t < m_score.tracks.size(); ++t)
                writeTrack(t);
            m_xml.writeEndElement();
            writeMasterBars();
            writePools();
            m_xml.writeEndElement();
            m_xml.writeEndDocument();
            return m_bytes;
        }

    private:
        void cdata(const QString& element, const QString& text)
        {
            m_xml.writeStartElement(element);
            m_xml.writeCDATA(text);
            m_xml.writeEndElement();
        }

        void tempo(int bar, int bpm)
        {
            m_xml.writeStartElement(QStringLiteral("Automation"));
            m_xml.writeTextElement(QStringLiteral("Type"), QStringLiteral("Tempo"));
            m_xml.writeTextElement(QStringLiteral("Linear"), QStringLiteral("false"));
            m_xml.writeTextElement(QStringLiteral("Bar"), QString::number(bar));
            m_xml.writeTextElement(QStringLiteral("Position"), QStringLiteral("0"));
            m_xml.writeTextElement(QStringLiteral("Visible"), QStringLiteral("true"));
            m_xml.writeTextElement(QStringLiteral("Value"),
                m_dialect == GpifDialect::Gp6 ? QString::number(bpm) : QStringLiteral("%1 2").arg(bpm));
            m_xml.writeEndElement();
        }

        // Guitar Pro 8 ties a score to a recording with automations whose value is a structure.
        void syncPoint()
        {
            m_xml.writeStartElement(QStringLiteral("Automation"));
            m_xml.writeTextElement(QStringLiteral("Type"), QStringLiteral("SyncPoint"));
            m_xml.writeTextElement(QStringLiteral("Bar"), QStringLiteral("0"));
            m_xml.writeTextElement(QStringLiteral("Position"), QStringLiteral("0"));
            m_xml.writeStartElement(QStringLiteral("Value"));
            m_xml.writeTextElement(QStringLiteral("BarIndex"), QStringLiteral("0"));
            m_xml.writeTextElement(QStringLiteral("BarOccurrence"), QStringLiteral("0"));
            m_xml.writeTextElement(QStringLiteral("ModifiedTempo"), QString::number(m_score.tempo));
            m_xml.writeTextElement(QStringLiteral("FrameOffset"), QStringLiteral("0"));
            m_xml.writeEndElement();
            m_xml.writeEndElement();
        }

        void writeMasterTrack()
        {
            m_xml.writeStartElement(QStringLiteral("MasterTrack"));
            QList<int> tracks;
            for (qsizetype t = 0; t < m_score.tracks.size(); ++t)
                tracks.append(static_cast<int>(t));
            m_xml.writeTextElement(QStringLiteral("Tracks"), Joined(tracks));
            m_xml.writeStartElement(QStringLiteral("Automations"));
            tempo(0, m_score.tempo);
            for (const TempoChange& change : m_score.tempoChanges)
                tempo(change.measure, change.bpm);
            if (m_dialect == GpifDialect::Gp7)
                syncPoint();
            m_xml.writeEndElement();
            m_xml.writeEndElement();
        }

        // Guitar Pro gives every track five lines of lyrics, most of them empty, before its tuning.
        void writeLyrics(qsizetype index)
        {
            m_xml.writeStartElement(QStringLiteral("Lyrics"));
            m_xml.writeAttribute(QStringLiteral("dispatched"), QStringLiteral("true"));
            for (int line = 0; line < 5; ++line) {
                m_xml.writeStartElement(QStringLiteral("Line"));
                cdata(
                    QStringLiteral("Text"), index == 0 && line < m_score.lyrics ? QStringLiteral("la la") : QString());
                m_xml.writeTextElement(QStringLiteral("Offset"), QStringLiteral("0"));
                m_xml.writeEndElement();
            }
            m_xml.writeEndElement();
        }

        void writeTuning(const Track& track)
        {
            m_xml.writeStartElement(QStringLiteral("Properties"));
            QList<int> pitches(track.tuning.crbegin(), track.tuning.crend());
            if (!track.percussion) {
                m_xml.writeStartElement(QStringLiteral("Property"));
                m_xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Tuning"));
                m_xml.writeTextElement(QStringLiteral("Pitches"), Joined(pitches));
                // Guitar Pro 7 names the tuning's instrument after its pitches.
                if (m_dialect == GpifDialect::Gp7)
                    m_xml.writeTextElement(QStringLiteral("Instrument"), QStringLiteral("1"));
                m_xml.writeEndElement();
            }
            Property(m_xml, QStringLiteral("CapoFret"), QStringLiteral("Fret"), QString::number(track.capo));
            if (m_dialect == GpifDialect::Gp7)
                Property(m_xml, QStringLiteral("FretCount"), QStringLiteral("Number"), QString::number(track.frets));
            m_xml.writeEndElement();
        }

        void writeTrack(qsizetype index)
        {
            const Track& track = m_score.tracks[index];
            m_xml.writeStartElement(QStringLiteral("Track"));
            m_xml.writeAttribute(QStringLiteral("id"), QString::number(index));
            cdata(QStringLiteral("Name"), track.name);
            const int channel = track.percussion ? 9 : static_cast<int>(index % 9);
            if (m_dialect == GpifDialect::Gp6) {
                m_xml.writeStartElement(QStringLiteral("GeneralMidi"));
                m_xml.writeAttribute(QStringLiteral("table"), track.percussion ? "Percussion" : "Instrument");
                m_xml.writeTextElement(QStringLiteral("Program"), QString::number(track.program));
                m_xml.writeTextElement(QStringLiteral("Port"), QStringLiteral("0"));
                m_xml.writeTextElement(QStringLiteral("PrimaryChannel"), QString::number(channel));
                m_xml.writeTextElement(QStringLiteral("SecondaryChannel"), QString::number(channel));
                m_xml.writeEndElement();
                m_xml.writeEmptyElement(QStringLiteral("Instrument"));
                m_xml.writeAttribute(QStringLiteral("ref"), track.percussion ? "drumkit" : "e-bass");
                writeLyrics(index);
                writeTuning(track);
            } else {
                m_xml.writeStartElement(QStringLiteral("InstrumentSet"));
                m_xml.writeTextElement(QStringLiteral("Name"), track.name);
                m_xml.writeTextElement(QStringLiteral("Type"), track.percussion ? "drumKit" : "electricBass");
                m_xml.writeTextElement(
                    QStringLiteral("LineCount"), QString::number(track.percussion ? 5 : track.tuning.size()));
                // The instrument's kinds of note, each with a type of its own that is not the track's.
                m_xml.writeStartElement(QStringLiteral("Elements"));
                m_xml.writeStartElement(QStringLiteral("Element"));
                m_xml.writeTextElement(QStringLiteral("Name"), QStringLiteral("Pitched"));
                m_xml.writeTextElement(QStringLiteral("Type"), QStringLiteral("pitched"));
                m_xml.writeEndElement();
                m_xml.writeEndElement();
                m_xml.writeEndElement();
                m_xml.writeStartElement(QStringLiteral("Sounds"));
                m_xml.writeStartElement(QStringLiteral("Sound"));
                m_xml.writeTextElement(QStringLiteral("Name"), track.name);
                m_xml.writeStartElement(QStringLiteral("MIDI"));
                m_xml.writeTextElement(QStringLiteral("LSB"), QStringLiteral("0"));
                m_xml.writeTextElement(QStringLiteral("MSB"), QStringLiteral("0"));
                m_xml.writeTextElement(QStringLiteral("Program"), QString::number(track.program));
                m_xml.writeEndElement();
                m_xml.writeEndElement();
                m_xml.writeEndElement();
                m_xml.writeStartElement(QStringLiteral("MidiConnection"));
                m_xml.writeTextElement(QStringLiteral("Port"), QStringLiteral("0"));
                m_xml.writeTextElement(QStringLiteral("PrimaryChannel"), QString::number(channel));
                m_xml.writeTextElement(QStringLiteral("SecondaryChannel"), QString::number(channel));
                m_xml.writeEndElement();
                writeLyrics(index);
                m_xml.writeStartElement(QStringLiteral("Staves"));
                m_xml.writeStartElement(QStringLiteral("Staff"));
                writeTuning(track);
                m_xml.writeEndElement();
                m_xml.writeEndElement();
            }
            m_xml.writeEndElement();
        }

        void writeMasterBars()
        {
            m_xml.writeStartElement(QStringLiteral("MasterBars"));
            for (qsizetype m = 0; m < m_score.measures.size(); ++m) {
                const MeasureHeader& header = m_score.measures[m];
                m_xml.writeStartElement(QStringLiteral("MasterBar"));
                m_xml.writeStartElement(QStringLiteral("Key"));
                m_xml.writeTextElement(QStringLiteral("AccidentalCount"), QStringLiteral("0"));
                m_xml.writeTextElement(QStringLiteral("Mode"), QStringLiteral("Major"));
                m_xml.writeEndElement();
                m_xml.writeTextElement(QStringLiteral("Time"),
                    QStringLiteral("%1/%2").arg(header.time.numerator).arg(header.time.denominator));
                if (header.repeatOpen || header.repeatPlays > 0) {
                    m_xml.writeEmptyElement(QStringLiteral("Repeat"));
                    m_xml.writeAttribute(QStringLiteral("start"), header.repeatOpen ? "true" : "false");
                    m_xml.writeAttribute(QStringLiteral("end"), header.repeatPlays > 0 ? "true" : "false");
                    m_xml.writeAttribute(QStringLiteral("count"), QString::number(header.repeatPlays));
                }
                if (header.alternateEndings != 0) {
                    QList<int> passes;
                    for (int pass = 0; pass < 32; ++pass) {
                        if (header.alternateEndings & (1u << pass))
                            passes.append(pass + 1);
                    }
                    m_xml.writeTextElement(QStringLiteral("AlternateEndings"), Joined(passes));
                }
                QList<int> bars;
                for (qsizetype t = 0; t < m_score.tracks.size(); ++t)
                    bars.append(static_cast<int>(t * m_score.measures.size() + m));
                m_xml.writeTextElement(QStringLiteral("Bars"), Joined(bars));
                if (!header.marker.isEmpty()) {
                    m_xml.writeStartElement(QStringLiteral("Section"));
                    cdata(QStringLiteral("Letter"), QStringLiteral("A"));
                    cdata(QStringLiteral("Text"), header.marker);
                    m_xml.writeEndElement();
                }
                m_xml.writeEndElement();
            }
            m_xml.writeEndElement();
        }

        struct Placed {
            const Beat* beat;
            const Track* track;
        };

        // Bars, voices, beats, notes and rhythms, numbered as they come.
        void writePools()
        {
            QList<QList<int>> voices;
            QList<Placed> beats;
            m_xml.writeStartElement(QStringLiteral("Bars"));
            for (qsizetype t = 0; t < m_score.tracks.size(); ++t) {
                const Track& track = m_score.tracks[t];
                for (qsizetype m = 0; m < m_score.measures.size(); ++m) {
                    m_xml.writeStartElement(QStringLiteral("Bar"));
                    m_xml.writeAttribute(QStringLiteral("id"), QString::number(t * m_score.measures.size() + m));
                    m_xml.writeTextElement(QStringLiteral("Clef"), track.percussion ? "Neutral" : "F4");
                    QList<int> voiceIds;
                    for (const QList<Beat>& voice : track.measures.value(m).voices) {
                        voiceIds.append(static_cast<int>(voices.size()));
                        QList<int> beatIds;
                        for (const Beat& beat : voice) {
                            beatIds.append(static_cast<int>(beats.size()));
                            beats.append(Placed { &beat, &track });
                        }
                        voices.append(beatIds);
                    }
                    while (voiceIds.size() < 4)
                        voiceIds.append(-1);
                    m_xml.writeTextElement(QStringLiteral("Voices"), Joined(voiceIds));
                    m_xml.writeEndElement();
                }
            }
            m_xml.writeEndElement();
            m_xml.writeStartElement(QStringLiteral("Voices"));
            for (qsizetype v = 0; v < voices.size(); ++v) {
                m_xml.writeStartElement(QStringLiteral("Voice"));
                m_xml.writeAttribute(QStringLiteral("id"), QString::number(v));
                m_xml.writeTextElement(QStringLiteral("Beats"), Joined(voices[v]));
                m_xml.writeEndElement();
            }
            m_xml.writeEndElement();
            m_xml.writeStartElement(QStringLiteral("Beats"));
            int noteId = 0;
            for (qsizetype b = 0; b < beats.size(); ++b)
                writeBeat(static_cast<int>(b), noteId, *beats[b].beat);
            m_xml.writeEndElement();
            m_xml.writeStartElement(QStringLiteral("Notes"));
            noteId = 0;
            for (const Placed& placed : std::as_const(beats)) {
                if (placed.beat->rest)
                    continue;
                for (const Note& note : placed.beat->notes)
                    writeNote(noteId++, note, *placed.track, *placed.beat);
            }
            m_xml.writeEndElement();
            m_xml.writeStartElement(QStringLiteral("Rhythms"));
            for (qsizetype r = 0; r < m_rhythms.size(); ++r)
                writeRhythm(static_cast<int>(r), m_rhythms[r]);
            m_xml.writeEndElement();
        }

        void writeBeat(int id, int& noteId, const Beat& beat)
        {
            QXmlStreamWriter& xml = m_xml;
            xml.writeStartElement(QStringLiteral("Beat"));
            xml.writeAttribute(QStringLiteral("id"), QString::number(id));
            if (beat.grace)
                xml.writeTextElement(QStringLiteral("GraceNotes"), QStringLiteral("BeforeBeat"));
            // Beats of the same note value share a rhythm, as Guitar Pro writes them.
            qsizetype rhythm = m_rhythms.indexOf(beat.duration);
            if (rhythm < 0) {
                rhythm = m_rhythms.size();
                m_rhythms.append(beat.duration);
            }
            xml.writeEmptyElement(QStringLiteral("Rhythm"));
            xml.writeAttribute(QStringLiteral("ref"), QString::number(rhythm));
            if (beat.chordDiagram)
                xml.writeTextElement(QStringLiteral("Chord"), QStringLiteral("0"));
            if (beat.fadeIn)
                xml.writeTextElement(QStringLiteral("Fadding"), QStringLiteral("FadeIn"));
            if (!beat.text.isEmpty())
                xml.writeTextElement(QStringLiteral("FreeText"), beat.text);
            if (!beat.notes.isEmpty() && beat.notes.first().tremoloPicking)
                xml.writeTextElement(QStringLiteral("Tremolo"), QStringLiteral("1/8"));
            if (!beat.rest) {
                QList<int> ids;
                for (qsizetype n = 0; n < beat.notes.size(); ++n)
                    ids.append(noteId++);
                xml.writeTextElement(QStringLiteral("Notes"), Joined(ids));
            }
            if (beat.attack != Attack::Normal || beat.tremoloBar || vibratoOfBeat(beat)) {
                xml.writeStartElement(QStringLiteral("Properties"));
                if (vibratoOfBeat(beat)) {
                    xml.writeStartElement(QStringLiteral("Property"));
                    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VibratoWTremBar"));
                    xml.writeTextElement(QStringLiteral("Strength"), QStringLiteral("Slight"));
                    xml.writeEndElement();
                }
                if (beat.attack == Attack::Slap)
                    Property(xml, QStringLiteral("Slapped"));
                if (beat.attack == Attack::Pop)
                    Property(xml, QStringLiteral("Popped"));
                if (beat.tremoloBar)
                    Property(xml, QStringLiteral("WhammyBar"));
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }

        // Guitar Pro 7 writes a vibrato that every note of a beat shares, as a tremolo bar makes it,
        // on the beat; Guitar Pro 6 on each note.
        bool vibratoOfBeat(const Beat& beat) const
        {
            return m_dialect == GpifDialect::Gp7 && !beat.rest && !beat.notes.isEmpty()
                && std::all_of(beat.notes.begin(), beat.notes.end(), [](const Note& note) { return note.vibrato; });
        }

        void writeRhythm(int id, const NoteValue& value)
        {
            m_xml.writeStartElement(QStringLiteral("Rhythm"));
            m_xml.writeAttribute(QStringLiteral("id"), QString::number(id));
            m_xml.writeTextElement(QStringLiteral("NoteValue"), NoteValueName(value.value));
            if (value.dots > 0) {
                m_xml.writeEmptyElement(QStringLiteral("AugmentationDot"));
                m_xml.writeAttribute(QStringLiteral("count"), QString::number(value.dots));
            }
            if (value.enters != 1) {
                m_xml.writeEmptyElement(QStringLiteral("PrimaryTuplet"));
                m_xml.writeAttribute(QStringLiteral("num"), QString::number(value.enters));
                m_xml.writeAttribute(QStringLiteral("den"), QString::number(value.times));
            }
            m_xml.writeEndElement();
        }

        void writeNote(int id, const Note& note, const Track& track, const Beat& beat)
        {
            QXmlStreamWriter& xml = m_xml;
            xml.writeStartElement(QStringLiteral("Note"));
            xml.writeAttribute(QStringLiteral("id"), QString::number(id));
            if (note.tie) {
                xml.writeEmptyElement(QStringLiteral("Tie"));
                xml.writeAttribute(QStringLiteral("origin"), QStringLiteral("false"));
                xml.writeAttribute(QStringLiteral("destination"), QStringLiteral("true"));
            }
            if (note.ghost)
                xml.writeTextElement(QStringLiteral("AntiAccent"), QStringLiteral("Normal"));
            if (note.accent || note.staccato)
                xml.writeTextElement(QStringLiteral("Accent"), QString::number((note.accent ? 8 : 0) | note.staccato));
            if (note.letRing)
                xml.writeEmptyElement(QStringLiteral("LetRing"));
            if (note.vibrato && !vibratoOfBeat(beat))
                xml.writeTextElement(QStringLiteral("Vibrato"), QStringLiteral("Slight"));
            if (note.trill)
                xml.writeTextElement(QStringLiteral("Trill"), QString::number(note.fret + 2));
            xml.writeStartElement(QStringLiteral("Properties"));
            if (m_dialect == GpifDialect::Gp7 && !track.percussion) {
                // The note as a staff shows it: a property whose value is a structure.
                xml.writeStartElement(QStringLiteral("Property"));
                xml.writeAttribute(QStringLiteral("name"), QStringLiteral("ConcertPitch"));
                xml.writeStartElement(QStringLiteral("Pitch"));
                xml.writeTextElement(QStringLiteral("Step"), QStringLiteral("C"));
                xml.writeTextElement(QStringLiteral("Accidental"), QString());
                xml.writeTextElement(QStringLiteral("Octave"), QStringLiteral("2"));
                xml.writeEndElement();
                xml.writeEndElement();
            }
            const int strings = static_cast<int>(track.tuning.size());
            if (track.percussion) {
                Property(xml, QStringLiteral("Midi"), QStringLiteral("Number"), QString::number(note.fret));
            } else {
                Property(
                    xml, QStringLiteral("String"), QStringLiteral("String"), QString::number(strings - note.string));
                Property(xml, QStringLiteral("Fret"), QStringLiteral("Fret"), QString::number(note.fret));
            }
            if (note.dead)
                Property(xml, QStringLiteral("Muted"));
            if (beat.attack == Attack::Tap)
                Property(xml, QStringLiteral("Tapped"));
            if (note.palmMute)
                Property(xml, QStringLiteral("PalmMuted"));
            if (note.hammer)
                Property(xml, QStringLiteral("HopoOrigin"));
            if (const int slide = SlideFlags(note); slide != 0)
                Property(xml, QStringLiteral("Slide"), QStringLiteral("Flags"), QString::number(slide));
            if (note.harmonic == Harmonic::Natural) {
                Property(xml, QStringLiteral("HarmonicType"), QStringLiteral("HType"), QStringLiteral("Natural"));
                Property(xml, QStringLiteral("HarmonicFret"), QStringLiteral("HFret"), QString::number(note.fret));
            } else if (note.harmonic == Harmonic::Artificial) {
                Property(xml, QStringLiteral("HarmonicType"), QStringLiteral("HType"), QStringLiteral("Artificial"));
                Property(xml, QStringLiteral("HarmonicFret"), QStringLiteral("HFret"), QStringLiteral("12"));
            }
            if (note.bendCents > 0) {
                const QString top = QString::number(note.bendCents / 2);
                Property(xml, QStringLiteral("Bended"));
                Property(xml, QStringLiteral("BendOriginValue"), QStringLiteral("Float"),
                    note.preBend ? top : QStringLiteral("0"));
                Property(xml, QStringLiteral("BendOriginOffset"), QStringLiteral("Float"), QStringLiteral("0"));
                Property(xml, QStringLiteral("BendMiddleValue"), QStringLiteral("Float"), top);
                Property(xml, QStringLiteral("BendMiddleOffset1"), QStringLiteral("Float"), QStringLiteral("12"));
                Property(xml, QStringLiteral("BendMiddleOffset2"), QStringLiteral("Float"), QStringLiteral("12"));
                Property(xml, QStringLiteral("BendDestinationValue"), QStringLiteral("Float"),
                    note.bendRelease ? QStringLiteral("0") : top);
                Property(xml, QStringLiteral("BendDestinationOffset"), QStringLiteral("Float"), QStringLiteral("100"));
            }
            xml.writeEndElement();
            xml.writeEndElement();
        }

        const Score& m_score;
        GpifDialect m_dialect;
        QByteArray m_bytes;
        QXmlStreamWriter m_xml;
        QList<NoteValue> m_rhythms;
    };

    void PutInt(QByteArray& bytes, qsizetype at, qint32 value) { qToLittleEndian(value, bytes.data() + at); }

    class BitWriter {
    public:
        void high(unsigned value, int bits)
        {
            for (int i = bits - 1; i >= 0; --i)
                bit((value >> i) & 1u);
        }
        void low(unsigned value, int bits)
        {
            for (int i = 0; i < bits; ++i)
                bit((value >> i) & 1u);
        }
        QByteArray bytes;

    private:
        void bit(unsigned value)
        {
            if (m_used == 0)
                bytes.append('\0');
            if (value)
                bytes.back() = static_cast<char>(bytes.back() | (0x80 >> m_used));
            m_used = (m_used + 1) % 8;
        }
        int m_used = 0;
    };

} // namespace

QByteArray WriteGpif(const Score& score, GpifDialect dialect) { return Writer(score, dialect).write(); }

QByteArray PackBcfs(const QList<QPair<QByteArray, QByteArray>>& files)
{
    constexpr qsizetype Sector = 0x1000;
    // Sector 0 holds nothing; each file is an entry sector followed by its data sectors.
    QByteArray sectors(Sector, '\0');
    for (const auto& [name, data] : files) {
        const qsizetype entry = sectors.size() / Sector;
        const qsizetype count = (data.size() + Sector - 1) / Sector;
        // The list of data sectors, ended by 0, runs on into the sectors after the entry's own.
        const qsizetype listEnd = 0x94 + 4 * (count + 1);
        QByteArray header(((listEnd + Sector - 1) / Sector) * Sector, '\0');
        const qsizetype first = entry + header.size() / Sector;
        PutInt(header, 0, 2);
        header.replace(4, name.size(), name);
        PutInt(header, 0x8C, static_cast<qint32>(data.size()));
        for (qsizetype i = 0; i < count; ++i)
            PutInt(header, 0x94 + 4 * i, static_cast<qint32>(first + i));
        sectors += header;
        QByteArray body = data;
        body.resize(count * Sector, '\0');
        sectors += body;
    }
    return "BCFS" + sectors;
}

QByteArray PackBcfz(const QByteArray& system)
{
    BitWriter bits;
    constexpr qsizetype Span = 16; // copies of the 16 bytes just before: 5-bit offset and length
    qsizetype at = 0;
    while (at < system.size()) {
        if (at >= Span && at + Span <= system.size()
            && QByteArrayView(system).sliced(at, Span) == QByteArrayView(system).sliced(at - Span, Span)) {
            bits.high(1, 1);
            bits.high(5, 4);
            bits.low(Span, 5);
            bits.low(Span, 5);
            at += Span;
            continue;
        }
        const int run = static_cast<int>(std::min<qsizetype>(3, system.size() - at));
        bits.high(0, 1);
        bits.low(static_cast<unsigned>(run), 2);
        for (int i = 0; i < run; ++i)
            bits.high(static_cast<unsigned char>(system[at + i]), 8);
        at += run;
    }
    QByteArray header("BCFZ\0\0\0\0", 8);
    PutInt(header, 4, static_cast<qint32>(system.size()));
    return header + bits.bytes;
}

} // namespace fw::test
