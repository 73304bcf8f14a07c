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

    // The same strings and frets in the new tuning, or the text naming the first note that has no place.
    std::optional<FretArray> KeptFrets(const ChordDef& def, const Tuning& from, const Tuning& to, QString& problem)
    {
        const int shift = StringShift(from, to);
        FretArray frets = NoFrets;
        for (int slot = from.firstSlot(); slot <= LastBassSlot; ++slot) {
            if (def.Frets[slot] == NotPlayedFret)
                continue;
            if (!to.hasSlot(slot + shift)) {
                problem
                    = NoteWhere(from, slot, def.Frets[slot]) + QStringLiteral(": the new tuning has no such string.");
                return std::nullopt;
            }
            frets[slot + shift] = def.Frets[slot];
        }
        return frets;
    }

    // The notes of def that the new frets leave out: each old note is matched with a new one of its pitch.
    QStringList LostNotes(const ChordDef& def, const Tuning& from, const FretArray& frets, const Tuning& to)
    {
        std::array<bool, LastBassSlot + 1> matched {};
        QStringList lost;
        for (int slot = LastBassSlot; slot >= from.firstSlot(); --slot) {
            if (def.Frets[slot] == NotPlayedFret)
                continue;
            const int note = from.openNote(slot) + def.Frets[slot];
            bool found = false;
            for (int other = LastBassSlot; other >= to.firstSlot() && !found; --other) {
                found = !matched[other] && frets[other] != NotPlayedFret && to.openNote(other) + frets[other] == note;
                matched[other] = matched[other] || found;
            }
            if (!found)
                lost << NoteWhere(from, slot, def.Frets[slot]);
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
    std::vector<LineParseResult> parsed(lines.size());
    std::vector<ChordDef> defs(lines.size());
    std::vector<ChordDef> entries;
    for (int i = 0; i < lines.size(); ++i) {
        parsed[i] = ParseLineText(lines[i], i, defs[i], from);
        if (parsed[i].kind == LineKind::ChordDefinition && parsed[i].errorText.isEmpty())
            entries.push_back(defs[i]);
    }
    std::vector<FretArray> pitchFrets;
    if (mode == RetuneMode::KeepPitches && !entries.empty())
        pitchFrets = keepPitches(entries, from, to);

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
            result.Problems << ParseLineText(lines[i], static_cast<int>(result.Lines.size()), ignored, from).errorText;
            result.Lines << lines[i];
            continue;
        }
        ChordDef& def = defs[i];
        FretArray frets = NoFrets;
        if (mode == RetuneMode::KeepFrets) {
            QString problem;
            const std::optional<FretArray> kept = KeptFrets(def, from, to, problem);
            if (!kept) {
                result.Problems << prefix() + problem;
                result.Lines << lines[i];
                continue;
            }
            frets = *kept;
        } else {
            if (entry < pitchFrets.size())
                frets = pitchFrets[entry];
            ++entry;
            const QStringList lost = LostNotes(def, from, frets, to);
            if (!lost.isEmpty()) {
                insert(QStringLiteral("* Not playable on this tuning: %1 in %2")
                           .arg(lost.join(QStringLiteral(", ")), from.namesText()));
                result.Rests << prefix() + lost.join(QStringLiteral(", "))
                        + (lost.size() == 1 ? QStringLiteral(": no string of the new tuning can play it.")
                                            : QStringLiteral(": no string of the new tuning can play them."));
            }
        }
        // A name the program gave follows the new notes; a name of the user's own stays.
        const bool autoNamed = TrimBlanks(def.Name) == AutomaticName(def, from);
        def.Frets = frets;
        for (int slot = 1; slot <= LastBassSlot; ++slot)
            def.Notes[slot] = def.Frets[slot] == NotPlayedFret
                ? NotPlayedNote
                : static_cast<unsigned char>(to.openNote(slot) + def.Frets[slot]);
        if (autoNamed)
            def.Name = AutomaticName(def, to);
        result.Lines << BuildLine(def, to);
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
