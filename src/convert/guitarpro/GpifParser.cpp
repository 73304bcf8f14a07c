#include "GpifParser.h"

#include "GpifValues.h"
#include "SlideFlags.h"
#include "XmlCursor.h"

#include <algorithm>

namespace fw::guitarpro {

namespace {

    using musicxml::XmlCursor;

    // Numbers a list element may hold: a bar's voices, a master bar's bars (one per staff), a
    // voice's beats, a beat's notes. The pools stay bounded by the document's size.
    constexpr qsizetype MaxListed = MaxBeatsPerVoice;
    constexpr int MaxEnding = 32; // endings are bits of an unsigned
    constexpr int MaxTupletPart = 64;
    // Strings a track may have and still be listed: guitars of eight or more strings sit beside
    // basses in real files. The conversion takes no track above MaxStrings.
    constexpr int MaxListedStrings = 12;

    struct Property {
        QString name;
        QString value;
        bool enabled = false;
    };

    // Leaves that carry a property's value.
    bool IsValueElement(const XmlCursor& xml)
    {
        return xml.is(u"Pitches") || xml.is(u"Fret") || xml.is(u"String") || xml.is(u"Flags") || xml.is(u"Float")
            || xml.is(u"HType") || xml.is(u"Number") || xml.is(u"Int");
    }

    bool IsTrue(const QString& text) { return text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0; }

    class Parser {
    public:
        Parser(const QByteArray& xml, const QString& version)
            : m_xml(xml, version)
            , m_version(version)
        {
        }

        std::optional<GpifDocument> parse(QString& error)
        {
            if (!m_xml.root() || !m_xml.is(u"GPIF")) {
                error = m_xml.error().isEmpty()
                    ? QStringLiteral("Not a %1 file: what it holds is not a Guitar Pro score.").arg(m_version)
                    : m_xml.error();
                return std::nullopt;
            }
            while (m_xml.child()) {
                if (m_xml.is(u"Score"))
                    readScoreInfo();
                else if (m_xml.is(u"MasterTrack"))
                    readMasterTrack();
                else if (m_xml.is(u"Tracks"))
                    readPool(u"Track", [this] { readTrack(); });
                else if (m_xml.is(u"MasterBars"))
                    readPool(u"MasterBar", [this] { readMasterBar(); });
                else if (m_xml.is(u"Bars"))
                    readPool(u"Bar", [this] { readList(u"Voices", m_document.bars); });
                else if (m_xml.is(u"Voices"))
                    readPool(u"Voice", [this] { readList(u"Beats", m_document.voices); });
                else if (m_xml.is(u"Beats"))
                    readPool(u"Beat", [this] { readBeat(); });
                else if (m_xml.is(u"Notes"))
                    readPool(u"Note", [this] { readNote(); });
                else if (m_xml.is(u"Rhythms"))
                    readPool(u"Rhythm", [this] { readRhythm(); });
                else
                    m_xml.skip();
            }
            // A reading that lost its place among the elements must not pass for the whole score.
            if (m_xml.error().isEmpty() && !m_xml.atEndOf(u"GPIF"))
                damaged(QStringLiteral("its elements end before the score does"));
            if (!m_xml.error().isEmpty()) {
                error = m_xml.error();
                return std::nullopt;
            }
            return std::move(m_document);
        }

    private:
        void damaged(const QString& what)
        {
            m_xml.fail(QStringLiteral("Not a readable %1 file: %2.").arg(m_version, what));
        }

        template <typename ReadOne> void readPool(QStringView element, ReadOne readOne)
        {
            while (m_xml.child()) {
                if (m_xml.is(element))
                    readOne();
                else
                    m_xml.skip();
            }
        }

        QList<int> numbers(qsizetype limit)
        {
            QList<int> values;
            if (!Numbers(m_xml.text(), limit, values))
                damaged(QStringLiteral("a list of numbers is damaged or too long"));
            return values;
        }

        Property property()
        {
            Property property;
            property.name = m_xml.attribute(QLatin1StringView("name"));
            while (m_xml.child()) {
                if (m_xml.is(u"Enable")) {
                    property.enabled = true;
                    m_xml.skip();
                } else if (property.value.isEmpty() && IsValueElement(m_xml)) {
                    property.value = m_xml.text();
                } else {
                    m_xml.skip();
                }
            }
            return property;
        }

        // The id attribute of a pooled element; -1, and the document refused, without one.
        int id()
        {
            const int value = m_xml.intAttribute(QLatin1StringView("id"), -1);
            if (value < 0)
                damaged(QStringLiteral("an element has no number"));
            return value;
        }

        void readScoreInfo()
        {
            Score& score = m_document.score;
            while (m_xml.child()) {
                if (m_xml.is(u"Title"))
                    score.title = m_xml.text();
                else if (m_xml.is(u"SubTitle"))
                    score.subtitle = m_xml.text();
                else if (m_xml.is(u"Artist"))
                    score.artist = m_xml.text();
                else if (m_xml.is(u"Album"))
                    score.album = m_xml.text();
                else
                    m_xml.skip();
            }
        }

        void readMasterTrack()
        {
            while (m_xml.child()) {
                if (!m_xml.is(u"Automations")) {
                    m_xml.skip();
                    continue;
                }
                while (m_xml.child()) {
                    if (m_xml.is(u"Automation"))
                        readAutomation();
                    else
                        m_xml.skip();
                }
            }
        }

        void readAutomation()
        {
            QString type;
            QString value;
            GpifTempo tempo;
            while (m_xml.child()) {
                if (m_xml.is(u"Type"))
                    type = m_xml.text();
                else if (m_xml.is(u"Bar"))
                    tempo.bar = static_cast<int>(m_xml.integer(0));
                else if (m_xml.is(u"Position"))
                    tempo.position = m_xml.real(0);
                // Other kinds' values (a sync point's) hold elements; Guitar Pro writes the type first.
                else if (m_xml.is(u"Value") && type == QLatin1String("Tempo"))
                    value = m_xml.text();
                else
                    m_xml.skip();
            }
            if (type != QLatin1String("Tempo"))
                return;
            // "120" or, from Guitar Pro 7 on, "120 2": beats a minute and the beat's note value
            // (1 an eighth, 2 a quarter, 3 a dotted quarter, 4 a half, 5 a dotted half).
            const QStringList parts = value.simplified().split(u' ');
            bool ok = false;
            const double bpm = parts.value(0).toDouble(&ok);
            if (!ok || bpm <= 0 || bpm > 10000)
                return;
            static constexpr double QuartersPerBeat[] = { 1, 0.5, 1, 1.5, 2, 3 };
            const int unit = parts.value(1).toInt();
            const double quarters = unit >= 1 && unit <= 5 ? QuartersPerBeat[unit] : 1;
            tempo.bpm = std::max(1, static_cast<int>(bpm * quarters + 0.5));
            m_document.tempos.append(tempo);
        }

        void readTrack()
        {
            if (m_document.tracks.size() >= MaxTracks) {
                damaged(QStringLiteral("it holds more than %1 tracks").arg(MaxTracks));
                return;
            }
            GpifTrack gpif;
            Track& track = gpif.track;
            int staves = 0;
            bool program = false;
            while (m_xml.child()) {
                if (m_xml.is(u"Name")) {
                    track.name = m_xml.text();
                } else if (m_xml.is(u"Instrument")) {
                    // Guitar Pro 6: "e-bass", "drumkit"...
                    if (m_xml.attribute(QLatin1StringView("ref")).contains(QLatin1String("drum")))
                        track.percussion = true;
                    m_xml.skip();
                } else if (m_xml.is(u"InstrumentSet")) {
                    while (m_xml.child()) {
                        if (m_xml.is(u"Type"))
                            track.percussion
                                = track.percussion || m_xml.text().contains(QLatin1String("drum"), Qt::CaseInsensitive);
                        else
                            m_xml.skip();
                    }
                } else if (m_xml.is(u"GeneralMidi")) {
                    if (m_xml.attribute(QLatin1StringView("table")) == QLatin1String("Percussion"))
                        track.percussion = true;
                    readMidi(track, program);
                } else if (m_xml.is(u"MidiConnection")) {
                    readMidi(track, program);
                } else if (m_xml.is(u"Sounds")) {
                    // The first sound is the one the track starts with.
                    while (m_xml.child()) {
                        if (!m_xml.is(u"Sound")) {
                            m_xml.skip();
                            continue;
                        }
                        while (m_xml.child()) {
                            if (m_xml.is(u"MIDI"))
                                readMidi(track, program);
                            else
                                m_xml.skip();
                        }
                    }
                } else if (m_xml.is(u"Properties")) {
                    readTrackProperties(gpif);
                } else if (m_xml.is(u"Staves")) {
                    while (m_xml.child()) {
                        if (!m_xml.is(u"Staff")) {
                            m_xml.skip();
                            continue;
                        }
                        // The track is read as its first staff shows it.
                        const bool first = staves++ == 0;
                        while (m_xml.child()) {
                            if (first && m_xml.is(u"Properties"))
                                readTrackProperties(gpif);
                            else
                                m_xml.skip();
                        }
                    }
                } else if (m_xml.is(u"Lyrics")) {
                    while (m_xml.child()) {
                        if (!m_xml.is(u"Line")) {
                            m_xml.skip();
                            continue;
                        }
                        while (m_xml.child()) {
                            if (!m_xml.is(u"Text"))
                                m_xml.skip();
                            else if (!m_xml.text().isEmpty())
                                ++m_document.score.lyrics;
                        }
                    }
                } else {
                    m_xml.skip();
                }
            }
            gpif.staves = std::max(1, staves);
            if (gpif.staves > MaxListedStrings)
                damaged(QStringLiteral("a track has %1 staves").arg(gpif.staves));
            m_document.tracks.append(std::move(gpif));
        }

        // A program, and the channel that tells a drum track, wherever the version keeps them.
        void readMidi(Track& track, bool& program)
        {
            while (m_xml.child()) {
                if (m_xml.is(u"Program")) {
                    const long long value = m_xml.integer(-1);
                    if (!program && value >= 0 && value <= 127) {
                        track.program = static_cast<int>(value);
                        program = true;
                    }
                } else if (m_xml.is(u"PrimaryChannel")) {
                    if (m_xml.integer(0) == 9)
                        track.percussion = true;
                } else {
                    m_xml.skip();
                }
            }
        }

        void readTrackProperties(GpifTrack& gpif)
        {
            while (m_xml.child()) {
                if (!m_xml.is(u"Property")) {
                    m_xml.skip();
                    continue;
                }
                const Property property = this->property();
                if (property.name == QLatin1String("Tuning")) {
                    if (!Numbers(property.value, MaxListedStrings, gpif.pitches))
                        damaged(QStringLiteral("a track has more than %1 strings").arg(MaxListedStrings));
                    for (const int pitch : std::as_const(gpif.pitches)) {
                        if (pitch < 0 || pitch > 127)
                            damaged(QStringLiteral("a string is tuned to no MIDI key (%1)").arg(pitch));
                    }
                } else if (property.name == QLatin1String("CapoFret")) {
                    gpif.track.capo = std::clamp(property.value.toInt(), 0, MaxFrets);
                } else if (property.name == QLatin1String("FretCount")) {
                    const int frets = property.value.toInt();
                    if (frets > MaxNeckFrets)
                        damaged(QStringLiteral("a track has %1 frets, more than %2").arg(frets).arg(MaxNeckFrets));
                    if (frets > 0)
                        gpif.track.frets = frets;
                }
            }
        }

        void readMasterBar()
        {
            if (m_document.masterBars.size() >= MaxMeasures) {
                damaged(QStringLiteral("it holds more than %1 bars").arg(MaxMeasures));
                return;
            }
            GpifMasterBar bar;
            MeasureHeader& header = bar.header;
            while (m_xml.child()) {
                if (m_xml.is(u"Time")) {
                    const QStringList parts = m_xml.text().split(u'/');
                    const int numerator = parts.value(0).toInt();
                    const int denominator = parts.value(1).toInt();
                    if (parts.size() != 2 || numerator < 1 || numerator > 64 || denominator < 1 || denominator > 64
                        || (denominator & (denominator - 1)) != 0)
                        damaged(QStringLiteral("a bar's time signature is no time signature"));
                    header.time = Meter { numerator, denominator };
                    bar.hasTime = true;
                } else if (m_xml.is(u"Repeat")) {
                    header.repeatOpen = IsTrue(m_xml.attribute(QLatin1StringView("start")));
                    if (IsTrue(m_xml.attribute(QLatin1StringView("end"))))
                        header.repeatPlays = std::clamp(m_xml.intAttribute(QLatin1StringView("count"), 2), 2, 100);
                    m_xml.skip();
                } else if (m_xml.is(u"AlternateEndings")) {
                    for (const int pass : numbers(MaxEnding)) {
                        if (pass >= 1 && pass <= MaxEnding)
                            header.alternateEndings |= 1u << (pass - 1);
                    }
                } else if (m_xml.is(u"Bars")) {
                    bar.bars = numbers(MaxListed);
                } else if (m_xml.is(u"Section")) {
                    while (m_xml.child()) {
                        if (m_xml.is(u"Text"))
                            header.marker = m_xml.text();
                        else
                            m_xml.skip();
                    }
                } else if (m_xml.is(u"Directions")) {
                    while (m_xml.child()) {
                        ++m_document.score.jumps;
                        m_xml.skip();
                    }
                } else {
                    m_xml.skip();
                }
            }
            m_document.masterBars.append(std::move(bar));
        }

        // A bar (its voices) or a voice (its beats): the list of numbers in the one child that counts.
        void readList(QStringView child, GpifPool<QList<int>>& pool)
        {
            const int element = id();
            while (m_xml.child()) {
                if (m_xml.is(child))
                    pool.insert(element, numbers(MaxListed));
                else
                    m_xml.skip();
            }
        }

        void readBeat()
        {
            const int beatId = id();
            GpifBeat gpif;
            Beat& beat = gpif.beat;
            while (m_xml.child()) {
                if (m_xml.is(u"Rhythm")) {
                    gpif.rhythm = m_xml.intAttribute(QLatin1StringView("ref"), -1);
                    m_xml.skip();
                } else if (m_xml.is(u"Notes")) {
                    gpif.notes = numbers(MaxListed);
                } else if (m_xml.is(u"GraceNotes")) {
                    beat.grace = true;
                    m_xml.skip();
                } else if (m_xml.is(u"Tremolo")) {
                    gpif.tremoloPicking = true;
                    m_xml.skip();
                } else if (m_xml.is(u"FreeText")) {
                    beat.text = m_xml.text();
                } else if (m_xml.is(u"Chord")) {
                    beat.chordDiagram = true;
                    m_xml.skip();
                } else if (m_xml.is(u"Fadding")) {
                    beat.fadeIn = m_xml.text() == QLatin1String("FadeIn");
                } else if (m_xml.is(u"Whammy")) {
                    beat.tremoloBar = true;
                    m_xml.skip();
                } else if (m_xml.is(u"Lyrics")) {
                    while (m_xml.child()) {
                        if (!m_xml.is(u"Line"))
                            m_xml.skip();
                        else if (!m_xml.text().isEmpty())
                            ++m_document.score.lyrics;
                    }
                } else if (m_xml.is(u"Properties")) {
                    while (m_xml.child()) {
                        if (!m_xml.is(u"Property")) {
                            m_xml.skip();
                            continue;
                        }
                        const Property property = this->property();
                        if (property.name == QLatin1String("Slapped"))
                            beat.attack = Attack::Slap;
                        else if (property.name == QLatin1String("Popped"))
                            beat.attack = Attack::Pop;
                        else if (property.name == QLatin1String("Tapped"))
                            beat.attack = Attack::Tap;
                        else if (property.name == QLatin1String("WhammyBar"))
                            beat.tremoloBar = true;
                        else if (property.name == QLatin1String("VibratoWTremBar"))
                            gpif.vibrato = true;
                    }
                } else {
                    m_xml.skip();
                }
            }
            m_document.beats.insert(beatId, std::move(gpif));
        }

        void readNote()
        {
            const int noteId = id();
            GpifNote gpif;
            Note& note = gpif.note;
            double bendOrigin = 0;
            double bendMiddle = 0;
            double bendDestination = 0;
            bool bended = false;
            while (m_xml.child()) {
                if (m_xml.is(u"Tie")) {
                    note.tie = IsTrue(m_xml.attribute(QLatin1StringView("destination")));
                    m_xml.skip();
                } else if (m_xml.is(u"Vibrato")) {
                    note.vibrato = true;
                    m_xml.skip();
                } else if (m_xml.is(u"LetRing")) {
                    note.letRing = true;
                    m_xml.skip();
                } else if (m_xml.is(u"AntiAccent")) {
                    note.ghost = true;
                    m_xml.skip();
                } else if (m_xml.is(u"Accent")) {
                    // Bits: 1 staccato, 4 heavy accent, 8 accent.
                    const long long flags = m_xml.integer(0);
                    note.staccato = (flags & 1) != 0;
                    note.accent = (flags & (4 | 8)) != 0;
                } else if (m_xml.is(u"Trill")) {
                    note.trill = true;
                    m_xml.skip();
                } else if (m_xml.is(u"Properties")) {
                    while (m_xml.child()) {
                        if (!m_xml.is(u"Property")) {
                            m_xml.skip();
                            continue;
                        }
                        const Property property = this->property();
                        const QString& name = property.name;
                        if (name == QLatin1String("String"))
                            gpif.string = property.value.toInt();
                        else if (name == QLatin1String("Fret"))
                            note.fret = property.value.toInt();
                        else if (name == QLatin1String("Midi"))
                            gpif.key = std::clamp(property.value.toInt(), 0, 127);
                        else if (name == QLatin1String("Muted"))
                            note.dead = true;
                        else if (name == QLatin1String("PalmMuted"))
                            note.palmMute = true;
                        else if (name == QLatin1String("HopoOrigin"))
                            note.hammer = true;
                        else if (name == QLatin1String("Tapped") || name == QLatin1String("LeftHandTapped"))
                            gpif.tapped = true;
                        else if (name == QLatin1String("Slide"))
                            SetSlides(note, property.value.toInt());
                        else if (name == QLatin1String("Bended"))
                            bended = true;
                        else if (name == QLatin1String("BendOriginValue"))
                            bendOrigin = property.value.toDouble();
                        else if (name == QLatin1String("BendMiddleValue"))
                            bendMiddle = property.value.toDouble();
                        else if (name == QLatin1String("BendDestinationValue"))
                            bendDestination = property.value.toDouble();
                        else if (name == QLatin1String("HarmonicType"))
                            note.harmonic = HarmonicOf(property.value);
                    }
                } else {
                    m_xml.skip();
                }
            }
            if (bended) {
                // Bend values count a whole tone as 100.
                const double highest = std::clamp(std::max({ bendOrigin, bendMiddle, bendDestination }), 0.0, 1200.0);
                note.bendCents = static_cast<int>(highest * 2 + 0.5);
                note.preBend = bendOrigin > 0;
                note.bendRelease = note.bendCents > 0 && bendDestination < highest;
            }
            m_document.notes.insert(noteId, std::move(gpif));
        }

        void readRhythm()
        {
            const int rhythmId = id();
            GpifRhythm rhythm;
            NoteValue& value = rhythm.value;
            while (m_xml.child()) {
                if (m_xml.is(u"NoteValue")) {
                    const QString name = m_xml.text();
                    if (const int kind = NoteValueOf(name); kind > 0)
                        value.value = kind;
                    else if (name == QLatin1String("DoubleWhole")) {
                        value.value = 1;
                        rhythm.doubleWhole = true;
                    } else
                        damaged(QStringLiteral("a note value is none (\"%1\")").arg(name.left(20)));
                } else if (m_xml.is(u"AugmentationDot")) {
                    value.dots = m_xml.intAttribute(QLatin1StringView("count"), 0);
                    if (value.dots < 0 || value.dots > 2)
                        damaged(QStringLiteral("a note has %1 dots").arg(value.dots));
                    m_xml.skip();
                } else if (m_xml.is(u"PrimaryTuplet") || m_xml.is(u"SecondaryTuplet")) {
                    const int enters = m_xml.intAttribute(QLatin1StringView("num"), 1);
                    const int times = m_xml.intAttribute(QLatin1StringView("den"), 1);
                    if (enters < 1 || enters > MaxTupletPart || times < 1 || times > MaxTupletPart)
                        damaged(QStringLiteral("a tuplet is damaged"));
                    else {
                        value.enters *= enters;
                        value.times *= times;
                    }
                    m_xml.skip();
                } else {
                    m_xml.skip();
                }
            }
            m_document.rhythms.insert(rhythmId, rhythm);
        }

        XmlCursor m_xml;
        QString m_version;
        GpifDocument m_document;
    };

} // namespace

std::optional<GpifDocument> ParseGpif(const QByteArray& xml, const QString& version, QString& error)
{
    return Parser(xml, version).parse(error);
}

} // namespace fw::guitarpro
