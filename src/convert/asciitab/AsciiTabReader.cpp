#include "AsciiTabReader.h"

#include "DocumentText.h"
#include "TabBlocks.h"
#include "TabLineKinds.h"
#include "TabReport.h"
#include "TabRhythm.h"
#include "TabTuning.h"

#include <algorithm>

namespace fw {

using namespace asciitab;

namespace {

    constexpr int MinBlockLines = MinTuningStrings;
    constexpr int MaxBlockLines = MaxTuningStrings;

    struct Block {
        int first = 0; // source line of the top string
        std::vector<int> lines; // source lines, top string first
        QStringList labels;
        BlockBars bars;
        std::vector<int> slots;
        int rhythmLine = -1; // source line of the rhythm line above, if any
        // For each bar part: the bar it went into, where in that bar it starts, and its item.
        std::vector<int> partBar;
        std::vector<int> partOffset;
        std::vector<int> partItem;
    };

    // A column as the chord list will hold it.
    struct OutColumn {
        int pos = 0;
        FretArray frets = NoFrets;
        QString token; // from the rhythm line
        QStringList durations; // the note's duration, then rests
        bool barBreakAfter = false;
        int item = 0; // the piece item that writes it
    };

    struct OutBar {
        std::vector<OutColumn> columns;
        int width = 0;
        bool barred = true;
        int sourceLine = 0;
        int firstItem = 0;
        QStringList leadingRests;
    };

    // What the chord list holds, in the order of the tab.
    struct Item {
        enum Kind { Comment, Piece, BarEnd } kind = Comment;
        QString text;
        int bar = 0;
    };

    QString CommentLine(const QString& text)
    {
        // Two blanks keep words that would make a count-off or tuning line an ordinary comment.
        const QString upper = text.toUpper();
        if (upper.startsWith(QLatin1String("COUNT OFF")) || upper.startsWith(QLatin1String("TUNING")))
            return QStringLiteral("*  ") + text;
        return QStringLiteral("* ") + text;
    }

    // Short, no sentence: "Walking Home - The Testers", not "Here is my tab, enjoy!".
    bool LooksLikeTitle(const QString& text)
    {
        static const QString endings = QStringLiteral(".!?,;:");
        return text.size() <= 80 && text.count(u' ') < 10 && !endings.contains(text.back());
    }

    class Reader {
    public:
        Reader(QStringView text, const TabImportOptions& options)
            : m_options(options)
        {
            const QStringList raw = SplitDocumentLines(text.toString());
            m_lines.reserve(raw.size());
            for (const QString& line : raw)
                m_lines << (line.contains(u'\t') ? ExpandTabs(line) : line);
            m_unitList << options.unit;
        }

        TabImport run();

    private:
        // Each line is classified once: the passes below ask again and again.
        const TextLine& textOf(int line)
        {
            std::optional<TextLine>& cached = m_texts[line];
            if (!cached)
                cached = ClassifyTextLine(m_lines[line]);
            return *cached;
        }
        void findBlocks();
        void takeRun(int begin, int end);
        void chooseTuning();
        void scanBlocks();
        void buildItems();
        void addBlock(Block& block, double typicalWidth, std::optional<int>& openBar);
        OutColumn outColumn(const CellColumn& column, const Block& block, int offset);
        void placeRhythmTokens(const Block& block);
        void giveDurations();
        void giveDurations(OutBar& bar, int number);
        void splitUnbarred(OutBar& bar);
        QStringList emit();

        const TabImportOptions& m_options;
        QStringList m_lines;
        std::vector<std::optional<StringLine>> m_strings;
        std::vector<int> m_blockOfLine; // -1 for lines outside blocks
        std::vector<bool> m_strayLine;
        std::vector<std::optional<TextLine>> m_texts;
        QStringList m_unitList;
        std::vector<bool> m_readRhythmLine; // rhythm lines the line rhythm reads
        std::vector<Block> m_blocks;
        Tuning m_tuning;
        int m_usedTuningLine = -1;
        std::vector<OutBar> m_bars;
        std::vector<Item> m_items;
        std::optional<int> m_tempo;
        TabReport m_report;
    };

    void Reader::findBlocks()
    {
        const int count = static_cast<int>(m_lines.size());
        m_strings.resize(count);
        m_blockOfLine.assign(count, -1);
        m_strayLine.assign(count, false);
        m_texts.resize(count);
        m_readRhythmLine.assign(count, false);
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
                block.labels << m_strings[k]->label;
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
                m_report.blockMapped(
                    block.first, static_cast<int>(block.lines.size()), m_tuning.stringCount(), byLabels);
        }
    }

    void Reader::scanBlocks()
    {
        for (Block& block : m_blocks) {
            std::vector<BodyScan> scans;
            // Repeat signs are counted once a block, on its top line, not once a string.
            int& repeats = m_report.marks.marks[static_cast<int>(Mark::RepeatSign)];
            int topRepeats = 0;
            for (int line : block.lines) {
                const int before = repeats;
                scans.push_back(ScanBody(m_strings[line]->body, m_report.marks));
                if (line == block.first)
                    topRepeats = repeats - before + (m_strings[line]->opensWithRepeat ? 1 : 0);
                repeats = before;
            }
            repeats += topRepeats;
            block.bars = SplitBlock(scans, m_strings[block.first]->opensWithBar);
            const int above = block.first - 1;
            if (above >= 0 && m_blockOfLine[above] < 0 && !m_strings[above] && IsRhythmText(m_lines[above])) {
                block.rhythmLine = above;
                if (m_options.rhythm == TabRhythm::Line)
                    m_readRhythmLine[above] = true;
            }
        }
    }

    OutColumn Reader::outColumn(const CellColumn& column, const Block& block, int offset)
    {
        OutColumn out;
        out.pos = column.pos + offset;
        for (std::size_t j = 0; j < block.lines.size(); ++j) {
            const int fret = column.cells[j];
            if (fret < 0)
                continue;
            const int slot = block.slots[j];
            const int line = block.lines[j];
            if (slot == 0) {
                m_report.noteWithoutString(line);
                continue;
            }
            if (fret <= FretCount) {
                out.frets[slot] = fret;
                continue;
            }
            // Above the chord list's frets: the same pitch on a higher string when one is free.
            bool moved = false;
            for (int higher = slot - 1; higher >= m_tuning.firstSlot() && !moved; --higher) {
                const int other = fret - (m_tuning.openNote(higher) - m_tuning.openNote(slot));
                if (other >= 0 && other <= FretCount && out.frets[higher] == NotPlayedFret) {
                    out.frets[higher] = other;
                    moved = true;
                }
            }
            m_report.highFret(line, fret, m_tuning.stringName(slot), moved);
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
            if (last && block.bars.endsOpen && part.width < 0.75 * typicalWidth)
                openBar = barIndex;
            else
                m_items.push_back({ Item::BarEnd, QString(), barIndex });
        }
        if (m_options.rhythm == TabRhythm::Line) {
            if (block.rhythmLine >= 0)
                placeRhythmTokens(block);
            else
                m_report.missingRhythmLine(block.first, m_options.unit);
        }
    }

    void Reader::buildItems()
    {
        std::vector<int> widths;
        for (const Block& block : m_blocks)
            for (std::size_t p = 0; p < block.bars.parts.size(); ++p)
                if (block.bars.barred && !(p + 1 == block.bars.parts.size() && block.bars.endsOpen))
                    widths.push_back(block.bars.parts[p].width);
        std::sort(widths.begin(), widths.end());
        const double typicalWidth = widths.empty() ? 0 : widths[widths.size() / 2];

        std::optional<int> openBar;
        bool titleDone = false;
        bool seenBlock = false;
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
                addBlock(block, typicalWidth, openBar);
                for (int line : block.lines)
                    if (!m_strings[line]->trailing.isEmpty()) {
                        m_items.push_back({ Item::Comment, CommentLine(m_strings[line]->trailing), 0 });
                        m_report.repeatMark();
                        break;
                    }
                continue;
            }
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
            if (m_readRhythmLine[i])
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
                m_report.repeatMark();
                m_items.push_back({ Item::Comment, CommentLine(text.text), 0 });
                break;
            case TextKind::TitleField:
            case TextKind::Text:
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
            case TextKind::Field:
                m_items.push_back({ Item::Comment, CommentLine(text.text), 0 });
                break;
            }
        }
        if (openBar)
            m_items.push_back({ Item::BarEnd, QString(), *openBar });
    }

    void Reader::placeRhythmTokens(const Block& block)
    {
        const QString& line = m_lines[block.rhythmLine];
        const StringLine& top = *m_strings[block.lines.front()];
        const std::vector<int>& starts = block.bars.firstLineSegmentStarts;
        for (qsizetype i = 0; i < line.size();) {
            if (line[i] == u' ' || line[i] == u'|') {
                ++i;
                continue;
            }
            qsizetype end = i;
            while (end < line.size() && line[end] != u' ' && line[end] != u'|')
                ++end;
            const QString token = RhythmToken(QStringView(line).mid(i, end - i));
            const int rel = static_cast<int>(i) - top.bodyStart;
            i = end;
            if (token.isEmpty() || rel < 0 || starts.empty())
                continue;
            int segment = 0;
            while (segment + 1 < static_cast<int>(starts.size()) && rel >= starts[segment + 1])
                ++segment;
            std::size_t p = 0;
            while (p < block.bars.parts.size() && block.bars.parts[p].segment != segment)
                ++p;
            if (p == block.bars.parts.size()) {
                m_report.strayRhythmToken(block.rhythmLine);
                continue;
            }
            OutBar& bar = m_bars[block.partBar[p]];
            const int at = rel - starts[segment] + block.partOffset[p];
            const int item = block.partItem[p];
            OutColumn* nearest = nullptr;
            for (OutColumn& column : bar.columns) {
                const int distance = std::abs(column.pos - at);
                if (column.item == item && column.token.isEmpty() && distance <= 1
                    && (!nearest || distance < std::abs(nearest->pos - at)))
                    nearest = &column;
            }
            if (nearest) {
                nearest->token = token;
                continue;
            }
            // A duration over no note is a rest of its own.
            OutColumn rest;
            rest.pos = at;
            rest.token = token;
            rest.item = item;
            auto place = std::upper_bound(bar.columns.begin(), bar.columns.end(), at,
                [](int value, const OutColumn& column) { return value < column.pos; });
            bar.columns.insert(place, rest);
        }
    }

    void Reader::giveDurations()
    {
        for (std::size_t b = 0; b < m_bars.size(); ++b)
            giveDurations(m_bars[b], static_cast<int>(b) + 1);
    }

    void Reader::giveDurations(OutBar& bar, int number)
    {
        const QString& unit = m_options.unit;
        const bool triplets = IsTripletForm(unit);
        const int unitTicks = FormTicks(unit);
        if (bar.columns.empty()) {
            OutColumn rest;
            rest.item = bar.firstItem;
            rest.durations = m_options.rhythm == TabRhythm::Grid ? SplitLength(bar.width * unitTicks, triplets)
                                                                 : QStringList { QStringLiteral("W") };
            bar.columns.push_back(rest);
            m_report.emptyBar();
            return;
        }
        TabRhythm rhythm = m_options.rhythm;
        if (rhythm == TabRhythm::Proportional && !bar.barred) {
            m_report.proportionalWithoutBars(bar.sourceLine, unit);
            rhythm = TabRhythm::Uniform;
        }
        if (rhythm == TabRhythm::Proportional) {
            std::vector<double> spans;
            for (std::size_t c = 0; c < bar.columns.size(); ++c) {
                const int next = c + 1 < bar.columns.size() ? bar.columns[c + 1].pos : bar.width;
                spans.push_back(std::max(1, next - bar.columns[c].pos));
            }
            if (const auto fitted = FitBar(spans)) {
                for (std::size_t c = 0; c < bar.columns.size(); ++c)
                    bar.columns[c].durations = QStringList { fitted->at(static_cast<qsizetype>(c)) };
                return;
            }
            m_report.barNotFitted(number, bar.sourceLine, unit);
            rhythm = TabRhythm::Uniform;
        }
        int total = 0;
        if (rhythm == TabRhythm::Grid) {
            // One filler character after the bar line is margin; a longer stretch is a rest.
            const int lead = bar.columns.front().pos;
            if (lead >= 2)
                bar.leadingRests = SplitLength((lead - 1) * unitTicks, triplets);
            for (const QString& rest : bar.leadingRests)
                total += FormTicks(rest);
            for (std::size_t c = 0; c < bar.columns.size(); ++c) {
                const int next = c + 1 < bar.columns.size() ? bar.columns[c + 1].pos : bar.width;
                bar.columns[c].durations = SplitLength(std::max(1, next - bar.columns[c].pos) * unitTicks, triplets);
            }
        } else {
            bool anyToken = false;
            for (const OutColumn& column : bar.columns)
                anyToken = anyToken || !column.token.isEmpty();
            int untimed = 0;
            for (OutColumn& column : bar.columns) {
                const bool timed = rhythm == TabRhythm::Line && !column.token.isEmpty();
                // One shared list for the unit: long tabs make many columns.
                column.durations = timed ? QStringList { column.token } : m_unitList;
                untimed += rhythm == TabRhythm::Line && anyToken && !timed ? 1 : 0;
            }
            if (untimed > 0)
                m_report.untimedNotes(bar.sourceLine, untimed, unit);
        }
        for (const OutColumn& column : bar.columns)
            for (const QString& duration : column.durations)
                total += FormTicks(duration);
        if (rhythm != TabRhythm::Uniform && bar.barred && total != BarTicks)
            m_report.barLength(number, bar.sourceLine, total);
        if (!bar.barred)
            splitUnbarred(bar);
    }

    void Reader::splitUnbarred(OutBar& bar)
    {
        int sum = 0;
        for (const QString& rest : bar.leadingRests)
            sum += FormTicks(rest);
        for (OutColumn& column : bar.columns) {
            for (const QString& duration : column.durations)
                sum += FormTicks(duration);
            if (sum >= BarTicks) {
                column.barBreakAfter = true;
                sum = 0;
            }
        }
        m_report.unbarred(bar.sourceLine);
    }

    QStringList Reader::emit()
    {
        QStringList out;
        out.reserve(static_cast<qsizetype>(m_items.size()) * 2);
        bool tuningWritten = !m_options.writeTuningLine || m_tuning.isStandard();
        int chordLines = 0;
        int bars = 0;
        auto closeBar = [&] {
            out << QString();
            ++bars;
        };
        auto writeLine = [&](const FretArray& frets, const QString& duration) {
            ChordDef def;
            def.Frets = frets;
            def.Duration = duration;
            def.Name = AutoName(def, m_tuning);
            out << BuildLine(def, m_tuning);
            ++chordLines;
        };
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            const Item& item = m_items[i];
            switch (item.kind) {
            case Item::Comment:
                out << item.text;
                break;
            case Item::BarEnd:
                if (out.isEmpty() || !out.last().isEmpty())
                    closeBar();
                break;
            case Item::Piece: {
                if (!tuningWritten) {
                    out << m_tuning.lineText();
                    tuningWritten = true;
                }
                const OutBar& bar = m_bars[item.bar];
                if (bar.firstItem == static_cast<int>(i))
                    for (const QString& rest : bar.leadingRests)
                        writeLine(NoFrets, rest);
                for (const OutColumn& column : bar.columns) {
                    if (column.item != static_cast<int>(i))
                        continue;
                    for (qsizetype d = 0; d < column.durations.size(); ++d)
                        writeLine(d == 0 ? column.frets : NoFrets, column.durations[d]);
                    if (column.barBreakAfter)
                        closeBar();
                }
                break;
            }
            }
        }
        if (!out.isEmpty() && !out.last().isEmpty())
            closeBar();
        m_report.summary(static_cast<int>(m_blocks.size()), m_tuning.stringCount(), bars, chordLines);
        return out;
    }

    TabImport Reader::run()
    {
        TabImport result;
        findBlocks();
        if (m_blocks.empty()) {
            result.error = QStringLiteral("No tab found: the text has no block of 4 to 6 string lines (such as "
                                          "\"G|--5--7--|\" above \"D|--------|\").");
            return result;
        }
        chooseTuning();
        scanBlocks();
        buildItems();
        m_report.rhythm(m_options.rhythm, m_options.unit);
        giveDurations();
        result.lines = emit();
        result.tempo = m_tempo;
        result.tuning = m_tuning;
        result.report = m_report.lines();
        return result;
    }

} // namespace

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
    Reader reader(text, canonical);
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
