#include "TabTitles.h"

#include "TextRules.h"

namespace fw {

namespace {

    constexpr qsizetype MaxTitleLength = 999;

    QString TextAfterTag(const QStringList& lines, QLatin1StringView tag)
    {
        QString result;
        for (const QString& line : lines) {
            if (!IsCommentLine(line))
                continue;
            const qsizetype at = line.indexOf(tag, 0, Qt::CaseInsensitive);
            if (at >= 0)
                result = TrimBlanks(QStringView(line).mid(at + tag.size(), MaxTitleLength)).toString();
        }
        return result;
    }

} // namespace

QString TitleFromComments(const QStringList& lines) { return TextAfterTag(lines, QLatin1StringView("TITLE:")); }

QString SubFromComments(const QStringList& lines) { return TextAfterTag(lines, QLatin1StringView("SUB:")); }

QString DefaultTabTitle(const QString& documentFileName)
{
    const QString stem = PathWithoutExtension(documentFileName);
    return stem.mid(LastPathSeparator(stem) + 1);
}

TabTitles TitlesFromDocument(const QStringList& lines, const QString& documentFileName)
{
    return TabTitles { AsciiTitle(TitleFromComments(lines), documentFileName), SubFromComments(lines) };
}

QString AsciiTitle(const QString& title, const QString& documentFileName)
{
    return title.isEmpty() ? DefaultTabTitle(documentFileName) : title;
}

} // namespace fw
