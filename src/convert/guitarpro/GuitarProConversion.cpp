// One track of a Guitar Pro score as a chord list.
#include "GuitarProConversion.h"

#include "DocumentText.h"
#include "MarkRepair.h"
#include "MeasureOrder.h"
#include "NoteLengths.h"
#include "SpecialLines.h"
#include "TabRhythm.h"
#include "Tuning.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <unordered_map>

namespace fw::guitarpro {

namespace {

    // Longer songs are refused rather than filling the editor with millions of lines.
    constexpr qsizetype MaxLines = 4'000'000;

    // A comment's text on one line, saying nothing the list reads as a title or subtitle.
    QString CommentText(const QString& text)
    {
        static const QRegularExpression tag(QStringLiteral("(title|sub):"), QRegularExpression::CaseInsensitiveOption);
        QString line = text;
        line.replace(tag, QStringLiteral("\\1 -"));
        line.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\n' && c != u'\t'; });
        return line.simplified();
    }

    bool WritableTime(const Meter& time)
    {
        return time.numerator >= 1 && time.numerator <= 32
            && (time.denominator == 2 || time.denominator == 4 || time.denominator == 8 || time.denominator == 16);
    }

    // Some files write a part in the second voice and leave the first empty.
    int FirstVoiceWithNotes(const Track& track)
    {
        int first = INT_MAX;
        for (const TrackMeasure& measure : track.measures) {
            for (int v = 0; v < std::min(static_cast<int>(measure.voices.size()), first); ++v) {
                for (const Beat& beat : measure.voices[v]) {
                    if (!beat.notes.isEmpty())
                        first = v;
                }
            }
        }
        return first == INT_MAX ? 0 : first;
    }

    // What was left out or changed, counted for the report.
    struct Losses {
        int otherVoices = 0;
        int grace = 0;
        int chordDiagrams = 0;
        int artificialHarmonics = 0;
        int harmonicsOffNode = 0;
        int trills = 0;
        int tremoloPicking = 0;
        int fadeIns = 0;
        int tremoloBars = 0;
        int bends = 0; // pre-bends, and bends of no whole 1 to 6 semitones
        int releases = 0;
        int combinations = 0;
        int linksDropped = 0;
        int tiesApart = 0; // ties whose notes the list cannot join
        int lostTies = 0; // tied notes with nothing to continue and no fret of their own
        int aboveNeck = 0;
        int splits = 0;
        int roundedMeasures = 0;
        int droppedTimes = 0;
    };

    class Counts {
    public:
        void add(const QString& what, int count)
        {
            if (count > 0)
                m_lines.append(what.arg(count));
        }
        void add(const QString& line) { m_lines.append(line); }
        QStringList lines() const { return m_lines; }

    private:
        QStringList m_lines;
    };

    // The last note on each string (1..7), for the notes tied to it.
    struct LastNote {
        int fret = -1;
        NoteMarks marks;
    };

    class Converter {
    public:
        Converter(const Score& score, const ConversionOptions& options)
            : m_score(score)
            , m_options(options)
        {
        }

        Conversion run();

    private:
        bool chooseTrack();
        bool makeTuning();
        void writeMeasure(const PlayedMeasure& played);
        void writeBeat(const Beat& beat, long long ticks);
        ChordDef entryOf(const Beat& beat, LinkLeeways& leeways, std::array<bool, 7>& tied);
        NoteMarks marksOf(const Note& note, int& fret, LinkLeeway& leeway);
        void addEntry(ChordDef def, const LinkLeeways& leeways, const std::array<bool, 7>& tied);
        void addLine(const QString& line);
        void flush();
        void report();

        const Score& m_score;
        const ConversionOptions& m_options;
        Conversion m_result;
        const Track* m_track = nullptr;
        int m_trackIndex = 0;
        bool m_fallback = false;
        int m_voice = 0;
        Tuning m_tuning;
        int m_highestFret = 0;
        fw::TimeSignature m_listTime;
        std::optional<Meter> m_unwritableTime;
        std::array<LastNote, MaxStrings + 1> m_last {};
        std::optional<LinkMendingWriter> m_writer;
        // The last note entry, held back until the next one says whether a tie joins them, and the
        // lines that came after it.
        struct Held {
            ChordDef def;
            LinkLeeways leeways;
        };
        std::optional<Held> m_held;
        QStringList m_afterHeld;
        QStringList m_body;
        Losses m_losses;
        std::unordered_map<long long, QStringList> m_forms; // by length in ticks
    };

    Conversion Converter::run()
    {
        if (!chooseTrack() || !makeTuning())
            return m_result;
        const auto order = MeasureOrder(m_score.measures, m_options.asWritten, MaxLines / 2);
        if (!order) {
            m_result.error = QStringLiteral("The song with its repeats played out would make more than %1 chord-list "
                                            "lines; import it with --as-written.")
                                 .arg(MaxLines);
            return m_result;
        }
        // Guitar Pro's hammer-on and slide take their direction from the next note, so a link turned
        // to it loses nothing; one with no next note to join is dropped.
        m_writer.emplace(m_body, m_tuning, [this](const MendedLink& mended, int) {
            if (mended.after == NoteLink::None)
                ++m_losses.linksDropped;
        });
        for (const PlayedMeasure& played : *order) {
            writeMeasure(played);
            if (m_body.size() + m_afterHeld.size() > MaxLines) {
                m_result.error = QStringLiteral("The track would make more than %1 chord-list lines.").arg(MaxLines);
                return m_result;
            }
        }
        flush();
        m_writer->finish();

        QStringList& lines = m_result.lines;
        const QString title = CommentText(m_score.title);
        QStringList sub;
        for (const QString& text : { m_score.artist, m_score.album }) {
            if (!CommentText(text).isEmpty())
                sub.append(CommentText(text));
        }
        if (!title.isEmpty())
            lines.append(QStringLiteral("* Title: ") + title);
        if (!sub.isEmpty())
            lines.append(QStringLiteral("* Sub: ") + sub.join(QStringLiteral(" - ")));
        if (!m_tuning.isStandard())
            lines.append(m_tuning.lineText());
        // A longer neck only when a note needs it (as other imports do), then as long as the track's.
        if (m_highestFret > FretCount)
            lines.append(
                FretsLineText(std::max(std::min(m_track->frets + m_track->capo, MaxFretLimit), m_highestFret)));
        lines += m_body;
        m_result.tempo = std::clamp(m_score.tempo, MinTempo, MaxTempo);
        const int program = m_track->program;
        m_result.patch = program >= 32 && program <= 39 ? program : DefaultPatch;
        report();
        return m_result;
    }

    bool Converter::chooseTrack()
    {
        const int count = static_cast<int>(m_score.tracks.size());
        if (count == 0) {
            m_result.error = QStringLiteral("The file holds no track.");
            return false;
        }
        if (m_options.track > count || m_options.track < 0) {
            m_result.error
                = QStringLiteral("The file has %1 tracks; there is no track %2.").arg(count).arg(m_options.track);
            return false;
        }
        m_trackIndex = m_options.track > 0 ? m_options.track - 1 : ChooseBassTrack(m_score);
        if (m_trackIndex < 0) {
            m_result.error = QStringLiteral("No track of the file has 4 to 6 strings (drums aside): there is no bass "
                                            "part to read.");
            return false;
        }
        m_track = &m_score.tracks[m_trackIndex];
        const QString named = QStringLiteral("Track %1 (\"%2\")").arg(m_trackIndex + 1).arg(CommentText(m_track->name));
        if (m_track->percussion) {
            m_result.error = named + QStringLiteral(" is a drum track: it has no strings and frets to read.");
            return false;
        }
        const int strings = static_cast<int>(m_track->tuning.size());
        if (strings < MinTuningStrings || strings > MaxTuningStrings) {
            m_result.error = named + QStringLiteral(" has %1 strings; a chord list holds 4 to 6.").arg(strings);
            return false;
        }
        int voices = 1;
        for (const TrackMeasure& measure : m_track->measures)
            voices = std::max(voices, static_cast<int>(measure.voices.size()));
        if (m_options.voice > voices || m_options.voice < 0) {
            m_result.error = named + QStringLiteral(" has no voice %1: it has %2.").arg(m_options.voice).arg(voices);
            return false;
        }
        m_voice = m_options.voice > 0 ? m_options.voice - 1 : FirstVoiceWithNotes(*m_track);
        if (m_options.track == 0) {
            const Track& track = *m_track;
            const bool bass = (track.program >= 32 && track.program <= 39)
                || *std::min_element(track.tuning.begin(), track.tuning.end()) + track.capo < 33;
            m_fallback = !bass;
        }
        return true;
    }

    bool Converter::makeTuning()
    {
        QStringList names;
        for (auto it = m_track->tuning.crbegin(); it != m_track->tuning.crend(); ++it) {
            const int key = *it;
            names.append(PitchClassName(key).section(u'/', 0, 0) + QString::number(key / 12 - 1));
        }
        const TuningLineResult tuning = ParseTuningNames(names.join(u' '));
        if (tuning.kind != TuningLineKind::Valid) {
            m_result.error = QStringLiteral("Track %1 is tuned %2, which a chord list cannot hold: %3")
                                 .arg(m_trackIndex + 1)
                                 .arg(names.join(u' '), tuning.reason);
            return false;
        }
        m_tuning = tuning.tuning;
        return true;
    }

    void Converter::writeMeasure(const PlayedMeasure& played)
    {
        const MeasureHeader& header = m_score.measures[played.measure];
        if (!header.marker.trimmed().isEmpty())
            addLine(QStringLiteral("* Section: ") + CommentText(header.marker));
        for (const QString& line : played.before)
            addLine(line);
        if (!WritableTime(header.time)) {
            if (m_unwritableTime != header.time)
                ++m_losses.droppedTimes;
            m_unwritableTime = header.time;
        } else {
            m_unwritableTime.reset();
            const fw::TimeSignature time { header.time.numerator, header.time.denominator };
            if (time != m_listTime) {
                m_listTime = time;
                addLine(TimeLineText(time));
            }
        }
        const TrackMeasure& measure = m_track->measures[played.measure];
        for (qsizetype v = 0; v < measure.voices.size(); ++v) {
            if (v == m_voice)
                continue;
            for (const Beat& beat : measure.voices[v])
                m_losses.otherVoices += static_cast<int>(beat.notes.size());
        }
        static const QList<Beat> none;
        const QList<Beat>& beats = m_voice < measure.voices.size() ? measure.voices[m_voice] : none;
        const bool empty
            = std::all_of(beats.begin(), beats.end(), [](const Beat& beat) { return beat.empty || beat.grace; });
        if (empty) {
            for (const Beat& beat : beats)
                m_losses.grace += static_cast<int>(beat.notes.size());
            Beat rest;
            rest.rest = true;
            writeBeat(rest, MeterTicks(header.time.numerator, header.time.denominator));
        } else {
            const BeatTicks ticks = PlaceBeats(beats);
            m_losses.roundedMeasures += ticks.rounded;
            for (qsizetype i = 0; i < beats.size(); ++i) {
                if (beats[i].grace)
                    m_losses.grace += static_cast<int>(beats[i].notes.size());
                else
                    writeBeat(beats[i], ticks.starts[i + 1] - ticks.starts[i]);
            }
        }
        for (const QString& line : played.after)
            addLine(line);
        addLine(QString());
    }

    void Converter::writeBeat(const Beat& beat, long long ticks)
    {
        if (ticks <= 0)
            return;
        // PlaceBeats gave every beat a length the forms fill exactly; a song has few lengths.
        QStringList& forms = m_forms[ticks];
        if (forms.isEmpty())
            forms = asciitab::SplitLength(static_cast<int>(ticks), true);
        m_losses.splits += forms.size() > 1;
        if (!beat.text.trimmed().isEmpty())
            addLine(QStringLiteral("* Text: ") + CommentText(beat.text));
        m_losses.chordDiagrams += beat.chordDiagram;
        m_losses.fadeIns += beat.fadeIn;
        m_losses.tremoloBars += beat.tremoloBar;
        LinkLeeways leeways {};
        std::array<bool, 7> tied {};
        for (qsizetype f = 0; f < forms.size(); ++f) {
            ChordDef def = f == 0 && !beat.rest ? entryOf(beat, leeways, tied) : ChordDef();
            def.Duration = forms[f];
            addEntry(def, f == 0 ? leeways : LinkLeeways {}, f == 0 ? tied : std::array<bool, 7> {});
        }
    }

    ChordDef Converter::entryOf(const Beat& beat, LinkLeeways& leeways, std::array<bool, 7>& tied)
    {
        ChordDef def;
        const int strings = static_cast<int>(m_track->tuning.size());
        bool accent = false;
        bool staccato = false;
        bool palmMute = false;
        bool letRing = false;
        for (const Note& note : beat.notes) {
            if (note.string < 1 || note.string > strings)
                continue;
            const int slot = 6 - strings + note.string;
            if (def.Frets[slot] != NotPlayedFret || def.Marks[slot].kind == NoteKind::Dead)
                continue;
            LastNote& last = m_last[note.string];
            int fret = note.fret + m_track->capo;
            NoteMarks marks;
            if (note.tie && last.fret >= 0) {
                fret = last.fret;
                marks.kind = last.marks.kind;
                marks.harmonicNode = last.marks.harmonicNode;
                tied[slot] = true;
            } else {
                marks = marksOf(note, fret, leeways[slot]);
            }
            // A tie with no note before it has only the fret it was written with, which may be none.
            if (fret > MaxFretLimit || fret < 0) {
                ++(fret < 0 ? m_losses.lostTies : m_losses.aboveNeck);
                last.fret = -1;
                continue;
            }
            m_losses.combinations += FitNoteMarks(fret, marks, MaxFretLimit);
            def.Frets[slot] = fret;
            def.Marks[slot] = marks;
            // A bend may reach above the last fret; the neck shown goes as far as it can towards it.
            m_highestFret = std::max({ m_highestFret, fret, std::min<int>(marks.bendTarget, MaxFretLimit) });
            last = { fret, marks };
            accent = accent || note.accent;
            staccato = staccato || note.staccato;
            palmMute = palmMute || note.palmMute;
            letRing = letRing || note.letRing;
            m_losses.grace += note.graceBefore;
            m_losses.trills += note.trill;
            m_losses.tremoloPicking += note.tremoloPicking;
        }
        for (int slot = m_tuning.firstSlot(); slot <= 6; ++slot) {
            if (def.Frets[slot] != NotPlayedFret)
                def.Notes[slot] = static_cast<unsigned char>(m_tuning.openNote(slot) + def.Frets[slot]);
        }
        if (IsRest(def))
            return def;
        LineMarks& words = def.Technique;
        switch (beat.attack) {
        case Attack::Slap:
            words.attack = fw::Attack::Slap;
            break;
        case Attack::Pop:
            words.attack = fw::Attack::Pop;
            break;
        case Attack::Tap:
            words.attack = fw::Attack::Tap;
            break;
        case Attack::Normal:
            break;
        }
        words.accent = accent;
        words.staccato = staccato;
        words.palmMute = palmMute;
        // A note let ring is neither muted nor cut short.
        words.letRing = letRing && !palmMute && !staccato;
        m_losses.combinations += letRing && !words.letRing;
        return def;
    }

    NoteMarks Converter::marksOf(const Note& note, int& fret, LinkLeeway& leeway)
    {
        NoteMarks marks;
        if (note.dead) {
            marks.kind = NoteKind::Dead;
        } else if (note.harmonic == Harmonic::Natural) {
            const int node = HarmonicNodeNear(fret * 10);
            if (node > 0 && m_track->capo == 0) {
                marks.kind = NoteKind::Harmonic;
                marks.harmonicNode = static_cast<short>(node);
                fret = HarmonicFret(node);
            } else {
                ++m_losses.harmonicsOffNode;
            }
        } else if (note.harmonic != Harmonic::None) {
            ++m_losses.artificialHarmonics;
        } else if (note.ghost) {
            marks.kind = NoteKind::Ghost;
        }
        if (note.slideIn == SlideIn::FromBelow)
            marks.slideIn = fw::SlideIn::FromBelow;
        else if (note.slideIn == SlideIn::FromAbove)
            marks.slideIn = fw::SlideIn::FromAbove;
        switch (note.slideOut) {
        case SlideOut::Shift:
        case SlideOut::Legato:
            // Its direction is the next note's; MendLinks turns it.
            marks.link = NoteLink::SlideUp;
            break;
        case SlideOut::Down:
        case SlideOut::Up:
            marks.link = note.slideOut == SlideOut::Down ? NoteLink::SlideDown : NoteLink::SlideUp;
            leeway.legatoSlide = false;
            break;
        case SlideOut::None:
            if (note.hammer)
                marks.link = NoteLink::HammerOn;
            break;
        }
        if (note.bendCents > 0) {
            const int semitones = (note.bendCents + 50) / 100;
            if (note.preBend || semitones < 1 || semitones > MaxBendFrets || note.bendCents % 100 != 0) {
                ++m_losses.bends;
            } else {
                marks.bendTarget = static_cast<signed char>(fret + semitones);
                m_losses.releases += note.bendRelease;
            }
        }
        marks.vibrato = note.vibrato;
        return marks;
    }

    void Converter::addEntry(ChordDef def, const LinkLeeways& leeways, const std::array<bool, 7>& tied)
    {
        for (int slot = 1; slot <= 6; ++slot) {
            if (!tied[slot])
                continue;
            // A tie joins the note to the one just before it on the string; with anything between them
            // (a rest, another string's note alone) the note is struck again.
            if (m_held && m_held->def.Frets[slot] == def.Frets[slot] && IsStruck(m_held->def, slot)) {
                NoteMarks& marks = m_held->def.Marks[slot];
                marks.link = NoteLink::Tie;
                m_losses.combinations += FitNoteMarks(m_held->def.Frets[slot], marks, MaxFretLimit);
            } else {
                ++m_losses.tiesApart;
            }
        }
        flush();
        def.Name = AutomaticName(def, m_tuning);
        m_held = Held { std::move(def), leeways };
    }

    void Converter::addLine(const QString& line)
    {
        if (m_held)
            m_afterHeld.append(line);
        else
            m_body.append(line);
    }

    void Converter::flush()
    {
        if (!m_held)
            return;
        m_writer->add(m_held->def, BuildLine(m_held->def, m_tuning), 0, &m_held->leeways);
        m_body += m_afterHeld;
        m_afterHeld.clear();
        m_held.reset();
    }

    void Converter::report()
    {
        Counts counts;
        const QString name = CommentText(m_track->name);
        if (m_fallback)
            counts.add(QStringLiteral("No track sounds like a bass: read track %1 (\"%2\"), the one tuned lowest.")
                           .arg(m_trackIndex + 1)
                           .arg(name));
        const int others = static_cast<int>(m_score.tracks.size()) - 1;
        counts.add(others == 1
                ? QStringLiteral("%1 other track not read (only \"") + name + QStringLiteral("\" was).")
                : QStringLiteral("%1 other tracks not read (only \"") + name + QStringLiteral("\" was)."),
            others);
        if (m_options.voice == 0 && m_voice > 0)
            counts.add(QStringLiteral("Voice %1 read: the voices before it have no notes.").arg(m_voice + 1));
        if (m_track->capo > 0)
            counts.add(QStringLiteral("Capo at fret %1: every fret written %1 higher.").arg(m_track->capo));
        if (!m_score.tempoChanges.isEmpty()) {
            QStringList changes;
            for (const TempoChange& change : m_score.tempoChanges.mid(0, 5))
                changes.append(QStringLiteral("%1 at measure %2").arg(change.bpm).arg(change.measure + 1));
            if (m_score.tempoChanges.size() > 5)
                changes.append(QStringLiteral("..."));
            counts.add(QStringLiteral("%1 tempo changes not kept (the list plays at %2 throughout): %3.")
                           .arg(m_score.tempoChanges.size())
                           .arg(m_result.tempo)
                           .arg(changes.join(QStringLiteral(", "))));
        }
        const Losses& l = m_losses;
        counts.add(QStringLiteral("%1 notes of other voices dropped (voice ") + QString::number(m_voice + 1)
                + QStringLiteral(" was read)."),
            l.otherVoices);
        counts.add(QStringLiteral("%1 grace notes dropped."), l.grace);
        counts.add(QStringLiteral("%1 lyrics lines dropped."), m_score.lyrics);
        counts.add(QStringLiteral("%1 chord diagrams dropped."), l.chordDiagrams);
        counts.add(QStringLiteral("%1 artificial, tapped, pinch and semi harmonics written as plain notes."),
            l.artificialHarmonics);
        counts.add(QStringLiteral("%1 natural harmonics at no node of the open string written as plain notes."),
            l.harmonicsOffNode);
        counts.add(QStringLiteral("%1 trills dropped."), l.trills);
        counts.add(QStringLiteral("%1 tremolo-picked notes written as single notes."), l.tremoloPicking);
        counts.add(QStringLiteral("%1 fade-ins dropped."), l.fadeIns);
        counts.add(QStringLiteral("%1 tremolo-bar (whammy) effects dropped."), l.tremoloBars);
        counts.add(QStringLiteral("%1 bends dropped (pre-bends, and bends of no whole 1 to 6 semitones)."), l.bends);
        counts.add(QStringLiteral("%1 bend releases dropped (the bends are kept)."), l.releases);
        counts.add(QStringLiteral("%1 marks dropped that do not go together on one note or line."), l.combinations);
        counts.add(QStringLiteral("%1 hammer-ons, pull-offs, slides and ties dropped: no next note on their string "
                                  "that they can join."),
            l.linksDropped);
        counts.add(QStringLiteral("%1 tied notes struck again: something stands between them and the note they "
                                  "continue."),
            l.tiesApart);
        counts.add(QStringLiteral("%1 notes above fret 24 dropped."), l.aboveNeck);
        counts.add(QStringLiteral("%1 tied notes dropped: no note before them to continue, and no fret of their own."),
            l.lostTies);
        counts.add(QStringLiteral("%1 lengths that no single duration holds: split into a note and rests."), l.splits);
        counts.add(QStringLiteral("%1 measures with tuplets other than triplets, or notes shorter than a "
                                  "sixty-fourth: their beats placed on the nearest 192nd of a whole note."),
            l.roundedMeasures);
        counts.add(QStringLiteral("%1 time signatures that a list cannot hold dropped (a list's time counts 1 to 32 "
                                  "beats of halves, quarters, eighths or sixteenths)."),
            l.droppedTimes);
        counts.add(QStringLiteral("%1 da capo, dal segno, coda and fine signs not followed."), m_score.jumps);
        m_result.report = counts.lines();
    }

} // namespace

Conversion ConvertScore(const Score& score, const ConversionOptions& options)
{
    return Converter(score, options).run();
}

} // namespace fw::guitarpro
