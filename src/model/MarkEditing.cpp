#include "MarkEditing.h"

namespace fw {

namespace {

    bool IsNoteMark(Technique technique) { return technique <= Technique::Vibrato; }

    NoteLink LinkOf(Technique technique)
    {
        switch (technique) {
        case Technique::HammerOn:
            return NoteLink::HammerOn;
        case Technique::PullOff:
            return NoteLink::PullOff;
        case Technique::SlideUp:
            return NoteLink::SlideUp;
        case Technique::SlideDown:
            return NoteLink::SlideDown;
        case Technique::Tie:
            return NoteLink::Tie;
        default:
            return NoteLink::None;
        }
    }

    SlideIn SlideInOf(Technique technique)
    {
        return technique == Technique::SlideInFromBelow ? SlideIn::FromBelow
            : technique == Technique::SlideInFromAbove  ? SlideIn::FromAbove
                                                        : SlideIn::None;
    }

    // The node at a fret, 0 when the fret is none.
    int NodeAtFret(int fret)
    {
        const int node = HarmonicNodeNear(fret * 10);
        return node != 0 && HarmonicFret(node) == fret ? node : 0;
    }

    // Whether the note at slot can carry the mark (with what it has given up to make room for it).
    bool CanTake(const ChordDef& def, int slot, Technique technique)
    {
        const NoteMarks& marks = def.Marks[slot];
        const bool fretted = def.Frets[slot] != NotPlayedFret;
        switch (technique) {
        case Technique::Tie:
            return marks.kind != NoteKind::Dead;
        case Technique::Vibrato:
            return marks.kind != NoteKind::Dead;
        case Technique::Harmonic:
            return marks.kind == NoteKind::Harmonic || (fretted && NodeAtFret(def.Frets[slot]) != 0);
        case Technique::Dead:
            return marks.kind != NoteKind::Harmonic;
        default:
            return fretted && marks.kind != NoteKind::Harmonic;
        }
    }

    bool Carries(const NoteMarks& marks, Technique technique)
    {
        switch (technique) {
        case Technique::Ghost:
            return marks.kind == NoteKind::Ghost;
        case Technique::Dead:
            return marks.kind == NoteKind::Dead;
        case Technique::Harmonic:
            return marks.kind == NoteKind::Harmonic;
        case Technique::Bend:
            return marks.hasBend();
        case Technique::Vibrato:
            return marks.vibrato;
        case Technique::SlideInFromBelow:
        case Technique::SlideInFromAbove:
            return marks.slideIn == SlideInOf(technique);
        default:
            return marks.link == LinkOf(technique);
        }
    }

    void Clear(ChordDef& def, int slot, Technique technique)
    {
        NoteMarks& marks = def.Marks[slot];
        switch (technique) {
        case Technique::Ghost:
        case Technique::Dead:
            marks.kind = NoteKind::Normal;
            break;
        case Technique::Harmonic:
            marks.kind = NoteKind::Normal;
            marks.harmonicNode = 0;
            if (marks.link == NoteLink::Tie)
                marks.link = NoteLink::None;
            break;
        case Technique::Bend:
            marks.bendTarget = -1;
            break;
        case Technique::Vibrato:
            marks.vibrato = false;
            break;
        case Technique::SlideInFromBelow:
        case Technique::SlideInFromAbove:
            marks.slideIn = SlideIn::None;
            break;
        default:
            marks.link = NoteLink::None;
            break;
        }
    }

    // Sets the mark and gives up what does not go with it (Marks.h: which marks go together).
    void Set(ChordDef& def, int slot, Technique technique)
    {
        NoteMarks& marks = def.Marks[slot];
        switch (technique) {
        case Technique::Ghost:
            marks.kind = NoteKind::Ghost;
            marks.slideIn = SlideIn::None;
            marks.bendTarget = -1;
            break;
        case Technique::Dead:
            marks = NoteMarks {};
            marks.kind = NoteKind::Dead;
            break;
        case Technique::Harmonic:
            marks.kind = NoteKind::Harmonic;
            marks.harmonicNode = static_cast<short>(NodeAtFret(def.Frets[slot]));
            marks.slideIn = SlideIn::None;
            marks.bendTarget = -1;
            if (marks.link != NoteLink::Tie)
                marks.link = NoteLink::None;
            break;
        case Technique::Bend:
            marks.kind = NoteKind::Normal;
            marks.slideIn = SlideIn::None;
            marks.link = NoteLink::None;
            marks.bendTarget = static_cast<signed char>(def.Frets[slot] + 2);
            break;
        case Technique::Vibrato:
            marks.vibrato = true;
            break;
        case Technique::SlideInFromBelow:
        case Technique::SlideInFromAbove:
            marks.kind = NoteKind::Normal;
            marks.bendTarget = -1;
            marks.slideIn = SlideInOf(technique);
            break;
        default:
            marks.bendTarget = -1;
            marks.link = LinkOf(technique);
            break;
        }
    }

    bool ToggleLineMark(LineMarks& marks, Technique technique)
    {
        const auto attack = [&marks](Attack which) {
            marks.attack = marks.attack == which ? Attack::Normal : which;
            return true;
        };
        switch (technique) {
        case Technique::Slap:
            return attack(Attack::Slap);
        case Technique::Pop:
            return attack(Attack::Pop);
        case Technique::Tap:
            return attack(Attack::Tap);
        case Technique::Accent:
            marks.accent = !marks.accent;
            return true;
        case Technique::Staccato:
            marks.staccato = !marks.staccato;
            marks.letRing = marks.letRing && !marks.staccato;
            return true;
        case Technique::PalmMute:
            marks.palmMute = !marks.palmMute;
            marks.letRing = marks.letRing && !marks.palmMute;
            return true;
        case Technique::LetRing:
            marks.letRing = !marks.letRing;
            marks.palmMute = marks.palmMute && !marks.letRing;
            marks.staccato = marks.staccato && !marks.letRing;
            return true;
        default:
            return false;
        }
    }

} // namespace

bool HasTechnique(const ChordDef& def, Technique technique, const Tuning& tuning)
{
    const LineMarks& line = def.Technique;
    switch (technique) {
    case Technique::Slap:
        return line.attack == Attack::Slap;
    case Technique::Pop:
        return line.attack == Attack::Pop;
    case Technique::Tap:
        return line.attack == Attack::Tap;
    case Technique::Accent:
        return line.accent;
    case Technique::Staccato:
        return line.staccato;
    case Technique::PalmMute:
        return line.palmMute;
    case Technique::LetRing:
        return line.letRing;
    case Technique::ClearAll:
        return false;
    default:
        break;
    }
    int takers = 0;
    for (int slot = tuning.firstSlot(); slot <= LastBassSlot; ++slot) {
        if (!IsStruck(def, slot) || !CanTake(def, slot, technique))
            continue;
        if (!Carries(def.Marks[slot], technique))
            return false;
        ++takers;
    }
    return takers > 0;
}

QString ToggleTechnique(ChordDef& def, Technique technique, const Tuning& tuning)
{
    if (technique == Technique::ClearAll) {
        // A dead note without a fret has nothing plain to fall back to: it stays.
        for (int slot = 1; slot <= LastBassSlot; ++slot) {
            if (def.Frets[slot] != NotPlayedFret)
                def.Marks[slot] = {};
        }
        def.Technique = {};
        return QString();
    }
    if (IsRest(def))
        return QStringLiteral("This line has no notes to mark.");
    if (!IsNoteMark(technique)) {
        ToggleLineMark(def.Technique, technique);
        return QString();
    }
    const bool clear = HasTechnique(def, technique, tuning);
    bool any = false;
    for (int slot = tuning.firstSlot(); slot <= LastBassSlot; ++slot) {
        if (!IsStruck(def, slot) || !CanTake(def, slot, technique))
            continue;
        if (clear)
            Clear(def, slot, technique);
        else
            Set(def, slot, technique);
        any = true;
    }
    if (any)
        return QString();
    if (technique == Technique::Harmonic)
        return QStringLiteral("No note of this line is at a harmonic node (fret 12, 7, 5, 4, 9, 3 ...).");
    return QStringLiteral("No note of this line can take that mark.");
}

} // namespace fw
