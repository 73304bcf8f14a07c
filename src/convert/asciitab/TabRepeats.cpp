// How the reader finds repeated passages and plays them out as the song is played.
#include "DocumentText.h"
#include "LineParser.h"
#include "RepeatComments.h"
#include "TabReaderParts.h"

#include <algorithm>
#include <climits>
#include <unordered_map>

namespace fw::asciitab::detail {

namespace {

    // A played-out list stays within this many lines: a hostile tab of nested repeats cannot make it
    // grow without end.
    constexpr qsizetype MaxPlayedLines = 4'000'000;

    // The columns of a bar part in its top line: from the character after its opening bar line to
    // the one before its closing bar line.
    std::pair<int, int> PartColumns(const BlockBars& bars, std::size_t part, int bodyStart)
    {
        const int segment = bars.parts[part].segment;
        const int start = bodyStart
            + (segment < static_cast<int>(bars.firstLineSegmentStarts.size()) ? bars.firstLineSegmentStarts[segment]
                                                                              : 0);
        return { start, start + bars.parts[part].width };
    }

} // namespace

DigitRule Reader::chooseDigitRule()
{
    DigitEvidence evidence;
    std::vector<QStringView> bodies;
    for (const Block& block : m_blocks) {
        bodies.clear();
        for (int line : block.lines)
            bodies.push_back(m_strings[line]->body);
        evidence.add(bodies);
    }
    m_report.digitRule(evidence);
    return evidence.rule();
}

void Reader::planBlockRepeats(Block& block, const BlockBars& bars, int blockIndex)
{
    block.partRepeats.assign(bars.parts.size(), RepeatEvents());
    block.partEnding.assign(bars.parts.size(), 0);
    for (int line : block.lines) {
        block.opensWithRepeat = block.opensWithRepeat || m_strings[line]->opensWithRepeat;
        block.bracketed = block.bracketed || m_strings[line]->bracketed;
    }
    if (bars.parts.empty())
        return;
    // The signs at the bar lines; one at the end of the system opens before the next one's first bar.
    for (std::size_t p = 0; p < bars.parts.size(); ++p) {
        const int segment = bars.parts[p].segment;
        const int barCount = static_cast<int>(bars.barLines.size());
        const bool opens
            = segment == 0 ? block.opensWithRepeat : segment <= barCount && bars.barLines[segment - 1].opens;
        if (p == 0)
            for (; m_carriedOpens > 0; --m_carriedOpens)
                block.partRepeats[p].opens.push_back({ RepeatLevel::Bar, 0, m_carriedOpenLine });
        if (opens)
            block.partRepeats[p].opens.push_back({ RepeatLevel::Bar, 0, block.first });
        if (segment < barCount && bars.barLines[segment].closes)
            block.partRepeats[p].closes.push_back({ RepeatLevel::Bar, 0, block.first });
    }
    for (int k = bars.parts.back().segment; k < static_cast<int>(bars.barLines.size()); ++k)
        if (bars.barLines[k].opens) {
            ++m_carriedOpens;
            m_carriedOpenLine = block.first;
        }

    // What stands beside the strings and on the lines right above and below the block.
    for (int line : block.lines) {
        const QString& trailing = m_strings[line]->trailing;
        if (trailing.isEmpty())
            continue;
        if (const std::optional<int> count = RepeatCountOf(trailing))
            takeCount(block, &bars, *count, INT_MAX, line);
        else
            block.trailing << trailing;
    }
    int above = block.first;
    for (int line : block.markLines)
        above = std::min(above, line);
    if (block.rhythmLine >= 0)
        above = std::min(above, block.rhythmLine);
    const int below = (block.attackLine >= 0 ? block.attackLine : block.lines.back()) + 1;
    bool continued = false;
    for (const int line : { above - 1, below }) {
        if (line < 0 || line >= static_cast<int>(m_lines.size()) || m_blockOfLine[line] >= 0 || m_readMarkLine[line]
            || m_readRepeatLine[line])
            continue;
        const QString& text = m_lines[line];
        if (line < block.first && !m_strings[line]) {
            if (const auto endings = ParseEndingLine(text)) {
                placeEndings(block, bars, *endings);
                m_readRepeatLine[line] = true;
                continue;
            }
        }
        const std::optional<RepeatBracket> bracket = ParseRepeatBracket(text);
        if (bracket && (bracket->count > 0 || (line < block.first && m_runningBracket))) {
            continued = bracket->count == 0;
            placeBracket(blockIndex, bars, *bracket, line);
            m_readRepeatLine[line] = true;
            continue;
        }
        if (m_strings[line])
            continue;
        const TextLine& kind = textOf(line);
        if (kind.kind == TextKind::Repeat && kind.repeat > 0) {
            const int column = static_cast<int>(text.size() - QStringView(text).trimmed().size());
            takeCount(block, &bars, kind.repeat, line < block.first ? column : INT_MAX, line);
            m_readRepeatLine[line] = true;
        }
    }
    // A bracket over the system before that does not go on over this one ends there.
    if (!continued && m_runningBracketBlock != blockIndex)
        endRunningBracket();
}

void Reader::placeEndings(Block& block, const BlockBars& bars, const std::vector<EndingMark>& marks)
{
    const int bodyStart = m_strings[block.first]->bodyStart;
    for (const EndingMark& mark : marks)
        for (std::size_t p = 0; p < bars.parts.size(); ++p) {
            const auto [start, end] = PartColumns(bars, p, bodyStart);
            if (end > mark.first && start <= mark.last)
                block.partEnding[p] = mark.number;
        }
}

void Reader::takeCount(Block& block, const BlockBars* bars, int count, int column, int line)
{
    // The count belongs to the repeat sign nearest to it that has none yet, else to the block.
    RepeatMark* nearest = nullptr;
    int distance = INT_MAX;
    const int bodyStart = m_strings[block.first]->bodyStart;
    for (std::size_t p = 0; p < block.partRepeats.size(); ++p) {
        for (RepeatMark& close : block.partRepeats[p].closes) {
            if (close.level != RepeatLevel::Bar || close.count > 0)
                continue;
            const int at = bars ? PartColumns(*bars, p, bodyStart).second : INT_MAX;
            const int away = column == INT_MAX ? -static_cast<int>(p) : std::abs(at - column);
            if (!nearest || away < distance) {
                nearest = &close;
                distance = away;
            }
        }
    }
    if (nearest) {
        nearest->count = count;
        nearest->line = line;
    } else if (block.repeatCount == 0) {
        block.repeatCount = count;
    }
}

void Reader::placeBracket(int blockIndex, const BlockBars& bars, const RepeatBracket& bracket, int line)
{
    Block& block = m_blocks[blockIndex];
    const StringLine& top = *m_strings[block.first];
    const int bodyEnd = top.bodyStart + static_cast<int>(top.body.size());
    const int parts = static_cast<int>(bars.parts.size());
    int first = -1;
    int last = -1;
    for (int p = 0; p < parts; ++p) {
        const auto [start, end] = PartColumns(bars, p, top.bodyStart);
        if (first < 0 && end > bracket.first)
            first = p;
        if (start <= bracket.last)
            last = p;
    }
    const bool runsOn = bracket.openRight && bracket.last >= bodyEnd - 2;
    if (bracket.count == 0) {
        // The bracket of the system before goes on over this one, to its end or to where it closes.
        if (runsOn || last < 0) {
            m_runningBracketBlock = blockIndex;
            return;
        }
        block.partRepeats[last].closes.push_back(*m_runningBracket);
        m_runningBracket.reset();
        return;
    }
    if (first < 0 || last < first)
        return;
    endRunningBracket();
    block.partRepeats[first].opens.push_back({ RepeatLevel::Bracket, 0, line });
    const RepeatMark close { RepeatLevel::Bracket, bracket.count, line };
    if (runsOn && last == parts - 1) {
        m_runningBracket = close;
        m_runningBracketBlock = blockIndex;
    } else {
        block.partRepeats[last].closes.push_back(close);
    }
}

void Reader::endRunningBracket()
{
    if (!m_runningBracket)
        return;
    Block& block = m_blocks[m_runningBracketBlock];
    if (!block.partRepeats.empty())
        block.partRepeats.back().closes.push_back(*m_runningBracket);
    m_runningBracket.reset();
}

void Reader::planTextRepeats()
{
    endRunningBracket();
    const int count = static_cast<int>(m_lines.size());
    // The block a count on a line of its own belongs to: the one before it, across blank lines only,
    // else the one after it.
    const auto blockNear = [this, count](int line, int step) -> Block* {
        for (int at = line + step; at >= 0 && at < count; at += step) {
            if (m_blockOfLine[at] >= 0)
                return &m_blocks[m_blockOfLine[at]];
            if (m_strings[at] || m_readMarkLine[at] || m_readRepeatLine[at] || textOf(at).kind != TextKind::Blank)
                return nullptr;
        }
        return nullptr;
    };
    // Sections with a count: the line that names them and the line that ends them (-1: the end).
    struct SectionSpan {
        RepeatMark mark;
        int end = -1;
    };
    std::vector<SectionSpan> sections;
    const auto endSection = [&sections](int line) {
        if (!sections.empty() && sections.back().end < 0)
            sections.back().end = line;
    };
    for (int i = 0; i < count; ++i) {
        if (m_blockOfLine[i] >= 0 || m_strings[i] || m_readMarkLine[i] || m_readRepeatLine[i] || m_readRhythmLine[i])
            continue;
        const TextLine& text = textOf(i);
        if (text.kind == TextKind::Section || text.kind == TextKind::TitleField) {
            // A new section ends the one before, and a count in its name repeats all of it.
            endSection(i);
            if (text.repeat > 0)
                sections.push_back({ RepeatMark { RepeatLevel::Section, text.repeat, i }, -1 });
        } else if (text.kind == TextKind::Rule) {
            // A rule drawn across the page ends a section as well.
            endSection(i);
        } else if (text.kind == TextKind::Repeat && text.repeat > 0) {
            Block* block = blockNear(i, -1);
            if (!block)
                block = blockNear(i, 1);
            if (block) {
                takeCount(*block, nullptr, text.repeat, INT_MAX, i);
                m_readRepeatLine[i] = true;
            }
        }
    }

    // Blocks with a bracket beside them, one after the other, are one repeated passage when a count
    // stands beside or next to one of them.
    for (std::size_t b = 0; b < m_blocks.size();) {
        if (!m_blocks[b].bracketed) {
            ++b;
            continue;
        }
        std::size_t end = b + 1;
        while (end < m_blocks.size() && m_blocks[end].bracketed) {
            bool joined = true;
            for (int line = m_blocks[end - 1].lines.back() + 1; joined && line < m_blocks[end].first; ++line) {
                const TextKind kind = m_strings[line] ? TextKind::Text : textOf(line).kind;
                joined = m_readMarkLine[line] || m_readRepeatLine[line] || m_readRhythmLine[line]
                    || kind == TextKind::Blank || kind == TextKind::Rule;
            }
            if (!joined)
                break;
            ++end;
        }
        int passes = 0;
        for (std::size_t k = b; k < end; ++k)
            passes = std::max(passes, m_blocks[k].repeatCount);
        if (passes > 0 && !m_blocks[b].partRepeats.empty() && !m_blocks[end - 1].partRepeats.empty()) {
            for (std::size_t k = b; k < end; ++k)
                m_blocks[k].repeatCount = 0;
            m_blocks[b].partRepeats.front().opens.push_back({ RepeatLevel::Bracket, 0, m_blocks[b].first });
            m_blocks[end - 1].partRepeats.back().closes.push_back(
                { RepeatLevel::Bracket, passes, m_blocks[end - 1].first });
        }
        b = end;
    }
    // A whole block repeated: outside its own repeat signs, inside a bracket over it.
    for (Block& block : m_blocks) {
        if (block.repeatCount == 0 || block.partRepeats.empty())
            continue;
        block.partRepeats.front().opens.push_back({ RepeatLevel::Block, 0, block.first });
        block.partRepeats.back().closes.push_back({ RepeatLevel::Block, block.repeatCount, block.first });
    }
    // A section whose count is also drawn in its bars is one repeat, not one inside another: the
    // count goes to a repeat sign that has none, and a section with counted repeats inside keeps its
    // count as a comment.
    for (const SectionSpan& section : sections) {
        std::vector<RepeatMark*> inner;
        for (Block& block : m_blocks)
            if (block.first > section.mark.line && (section.end < 0 || block.first < section.end))
                for (RepeatEvents& events : block.partRepeats)
                    for (RepeatMark& close : events.closes)
                        inner.push_back(&close);
        if (inner.size() == 1 && inner.front()->count == 0) {
            inner.front()->count = section.mark.count;
        } else if (inner.empty()) {
            m_lineRepeats[section.mark.line].opens.push_back({ RepeatLevel::Section, 0, section.mark.line });
            if (section.end < 0)
                m_endCloses.push_back(section.mark);
            else
                m_lineRepeats[section.end].closes.push_back(section.mark);
        } else {
            m_report.repeatMark();
        }
    }
    // Outer repeats open first and close last.
    for (Block& block : m_blocks)
        for (RepeatEvents& events : block.partRepeats) {
            std::stable_sort(events.opens.begin(), events.opens.end(),
                [](const RepeatMark& a, const RepeatMark& b) { return a.level > b.level; });
            std::stable_sort(events.closes.begin(), events.closes.end(),
                [](const RepeatMark& a, const RepeatMark& b) { return a.level < b.level; });
        }
}

void Reader::addRepeatItems(const std::vector<RepeatMark>& marks, Item::Kind kind)
{
    for (const RepeatMark& mark : marks) {
        Item item { kind, QString(), 0 };
        item.repeat = mark;
        m_items.push_back(item);
    }
}

void Reader::openRepeat(const RepeatMark& mark)
{
    // The tuning line and the frets line stand before the first pass, not in it.
    startNotes();
    if (m_options.asWritten) {
        m_out << RepeatStartComment();
        return;
    }
    m_openRepeats.push_back({ mark.level, m_out.size(), mark.line, {} });
    m_repeatFloor = m_out.size();
}

void Reader::closeRepeat(const RepeatMark& mark)
{
    const int passes = mark.count > 0 ? mark.count : 2;
    if (m_options.asWritten) {
        m_out << RepeatEndComment(passes);
        m_report.repeatKept();
        return;
    }
    // The repeat opened at this level; one without an opening sign goes back to the start of its
    // section or to the end of the repeat before.
    qsizetype start = m_repeatFloor;
    std::vector<OpenRepeat::Ending> endings;
    const auto open = std::find_if(m_openRepeats.rbegin(), m_openRepeats.rend(),
        [&mark](const OpenRepeat& repeat) { return repeat.level == mark.level; });
    if (open != m_openRepeats.rend()) {
        start = open->start;
        endings = open->endings;
        for (auto inner = m_openRepeats.rbegin(); inner != open; ++inner)
            m_report.repeatNeverClosed(inner->line);
        m_openRepeats.erase(std::next(open).base(), m_openRepeats.end());
    } else if (mark.level != RepeatLevel::Bar) {
        return;
    }
    if (passes > MaxRepeatPasses) {
        m_out << RepeatEndComment(passes);
        m_report.repeatTooOften(mark.line, passes);
        return;
    }
    playOut(start, passes, mark.line, endings);
}

void Reader::startEnding(int number)
{
    startNotes();
    if (!m_options.asWritten && !m_openRepeats.empty())
        m_openRepeats.back().endings.push_back({ number, m_out.size(), -1 });
    m_out << EndingComment(number);
}

void Reader::endEnding()
{
    if (m_options.asWritten || m_openRepeats.empty() || m_openRepeats.back().endings.empty())
        return;
    OpenRepeat::Ending& ending = m_openRepeats.back().endings.back();
    if (ending.to < 0)
        ending.to = m_out.size();
}

void Reader::playOut(qsizetype start, int passes, int line, const std::vector<OpenRepeat::Ending>& endings)
{
    const qsizetype end = m_out.size();
    const qsizetype span = end - start;
    if (span <= 0 || m_out.size() + (passes - 1) * (span + 1) + 1 > MaxPlayedLines) {
        m_out << RepeatEndComment(passes);
        m_report.repeatTooLong(line);
        return;
    }
    // A pass plays the alternate ending of its number and leaves out the others.
    const auto skipped = [&endings, end](qsizetype i, int pass) {
        return std::any_of(endings.begin(), endings.end(), [i, pass, end](const OpenRepeat::Ending& ending) {
            return ending.number != pass && i >= ending.from && i < (ending.to < 0 ? end : ending.to);
        });
    };
    m_out.insert(start, RepeatPassComment(1, passes));
    m_entries.linesInserted(start, 1);
    m_out.reserve(m_out.size() + (passes - 1) * (span + 1));
    // The notes go through the link mending again: the last note of a pass leads into the first of
    // the next, and the last of all into what follows the repeat. Each text is parsed once.
    std::unordered_map<QString, ChordDef> defs;
    const int fretLimit = std::max(FretCount, m_highestFret);
    int chordLines = 0;
    int bars = 0;
    for (int pass = 2; pass <= passes; ++pass) {
        m_out << RepeatPassComment(pass, passes);
        bool notes = false;
        // Copies share their text with the first pass, which now starts one line later.
        for (qsizetype i = start; i < end; ++i) {
            if (skipped(i, pass))
                continue;
            const QString text = m_out.at(i + 1);
            if (text.isEmpty() || text.startsWith(u'*')) {
                m_out << text;
                bars += text.isEmpty() && notes ? 1 : 0;
                notes = notes && !text.isEmpty();
                continue;
            }
            auto def = defs.find(text);
            if (def == defs.end()) {
                ChordDef parsed;
                ParseLineText(text, 0, parsed, m_tuning, fretLimit);
                def = defs.emplace(text, parsed).first;
            }
            m_entries.add(def->second, text, line);
            ++chordLines;
            notes = true;
        }
    }
    m_chordLines += chordLines;
    m_closedBars += bars;
    m_chordLinesAtBar = m_chordLines;
    m_repeatFloor = m_out.size();
    m_report.repeatPlayed(passes - 1, bars);
}

} // namespace fw::asciitab::detail
