#include "TabLineKinds.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <string_view>

namespace fw::asciitab {

namespace {

    // Characters a tab body may hold besides frets: dashes, bar lines, blanks, repeat dots and the
    // technique marks written between frets (a tie: "_").
    bool IsBodyChar(QChar c)
    {
        static const auto table = [] {
            std::array<bool, 128> allowed {};
            for (char m : std::string_view("-| hHpPbBrR/\\sStT~vV()<>[]xX.*:^'`_0123456789"))
                allowed[static_cast<unsigned char>(m)] = true;
            return allowed;
        }();
        return c.unicode() < 128 && table[c.unicode()];
    }

    bool IsLabelLetter(QChar c) { return (c >= u'A' && c <= u'G') || (c >= u'a' && c <= u'g'); }

    // The dots of a repeat sign next to a bar line, where "*" and ":" also stand: "||o---", "---o||".
    bool IsRepeatDot(QStringView body, qsizetype at)
    {
        if (body[at] != u'o' && body[at] != u'O')
            return false;
        return (at > 0 && body[at - 1] == u'|') || (at + 1 < body.size() && body[at + 1] == u'|');
    }

    // Brackets drawn beside or around tab lines and repeat marks.
    bool IsBracketChar(QChar c) { return QStringView(u"[]{}|").contains(c); }

    // The characters a bracket over the bars is drawn with.
    bool IsDrawingChar(QChar c) { return QStringView(u"-_=~.|[]{}/\\+<>").contains(c); }

    bool IsRunChar(QChar c) { return QStringView(u"-_=~").contains(c); }

    const QRegularExpression& Re(const char* pattern)
    {
        // Patterns are compiled once per pattern text; the callers pass literals.
        thread_local std::vector<std::pair<const char*, QRegularExpression>> cache;
        for (const auto& [key, re] : cache)
            if (key == pattern)
                return re;
        cache.emplace_back(pattern,
            QRegularExpression(QString::fromUtf8(pattern),
                QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption));
        return cache.back().second;
    }

    bool IsRule(QStringView text)
    {
        // A lone bracket between two systems that a repeat bracket joins.
        if (!text.isEmpty()
            && std::all_of(text.begin(), text.end(), [](QChar c) { return IsBracketChar(c) || c == u' '; }))
            return true;
        if (text.size() < 3)
            return false;
        for (QChar c : text)
            if (!QStringView(u"-=_*#~+.:|/\\<> ").contains(c))
                return false;
        return true;
    }

    bool IsCount(QStringView text)
    {
        const QString spaced = text.toString();
        if (!Re("^[|\\s]*\\d").match(spaced).hasMatch())
            return false;
        static const QRegularExpression separators(QStringLiteral("[\\s|.\\-]+"));
        QString glued = spaced;
        glued.remove(separators);
        const bool severalTokens = spaced.simplified().contains(u' ');
        const bool hasOffbeat = glued.contains(u'&') || glued.contains(u'+');
        return (severalTokens || hasOffbeat)
            && Re("^(?:\\d{1,2}(?:e|&|\\+|a|and|ta|ti|la|li)*)+$").match(glued).hasMatch();
    }

    bool IsRhythm(QStringView text)
    {
        // One bare letter is as likely a chord name as a duration.
        const QString trimmed = text.trimmed().toString();
        return IsRhythmText(text) && (trimmed.contains(u' ') || trimmed.size() >= 2);
    }

    const QRegularExpression& MarkWords()
    {
        static const QRegularExpression words(QStringLiteral("p\\.\\s*m\\.?|pm|let\\s+ring|l\\.\\s*r\\.?|palm\\s+mute"),
            QRegularExpression::CaseInsensitiveOption);
        return words;
    }

    bool IsMarkLine(QStringView text)
    {
        QString rest = text.toString().toLower();
        const qsizetype before = rest.size();
        rest.remove(MarkWords());
        if (rest.size() == before)
            return false;
        for (QChar c : rest)
            if (!QStringView(u" -|._~>^*<").contains(c))
                return false;
        return true;
    }

} // namespace

std::vector<MarkRun> MarkRuns(QStringView line)
{
    std::vector<MarkRun> runs;
    const QString text = line.toString();
    static const QStringView RunChars = u"-._~|>";
    QRegularExpressionMatchIterator labels = MarkWords().globalMatch(text);
    while (labels.hasNext()) {
        const QRegularExpressionMatch label = labels.next();
        MarkRun run;
        run.first = static_cast<int>(label.capturedStart());
        run.letRing = label.captured().at(0).toLower() == u'l';
        int at = static_cast<int>(label.capturedEnd());
        run.last = at - 1;
        while (at < text.size()) {
            if (RunChars.contains(text[at]))
                run.last = at++;
            else if (text[at] == u' ' && at + 1 < text.size() && RunChars.contains(text[at + 1]))
                ++at;
            else
                break;
        }
        if (!runs.empty() && runs.back().last >= run.first)
            runs.back().last = run.first - 1;
        runs.push_back(run);
    }
    return runs;
}

bool IsAttackLine(QStringView line)
{
    bool letter = false;
    for (QChar c : line) {
        if (QStringView(u"SPTspt").contains(c))
            letter = true;
        else if (c != u' ')
            return false;
    }
    return letter;
}

bool IsRhythmText(QStringView text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s|]+"));
    const QStringList tokens = text.toString().split(separators, Qt::SkipEmptyParts);
    if (tokens.isEmpty())
        return false;
    for (const QString& token : tokens)
        if (RhythmToken(token).isEmpty())
            return false;
    return true;
}

std::optional<int> RepeatCountOf(QStringView text)
{
    // Brackets and bar lines around the mark: "(x4)", "[x4]", "| x2".
    qsizetype from = 0;
    qsizetype to = text.size();
    const auto frame = [](QChar c) { return c == u' ' || c == u'(' || c == u')' || IsBracketChar(c); };
    while (from < to && frame(text[from]))
        ++from;
    while (to > from && (frame(text[to - 1]) || text[to - 1] == u':' || text[to - 1] == u'.'))
        --to;
    if (from == to)
        return std::nullopt;
    const QStringView core = text.mid(from, to - from);
    const QChar first = core.front().toLower();
    if (first != u'x' && first != u'*' && first != u'r' && first != u'p' && !first.isDigit())
        return std::nullopt;
    const QRegularExpressionMatch match = Re(
        "^(?:x\\s*(\\d{1,3})|(\\d{1,3})\\s*(?:x|times)|\\*\\s*(\\d{1,3})|(?:repeat|play)(?:\\s+(?:it\\s+|this\\s+)?(?:"
        "x\\s*(\\d{1,3})|(\\d{1,3})\\s*(?:x|times)?|(once|twice)))?)$")
                                              .match(core);
    if (!match.hasMatch())
        return std::nullopt;
    for (int group = 1; group <= 5; ++group)
        if (match.hasCaptured(group))
            return std::max(1, match.captured(group).toInt());
    // "repeat", "repeat once", "repeat twice": the bars are played twice.
    return 2;
}

std::optional<RepeatBracket> ParseRepeatBracket(QStringView line)
{
    RepeatBracket bracket;
    qsizetype first = -1;
    qsizetype last = -1;
    qsizetype wordFirst = -1;
    qsizetype wordLast = -1;
    int runs = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u' ')
            continue;
        if (first < 0)
            first = i;
        last = i;
        if (IsDrawingChar(c)) {
            runs += IsRunChar(c) ? 1 : 0;
            continue;
        }
        if (wordFirst < 0)
            wordFirst = i;
        wordLast = i;
    }
    if (runs < 3)
        return std::nullopt;
    if (wordFirst >= 0) {
        // The words between the drawing: one repeat mark and nothing else.
        const QStringView words = line.mid(wordFirst, wordLast - wordFirst + 1);
        for (QChar c : words)
            if (IsRunChar(c))
                return std::nullopt;
        const std::optional<int> count = RepeatCountOf(words);
        if (!count)
            return std::nullopt;
        bracket.count = *count;
    }
    bracket.first = static_cast<int>(first);
    bracket.last = static_cast<int>(last);
    bracket.openRight = IsRunChar(line[last]) || line[last] == u'.';
    return bracket;
}

std::optional<std::vector<EndingMark>> ParseEndingLine(QStringView line)
{
    std::vector<EndingMark> marks;
    static const QRegularExpression ending(
        QStringLiteral(
            "\\G\\s*\\[?([1-9])(?:\\.|st|nd|rd|th)\\]?[-_.~ ]*?(?=\\s{2,}|\\s*$|\\s*\\[?[1-9](?:\\.|st|nd|rd|th))"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = line.toString();
    qsizetype at = 0;
    while (at < text.size()) {
        const QRegularExpressionMatch match = ending.match(text, at);
        if (!match.hasMatch() || match.capturedEnd() == at)
            break;
        const qsizetype start
            = match.capturedStart(1) - (match.capturedStart(1) > 0 && text[match.capturedStart(1) - 1] == u'[' ? 1 : 0);
        qsizetype last = match.capturedEnd() - 1;
        while (last > start && text[last] == u' ')
            --last;
        marks.push_back({ match.captured(1).toInt(), static_cast<int>(start), static_cast<int>(last) });
        at = match.capturedEnd();
    }
    if (marks.empty() || !QStringView(text).mid(at).trimmed().isEmpty())
        return std::nullopt;
    return marks;
}

QString ExpandTabs(QStringView line)
{
    if (!line.contains(u'\t'))
        return line.toString();
    QString out;
    out.reserve(line.size() + 16);
    for (QChar c : line) {
        if (c == u'\t')
            out += QString(8 - out.size() % 8, u' ');
        else
            out += c;
    }
    return out;
}

std::optional<StringLine> ParseStringLine(QStringView line)
{
    StringLine result;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n && line[i] == u' ')
        ++i;
    // A bracket drawn left of the strings: "[ G|--", "|G|--", "| |--".
    if (i + 1 < n && IsBracketChar(line[i])) {
        qsizetype j = i + 1;
        while (j < n && line[j] == u' ')
            ++j;
        const bool spaced = j > i + 1;
        const bool labelNext = j + 1 < n && IsLabelLetter(line[j]) && QStringView(u" |:-#b").contains(line[j + 1]);
        if (line[i] != u'|' ? spaced || labelNext : labelNext || (spaced && j < n && line[j] == u'|')) {
            result.bracketed = true;
            i = j;
        }
    }
    if (i < n && IsLabelLetter(line[i])) {
        qsizetype j = i + 1;
        if (j < n && (line[j] == u'#' || line[j] == u'b'))
            ++j;
        if (j >= n || !QStringView(u" |:-").contains(line[j]))
            return std::nullopt;
        result.label = line.mid(i, j - i);
        i = j;
        while (i < n && line[i] == u' ')
            ++i;
    }
    // "|:", "||*" and "||o" open a repeat, as sites and programs write it.
    while (i < n
        && (line[i] == u'|' || line[i] == u':'
            || (result.opensWithBar && (line[i] == u'*' || line[i] == u'o' || line[i] == u'O')))) {
        result.opensWithRepeat = result.opensWithRepeat || (line[i] != u'|' && result.opensWithBar);
        result.opensWithBar = result.opensWithBar || line[i] == u'|';
        ++i;
    }
    if (!result.label.isEmpty() && !result.opensWithBar && i < n && line[i] == u':')
        ++i;
    result.bodyStart = static_cast<int>(i);
    QStringView body = line.mid(i);
    qsizetype last = -1;
    for (qsizetype k = body.size() - 1; k >= 0; --k) {
        if (body[k] == u'-' || body[k] == u'|') {
            last = k;
            break;
        }
    }
    if (last < 0)
        return std::nullopt;
    QStringView tail = body.mid(last + 1);
    bool tailIsBody = true;
    for (qsizetype k = 0; k < tail.size(); ++k)
        tailIsBody = tailIsBody && (IsBodyChar(tail[k]) || IsRepeatDot(tail, k)) && tail[k] != u' ';
    // "--|x4": a count glued to the closing bar line, not a dead note and a fret after it.
    const bool countAfterBar = body[last] == u'|' && tail.size() <= 4 && RepeatCountOf(tail).has_value();
    if (!tailIsBody || countAfterBar) {
        QStringView tailText = tail.trimmed();
        if (!tail.startsWith(u' ') && !RepeatCountOf(tailText)
            && (tailText.isEmpty() || !IsBracketChar(tailText.front())))
            return std::nullopt;
        // "|   | x2": a bracket beside the strings, then what it says.
        while (!tailText.isEmpty() && (IsBracketChar(tailText.front()) || tailText.front() == u' ')) {
            result.bracketed = true;
            tailText = tailText.mid(1);
        }
        result.trailing = tailText.toString();
        body = body.left(last + 1);
    }
    // "--|   |": a bracket beside the strings, not a bar of blanks.
    qsizetype end = body.size();
    while (end > 0 && IsBracketChar(body[end - 1]))
        --end;
    qsizetype gap = end;
    while (gap > 0 && body[gap - 1] == u' ')
        --gap;
    if (end < body.size() && end - gap >= 2 && gap > 0 && (body[gap - 1] == u'|' || body[gap - 1] == u'-')) {
        result.bracketed = true;
        body = body.left(gap);
    }
    int dashes = 0, bars = 0, blanks = 0, others = 0;
    for (qsizetype k = 0; k < body.size(); ++k) {
        const QChar c = body[k];
        if (c == u'-')
            ++dashes;
        else if (c == u'|' || IsRepeatDot(body, k))
            ++bars;
        else if (!IsBodyChar(c))
            return std::nullopt;
        else if (c == u' ')
            ++blanks;
        else
            ++others;
    }
    const int filled = dashes + bars + others;
    if (dashes < 2 || dashes + bars < 3 || filled < 3 || dashes * 4 < filled || blanks > dashes)
        return std::nullopt;
    // "|------ x2 ------|" over a system is a repeat bracket, not a string.
    if (result.label.isEmpty() && !result.bracketed) {
        const std::optional<RepeatBracket> bracket = ParseRepeatBracket(line);
        if (bracket && bracket->count > 0)
            return std::nullopt;
    }
    while (body.endsWith(u' '))
        body.chop(1);
    result.body = body;
    result.weak = result.label.isEmpty() && !result.opensWithBar && bars == 0 && others == 0;
    return result;
}

QString RhythmToken(QStringView token)
{
    static const QRegularExpression form(
        QStringLiteral("^([./]?)([WHQESTF])(\\.?)$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(token);
    if (!match.hasMatch())
        return QString();
    const QString mark = match.captured(1);
    const QString after = match.captured(3);
    if (!mark.isEmpty() && !after.isEmpty())
        return QString();
    return (after.isEmpty() ? mark : after) + match.captured(2).toUpper();
}

TextLine ClassifyTextLine(QStringView line)
{
    TextLine result;
    const QString text = line.trimmed().toString();
    result.text = text;
    if (text.isEmpty()) {
        result.kind = TextKind::Blank;
        return result;
    }
    if (IsRule(text)) {
        result.kind = TextKind::Rule;
        return result;
    }
    if (const std::optional<RepeatBracket> bracket = ParseRepeatBracket(line); bracket && bracket->count > 0) {
        result.kind = TextKind::RepeatBracket;
        result.repeat = bracket->count;
        return result;
    }
    const QString lower = text.toLower();
    if (lower.startsWith(u'*') || lower.startsWith(QLatin1String("count"))) {
        const QRegularExpressionMatch countOff
            = Re("^\\*?\\s?count[\\s\\-]?(?:off|in)\\b\\s*[:=\\-]?\\s*(\\d)\\s*(?:beats?|clicks?)?$").match(text);
        if (countOff.hasMatch() && countOff.captured(1).toInt() <= 8) {
            result.kind = TextKind::CountOff;
            result.countOff = countOff.captured(1).toInt();
            return result;
        }
    }
    const bool hasColon = text.contains(u':') || text.contains(u'=') || text.contains(u'-');
    QRegularExpressionMatch match;
    if (lower.startsWith(QLatin1String("tuning")))
        match = Re("^tuning\\b\\s*[:=\\-]?\\s*(.*)$").match(text);
    if (match.hasMatch()) {
        result.kind = TextKind::Tuning;
        result.text = match.captured(1).trimmed();
        return result;
    }
    const bool mayBeTempo
        = lower.contains(QLatin1String("bpm")) || lower.contains(QLatin1String("tempo")) || text.contains(u'=');
    if (mayBeTempo)
        match
            = Re("^(?:(?:tempo|bpm)\\s*[:=\\-]?\\s*(?:q\\s*=\\s*)?(\\d{1,3})|(?:q|\u2669|quarter)\\s*=\\s*(\\d{1,3})|("
                 "\\d{1,3})\\s*bpm)\\b")
                  .match(text);
    if (mayBeTempo && match.hasMatch()) {
        const int tempo = (match.captured(1) + match.captured(2) + match.captured(3)).toInt();
        if (tempo >= 1 && tempo <= 500) {
            result.kind = TextKind::Tempo;
            result.tempo = tempo;
            return result;
        }
    }
    if (IsCount(text)) {
        result.kind = TextKind::Count;
        return result;
    }
    if (IsRhythm(text)) {
        result.kind = TextKind::Rhythm;
        return result;
    }
    if (IsMarkLine(text)) {
        result.kind = TextKind::MarkLine;
        return result;
    }
    const bool mayRepeat = lower.contains(u'x') || lower.contains(QLatin1String("repeat"))
        || lower.contains(QLatin1String("times")) || lower.contains(u'*');
    const std::optional<int> count = RepeatCountOf(text);
    if (count
        || (mayRepeat
            && Re("^\\(?\\s*(?:x\\s*\\d+|\\d+\\s*x|\\*\\s*\\d+|repeat\\b.*|play\\s+\\d+\\s+times.*|\\d+\\s+times)\\s*"
                  "\\)?$")
                   .match(text)
                   .hasMatch())) {
        result.kind = TextKind::Repeat;
        result.repeat = count.value_or(0);
        return result;
    }
    if (Re("^\\[[^\\]]{1,40}\\]\\s*(?:x\\s*\\d+|\\d+\\s*x)?$").match(text).hasMatch()
        || Re(
            "^[(\\[]?\\s*(?:main\\s+|bass\\s+)?(?:intro|verse|chorus|pre-?\\s?chorus|bridge|outro|solo|interlude|riff|"
            "fill|"
            "break|breakdown|coda|ending|hook|refrain|instrumental|vamp|tag|part|section|theme|groove|middle\\s*8)"
            "(?:\\s+(?:\\d+|[a-d]|riff|part|one|two|three))?\\s*[)\\]]?\\s*:?\\s*(?:\\(?\\s*(?:x\\s*\\d+|\\d+\\s*x)\\s*"
            "\\)?)?\\s*:?$")
               .match(text)
               .hasMatch()) {
        result.kind = TextKind::Section;
        // "Chorus x2": the whole section is played that many times.
        const QRegularExpressionMatch times = Re("(?:x\\s*(\\d{1,3})|(\\d{1,3})\\s*x)\\s*\\)?\\s*:?$").match(text);
        if (times.hasMatch())
            result.repeat = std::max(1, (times.captured(1) + times.captured(2)).toInt());
        return result;
    }
    if (!hasColon)
        return result;
    match = Re("^(?:title|song|song\\s+title|song\\s+name)\\s*[:=\\-]\\s*(\\S.*)$").match(text);
    if (match.hasMatch()) {
        result.kind = TextKind::TitleField;
        result.text = match.captured(1).trimmed();
        return result;
    }
    if (Re("^[A-Za-z][A-Za-z /.'\\-]{0,24}:\\s*\\S").match(text).hasMatch()) {
        result.kind = TextKind::Field;
        return result;
    }
    result.kind = TextKind::Text;
    return result;
}

} // namespace fw::asciitab
