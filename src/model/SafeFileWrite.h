#pragma once

#include <QByteArray>
#include <QString>

namespace fw {

// Writes the whole file or nothing: the bytes go to a temporary file that replaces the old one only
// when everything was written, so a failure leaves the previous file as it was. Returns the error
// text, naming the file and the system's reason; empty on success.
QString WriteFileSafely(const QString& fileName, const QByteArray& bytes);

} // namespace fw
