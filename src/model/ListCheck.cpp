#include "ListCheck.h"

#include "Bars.h"
#include "LineParser.h"
#include "SpecialLines.h"

#include <algorithm>

namespace fw {

namespace {

    QString LinkName(NoteLink link)
    {
        switch (link) {
        case NoteLink::HammerOn:
            return QStringLiteral("Hammer-on");
        case NoteLink::PullOff:
            return QStringLiteral("Pull-off");
        case NoteLink::SlideUp:
            return QStringLiteral("Slide up");
        case NoteLink::SlideDown:
            return QStringLiteral("Slide down");
        case NoteLink::Tie:
            return QStringLiteral("Tie");
        case NoteLink::None:
            break;
        }
        return QString();
    }

    // The next note as a message names it after "not to".
    QString PartnerText(int fret, const NoteMarks& marks)
    {
        if (marks.kind == NoteKind::Dead)
            return QStringLiteral("a dead note");
        if (marks.kind == NoteKind::Harmonic)
            return QStringLiteral("the harmonic at ") + HarmonicNodeText(marks.harmonicNode);
        if (marks.slideIn != SlideIn::None)
            return QStringLiteral("a note that slides in");
        return QStringLiteral("fret %1").arg(fret);
    }

    // A fretted note the hand can reach without a new attack.
    bool IsFretted(const NoteMarks& marks)
    {
        return (marks.kind == NoteKind::Normal || marks.kind == NoteKind::Ghost) && marks.slideIn == SlideIn::None;
    }

} // namespace

int NextNoteEntry(const ParsedLineList& parsed, int index)
{
    for (int i = index + 1; i < parsed.size(); ++i) {
        if (IsNoteEntry(parsed[i]))
            return i;
    }
    return -1;
}

int LinkPartner(const ParsedLineList& parsed, int index, int slot)
{
    const int next = NextNoteEntry(parsed, index);
    return next >= 0 && IsStruck(parsed[next], slot) ? next : -1;
}

int NextNoteOnString(const ParsedLineList& parsed, int index, int slot)
{
    for (int i = index + 1; i < parsed.size(); ++i) {
        if (IsNoteEntry(parsed[i]) && IsStruck(parsed[i], slot))
            return i;
    }
    return -1;
}

QString LinkProblem(const ChordDef& def, const ChordDef* next, const Tuning& tuning)
{
    for (int slot = LastBassSlot; slot >= tuning.firstSlot(); --slot) {
        const NoteMarks& marks = def.Marks[slot];
        if (marks.link == NoteLink::None)
            continue;
        const QString mark = LinkName(marks.link);
        const QString string = tuning.stringName(slot);
        const bool slide = marks.link == NoteLink::SlideUp || marks.link == NoteLink::SlideDown;
        if (!next || !IsStruck(*next, slot)) {
            if (slide)
                continue; // a slide out
            return QStringLiteral("%1 on the %2 string has no next note on that string.").arg(mark, string);
        }
        const int fret = def.Frets[slot];
        const int nextFret = next->Frets[slot];
        const NoteMarks& nextMarks = next->Marks[slot];
        const QString partner = PartnerText(nextFret, nextMarks);
        switch (marks.link) {
        case NoteLink::Tie:
            if (marks.kind == NoteKind::Harmonic) {
                if (nextMarks.kind != NoteKind::Harmonic || nextMarks.harmonicNode != marks.harmonicNode)
                    return QStringLiteral("Tie on the %1 string must go to the same harmonic, not to %2.")
                        .arg(string, partner);
            } else if (!IsFretted(nextMarks) || nextFret != fret) {
                return QStringLiteral("Tie on the %1 string must go to the same fret, not to %2.").arg(string, partner);
            }
            break;
        case NoteLink::HammerOn:
        case NoteLink::SlideUp:
            if (!IsFretted(nextMarks) || nextFret <= fret)
                return QStringLiteral("%1 on the %2 string must go up to a higher fret, not to %3.")
                    .arg(mark, string, partner);
            break;
        case NoteLink::PullOff:
        case NoteLink::SlideDown:
            if (!IsFretted(nextMarks) || nextFret >= fret)
                return QStringLiteral("%1 on the %2 string must go down to a lower fret, not to %3.")
                    .arg(mark, string, partner);
            break;
        case NoteLink::None:
            break;
        }
    }
    return QString();
}

std::vector<LineProblem> CheckLines(const QStringList& lines, bool warnings)
{
    std::vector<LineProblem> problems;
    const Tuning tuning = TuningOfLines(lines);
    const int fretLimit = FretLimitOfLines(lines);
    ParsedLineList parsed;
    parsed.reserve(lines.size() + 1);
    bool anyError = false;
    // The last note entry, while it parsed: the one whose marks the next note entry completes.
    int previous = -1;
    const auto checkPrevious = [&](const ChordDef* next) {
        if (previous < 0)
            return;
        const QString problem = LinkProblem(parsed[previous], next, tuning);
        if (!problem.isEmpty()) {
            problems.push_back({ previous, LinePrefix(previous) + problem });
            anyError = true;
        }
    };
    for (int i = 0; i < lines.size(); ++i) {
        ChordDef def;
        const LineParseResult result = ParseLineText(lines[i], i, def, tuning, fretLimit);
        if (!result.errorText.isEmpty()) {
            problems.push_back({ i, result.errorText });
            anyError = true;
            previous = -1;
        } else if (IsNoteEntry(def)) {
            checkPrevious(&def);
            previous = i;
        } else if (warnings && result.kind == LineKind::Comment) {
            const QString reason = CommentLineProblem(lines[i]);
            if (!reason.isEmpty())
                problems.push_back({ i, LinePrefix(i) + QStringLiteral("Warning: ") + reason, true });
        }
        parsed.append(std::move(def));
    }
    checkPrevious(nullptr);
    if (warnings && !anyError) {
        for (const Bar& bar : BarsOf(parsed)) {
            const QString problem = BarLengthProblem(bar);
            if (!problem.isEmpty())
                problems.push_back(
                    { bar.firstEntry, LinePrefix(bar.firstEntry) + QStringLiteral("Warning: ") + problem, true });
        }
    }
    std::stable_sort(
        problems.begin(), problems.end(), [](const LineProblem& a, const LineProblem& b) { return a.line < b.line; });
    return problems;
}

} // namespace fw
