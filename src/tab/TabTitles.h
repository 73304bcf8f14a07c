#pragma once

#include <QString>
#include <QStringList>

namespace fw {

// The text after the last "TITLE:" (or "SUB:") found in a comment line, in any letter case, trimmed
// and at most 999 characters; empty when no comment line holds the tag.
QString TitleFromComments(const QStringList& lines);
QString SubFromComments(const QStringList& lines);

// The document's file name without folder and extension ("Untitled.bss" gives "Untitled").
QString DefaultTabTitle(const QString& documentFileName);

struct TabTitles {
    QString Title;
    QString Subtitle;
};

// Titles taken from the chord list alone: what the tablature uses when it does not prompt, and what
// the title dialog shows first (its title box and subtitle box).
TabTitles TitlesFromDocument(const QStringList& lines, const QString& documentFileName);

// The ASCII header uses the default title whenever the title is empty (the drawn tab does not).
QString AsciiTitle(const QString& title, const QString& documentFileName);

} // namespace fw
