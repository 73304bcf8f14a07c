#include "StringListLines.h"

#include <algorithm>

namespace fw {

StringListLines::StringListLines(QStringList lines)
    : m_lines(std::move(lines))
{
}

int StringListLines::lineCount() const { return static_cast<int>(m_lines.size()); }

QString StringListLines::lineText(int index) const
{
    return index >= 0 && index < m_lines.size() ? m_lines[index] : QString();
}

void StringListLines::replaceLine(int index, const QString& text)
{
    ++m_revision;
    if (index >= 0 && index < m_lines.size())
        m_lines[index] = text;
    else if (index == m_lines.size())
        m_lines.append(text);
}

void StringListLines::insertLine(int index, const QString& text)
{
    ++m_revision;
    m_lines.insert(std::clamp(index, 0, lineCount()), text);
}

void StringListLines::deleteLine(int index)
{
    ++m_revision;
    if (index >= 0 && index < m_lines.size())
        m_lines.removeAt(index);
}

void StringListLines::setSelection(int start, int length)
{
    m_selectionStart = std::max(0, start);
    m_selectionLength = std::max(0, length);
}

int StringListLines::lineStart(int index) const
{
    int position = 0;
    for (int i = 0; i < index && i < m_lines.size(); ++i)
        position += static_cast<int>(m_lines[i].size()) + 1;
    return position;
}

int StringListLines::currentLine() const
{
    int position = 0;
    for (int i = 0; i < m_lines.size(); ++i) {
        const int next = position + static_cast<int>(m_lines[i].size()) + 1;
        if (m_selectionStart < next)
            return i;
        position = next;
    }
    return lineCount();
}

void StringListLines::selectLine(int index, bool highlight)
{
    m_selectionStart = lineStart(index);
    m_selectionLength = highlight ? static_cast<int>(lineText(index).size()) : 0;
}

} // namespace fw
