#pragma once

// The reader's working parts, shared by its source files; nothing outside the reader uses them.

#include "AsciiTabReader.h"
#include "MarkRepair.h"
#include "TabBlocks.h"
#include "TabLineKinds.h"
#include "TabReport.h"

#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace fw::asciitab::detail {

inline constexpr int MinBlockLines = MinTuningStrings;
inline constexpr int MaxBlockLines = MaxTuningStrings;

// Repeated passages, from the smallest to the largest: between repeat signs at bar lines, a whole
// block ("x4" beside it), under a bracket over the bars or beside several blocks, a whole section
// ("Chorus x2").
enum class RepeatLevel { Bar, Block, Bracket, Section };

struct RepeatMark {
    RepeatLevel level = RepeatLevel::Bar;
    int count = 0; // for a close: how many times, 0 when the tab does not say (twice)
    int line = 0; // the source line it was read from
};

// The repeats that open before a place and close after it; closes innermost first.
struct RepeatEvents {
    std::vector<RepeatMark> opens;
    std::vector<RepeatMark> closes;
};

struct Block {
    int first = 0; // source line of the top string
    std::vector<int> lines; // source lines, top string first
    QStringList labels;
    BlockBars bars;
    std::vector<int> slots;
    int rhythmLine = -1; // source line of the rhythm line above, if any
    std::vector<int> markLines; // palm-mute and let-ring lines above it
    int attackLine = -1; // the line of S, P and T letters under it, if any
    // For each bar part: the bar it went into, where in that bar it starts, and its item.
    std::vector<int> partBar;
    std::vector<int> partOffset;
    std::vector<int> partItem;
    // For each bar part: the repeats that open before it and close after it.
    std::vector<RepeatEvents> partRepeats;
    // For each bar part: the alternate ending it belongs to, 0 for none.
    std::vector<int> partEnding;
    bool opensWithRepeat = false; // its lines start with "|:"
    bool bracketed = false; // a bracket stands beside its lines
    int repeatCount = 0; // a count beside it or on a line next to it: "x4"
    QStringList trailing; // other text beside its lines, kept as comments
};

// A column as the chord list will hold it.
struct OutColumn {
    int pos = 0;
    int end = 0; // the last character of its notes
    int sourceLine = 0; // the top string line of its block
    FretArray frets = NoFrets;
    MarkArray marks {};
    LineMarks technique {};
    std::array<bool, 7> anySlide {}; // by slot: an "s" slide, which needs a next note
    QString token; // from the rhythm line
    QStringList comments; // written before its line: the alternative frets of "4(16)"
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

// A chord line's frets, marks and duration, which decide its text once the tuning is known.
struct LineKey {
    FretArray frets;
    MarkArray marks;
    LineMarks technique;
    QString duration;
    bool operator==(const LineKey&) const = default;
};

struct LineKeyHash {
    std::size_t operator()(const LineKey& key) const
    {
        std::size_t h = qHash(key.duration);
        for (int fret : key.frets)
            h = h * 31 + static_cast<std::size_t>(fret + 1);
        for (const NoteMarks& m : key.marks)
            h = h * 31
                + static_cast<std::size_t>(static_cast<int>(m.kind) | static_cast<int>(m.link) << 2
                    | static_cast<int>(m.slideIn) << 5 | m.vibrato << 7 | (m.bendTarget + 1) << 8
                    | m.harmonicNode << 16);
        return h * 31 + static_cast<std::size_t>(key.technique.attack) + 4 * key.technique.accent;
    }
};

// What the chord list holds, in the order of the tab.
struct Item {
    enum Kind { Comment, Piece, BarEnd, RepeatOpen, RepeatClose, SectionStart, EndingStart, EndingEnd } kind = Comment;
    // The number of an alternate ending for EndingStart; otherwise the bar.
    QString text;
    int bar = 0;
    RepeatMark repeat {};
};

// An open repeat while the list is written: where its first pass starts in the list.
struct OpenRepeat {
    RepeatLevel level;
    qsizetype start;
    int line;
    // Its alternate endings: the number and the lines [from, to) of each, played in that pass only.
    struct Ending {
        int number;
        qsizetype from;
        qsizetype to;
    };
    std::vector<Ending> endings;
};

inline QString CommentLine(const QString& text)
{
    // Two blanks keep words that would make a count-off or tuning line an ordinary comment.
    const QString upper = text.toUpper();
    if (upper.startsWith(QLatin1String("COUNT OFF")) || upper.startsWith(QLatin1String("TUNING")))
        return QStringLiteral("*  ") + text;
    return QStringLiteral("* ") + text;
}

// Short, no sentence: "Walking Home - The Testers", not "Here is my tab, enjoy!".
inline bool LooksLikeTitle(const QString& text)
{
    static const QString endings = QStringLiteral(".!?,;:");
    return text.size() <= 80 && text.count(u' ') < 10 && !endings.contains(text.back());
}

class Reader {
public:
    Reader(QStringView text, const TabImportOptions& options)
        : m_options(options)
    {
        m_lines = SplitDocumentLines(text);
        for (QString& line : m_lines)
            if (line.contains(u'\t'))
                line = ExpandTabs(line);
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
    BlockBars scanBlock(const Block& block, MarkTally& tally) const;
    void scanBlocks();
    void buildItems();
    void addBlock(Block& block, double typicalWidth, std::optional<int>& openBar);
    OutColumn outColumn(const CellColumn& column, const Block& block, int offset);
    void placeRhythmTokens(const Block& block);
    // Finds the palm-mute, let-ring and attack lines around a block.
    void findMarkLines(Block& block);
    DigitRule chooseDigitRule();
    // Repeats: the signs at a block's bar lines, the counts beside and next to it, brackets over
    // it, then what a block alone cannot say: brackets beside several blocks, sections, counts on
    // lines of their own.
    void planBlockRepeats(Block& block, const BlockBars& bars, int blockIndex);
    void takeCount(Block& block, const BlockBars* bars, int count, int column, int line);
    void placeBracket(int blockIndex, const BlockBars& bars, const RepeatBracket& bracket, int line);
    // A bracket over the bars that runs on from a system ends after the last block it reached.
    void endRunningBracket();
    void planTextRepeats();
    // Adds the repeat items of a place: opens before a bar part, closes after it.
    void addRepeatItems(const std::vector<RepeatMark>& marks, Item::Kind kind);
    void openRepeat(const RepeatMark& mark);
    void closeRepeat(const RepeatMark& mark);
    void playOut(qsizetype start, int passes, int line, const std::vector<OpenRepeat::Ending>& endings);
    void placeEndings(Block& block, const BlockBars& bars, const std::vector<EndingMark>& marks);
    void startEnding(int number);
    void endEnding();
    // Calls visit(column, first, last) for each of the block's columns, with where its notes stand
    // as columns of the text from its top line's body on.
    void forEachColumn(const Block& block, const std::function<void(OutColumn&, int, int)>& visit);
    // The palm-mute and let-ring runs and the attack letters, given to the columns they stand over.
    void placeLineMarks(const Block& block);
    // Writes a note entry: the column's notes (none for a rest) for a duration.
    void writeEntry(const OutColumn* column, const QString& duration);
    void giveDurations(OutBar& bar, int number);
    void splitUnbarred(OutBar& bar);
    // Times and writes the bars read so far and forgets them, so a long tab is worked in pieces
    // that stay in the processor's caches. Only called where no bar runs on.
    void flush();
    void emitItems();
    // Writes the tuning line before the first notes and marks where they start.
    void startNotes();
    // Writes the blank line that ends a bar.
    void closeBar();

    const TabImportOptions& m_options;
    QStringList m_lines;
    std::vector<std::optional<StringLine>> m_strings;
    std::vector<int> m_blockOfLine; // -1 for lines outside blocks
    std::vector<bool> m_strayLine;
    std::vector<std::optional<TextLine>> m_texts;
    QStringList m_unitList;
    std::vector<bool> m_readRhythmLine; // rhythm lines the line rhythm reads
    std::vector<bool> m_readMarkLine; // palm-mute, let-ring and attack lines read as marks
    std::vector<bool> m_readRepeatLine; // counts and brackets read into the repeats
    DigitRule m_digitRule = DigitRule::TwoDigitFrets;
    // Repeats at text lines: closes before the line, opens after it; and those still open at the end.
    std::unordered_map<int, RepeatEvents> m_lineRepeats;
    std::vector<RepeatMark> m_endCloses;
    // A bracket over the bars that runs on into the next system: its count, line and whether the
    // last block it covered may still end it.
    std::optional<RepeatMark> m_runningBracket;
    int m_runningBracketBlock = -1;
    // A "|:" at the end of a system opens before the next one's first bar.
    int m_carriedOpens = 0;
    int m_carriedOpenLine = 0;
    // While writing: the open repeats, and where a repeat without an opening sign starts from.
    std::vector<OpenRepeat> m_openRepeats;
    qsizetype m_repeatFloor = 0;
    std::vector<Block> m_blocks;
    std::vector<int> m_barWidths; // of the bars that end in their block, for the typical width
    // Where the first notes of bars stand: most bars start on the beat after a margin this wide.
    std::vector<int> m_barLeads;
    int m_typicalLead = 0;
    Tuning m_tuning;
    int m_usedTuningLine = -1;
    std::vector<OutBar> m_bars;
    std::vector<Item> m_items;
    std::optional<int> m_tempo;
    TabReport m_report;
    // Bars and items kept before a flush: enough to make the flushes rare.
    static constexpr std::size_t FlushItems = 4096;
    QStringList m_out;
    LinkMendingWriter m_entries { m_out, m_tuning,
        [this](const MendedLink& mended, int line) { m_report.mendedLink(line, mended); } };
    // Frets above FretCount were kept: a frets line goes where the list's first notes start.
    int m_highestFret = 0;
    std::optional<qsizetype> m_fretsLineAt;
    bool m_tuningWritten = false;
    int m_chordLines = 0;
    int m_closedBars = 0;
    int m_chordLinesAtBar = 0; // the chord lines written when the last bar was closed
    int m_barsFlushed = 0;
    // Line texts made so far; a hostile tab of ever new chords cannot make it grow without end.
    static constexpr std::size_t MaxLineTexts = 4096;
    std::unordered_map<LineKey, QString, LineKeyHash> m_lineTexts;
};

} // namespace fw::asciitab::detail
