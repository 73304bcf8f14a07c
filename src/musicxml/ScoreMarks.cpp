#include "ScoreMarks.h"

#include <cmath>
#include <cstdlib>

namespace fw::musicxml {

namespace {

    // The node a harmonic on this fret touches; semitones (above the open string) tells two nodes on
    // one fret apart when the file gives the sounding pitch. 0 when no node lies on the fret.
    int NodeAtFret(int fret, int semitones)
    {
        int best = 0;
        for (int tenths = 1; tenths <= 10 * MaxFretLimit; ++tenths) {
            const int sounds = HarmonicSemitones(tenths);
            if (sounds == 0 || HarmonicFret(tenths) != fret)
                continue;
            if (sounds == semitones)
                return tenths;
            if (best == 0 || std::abs(tenths - 10 * fret) < std::abs(best - 10 * fret))
                best = tenths;
        }
        return best;
    }

    QString Sentence(int count, const char* one, const char* many)
    {
        return QString::fromUtf8(count == 1 ? one : many).arg(count);
    }

} // namespace

QStringList MarkLosses::sentences() const
{
    QStringList lines;
    if (harmonics > 0)
        lines << Sentence(harmonics,
            "%1 harmonic that a list cannot write (artificial, at no node, or without string "
            "and fret) written as a fretted note.",
            "%1 harmonics that a list cannot write (artificial, at no node, or without string and fret) written as "
            "fretted notes.");
    if (bends > 0)
        lines << Sentence(bends, "%1 bend that is not 1 to 6 semitones up dropped.",
            "%1 bends that are not 1 to 6 semitones up dropped.");
    if (releases > 0)
        lines << Sentence(releases, "%1 pre-bend or release dropped.", "%1 pre-bends and releases dropped.");
    if (combinations > 0)
        lines << Sentence(combinations, "%1 mark that does not go with the others of its note dropped.",
            "%1 marks that do not go with the others of their notes dropped.");
    if (linksTurned > 0)
        lines << Sentence(linksTurned, "%1 hammer-on or pull-off turned to the direction of its next note.",
            "%1 hammer-ons and pull-offs turned to the direction of their next notes.");
    if (linksDropped > 0)
        lines << Sentence(linksDropped,
            "%1 hammer-on, pull-off, slide or tie without a next note on its string that it can join dropped.",
            "%1 hammer-ons, pull-offs, slides and ties without a next note on their string that they can join "
            "dropped.");
    return lines;
}

const ReadMarks& MarksOf(const ReadPart& part, const ReadNote& note)
{
    static const ReadMarks none;
    return note.marks >= 0 && note.marks < static_cast<int>(part.marks.size()) ? part.marks[note.marks] : none;
}

NoteMarks NoteMarksOf(const ReadNote& note, const ReadMarks& read, int slot, int& fret, bool byFile,
    const Tuning& tuning, LinkLeeway& leeway, MarkLosses& losses)
{
    NoteMarks marks;
    marks.kind = read.kind;
    if (marks.kind == NoteKind::Dead)
        return marks;
    if (marks.kind == NoteKind::Harmonic) {
        // Note values lie an octave above the sound.
        const int semitones = read.soundingHarmonic ? note.key + 12 - tuning.openNote(slot) : -1;
        const int node = byFile && !read.artificialHarmonic ? NodeAtFret(fret, semitones) : 0;
        if (node == 0) {
            ++losses.harmonics;
            marks.kind = NoteKind::Normal;
        } else {
            marks.harmonicNode = static_cast<short>(node);
            fret = HarmonicFret(node);
        }
    }
    leeway = {};
    if (note.tieStart) {
        marks.link = NoteLink::Tie;
    } else if (read.link != NoteLink::None) {
        marks.link = read.link;
        // A slide in a score always names the note it goes to.
        leeway.slideOut = false;
    } else if (read.slideOff != NoteLink::None) {
        marks.link = read.slideOff;
        leeway.legatoSlide = false;
    }
    marks.slideIn = read.slideIn;
    marks.vibrato = read.vibrato;
    if (read.bendAlter != 0) {
        const long steps = std::lround(read.bendAlter);
        if (steps >= 1 && steps <= MaxBendFrets)
            marks.bendTarget = static_cast<signed char>(fret + steps);
        else
            ++losses.bends;
    }
    losses.releases += read.bendRelease;
    losses.combinations += FitNoteMarks(fret, marks, MaxFretLimit);
    return marks;
}

LineMarks LineMarksOf(const QList<ReadNote>& notes, const ReadPart& part, MarkLosses& losses)
{
    LineMarks words;
    for (const ReadNote& note : notes) {
        const LineMarks& read = MarksOf(part, note).words;
        if (words.attack == Attack::Normal)
            words.attack = read.attack;
        words.accent = words.accent || read.accent;
        words.staccato = words.staccato || read.staccato;
        words.palmMute = words.palmMute || read.palmMute;
        words.letRing = words.letRing || read.letRing;
    }
    if (words.letRing && (words.palmMute || words.staccato)) {
        words.letRing = false;
        ++losses.combinations;
    }
    return words;
}

} // namespace fw::musicxml
