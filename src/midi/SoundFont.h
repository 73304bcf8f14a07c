#pragma once

#include <QString>
#include <QStringList>

namespace fw {

// The General MIDI SoundFonts the built-in synthesizer looks for, best first.
QStringList DefaultSoundFontPaths();
// The configured file when it exists, else the first default that exists, else "".
QString FindSoundFont(const QString& configured = QString());
// Why the built-in synthesizer stays silent when FindSoundFont finds nothing: the places it looked.
QString MissingSoundFontText(const QString& configured = QString());

} // namespace fw
