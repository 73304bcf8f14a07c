#include "TextRules.h"

namespace fw {

QStringView TrimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

static int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

std::optional<int> StrToIntRule(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    }
    if (i >= n)
        return std::nullopt;
    // Accumulate the magnitude in 64 bits so both ends of the 32-bit range are reachable.
    long long magnitude = 0;
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    for (; i < n; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int StrToIntDef(QStringView text, int fallback) { return StrToIntRule(text).value_or(fallback); }

bool IsCommentLine(QStringView text) { return !text.isEmpty() && text[0] == u'*' && !TrimBlanks(text).isEmpty(); }

int CountCommas(QStringView text) { return static_cast<int>(text.count(u',')); }

qsizetype LastPathSeparator(QStringView path) { return qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')); }

QString PathWithoutExtension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > LastPathSeparator(path) ? path.left(dot) : path;
}

} // namespace fw
