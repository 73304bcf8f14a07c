#include "MarkRepair.h"

#include "ListCheck.h"

#include <algorithm>

namespace fw {

namespace {

    bool IsSlide(NoteLink link) { return link == NoteLink::SlideUp || link == NoteLink::SlideDown; }

    NoteLink Opposite(NoteLink link)
    {
        switch (link) {
        case NoteLink::HammerOn:
            return NoteLink::PullOff;
        case NoteLink::PullOff:
            return NoteLink::HammerOn;
        case NoteLink::SlideUp:
            return NoteLink::SlideDown;
        case NoteLink::SlideDown:
            return NoteLink::SlideUp;
        case NoteLink::Tie:
        case NoteLink::None:
            break;
        }
        return NoteLink::None;
    }

    // The list's own check of one string's link alone.
    QString SlotProblem(const ChordDef& def, int slot, const ChordDef* next, const Tuning& tuning)
    {
        ChordDef alone = def;
        for (int other = 1; other <= LastBassSlot; ++other) {
            if (other != slot)
                alone.Marks[other].link = NoteLink::None;
        }
        return LinkProblem(alone, next, tuning);
    }

    // The parser's verdict on a fret field with these marks.
    bool Fits(int fret, const NoteMarks& marks, int fretLimit)
    {
        if (!marks.any())
            return fret <= fretLimit;
        return ReadMarkedFret(FretFieldText(fret, marks), fretLimit).error == FretFieldError::None;
    }

} // namespace

bool FitNoteMarks(int fret, NoteMarks& marks, int fretLimit)
{
    if (Fits(fret, marks, fretLimit))
        return false;
    // Each step drops one more mark, the least telling first.
    const auto steps = {
        +[](NoteMarks& m) { m.bendTarget = -1; },
        +[](NoteMarks& m) { m.slideIn = SlideIn::None; },
        +[](NoteMarks& m) { m.vibrato = false; },
        +[](NoteMarks& m) { m.link = NoteLink::None; },
        +[](NoteMarks& m) { m = NoteMarks {}; },
    };
    for (const auto step : steps) {
        step(marks);
        if (Fits(fret, marks, fretLimit))
            break;
    }
    return true;
}

std::vector<MendedLink> MendLinks(ChordDef& def, const ChordDef* next, const Tuning& tuning, const LinkLeeways* leeways)
{
    std::vector<MendedLink> mended;
    for (int slot = LastBassSlot; slot >= tuning.firstSlot(); --slot) {
        NoteLink& link = def.Marks[slot].link;
        if (link == NoteLink::None)
            continue;
        const NoteLink before = link;
        const bool partner = next && IsStruck(*next, slot);
        if (IsSlide(link) && leeways) {
            const LinkLeeway& leeway = (*leeways)[slot];
            QString refused;
            if (!partner && !leeway.slideOut)
                refused
                    = QStringLiteral("%1 on the %2 string has no next note on that string.")
                          .arg(link == NoteLink::SlideUp ? QStringLiteral("Slide up") : QStringLiteral("Slide down"),
                              tuning.stringName(slot));
            else if (partner && !leeway.legatoSlide)
                refused = QStringLiteral("A slide off the note on the %1 string would slide into the next note on "
                                         "that string.")
                              .arg(tuning.stringName(slot));
            if (!refused.isEmpty()) {
                link = NoteLink::None;
                mended.push_back({ slot, before, link, refused });
                continue;
            }
        }
        const QString problem = SlotProblem(def, slot, next, tuning);
        if (problem.isEmpty())
            continue;
        link = Opposite(before);
        if (link == NoteLink::None || !SlotProblem(def, slot, next, tuning).isEmpty())
            link = NoteLink::None;
        mended.push_back({ slot, before, link, problem });
    }
    return mended;
}

LinkMendingWriter::LinkMendingWriter(QStringList& lines, const Tuning& tuning, Heard heard)
    : m_lines(lines)
    , m_tuning(tuning)
    , m_heard(std::move(heard))
{
}

void LinkMendingWriter::add(const ChordDef& def, const QString& text, int tag, const LinkLeeways* leeways)
{
    mendPending(&def);
    m_lines.append(text);
    const bool linked
        = std::any_of(def.Marks.begin(), def.Marks.end(), [](const NoteMarks& m) { return m.link != NoteLink::None; });
    if (!linked)
        return;
    m_pending = def;
    m_pendingLine = m_lines.size() - 1;
    m_pendingTag = tag;
    m_pendingLeeways.reset();
    if (leeways)
        m_pendingLeeways = *leeways;
}

void LinkMendingWriter::finish() { mendPending(nullptr); }

void LinkMendingWriter::linesInserted(qsizetype at, qsizetype count)
{
    if (m_pending && m_pendingLine >= at)
        m_pendingLine += count;
}

void LinkMendingWriter::mendPending(const ChordDef* next)
{
    if (!m_pending)
        return;
    const std::vector<MendedLink> mended
        = MendLinks(*m_pending, next, m_tuning, m_pendingLeeways ? &*m_pendingLeeways : nullptr);
    if (!mended.empty())
        m_lines[m_pendingLine] = BuildLine(*m_pending, m_tuning);
    for (const MendedLink& link : mended)
        m_heard(link, m_pendingTag);
    m_pending.reset();
}

} // namespace fw
