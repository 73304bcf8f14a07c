#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>

namespace fw::musicxml {

inline const QString MxlScoreName = QStringLiteral("score.musicxml");

// Compressed files are zip archives; their first bytes say so.
bool IsZipArchive(const QByteArray& bytes);

// A compressed file: the media-type entry first (stored), META-INF/container.xml naming the score,
// and the score itself, deflated. Empty on failure, with error saying why.
QByteArray PackMxl(const QByteArray& scoreXml, QString& error);

// Hands read the score a compressed file holds (the first root file its container names, else its
// first .musicxml or .xml entry) as a device that unpacks it as it is read. An entry whose header
// says it holds more than maxBytes is refused before unpacking, and one that turns out to hold more
// ends in an error, so a small archive cannot fill the memory. False with error set on failure.
bool ReadPackedScore(
    const QByteArray& archive, qint64 maxBytes, const std::function<void(QIODevice*)>& read, QString& error);

} // namespace fw::musicxml
