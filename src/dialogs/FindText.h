#pragma once

#include <QString>

namespace fw {

struct FindOptions {
    bool wholeWord = false;
    bool matchCase = false;
};

// The first match of what in text at or after from, or -1. Forward only, no wrap-around; an empty
// search text never matches. A whole word has no letter, digit or underscore right before or after it.
qsizetype FindTextForward(const QString& text, const QString& what, qsizetype from, FindOptions options);

// The information box text for a search that found nothing: Search string "abc" not found
QString SearchNotFoundMessage(const QString& what);

} // namespace fw
