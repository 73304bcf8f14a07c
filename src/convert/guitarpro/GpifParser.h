#pragma once

#include "GpifDocument.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace fw::guitarpro {

// The elements of a score.gpif document, in one pass over the XML. Nothing, with error saying why
// (naming version, "Guitar Pro 6"...), for XML that is not such a document, is damaged or holds more
// tracks or bars than the model allows.
std::optional<GpifDocument> ParseGpif(const QByteArray& xml, const QString& version, QString& error);

} // namespace fw::guitarpro
