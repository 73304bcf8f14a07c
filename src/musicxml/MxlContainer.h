#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace fw::musicxml {

inline const QString MxlScoreName = QStringLiteral("score.musicxml");

// Compressed files are zip archives; their first bytes say so.
bool IsZipArchive(const QByteArray& bytes);

// A compressed file: the media-type entry first (stored), META-INF/container.xml naming the score,
// and the score itself, deflated. Empty on failure, with error saying why.
QByteArray PackMxl(const QByteArray& scoreXml, QString& error);

// The score a compressed file holds (the first root file its container names, else its first
// .musicxml or .xml entry). Entries that would unpack to more than maxBytes are refused without
// unpacking them, whatever their headers claim, so a small archive cannot fill the memory.
std::optional<QByteArray> UnpackMxl(const QByteArray& archive, qint64 maxBytes, QString& error);

} // namespace fw::musicxml
