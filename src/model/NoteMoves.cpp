#include "NoteMoves.h"

#include "LineParser.h"
#include "ListCheck.h"

#include <QStringList>
#include <algorithm>

namespace fw {

std::vector<MovedNote> StruckNotes(const ChordDef& def, const Tuning& tuning)
{
    std::vector<MovedNote> notes;
    for (int slot = LastBassSlot; slot >= tuning.firstSlot(); --slot) {
        if (IsStruck(def, slot))
            notes.push_back({ slot, def.Frets[slot], def.Marks[slot] });
    }
    return notes;
}

bool IsFingeredNote(const ChordDef& def, int slot)
{
    return def.Frets[slot] != NotPlayedFret && def.Marks[slot].kind != NoteKind::Harmonic;
}

MovedNote MovedTo(const MovedNote& note, int slot, int fret)
{
    MovedNote moved = note;
    moved.slot = slot;
    moved.fret = fret;
    if (moved.marks.hasBend())
        moved.marks.bendTarget = static_cast<signed char>(note.marks.bendTarget + fret - note.fret);
    return moved;
}

std::optional<MovedNote> HarmonicSounding(
    int soundingNote, const NoteMarks& marks, const Tuning& tuning, int fretLimit, int preferSlot)
{
    // The nodes from the lowest harmonic up, each at its lowest fret first.
    static constexpr int Nodes[] = { 120, 70, 190, 50, 240, 40, 90, 160, 32, 27, 58, 97, 147, 210, 23, 80, 170 };
    const auto on = [&](int slot) -> std::optional<MovedNote> {
        if (!tuning.hasSlot(slot))
            return std::nullopt;
        for (const int node : Nodes) {
            if (tuning.openNote(slot) + HarmonicSemitones(node) == soundingNote && HarmonicFret(node) <= fretLimit) {
                MovedNote note { slot, HarmonicFret(node), marks };
                note.marks.harmonicNode = static_cast<short>(node);
                return note;
            }
        }
        return std::nullopt;
    };
    if (const auto preferred = on(preferSlot))
        return preferred;
    for (int slot = LastBassSlot; slot >= tuning.firstSlot(); --slot) {
        if (const auto note = on(slot))
            return note;
    }
    return std::nullopt;
}

ChordDef WithNotes(const ChordDef& def, const std::vector<MovedNote>& notes, const Tuning& tuning)
{
    ChordDef written = def;
    written.Frets = NoFrets;
    written.Notes = NoNotes;
    written.Marks = {};
    for (const MovedNote& note : notes) {
        if (!tuning.hasSlot(note.slot))
            continue;
        written.Frets[note.slot] = note.fret;
        written.Marks[note.slot] = note.marks;
        written.Notes[note.slot] = note.fret == NotPlayedFret
            ? NotPlayedNote
            : static_cast<unsigned char>(tuning.openNote(note.slot) + note.fret);
    }
    return written;
}

std::vector<int> DropBrokenLinks(std::vector<ChordDef>& defs, const std::vector<bool>& ok,
    const std::vector<bool>& changed, const Tuning& tuning, const std::vector<int>& numberOf, QStringList& reports)
{
    std::vector<int> touched;
    int previous = -1;
    const auto check = [&](const ChordDef* next, bool nextChanged) {
        if (previous < 0 || (!changed[previous] && !nextChanged))
            return;
        ChordDef& def = defs[previous];
        for (int slot = LastBassSlot; slot >= tuning.firstSlot(); --slot) {
            if (!def.Marks[slot].joinsNext())
                continue;
            // One mark at a time, so each is named and only the broken ones go.
            ChordDef single = def;
            for (int other = 1; other <= LastBassSlot; ++other) {
                if (other != slot)
                    single.Marks[other].link = NoteLink::None;
            }
            const QString problem = LinkProblem(single, next, tuning);
            if (problem.isEmpty())
                continue;
            reports << LinePrefix(numberOf[previous]) + problem + QStringLiteral(" It was left out.");
            def.Marks[slot].link = NoteLink::None;
            if (touched.empty() || touched.back() != previous)
                touched.push_back(previous);
        }
    };
    for (int i = 0; i < static_cast<int>(defs.size()); ++i) {
        if (!ok[i]) {
            previous = -1;
            continue;
        }
        if (!IsNoteEntry(defs[i]))
            continue;
        check(&defs[i], changed[i]);
        previous = i;
    }
    check(nullptr, false);
    return touched;
}

} // namespace fw
