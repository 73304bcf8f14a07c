#include "SpecialLines.h"

#include "TextRules.h"
#include "Tuning.h"

namespace fw {

namespace {

    // "*Word:" or "* Word:" in any letter case: the text after the colon, or a null view.
    QStringView AfterSpecialWord(QStringView line, QLatin1StringView word)
    {
        if (!IsCommentLine(line))
            return {};
        QStringView rest = line.mid(1);
        if (rest.startsWith(u' '))
            rest = rest.mid(1);
        if (!rest.startsWith(word, Qt::CaseInsensitive))
            return {};
        return rest.mid(word.size());
    }

    // A plain decimal number with blanks around it; -1 for anything else.
    int PlainNumber(QStringView text)
    {
        text = TrimBlanks(text);
        if (text.isEmpty() || text.size() > 3)
            return -1;
        int value = 0;
        for (const QChar c : text) {
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c.unicode() - u'0');
        }
        return value;
    }

} // namespace

TimeLineResult ParseTimeLine(QStringView line)
{
    TimeLineResult result;
    const QStringView rest = AfterSpecialWord(line, QLatin1StringView("time:"));
    if (rest.isNull())
        return result;
    const qsizetype slash = rest.indexOf(u'/');
    const int beats = slash < 0 ? -1 : PlainNumber(rest.left(slash));
    const int unit = slash < 0 ? -1 : PlainNumber(rest.mid(slash + 1));
    if (beats < 1 || beats > 32 || (unit != 2 && unit != 4 && unit != 8 && unit != 16)) {
        result.kind = SpecialLineKind::Invalid;
        result.reason = QStringLiteral("Not a time line: write beats/unit, such as 3/4 or 6/8 (1 to 32 beats of "
                                       "2, 4, 8 or 16).");
        return result;
    }
    result.kind = SpecialLineKind::Valid;
    result.time = { beats, unit };
    return result;
}

FretsLineResult ParseFretsLine(QStringView line)
{
    FretsLineResult result;
    const QStringView rest = AfterSpecialWord(line, QLatin1StringView("frets:"));
    if (rest.isNull())
        return result;
    const int frets = PlainNumber(rest);
    if (frets < FretCount || frets > MaxFretLimit) {
        result.kind = SpecialLineKind::Invalid;
        result.reason
            = QStringLiteral("Not a frets line: write the number of frets, %1 to %2.").arg(FretCount).arg(MaxFretLimit);
        return result;
    }
    result.kind = SpecialLineKind::Valid;
    result.frets = frets;
    return result;
}

int FretLimitOfLines(const QStringList& lines)
{
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (!lines[i].startsWith(u'*'))
            continue;
        const FretsLineResult result = ParseFretsLine(lines[i]);
        if (result.kind == SpecialLineKind::Valid)
            return result.frets;
    }
    return FretCount;
}

QString FretsLineText(int frets) { return QStringLiteral("* Frets: %1").arg(frets); }

QString TimeLineText(const TimeSignature& time) { return QStringLiteral("* Time: ") + time.text(); }

QString CommentLineProblem(QStringView line)
{
    if (!line.startsWith(u'*'))
        return QString();
    if (const TuningLineResult tuning = ParseTuningLine(line); tuning.kind == TuningLineKind::Invalid)
        return tuning.reason;
    if (const TimeLineResult time = ParseTimeLine(line); time.kind == SpecialLineKind::Invalid)
        return time.reason;
    if (const FretsLineResult frets = ParseFretsLine(line); frets.kind == SpecialLineKind::Invalid)
        return frets.reason;
    return QString();
}

} // namespace fw
