#include "SoundFont.h"

#include <QDir>
#include <QFile>
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
    if (!configured.isEmpty())
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

QString SoundFontProblem(const QString& path)
{
    QFile file(path);
    QString reason;
    if (QFileInfo(path).isDir())
        reason = QStringLiteral("it is a folder");
    else if (!file.open(QIODevice::ReadOnly))
        reason = file.errorString();
    else {
        // SoundFont 2 and 3 files are RIFF files of the form "sfbk".
        const QByteArray head = file.read(12);
        if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "sfbk")
            reason = QStringLiteral("it is not a SoundFont (.sf2) file");
    }
    if (reason.isEmpty())
        return QString();
    return QStringLiteral("The SoundFont \"%1\" cannot be read: %2.").arg(QDir::toNativeSeparators(path), reason);
}

SoundFontChoice ChooseSoundFont(const QString& configured)
{
    SoundFontChoice choice { FindSoundFont(configured), QString() };
    choice.problem = choice.path.isEmpty() ? MissingSoundFontText() : SoundFontProblem(choice.path);
    return choice;
}

QString NoSoundFontAdvice()
{
    return QStringLiteral("no General MIDI SoundFont found; install one (such as the fluid-soundfont-gm package) or "
                          "name it with --soundfont");
}

} // namespace fw
