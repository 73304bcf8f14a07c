#include "Retune.h"

#include "LineParser.h"
#include "NoteMoves.h"
#include "SpecialLines.h"
#include "TextRules.h"

#include <algorithm>

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

    // The same strings and frets in the new tuning, or the text naming the first note that has no place.
    std::optional<ChordDef> KeptFrets(const ChordDef& def, const Tuning& from, const Tuning& to, QString& problem)
    {
        const int shift = StringShift(from, to);
        std::vector<MovedNote> notes = StruckNotes(def, from);
        for (MovedNote& note : notes) {
            if (!to.hasSlot(note.slot + shift)) {
                problem = NoteWhere(from, note.slot, note.fret, note.marks)
                    + QStringLiteral(": the new tuning has no such string.");
                return std::nullopt;
            }
            note.slot += shift;
        }
        return WithNotes(def, notes, to);
    }

    // What a note sounds like, to match it across tunings: its pitch, a harmonic's sounding pitch, or
    // nothing at all for a dead note without a fret.
    int SoundKey(const MovedNote& note, const Tuning& tuning)
    {
        if (note.marks.kind == NoteKind::Harmonic)
            return 1000 + tuning.openNote(note.slot) + HarmonicSemitones(note.marks.harmonicNode);
        if (note.fret == NotPlayedFret)
            return -1;
        return tuning.openNote(note.slot) + note.fret;
    }

    // The notes of def that the moved line leaves out: each old note is matched with a new one of its sound.
    QStringList LostNotes(const ChordDef& def, const Tuning& from, const ChordDef& moved, const Tuning& to)
    {
        std::vector<MovedNote> left = StruckNotes(moved, to);
        QStringList lost;
        for (const MovedNote& note : StruckNotes(def, from)) {
            const int key = SoundKey(note, from);
            const auto match = std::find_if(
                left.begin(), left.end(), [&](const MovedNote& other) { return SoundKey(other, to) == key; });
            if (match == left.end())
                lost << NoteWhere(from, note.slot, note.fret, note.marks);
            else
                left.erase(match);
        }
        return lost;
    }

} // namespace

QString NoteWhere(const Tuning& tuning, int slot, int fret)
{
    return QStringLiteral("%1 (%2 string, fret %3)")
        .arg(PitchClassName(tuning.openNote(slot) + fret), tuning.stringName(slot))
        .arg(fret);
}

QString NoteWhere(const Tuning& tuning, int slot, int fret, const NoteMarks& marks)
{
    if (marks.kind == NoteKind::Harmonic)
        return QStringLiteral("%1 (%2 string, harmonic at %3)")
            .arg(PitchClassName(tuning.openNote(slot) + HarmonicSemitones(marks.harmonicNode)), tuning.stringName(slot),
                HarmonicNodeText(marks.harmonicNode));
    if (fret == NotPlayedFret)
        return QStringLiteral("dead note (%1 string)").arg(tuning.stringName(slot));
    return NoteWhere(tuning, slot, fret);
}

int StringShift(const Tuning& from, const Tuning& to)
{
    // A string without a counterpart counts as half an octave.
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

RetuneResult RetuneLines(const QStringList& lines, const Tuning& to, RetuneMode mode, const PitchFingering& keepPitches)
{
    RetuneResult result;
    const Tuning from = TuningOfLines(lines);
    const int fretLimit = FretLimitOfLines(lines);
    std::vector<LineParseResult> parsed(lines.size());
    std::vector<ChordDef> defs(lines.size());
    std::vector<ChordDef> entries;
    for (int i = 0; i < lines.size(); ++i) {
        parsed[i] = ParseLineText(lines[i], i, defs[i], from, fretLimit);
        if (parsed[i].kind == LineKind::ChordDefinition && parsed[i].errorText.isEmpty())
            entries.push_back(defs[i]);
    }
    std::vector<ChordDef> pitchMoved;
    if (mode == RetuneMode::KeepPitches && !entries.empty())
        pitchMoved = keepPitches(entries, from, to, fretLimit);

    const int existing = LastTuningLine(lines);
    int insertAt = -1;
    if (existing < 0 && !to.isStandard()) {
        insertAt = 0;
        while (insertAt < lines.size() && IsTitleLine(lines[insertAt]))
            ++insertAt;
    }
    const auto insert = [&result](const QString& line) {
        result.InsertedLines.push_back(static_cast<int>(result.Lines.size()));
        result.Lines << line;
    };
    // Messages count the lines of the new list, which the user sees afterwards.
    const auto prefix = [&result] { return QStringLiteral("Line %1    ").arg(result.Lines.size() + 1); };
    size_t entry = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (i == insertAt)
            insert(to.lineText());
        if (i == existing) {
            result.Lines << to.lineText();
            continue;
        }
        if (parsed[i].kind != LineKind::ChordDefinition) {
            result.Lines << lines[i];
            continue;
        }
        if (!parsed[i].errorText.isEmpty()) {
            ChordDef ignored;
            result.Problems
                << ParseLineText(lines[i], static_cast<int>(result.Lines.size()), ignored, from, fretLimit).errorText;
            result.Lines << lines[i];
            continue;
        }
        const ChordDef& def = defs[i];
        ChordDef moved;
        if (mode == RetuneMode::KeepFrets) {
            QString problem;
            std::optional<ChordDef> kept = KeptFrets(def, from, to, problem);
            if (!kept) {
                result.Problems << prefix() + problem;
                result.Lines << lines[i];
                continue;
            }
            moved = std::move(*kept);
        } else {
            if (entry < pitchMoved.size())
                moved = pitchMoved[entry];
            else
                moved = WithNotes(def, {}, to);
            ++entry;
            const QStringList lost = LostNotes(def, from, moved, to);
            if (!lost.isEmpty()) {
                insert(QStringLiteral("* Not playable on this tuning: %1 in %2")
                           .arg(lost.join(QStringLiteral(", ")), from.namesText()));
                result.Rests << prefix() + lost.join(QStringLiteral(", "))
                        + (lost.size() == 1 ? QStringLiteral(": no string of the new tuning can play it.")
                                            : QStringLiteral(": no string of the new tuning can play them."));
            }
        }
        // A name the program gave follows the new notes; a name of the user's own stays.
        if (TrimBlanks(def.Name) == AutomaticName(def, from))
            moved.Name = AutomaticName(moved, to);
        result.Lines << BuildLine(moved, to);
    }
    if (insertAt == lines.size())
        insert(to.lineText());
    return result;
}

QString SectionedWarning(const std::vector<std::pair<QString, QStringList>>& sections)
{
    QStringList parts;
    for (const auto& [heading, lines] : sections) {
        if (!lines.isEmpty())
            parts << heading + u'\n' + lines.join(u'\n');
    }
    return parts.join(QStringLiteral("\n\n"));
}

QString RetuneWarning(const RetuneResult& result)
{
    return SectionedWarning({ { QStringLiteral("These lines were left as they were:"), result.Problems },
        { QStringLiteral("These notes have no string in the new tuning; they became rests, each named in a comment "
                         "above it:"),
            result.Rests } });
}

void ApplyRewrite(EditorLines& editor, const QStringList& lines, const ListRewrite& rewrite)
{
    // The old lines first, where they are now; then the new ones in rising order, each insert
    // finding every line above it in place.
    size_t inserted = 0;
    int target = 0;
    for (int i = 0; i < lines.size(); ++i, ++target) {
        while (inserted < rewrite.InsertedLines.size() && rewrite.InsertedLines[inserted] == target) {
            ++inserted;
            ++target;
        }
        if (rewrite.Lines[target] != lines[i])
            editor.replaceLine(i, rewrite.Lines[target]);
    }
    for (const int at : rewrite.InsertedLines)
        editor.insertLine(at, rewrite.Lines[at]);
}

} // namespace fw
