#include "RenameCaret.h"

#include <algorithm>

namespace fw {

namespace {

    bool IsBlank(QChar c) { return c.unicode() <= 32; }

    struct Field {
        int index = 0; // counted from 0, one more after each comma
        int trimmedStart = 0;
        int trimmedEnd = 0;
    };

    // The field that holds offset: the one after the last comma before it.
    Field FieldAt(const QString& line, int offset)
    {
        Field field;
        int start = 0;
        for (int i = 0; i < offset && i < line.size(); ++i) {
            if (line[i] == QLatin1Char(',')) {
                ++field.index;
                start = i + 1;
            }
        }
        int end = static_cast<int>(line.indexOf(QLatin1Char(','), start));
        if (end < 0)
            end = static_cast<int>(line.size());
        field.trimmedStart = start;
        field.trimmedEnd = end;
        while (field.trimmedStart < field.trimmedEnd && IsBlank(line[field.trimmedStart]))
            ++field.trimmedStart;
        while (field.trimmedEnd > field.trimmedStart && IsBlank(line[field.trimmedEnd - 1]))
            --field.trimmedEnd;
        return field;
    }

    // The field with the given index, or nothing when the line has fewer fields.
    bool FindField(const QString& line, int index, Field& field)
    {
        int start = 0;
        for (int i = 0; i < index; ++i) {
            const qsizetype comma = line.indexOf(QLatin1Char(','), start);
            if (comma < 0)
                return false;
            start = static_cast<int>(comma) + 1;
        }
        field = FieldAt(line, start);
        return true;
    }

} // namespace

int CaretAfterRename(const QString& oldLine, const QString& newLine, int oldOffset)
{
    const int newLength = static_cast<int>(newLine.size());
    if (oldOffset >= oldLine.size())
        return newLength;
    const Field old = FieldAt(oldLine, std::max(0, oldOffset));
    const int inside = std::clamp(oldOffset - old.trimmedStart, 0, old.trimmedEnd - old.trimmedStart);
    Field renamed;
    if (!FindField(newLine, old.index, renamed))
        return newLength;
    return renamed.trimmedStart + std::min(inside, renamed.trimmedEnd - renamed.trimmedStart);
}

std::pair<int, int> SelectionAfterRename(
    const QString& oldLine, const QString& newLine, int lineStart, int selectionStart, int selectionLength)
{
    const int oldEnd = lineStart + static_cast<int>(oldLine.size());
    auto move = [&](int position) {
        if (position < lineStart)
            return position;
        if (position > oldEnd)
            return position + static_cast<int>(newLine.size() - oldLine.size());
        return lineStart + CaretAfterRename(oldLine, newLine, position - lineStart);
    };
    const int start = move(selectionStart);
    const int end = move(selectionStart + selectionLength);
    return { start, std::max(0, end - start) };
}

} // namespace fw
