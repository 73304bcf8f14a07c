#pragma once

#include "GuitarProScore.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace fw::guitarpro {

// The most a score.gpif, or the container it comes in, may unpack to.
inline constexpr qint64 MaxGpifBytes = qint64(256) << 20;

// The score of a score.gpif document, the XML that Guitar Pro 6, 7 and 8 keep their scores in: the
// master track (tempo), tracks, master bars and the pools of bars, voices, beats, notes and rhythms
// they refer to by number. version names the program in messages and in Score::version. Nothing,
// with error saying why, for a document that is not one, is damaged or is beyond the model's limits.
std::optional<Score> ReadGpif(const QByteArray& xml, const QString& version, QString& error);

} // namespace fw::guitarpro
