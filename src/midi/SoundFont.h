#pragma once

#include <QString>
#include <QStringList>

namespace fw {

// The General MIDI SoundFonts the built-in synthesizer looks for, best first.
QStringList DefaultSoundFontPaths();
// The configured file when one is named (a named file is never replaced by another), else the first
// default that exists, else "".
QString FindSoundFont(const QString& configured = QString());
// Why the built-in synthesizer stays silent when FindSoundFont finds nothing: the places it looked.
QString MissingSoundFontText(const QString& configured = QString());
// Why the SoundFont file cannot be played (it cannot be opened, with the system's reason, or is no
// SoundFont); empty when it can.
QString SoundFontProblem(const QString& path);

// The SoundFont to play: FindSoundFont's, and why it cannot be played (empty when it can).
struct SoundFontChoice {
    QString path;
    QString problem;
};
SoundFontChoice ChooseSoundFont(const QString& configured = QString());
// What the command line says when no SoundFont is named and none is installed.
QString NoSoundFontAdvice();

} // namespace fw
