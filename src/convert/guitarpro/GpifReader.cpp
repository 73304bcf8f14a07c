#include "GpifReader.h"

#include "GpifParser.h"

#include <algorithm>

namespace fw::guitarpro {

namespace {

    // Beats all tracks together may hold once the bars are laid out: bars, voices and beats are
    // referred to by number and may be shared, so a small file could otherwise spell out a vast score.
    constexpr qint64 MaxBeats = 4'000'000;
    // A beat holds a note a string; a drum beat a few more.
    constexpr qsizetype MaxNotesPerBeat = 32;
    constexpr qsizetype MaxVoices = 4;

    class Layout {
    public:
        Layout(GpifDocument& document, const QString& version)
            : m_document(document)
            , m_version(version)
        {
        }

        std::optional<Score> score(QString& error)
        {
            Score score = std::move(m_document.score);
            score.version = m_version;
            setTempo(score);
            Meter time;
            for (GpifMasterBar& bar : m_document.masterBars) {
                // A bar without a time signature keeps the one before it.
                if (bar.hasTime)
                    time = bar.header.time;
                bar.header.time = time;
                score.measures.append(bar.header);
            }
            qsizetype staff = 0;
            for (GpifTrack& gpif : m_document.tracks) {
                Track track = std::move(gpif.track);
                for (auto pitch = gpif.pitches.crbegin(); pitch != gpif.pitches.crend(); ++pitch)
                    track.tuning.append(*pitch);
                track.measures.reserve(m_document.masterBars.size());
                for (qsizetype measure = 0; measure < m_document.masterBars.size() && m_error.isEmpty(); ++measure) {
                    const GpifMasterBar& bar = m_document.masterBars[measure];
                    track.measures.append(trackMeasure(gpif, track, bar.bars.value(staff, -1)));
                }
                if (!m_error.isEmpty()) {
                    error = m_error;
                    return std::nullopt;
                }
                staff += gpif.staves;
                score.tracks.append(std::move(track));
            }
            return score;
        }

    private:
        void damaged(const QString& what)
        {
            if (m_error.isEmpty())
                m_error = QStringLiteral("Not a readable %1 file: %2.").arg(m_version, what);
        }

        // The first tempo of the first bar is the score's; the others are changes.
        void setTempo(Score& score)
        {
            std::stable_sort(m_document.tempos.begin(), m_document.tempos.end(),
                [](const GpifTempo& a, const GpifTempo& b) { return a.bar < b.bar; });
            for (qsizetype i = 0; i < m_document.tempos.size(); ++i) {
                const GpifTempo& tempo = m_document.tempos[i];
                if (i == 0 && tempo.bar == 0 && tempo.position <= 0)
                    score.tempo = tempo.bpm;
                else if (tempo.bar >= 0 && tempo.bar < m_document.masterBars.size())
                    score.tempoChanges.append(TempoChange { tempo.bar, tempo.bpm });
            }
        }

        TrackMeasure trackMeasure(const GpifTrack& gpif, const Track& track, int barId)
        {
            TrackMeasure measure;
            const QList<int>* bar = m_document.bars.find(barId);
            if (barId >= 0 && !bar)
                damaged(QStringLiteral("a bar refers to no bar (%1)").arg(barId));
            const QList<int> voiceIds = bar ? *bar : QList<int>();
            for (qsizetype slot = 0; slot < std::min(voiceIds.size(), MaxVoices); ++slot) {
                const int voiceId = voiceIds[slot];
                if (voiceId < 0)
                    continue;
                const QList<int>* voice = m_document.voices.find(voiceId);
                if (!voice) {
                    damaged(QStringLiteral("a bar refers to no voice (%1)").arg(voiceId));
                    break;
                }
                measure.voices.resize(slot + 1);
                QList<Beat>& beats = measure.voices[slot];
                for (const int beatId : *voice)
                    appendBeat(gpif, track, beatId, beats);
            }
            // A bar nobody wrote in: one voice without beats, which the conversion reads as a bar's rest.
            if (measure.voices.isEmpty())
                measure.voices.append(QList<Beat>());
            return measure;
        }

        void appendBeat(const GpifTrack& gpif, const Track& track, int beatId, QList<Beat>& beats)
        {
            const GpifBeat* found = m_document.beats.find(beatId);
            if (!found) {
                damaged(QStringLiteral("a voice refers to no beat (%1)").arg(beatId));
                return;
            }
            if (++m_beats > MaxBeats) {
                damaged(QStringLiteral("its bars hold more than %1 beats").arg(MaxBeats));
                return;
            }
            const GpifBeat& source = *found;
            const GpifRhythm* rhythm = m_document.rhythms.find(source.rhythm);
            if (!rhythm) {
                damaged(QStringLiteral("a beat has no note value"));
                return;
            }
            if (source.notes.size() > MaxNotesPerBeat) {
                damaged(QStringLiteral("a beat holds %1 notes").arg(source.notes.size()));
                return;
            }
            Beat beat = source.beat;
            beat.duration = rhythm->value;
            const int strings = static_cast<int>(gpif.pitches.size());
            for (const int noteId : source.notes) {
                const GpifNote* note = m_document.notes.find(noteId);
                if (!note) {
                    damaged(QStringLiteral("a beat refers to no note (%1)").arg(noteId));
                    return;
                }
                Note copy = note->note;
                copy.tremoloPicking = source.tremoloPicking;
                copy.vibrato = copy.vibrato || source.vibrato;
                if (note->tapped)
                    beat.attack = Attack::Tap;
                if (!track.percussion && strings > 0) {
                    // A note of a fretted track that names no string is not tab.
                    if (note->string < 0)
                        continue;
                    if (note->string >= strings) {
                        damaged(QStringLiteral("a note lies on string %1 of a track of %2 strings")
                                    .arg(note->string + 1)
                                    .arg(strings));
                        return;
                    }
                    // A longer neck than usual may be played to its end, as in the older versions.
                    const int highest = std::max(MaxFrets, track.frets);
                    if (copy.fret < 0 || copy.fret > highest) {
                        damaged(copy.fret < 0
                                ? QStringLiteral("a note lies below its open string (fret %1)").arg(copy.fret)
                                : QStringLiteral("a note lies at fret %1, beyond %2").arg(copy.fret).arg(highest));
                        return;
                    }
                    copy.string = strings - note->string;
                } else {
                    // A drum or keyboard note names a sound or key, not a string and fret: the
                    // model keeps a drum's MIDI key as its fret.
                    copy.string = 1;
                    copy.fret = note->key;
                }
                beat.notes.append(copy);
            }
            beat.rest = beat.notes.isEmpty();
            beats.append(beat);
            if (rhythm->doubleWhole) {
                // The second whole continues the first.
                for (Note& note : beat.notes)
                    note.tie = true;
                beats.append(beat);
                ++m_beats;
            }
        }

        GpifDocument& m_document;
        QString m_version;
        QString m_error;
        qint64 m_beats = 0;
    };

} // namespace

std::optional<Score> ReadGpif(const QByteArray& xml, const QString& version, QString& error)
{
    std::optional<GpifDocument> document = ParseGpif(xml, version, error);
    if (!document)
        return std::nullopt;
    document->bars.index();
    document->voices.index();
    document->beats.index();
    document->notes.index();
    document->rhythms.index();
    return Layout(*document, version).score(error);
}

} // namespace fw::guitarpro
