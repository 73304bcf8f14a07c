#include "SoundFont.h"

#include <QFileInfo>

namespace fw {

QStringList DefaultSoundFontPaths()
{
    // The full General MIDI set first: its basses sound far better than the small set's.
    return {
        QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2"),
        QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
        QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"),
        QStringLiteral("/usr/share/soundfonts/default.sf2"),
        QStringLiteral("/usr/share/soundfonts/FluidR3_GM.sf2"),
    };
}

QString FindSoundFont(const QString& configured)
{
    if (!configured.isEmpty() && QFileInfo(configured).isFile())
        return configured;
    for (const QString& path : DefaultSoundFontPaths()) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString MissingSoundFontText(const QString& configured)
{
    QStringList places = DefaultSoundFontPaths();
    if (!configured.isEmpty())
        places.prepend(configured);
    return QStringLiteral("No SoundFont was found. Looked for: %1").arg(places.join(QStringLiteral(", ")));
}

} // namespace fw
