#include "LineHighlighter.h"

#include "LineParser.h"
#include "ListCheck.h"
#include "TextRules.h"

#include <QTextCharFormat>
#include <algorithm>

namespace fw {

LineHighlighter::LineHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document)
{
}

void LineHighlighter::setReading(const Tuning& tuning, int fretLimit)
{
    if (tuning == m_tuning && fretLimit == m_fretLimit)
        return;
    m_tuning = tuning;
    m_fretLimit = fretLimit;
    rehighlight();
}

QString LineHighlighter::errorOf(const QTextBlock& block) const
{
    ChordDef def;
    const LineParseResult result = ParseLineText(block.text(), block.blockNumber(), def, m_tuning, m_fretLimit);
    if (!result.errorText.isEmpty() || result.kind != LineKind::ChordDefinition
        || std::none_of(def.Marks.begin(), def.Marks.end(), [](const NoteMarks& m) { return m.joinsNext(); }))
        return result.errorText;
    for (QTextBlock next = block.next(); next.isValid(); next = next.next()) {
        const QString text = next.text();
        if (IsCommentLine(text) || TrimBlanks(text).isEmpty())
            continue;
        ChordDef partner;
        // A next line in error has its own mark; this one is judged once that is mended.
        if (!ParseLineText(text, next.blockNumber(), partner, m_tuning, m_fretLimit).errorText.isEmpty())
            return QString();
        const QString problem = LinkProblem(def, &partner, m_tuning);
        return problem.isEmpty() ? QString() : LinePrefix(block.blockNumber()) + problem;
    }
    const QString problem = LinkProblem(def, nullptr, m_tuning);
    return problem.isEmpty() ? QString() : LinePrefix(block.blockNumber()) + problem;
}

void LineHighlighter::highlightBlock(const QString& text)
{
    ChordDef def;
    const LineParseResult result = ParseLineText(text, currentBlock().blockNumber(), def, m_tuning, m_fretLimit);
    QTextCharFormat format;
    switch (result.kind) {
    case LineKind::Comment:
        format.setForeground(QColor(0x6a, 0x73, 0x7d));
        format.setFontWeight(QFont::Normal);
        format.setFontItalic(true);
        break;
    case LineKind::CountOff:
        format.setForeground(result.countOffNumber >= 0 ? QColor(0x00, 0x6d, 0x77) : QColor(0xb0, 0x00, 0x20));
        format.setFontWeight(QFont::Normal);
        break;
    case LineKind::Blank:
        return;
    case LineKind::ChordDefinition:
        if (result.errorText.isEmpty() && errorOf(currentBlock()).isEmpty())
            return;
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        format.setUnderlineColor(Qt::red);
        break;
    }
    setFormat(0, static_cast<int>(text.size()), format);
}

} // namespace fw
