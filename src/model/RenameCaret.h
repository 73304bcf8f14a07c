#pragma once

#include <QString>
#include <utility>

namespace fw {

// Where a caret lands when a line is rewritten in canonical form (renamed, blanks put after its
// commas): in the same comma-separated field, at the same offset inside the field's trimmed text
// (held to that text's ends), and at the new line's end when it was at the old line's end. A caret
// beyond the fields the new line has goes to its end, so it never leaves the line.
int CaretAfterRename(const QString& oldLine, const QString& newLine, int oldOffset);

// A selection (start and length in the whole text) after the line starting at lineStart was
// rewritten: its ends inside the line move with their fields, ends after it shift with the line's
// change of length, ends before it stay.
std::pair<int, int> SelectionAfterRename(
    const QString& oldLine, const QString& newLine, int lineStart, int selectionStart, int selectionLength);

} // namespace fw
