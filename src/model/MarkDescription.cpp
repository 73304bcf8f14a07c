#include "MarkDescription.h"

#include <QStringList>

namespace fw {

namespace {

    QStringList NotePhrases(const ChordDef& def, int slot, const ChordDef* next, const Tuning& tuning)
    {
        const NoteMarks& marks = def.Marks[slot];
        const int open = tuning.openNote(slot);
        QStringList phrases;
        if (marks.slideIn == SlideIn::FromBelow)
            phrases << QStringLiteral("slide in from below");
        else if (marks.slideIn == SlideIn::FromAbove)
            phrases << QStringLiteral("slide in from above");
        if (marks.kind == NoteKind::Ghost)
            phrases << QStringLiteral("ghost note");
        else if (marks.kind == NoteKind::Dead)
            phrases << QStringLiteral("dead note");
        else if (marks.kind == NoteKind::Harmonic)
            phrases << QStringLiteral("harmonic at %1").arg(HarmonicNodeText(marks.harmonicNode));
        if (marks.hasBend())
            phrases << QStringLiteral("bend to ") + PitchClassName(open + marks.bendTarget);
        if (marks.vibrato)
            phrases << QStringLiteral("vibrato");
        const bool partner = next && next->Frets[slot] != NotPlayedFret;
        const QString target = partner ? PitchClassName(open + next->Frets[slot]) : QString();
        switch (marks.link) {
        case NoteLink::HammerOn:
            phrases << QStringLiteral("hammer-on to ") + target;
            break;
        case NoteLink::PullOff:
            phrases << QStringLiteral("pull-off to ") + target;
            break;
        case NoteLink::SlideUp:
            phrases << (partner ? QStringLiteral("slide up to ") + target : QStringLiteral("slide out upward"));
            break;
        case NoteLink::SlideDown:
            phrases << (partner ? QStringLiteral("slide down to ") + target : QStringLiteral("slide out downward"));
            break;
        case NoteLink::Tie:
            phrases << QStringLiteral("tied over");
            break;
        case NoteLink::None:
            break;
        }
        return phrases;
    }

} // namespace

QString DescribeMarks(const ChordDef& def, const ChordDef* next, const Tuning& tuning)
{
    int struck = 0;
    for (int slot = tuning.firstSlot(); slot <= LastBassSlot; ++slot)
        struck += IsStruck(def, slot) ? 1 : 0;
    QStringList groups;
    for (int slot = LastBassSlot; slot >= tuning.firstSlot(); --slot) {
        if (!def.Marks[slot].any())
            continue;
        const QString phrases = NotePhrases(def, slot, next, tuning).join(QStringLiteral(", "));
        // A chord says which of its notes carries the marks.
        groups << (struck > 1 ? tuning.stringName(slot) + QStringLiteral(" string ") + phrases : phrases);
    }
    const QStringList line = LineMarkWords(def.Technique, true);
    if (!line.isEmpty())
        groups << line.join(QStringLiteral(", "));
    return groups.join(struck > 1 ? QStringLiteral("; ") : QStringLiteral(", "));
}

} // namespace fw
