#include "LineHighlighter.h"

#include "LineParser.h"

#include <QTextCharFormat>

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
        if (result.errorText.isEmpty())
            return;
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        format.setUnderlineColor(Qt::red);
        break;
    }
    setFormat(0, static_cast<int>(text.size()), format);
}

} // namespace fw
