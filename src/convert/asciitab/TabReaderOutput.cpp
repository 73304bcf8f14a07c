// How the reader gives the columns their durations and writes the chord list.
#include "DocumentText.h"
#include "SpecialLines.h"
#include "TabReaderParts.h"
#include "TabRhythm.h"

#include <algorithm>

namespace fw::asciitab::detail {

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

void Reader::forEachColumn(const Block& block, const std::function<void(OutColumn&, int, int)>& visit)
{
    const std::vector<int>& starts = block.bars.firstLineSegmentStarts;
    for (std::size_t p = 0; p < block.bars.parts.size(); ++p) {
        const int segment = block.bars.parts[p].segment;
        if (segment >= static_cast<int>(starts.size()))
            continue;
        const int shift = starts[segment] - block.partOffset[p];
        for (OutColumn& column : m_bars[block.partBar[p]].columns) {
            if (column.item == block.partItem[p] && column.sourceLine == block.first)
                visit(column, column.pos + shift, column.end + shift);
        }
    }
}

void Reader::placeLineMarks(const Block& block)
{
    const int bodyStart = m_strings[block.first]->bodyStart;
    for (int line : block.markLines) {
        for (const MarkRun& run : MarkRuns(m_lines[line])) {
            forEachColumn(block, [&](OutColumn& column, int first, int) {
                if (first + bodyStart < run.first || first + bodyStart > run.last)
                    return;
                (run.letRing ? column.technique.letRing : column.technique.palmMute) = true;
            });
        }
    }
    if (block.attackLine < 0)
        return;
    const QString& letters = m_lines[block.attackLine];
    for (qsizetype at = 0; at < letters.size(); ++at) {
        const char16_t letter = letters[at].toUpper().unicode();
        if (letter == u' ')
            continue;
        const Attack attack = letter == u'S' ? Attack::Slap : letter == u'P' ? Attack::Pop : Attack::Tap;
        // Under a column's notes, or next to them.
        OutColumn* under = nullptr;
        int distance = 2;
        const int rel = static_cast<int>(at) - bodyStart;
        forEachColumn(block, [&](OutColumn& column, int first, int last) {
            const int away = rel < first ? first - rel : rel > last ? rel - last : 0;
            if (away < distance) {
                under = &column;
                distance = away;
            }
        });
        if (under)
            under->technique.attack = attack;
        else
            m_report.strayAttackLetter(block.attackLine);
    }
}

void Reader::flush()
{
    for (std::size_t b = 0; b < m_bars.size(); ++b)
        giveDurations(m_bars[b], m_barsFlushed + static_cast<int>(b) + 1);
    emitItems();
    m_barsFlushed += static_cast<int>(m_bars.size());
    m_bars.clear();
    m_items.clear();
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
        int step = 2;
        for (std::size_t c = 0; c < bar.columns.size(); ++c) {
            const int next = c + 1 < bar.columns.size() ? bar.columns[c + 1].pos : bar.width;
            spans.push_back(std::max(1, next - bar.columns[c].pos));
            if (c + 1 < bar.columns.size())
                step = c == 0 ? next - bar.columns[c].pos : std::min(step, next - bar.columns[c].pos);
        }
        // A bar whose first note stands further in than the tab's bars start, by a step of its notes
        // or more, starts with a rest.
        const int rest = bar.columns.front().pos - m_typicalLead;
        const bool leadingRest = rest >= std::max(2, step);
        if (leadingRest)
            spans.insert(spans.begin(), rest);
        if (const auto fitted = FitBar(spans)) {
            const qsizetype first = leadingRest ? 1 : 0;
            if (leadingRest)
                bar.leadingRests = QStringList { fitted->front() };
            for (std::size_t c = 0; c < bar.columns.size(); ++c)
                bar.columns[c].durations = QStringList { fitted->at(static_cast<qsizetype>(c) + first) };
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

void Reader::closeBar()
{
    m_out << QString();
    // A blank after comments alone closes no bar of notes.
    if (m_chordLines > m_chordLinesAtBar)
        ++m_closedBars;
    m_chordLinesAtBar = m_chordLines;
}

void Reader::writeEntry(const OutColumn* column, const QString& duration)
{
    // A tab repeats few notes many times: each line text is made once and shared.
    LineKey key { NoFrets, {}, {}, duration };
    if (column)
        key = { column->frets, column->marks, column->technique, duration };
    if (key.technique.letRing && key.technique.palmMute) {
        key.technique.letRing = false;
        m_report.letRingUnderPalmMute(column->sourceLine);
    }
    auto found = m_lineTexts.find(key);
    ChordDef def;
    def.Frets = key.frets;
    def.Marks = key.marks;
    def.Technique = key.technique;
    def.Duration = duration;
    const bool linked
        = std::any_of(def.Marks.begin(), def.Marks.end(), [](const NoteMarks& m) { return m.link != NoteLink::None; });
    // A linked entry's line may be written again once its next note is known.
    if (linked || found == m_lineTexts.end())
        def.Name = AutomaticName(def, m_tuning);
    if (found == m_lineTexts.end()) {
        if (m_lineTexts.size() >= MaxLineTexts)
            m_lineTexts.clear();
        found = m_lineTexts.emplace(std::move(key), BuildLine(def, m_tuning)).first;
    }
    LinkLeeways leeways {};
    for (int slot = 1; column && slot <= 6; ++slot)
        leeways[slot].slideOut = !column->anySlide[slot];
    m_entries.add(def, found->second, column ? column->sourceLine : 0, &leeways);
    ++m_chordLines;
}

void Reader::startNotes()
{
    if (!m_tuningWritten) {
        m_out << m_tuning.lineText();
        m_tuningWritten = true;
    }
    // The frets line goes where the notes start, and a repeat without an opening sign goes back no
    // further: the title and tuning lines are no part of it.
    if (!m_fretsLineAt) {
        m_fretsLineAt = m_out.size();
        m_repeatFloor = std::max(m_repeatFloor, m_out.size());
    }
}

void Reader::emitItems()
{
    QStringList& out = m_out;
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
            startNotes();
            const OutBar& bar = m_bars[item.bar];
            if (bar.firstItem == static_cast<int>(i))
                for (const QString& rest : bar.leadingRests)
                    writeEntry(nullptr, rest);
            for (const OutColumn& column : bar.columns) {
                if (column.item != static_cast<int>(i))
                    continue;
                out << column.comments;
                for (qsizetype d = 0; d < column.durations.size(); ++d)
                    writeEntry(d == 0 ? &column : nullptr, column.durations[d]);
                if (column.barBreakAfter)
                    closeBar();
            }
            break;
        }
        case Item::RepeatOpen:
            openRepeat(item.repeat);
            break;
        case Item::RepeatClose:
            closeRepeat(item.repeat);
            break;
        case Item::SectionStart:
            m_repeatFloor = out.size();
            break;
        case Item::EndingStart:
            startEnding(item.bar);
            break;
        case Item::EndingEnd:
            endEnding();
            break;
        }
    }
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
    m_digitRule = chooseDigitRule();
    scanBlocks();
    planTextRepeats();
    m_report.rhythm(m_options.rhythm, m_options.unit);
    m_tuningWritten = !m_options.writeTuningLine || m_tuning.isStandard();
    // Tabs hold a few notes per string line; a chord list a line per note.
    m_out.reserve(m_lines.size() * 3);
    buildItems();
    flush();
    m_entries.finish();
    for (const OpenRepeat& open : m_openRepeats)
        m_report.repeatNeverClosed(open.line);
    if (!m_out.isEmpty() && !m_out.last().isEmpty())
        closeBar();
    if (m_highestFret > FretCount && m_fretsLineAt) {
        m_out.insert(*m_fretsLineAt, FretsLineText(m_highestFret));
        m_report.fretsKept(m_highestFret);
    }
    m_report.summary(static_cast<int>(m_blocks.size()), m_tuning.stringCount(), m_closedBars, m_chordLines);
    result.lines = std::move(m_out);
    result.tempo = m_tempo;
    result.tuning = m_tuning;
    result.report = m_report.lines();
    return result;
}

} // namespace fw::asciitab::detail
