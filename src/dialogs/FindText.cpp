#include "FindText.h"

namespace fw {

namespace {

    bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

} // namespace

qsizetype FindTextForward(const QString& text, const QString& what, qsizetype from, FindOptions options)
{
    if (what.isEmpty() || from < 0)
        return -1;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = text.indexOf(what, from, cs); at >= 0; at = text.indexOf(what, at + 1, cs)) {
        if (!options.wholeWord)
            return at;
        const qsizetype end = at + what.size();
        const bool startsWord = at == 0 || !IsWordChar(text.at(at - 1));
        const bool endsWord = end >= text.size() || !IsWordChar(text.at(end));
        if (startsWord && endsWord)
            return at;
    }
    return -1;
}

QString SearchNotFoundMessage(const QString& what)
{
    return QStringLiteral("Search string \"") + what + QStringLiteral("\" not found");
}

} // namespace fw
