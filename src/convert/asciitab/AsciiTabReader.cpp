#include "AsciiTabReader.h"

#include "DocumentText.h"
#include "LineParser.h"
#include "TabReaderParts.h"
#include "TabRhythm.h"
#include "TabTuning.h"

#include <algorithm>

namespace fw::asciitab::detail {

void Reader::findBlocks()
{
    const int count = static_cast<int>(m_lines.size());
    m_strings.resize(count);
    m_blockOfLine.assign(count, -1);
    m_strayLine.assign(count, false);
    m_texts.resize(count);
    m_readRhythmLine.assign(count, false);
    m_readMarkLine.assign(count, false);
    m_readRepeatLine.assign(count, false);
    for (int i = 0; i < count; ++i)
        m_strings[i] = ParseStringLine(m_lines[i]);
    for (int i = 0; i < count;) {
        if (!m_strings[i]) {
            ++i;
            continue;
        }
        int end = i;
        while (end < count && m_strings[end])
            ++end;
        takeRun(i, end);
        i = end;
    }
}

void Reader::takeRun(int begin, int end)
{
    auto labelled = [this](int i) { return !m_strings[i]->label.isEmpty(); };
    bool anyLabel = false;
    for (int i = begin; i < end; ++i)
        anyLabel = anyLabel || labelled(i);
    // Unlabelled lines at the edge of labelled ones are rulers or counts, not strings.
    if (anyLabel) {
        while (begin < end && !labelled(begin))
            m_strayLine[begin++] = true;
        while (end > begin && !labelled(end - 1))
            m_strayLine[--end] = true;
    }
    std::vector<qsizetype> widths;
    for (int i = begin; i < end; ++i)
        if (!m_strings[i]->weak)
            widths.push_back(m_strings[i]->body.size());
    std::sort(widths.begin(), widths.end());
    const qsizetype typical = widths.empty() ? -1 : widths[widths.size() / 2];
    auto ruleLike = [&](int i) {
        return m_strings[i]->weak && typical >= 0 && std::abs(m_strings[i]->body.size() - typical) > 2;
    };
    while (begin < end && ruleLike(begin))
        m_strayLine[begin++] = true;
    while (end > begin && ruleLike(end - 1))
        m_strayLine[--end] = true;
    for (int i = begin; i < end;) {
        int size = end - i;
        if (size > MaxBlockLines) {
            size = 0;
            if (labelled(i)) {
                // A second system written without a blank line: it starts with the first label again.
                int next = i + 1;
                while (next < end && m_strings[next]->label != m_strings[i]->label)
                    ++next;
                size = next - i;
            }
            if (size < MinBlockLines || size > MaxBlockLines) {
                const int last = m_blocks.empty() ? 0 : static_cast<int>(m_blocks.back().lines.size());
                size = 0;
                for (int candidate : { last, 4, 5, 6 })
                    if (candidate >= MinBlockLines && (end - i) % candidate == 0) {
                        size = candidate;
                        break;
                    }
                if (size == 0)
                    size = MinBlockLines;
            }
        }
        if (size < MinBlockLines) {
            for (int k = i; k < i + size; ++k)
                m_strayLine[k] = true;
            m_report.strayLines(i, size);
            i += size;
            continue;
        }
        Block block;
        block.first = i;
        for (int k = i; k < i + size; ++k) {
            block.lines.push_back(k);
            block.labels << m_strings[k]->label.toString();
            m_blockOfLine[k] = static_cast<int>(m_blocks.size());
        }
        m_blocks.push_back(std::move(block));
        i += size;
    }
}

void Reader::chooseTuning()
{
    int strings = 0;
    for (const Block& block : m_blocks)
        strings = std::max(strings, static_cast<int>(block.lines.size()));
    if (m_options.tuning) {
        m_tuning = *m_options.tuning;
        m_report.tuningGiven(m_tuning, strings);
    } else {
        bool found = false;
        for (int i = 0; i < static_cast<int>(m_lines.size()) && !found; ++i) {
            if (m_blockOfLine[i] >= 0 || m_strings[i])
                continue;
            const TextLine line = textOf(i);
            if (line.kind != TextKind::Tuning)
                continue;
            if (const auto tuning = TuningFromText(line.text, strings)) {
                m_tuning = *tuning;
                m_usedTuningLine = i;
                m_report.tuningFromLine(m_tuning, i, line.text);
                found = true;
            }
        }
        for (const Block& block : m_blocks) {
            if (found || static_cast<int>(block.lines.size()) != strings)
                continue;
            if (const auto tuning = TuningFromLabels(block.labels)) {
                m_tuning = *tuning;
                m_report.tuningFromLabels(m_tuning, block.labels);
                found = true;
            }
        }
        if (!found) {
            m_tuning = StandardTuning(strings);
            m_report.tuningFromCount(m_tuning);
        }
    }
    for (Block& block : m_blocks) {
        bool byLabels = false;
        block.slots = SlotsOfBlock(block.labels, m_tuning, byLabels);
        if (static_cast<int>(block.lines.size()) != m_tuning.stringCount())
            m_report.blockMapped(block.first, static_cast<int>(block.lines.size()), m_tuning.stringCount(), byLabels);
    }
}

BlockBars Reader::scanBlock(const Block& block, MarkTally& tally) const
{
    std::vector<BodyScan> scans;
    for (int line : block.lines)
        scans.push_back(ScanBody(m_strings[line]->body, tally, m_digitRule, line));
    return SplitBlock(scans, m_strings[block.first]->opensWithBar);
}

void Reader::scanBlocks()
{
    // Only the tally and the widths of whole bars are kept here: each block is scanned again when
    // its notes are taken, so a long tab's cells are never all held at once.
    for (std::size_t b = 0; b < m_blocks.size(); ++b) {
        Block& block = m_blocks[b];
        const BlockBars bars = scanBlock(block, m_report.marks);
        for (std::size_t p = 0; p < bars.parts.size(); ++p) {
            if (bars.barred && !(p + 1 == bars.parts.size() && bars.endsOpen))
                m_barWidths.push_back(bars.parts[p].width);
            if (bars.barred && !bars.parts[p].columns.empty())
                m_barLeads.push_back(bars.parts[p].columns.front().pos);
        }
        const int above = block.first - 1;
        if (above >= 0 && m_blockOfLine[above] < 0 && !m_strings[above] && !m_readMarkLine[above]
            && IsRhythmText(m_lines[above])) {
            block.rhythmLine = above;
            if (m_options.rhythm == TabRhythm::Line)
                m_readRhythmLine[above] = true;
        }
        findMarkLines(block);
        planBlockRepeats(block, bars, static_cast<int>(b));
    }
}

void Reader::findMarkLines(Block& block)
{
    const auto free = [this](int line) {
        return line >= 0 && line < static_cast<int>(m_lines.size()) && m_blockOfLine[line] < 0 && !m_strings[line]
            && !m_readMarkLine[line];
    };
    // Above the strings, over the rhythm line if there is one: "PM----" and "let ring----".
    for (int line = (block.rhythmLine >= 0 ? block.rhythmLine : block.first) - 1;
         free(line) && textOf(line).kind == TextKind::MarkLine; --line) {
        block.markLines.push_back(line);
        m_readMarkLine[line] = true;
    }
    const int below = block.lines.back() + 1;
    if (free(below) && IsAttackLine(m_lines[below])) {
        block.attackLine = below;
        m_readMarkLine[below] = true;
    }
}

OutColumn Reader::outColumn(const CellColumn& column, const Block& block, int offset)
{
    OutColumn out;
    out.pos = column.pos + offset;
    out.end = column.end + offset;
    out.sourceLine = block.first;
    for (std::size_t j = 0; j < block.lines.size(); ++j) {
        const Cell& cell = column.cells[j];
        if (cell.fret == NoCell)
            continue;
        const int slot = block.slots[j];
        if (slot == 0) {
            m_report.noteWithoutString(block.lines[j]);
            continue;
        }
        // Frets above the list's usual 18 are kept; the list then says how many it has.
        out.frets[slot] = cell.fret;
        out.marks[slot] = cell.marks;
        out.anySlide[slot] = cell.anySlide;
        if (cell.tap)
            out.technique.attack = Attack::Tap;
        if (cell.alternative != NoCell) {
            out.comments << QStringLiteral("* Fret %1 or %2 on the %3 string")
                                .arg(cell.fret)
                                .arg(cell.alternative)
                                .arg(m_tuning.stringName(slot));
            m_report.alternativeKept();
        }
        m_highestFret = std::max(m_highestFret, cell.fret);
    }
    return out;
}

void Reader::addBlock(Block& block, double typicalWidth, std::optional<int>& openBar)
{
    for (std::size_t p = 0; p < block.bars.parts.size(); ++p) {
        const BarPart& part = block.bars.parts[p];
        int barIndex;
        if (p == 0 && openBar) {
            barIndex = *openBar;
            m_report.wrappedBar(m_bars[barIndex].sourceLine, block.first);
        } else {
            barIndex = static_cast<int>(m_bars.size());
            OutBar bar;
            bar.barred = block.bars.barred;
            bar.sourceLine = block.first;
            bar.firstItem = static_cast<int>(m_items.size());
            m_bars.push_back(bar);
        }
        openBar.reset();
        addRepeatItems(block.partRepeats[p].opens, Item::RepeatOpen);
        const int ending = block.partEnding[p];
        if (ending > 0 && (p == 0 || block.partEnding[p - 1] != ending))
            m_items.push_back({ Item::EndingStart, QString(), ending });
        OutBar& bar = m_bars[barIndex];
        const int offset = bar.width;
        const int item = static_cast<int>(m_items.size());
        m_items.push_back({ Item::Piece, QString(), barIndex });
        block.partBar.push_back(barIndex);
        block.partOffset.push_back(offset);
        block.partItem.push_back(item);
        for (const CellColumn& column : part.columns) {
            bar.columns.push_back(outColumn(column, block, offset));
            bar.columns.back().item = item;
        }
        bar.width += part.width;
        const bool last = p + 1 == block.bars.parts.size();
        // A bar left open at the end of a system runs on into the next one, unless it is as
        // wide as the tab's bars are: then its closing bar line was only left out.
        // A repeat that ends here ends the bar as well.
        const std::vector<RepeatMark>& closes = block.partRepeats[p].closes;
        if (last && block.bars.endsOpen && part.width < 0.75 * typicalWidth && closes.empty())
            openBar = barIndex;
        else
            m_items.push_back({ Item::BarEnd, QString(), barIndex });
        if (ending > 0 && (last || block.partEnding[p + 1] != ending))
            m_items.push_back({ Item::EndingEnd, QString(), 0 });
        addRepeatItems(closes, Item::RepeatClose);
    }
    if (m_options.rhythm == TabRhythm::Line) {
        if (block.rhythmLine >= 0)
            placeRhythmTokens(block);
        else
            m_report.missingRhythmLine(block.first, m_options.unit);
    }
    placeLineMarks(block);
}

void Reader::buildItems()
{
    std::sort(m_barWidths.begin(), m_barWidths.end());
    const double typicalWidth = m_barWidths.empty() ? 0 : m_barWidths[m_barWidths.size() / 2];
    std::sort(m_barLeads.begin(), m_barLeads.end());
    m_typicalLead = m_barLeads.empty() ? 0 : m_barLeads[m_barLeads.size() / 2];

    std::optional<int> openBar;
    bool titleDone = false;
    bool seenBlock = false;
    bool countOffDone = false;
    // A "Title:" line anywhere before the first block wins over a guess from the first text line.
    bool titleField = false;
    for (int i = 0; i < static_cast<int>(m_lines.size()) && (m_blocks.empty() || i < m_blocks.front().first); ++i)
        titleField = titleField || (!m_strings[i] && textOf(i).kind == TextKind::TitleField);
    for (int i = 0; i < static_cast<int>(m_lines.size()); ++i) {
        const int blockIndex = m_blockOfLine[i];
        if (blockIndex >= 0) {
            Block& block = m_blocks[blockIndex];
            if (block.first != i)
                continue;
            seenBlock = true;
            MarkTally counted; // the first scan counted the marks
            block.bars = scanBlock(block, counted);
            addBlock(block, typicalWidth, openBar);
            // The block's cells are in the bars now.
            block.bars = BlockBars();
            for (const QString& text : block.trailing)
                m_items.push_back({ Item::Comment, CommentLine(text), 0 });
            if (!openBar && m_items.size() >= FlushItems)
                flush();
            continue;
        }
        const auto repeats = m_lineRepeats.find(i);
        if (repeats != m_lineRepeats.end())
            addRepeatItems(repeats->second.closes, Item::RepeatClose);
        // A bracket read into the repeats, though it looks like a string line.
        if (m_readRepeatLine[i])
            continue;
        if (m_strayLine[i] || m_strings[i]) {
            const TextLine& text = textOf(i);
            if (text.kind == TextKind::Rule || text.kind == TextKind::Count) {
                m_report.dropped(text.kind);
                continue;
            }
            m_items.push_back({ Item::Comment, CommentLine(m_lines[i].trimmed()), 0 });
            if (!m_strayLine[i])
                m_report.strayLines(i, 1);
            continue;
        }
        if (m_readRhythmLine[i] || m_readMarkLine[i])
            continue;
        const TextLine& text = textOf(i);
        switch (text.kind) {
        case TextKind::Blank:
            break;
        case TextKind::Rule:
        case TextKind::Count:
        case TextKind::MarkLine:
            m_report.dropped(text.kind);
            break;
        case TextKind::Rhythm: {
            const bool aboveBlock = i + 1 < static_cast<int>(m_lines.size()) && m_blockOfLine[i + 1] >= 0;
            m_items.push_back({ Item::Comment, CommentLine(text.text), 0 });
            if (aboveBlock)
                m_report.rhythmLineKept();
            break;
        }
        case TextKind::Tuning:
            if (i != m_usedTuningLine)
                m_items.push_back({ Item::Comment, CommentLine(m_lines[i].trimmed()), 0 });
            break;
        case TextKind::Tempo:
            if (!m_tempo) {
                m_tempo = text.tempo;
                m_report.tempo(text.tempo, i);
            }
            m_items.push_back({ Item::Comment, CommentLine(text.text), 0 });
            break;
        case TextKind::Repeat:
        case TextKind::RepeatBracket:
            m_report.repeatMark();
            m_items.push_back({ Item::Comment, CommentLine(text.text), 0 });
            break;
        case TextKind::CountOff:
            if (!countOffDone) {
                countOffDone = true;
                m_report.countOff(text.countOff, i);
            }
            m_items.push_back({ Item::Comment, CountOffLineText(text.countOff), 0 });
            break;
        case TextKind::TitleField:
        case TextKind::Text:
            if (text.kind == TextKind::TitleField)
                m_items.push_back({ Item::SectionStart, QString(), 0 });
            if (!seenBlock && !titleDone
                && (titleField ? text.kind == TextKind::TitleField : LooksLikeTitle(text.text))) {
                titleDone = true;
                m_items.push_back({ Item::Comment, QStringLiteral("* Title: ") + text.text, 0 });
                if (text.kind == TextKind::Text)
                    m_report.titleGuessed(i, text.text);
                break;
            }
            m_items.push_back({ Item::Comment, CommentLine(text.text), 0 });
            break;
        case TextKind::Section:
            m_items.push_back({ Item::SectionStart, QString(), 0 });
            m_items.push_back({ Item::Comment, CommentLine(text.text), 0 });
            break;
        case TextKind::Field:
            m_items.push_back({ Item::Comment, CommentLine(text.text), 0 });
            break;
        }
        if (repeats != m_lineRepeats.end())
            addRepeatItems(repeats->second.opens, Item::RepeatOpen);
    }
    if (openBar)
        m_items.push_back({ Item::BarEnd, QString(), *openBar });
    addRepeatItems(m_endCloses, Item::RepeatClose);
}

} // namespace fw::asciitab::detail

namespace fw {

using namespace asciitab;

std::optional<TabRhythm> TabRhythmFromName(QStringView name)
{
    for (TabRhythm rhythm : { TabRhythm::Uniform, TabRhythm::Grid, TabRhythm::Proportional, TabRhythm::Line })
        if (name.compare(TabRhythmName(rhythm), Qt::CaseInsensitive) == 0)
            return rhythm;
    return std::nullopt;
}

QString TabRhythmName(TabRhythm rhythm)
{
    switch (rhythm) {
    case TabRhythm::Grid:
        return QStringLiteral("grid");
    case TabRhythm::Proportional:
        return QStringLiteral("proportional");
    case TabRhythm::Line:
        return QStringLiteral("line");
    case TabRhythm::Uniform:
        break;
    }
    return QStringLiteral("uniform");
}

TabImport ImportAsciiTabText(QStringView text, const TabImportOptions& options)
{
    if (FormTicks(options.unit) == 0) {
        TabImport result;
        result.error = QStringLiteral("\"%1\" is not a duration: use W, H, Q, E, S, T or F, with \".\" or \"/\" in "
                                      "front for dotted or triplet notes.")
                           .arg(options.unit);
        return result;
    }
    TabImportOptions canonical = options;
    canonical.unit = RhythmToken(options.unit);
    detail::Reader reader(text, canonical);
    return reader.run();
}

TabImport ImportAsciiTabBytes(const QByteArray& bytes, const TabImportOptions& options)
{
    TabImport result;
    if (bytes.size() > MaxTabFileBytes) {
        result.error = QStringLiteral("The file is too large for a tab: %1 MB (at most %2 MB).")
                           .arg(bytes.size() / (1024 * 1024))
                           .arg(MaxTabFileBytes / (1024 * 1024));
        return result;
    }
    if (bytes.contains('\0')) {
        result.error = QStringLiteral("This is not a text file: it holds binary data.");
        return result;
    }
    return ImportAsciiTabText(DecodeDocumentBytes(bytes), options);
}

} // namespace fw
