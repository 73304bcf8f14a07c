#include "Retune.h"

#include "LineParser.h"
#include "TextRules.h"

#include <array>
#include <cstdlib>
#include <optional>

namespace fw {

namespace {

    bool IsTitleLine(const QString& line)
    {
        if (!IsCommentLine(line))
            return false;
        const QString upper = line.toUpper();
        return upper.contains(QLatin1StringView("TITLE:")) || upper.contains(QLatin1StringView("SUB:"));
    }

    int LastTuningLine(const QStringList& lines)
    {
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            if (lines[i].startsWith(u'*') && ParseTuningLine(lines[i]).kind == TuningLineKind::Valid)
                return static_cast<int>(i);
        }
        return -1;
    }

    QString Where(const Tuning& tuning, int slot, int fret)
    {
        return QStringLiteral("%1 (%2 string, fret %3)")
            .arg(PitchClassName(tuning.openNote(slot) + fret), tuning.stringName(slot))
            .arg(fret);
    }

    bool FitsOn(const Tuning& tuning, int slot, int note)
    {
        const int fret = note - tuning.openNote(slot);
        return tuning.hasSlot(slot) && fret >= 0 && fret <= FretCount;
    }

    // How far a string's slot moves: strings are matched so their open notes differ least, each
    // string without a counterpart counting as half an octave. E A D G to B E A D G keeps the E
    // string the E string (-1); E A D G to D A D G retunes the lowest string (0).
    int SlotShift(const Tuning& from, const Tuning& to)
    {
        constexpr int UnmatchedCost = 6;
        int best = 0;
        int bestCost = -1;
        for (const int shift : { 0, -1, 1, -2, 2 }) {
            int cost = 0;
            for (int slot = from.firstSlot(); slot <= LastBassSlot; ++slot) {
                const int target = slot + shift;
                cost += to.hasSlot(target) ? std::abs(to.openNote(target) - from.openNote(slot)) : UnmatchedCost;
            }
            if (bestCost < 0 || cost < bestCost) {
                best = shift;
                bestCost = cost;
            }
        }
        return best;
    }

    // The frets of def in the new tuning, or the text naming the first note that has no place.
    std::optional<FretArray> MoveNotes(
        const ChordDef& def, const Tuning& from, const Tuning& to, RetuneMode mode, QString& problem)
    {
        const int shift = SlotShift(from, to);
        FretArray frets = NoFrets;
        if (mode == RetuneMode::KeepFrets) {
            for (int slot = from.firstSlot(); slot <= LastBassSlot; ++slot) {
                if (def.Frets[slot] == NotPlayedFret)
                    continue;
                if (!to.hasSlot(slot + shift)) {
                    problem
                        = Where(from, slot, def.Frets[slot]) + QStringLiteral(": the new tuning has no such string.");
                    return std::nullopt;
                }
                frets[slot + shift] = def.Frets[slot];
            }
            return frets;
        }
        // Notes that fit on their own string stay there first, so the others only take strings left free.
        std::array<bool, 7> placed {};
        for (int slot = from.firstSlot(); slot <= LastBassSlot; ++slot) {
            const int note = from.openNote(slot) + def.Frets[slot];
            if (def.Frets[slot] != NotPlayedFret && FitsOn(to, slot + shift, note)) {
                frets[slot + shift] = note - to.openNote(slot + shift);
                placed[slot] = true;
            }
        }
        for (int slot = from.firstSlot(); slot <= LastBassSlot; ++slot) {
            if (def.Frets[slot] == NotPlayedFret || placed[slot])
                continue;
            const int note = from.openNote(slot) + def.Frets[slot];
            const int own = slot + shift;
            int best = 0;
            for (int other = LastBassSlot; other >= to.firstSlot(); --other) {
                if (frets[other] != NotPlayedFret || !FitsOn(to, other, note))
                    continue;
                if (best == 0 || std::abs(other - own) < std::abs(best - own))
                    best = other;
            }
            if (best == 0) {
                problem = Where(from, slot, def.Frets[slot])
                    + QStringLiteral(": no free string of the new tuning can play it.");
                return std::nullopt;
            }
            frets[best] = note - to.openNote(best);
        }
        return frets;
    }

} // namespace

RetuneResult RetuneLines(const QStringList& lines, const Tuning& to, RetuneMode mode)
{
    RetuneResult result;
    const Tuning from = TuningOfLines(lines);
    result.Lines = lines;
    ChordDef def;
    for (int i = 0; i < lines.size(); ++i) {
        const LineParseResult parsed = ParseLineText(lines[i], i, def, from);
        if (parsed.kind != LineKind::ChordDefinition)
            continue;
        if (!parsed.errorText.isEmpty()) {
            result.Problems << parsed.errorText;
            continue;
        }
        QString problem;
        const std::optional<FretArray> frets = MoveNotes(def, from, to, mode, problem);
        if (!frets) {
            result.Problems << QStringLiteral("Line %1    ").arg(i + 1) + problem;
            continue;
        }
        // A name the program gave follows the new notes; a name of the user's own stays.
        const bool autoNamed = TrimBlanks(def.Name) == AutomaticName(def, from);
        def.Frets = *frets;
        for (int slot = 1; slot <= LastBassSlot; ++slot)
            def.Notes[slot] = def.Frets[slot] == NotPlayedFret
                ? NotPlayedNote
                : static_cast<unsigned char>(to.openNote(slot) + def.Frets[slot]);
        if (autoNamed)
            def.Name = AutomaticName(def, to);
        result.Lines[i] = BuildLine(def, to);
    }

    const int existing = LastTuningLine(lines);
    if (existing >= 0) {
        result.Lines[existing] = to.lineText();
    } else if (!to.isStandard()) {
        int at = 0;
        while (at < result.Lines.size() && IsTitleLine(result.Lines[at]))
            ++at;
        result.Lines.insert(at, to.lineText());
        result.InsertedLine = at;
    }
    return result;
}

void ApplyRetune(EditorLines& editor, const QStringList& lines, const RetuneResult& result)
{
    for (int i = 0; i < lines.size(); ++i) {
        const int target = result.InsertedLine >= 0 && i >= result.InsertedLine ? i + 1 : i;
        if (result.Lines[target] != lines[i])
            editor.replaceLine(i, result.Lines[target]);
    }
    if (result.InsertedLine >= 0)
        editor.insertLine(result.InsertedLine, result.Lines[result.InsertedLine]);
}

} // namespace fw
