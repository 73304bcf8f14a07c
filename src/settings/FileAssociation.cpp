#include "FileAssociation.h"

#include "SafeFileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

namespace fw {

namespace {

    // Desktop entries need an argument quoted when it holds a blank or one of the reserved characters.
    QString DesktopExecArgument(const QString& path)
    {
        static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
        bool needsQuotes = false;
        for (const QChar c : path)
            needsQuotes = needsQuotes || reserved.contains(c);
        QString escaped = path;
        // Inside an Exec key a literal percent sign is written twice.
        escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
        if (!needsQuotes)
            return escaped;
        QString quoted;
        for (const QChar c : escaped) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        // A backslash in a desktop file's string value is itself escaped once more.
        quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        return QLatin1Char('"') + quoted + QLatin1Char('"');
    }

    QString XmlEscaped(const QString& text) { return text.toHtmlEscaped(); }

    // True when the file was written; a missing folder is created on the way.
    bool WriteFile(const QString& path, const QString& text)
    {
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return false;
        return WriteFileSafely(path, text.toUtf8()).isEmpty();
    }

    QString ReadText(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(file.readAll());
    }

    // Undoes the string escapes of a desktop entry value (\s, \n, \t, \r, \\).
    QString UnescapedValue(const QString& value)
    {
        QString result;
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
                result += value[i];
                continue;
            }
            const QChar next = value[++i];
            if (next == QLatin1Char('s'))
                result += QLatin1Char(' ');
            else if (next == QLatin1Char('n'))
                result += QLatin1Char('\n');
            else if (next == QLatin1Char('t'))
                result += QLatin1Char('\t');
            else if (next == QLatin1Char('r'))
                result += QLatin1Char('\r');
            else
                result += next;
        }
        return result;
    }

    // The first argument of an Exec value: quoted arguments keep their blanks and drop the
    // backslash before an escaped character; a doubled percent sign is a literal one.
    QString FirstExecArgument(const QString& exec)
    {
        qsizetype i = 0;
        while (i < exec.size() && exec[i].isSpace())
            ++i;
        QString argument;
        if (i < exec.size() && exec[i] == QLatin1Char('"')) {
            for (++i; i < exec.size() && exec[i] != QLatin1Char('"'); ++i) {
                if (exec[i] == QLatin1Char('\\') && i + 1 < exec.size())
                    ++i;
                argument += exec[i];
            }
        } else {
            for (; i < exec.size() && !exec[i].isSpace(); ++i)
                argument += exec[i];
        }
        return argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    }

    void RunUpdateTool(const QString& folder)
    {
        const bool mime = QFileInfo(folder).fileName() == QLatin1String("mime");
        const QString tool = QStandardPaths::findExecutable(
            mime ? QStringLiteral("update-mime-database") : QStringLiteral("update-desktop-database"));
        if (!tool.isEmpty())
            QProcess::startDetached(tool, { folder });
    }

} // namespace

void AssociateFileType(QString ext, QString type, const QString& description, const QString& icon,
    const QString& command, FileTypeRegistrar& registrar)
{
    ext.remove(QLatin1Char('.'));
    if (ext.isEmpty() || command.isEmpty())
        return;
    if (type.isEmpty())
        type = ext + QStringLiteral("_auto_file");
    registrar.registerFileType({ QLatin1Char('.') + ext, type, description, icon, command });
}

void AssociateFileType(
    const QString& ext, const QString& type, const QString& description, const QString& icon, const QString& command)
{
#ifdef Q_OS_WIN
    RegistryFileTypeRegistrar registrar;
#else
    XdgFileTypeRegistrar registrar(UserDataHome());
#endif
    AssociateFileType(ext, type, description, icon, command, registrar);
}

QString UserDataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QStringList SystemDataDirs()
{
    QStringList dirs;
    for (const QString& dir : qEnvironmentVariable("XDG_DATA_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir))
            dirs << QDir::cleanPath(dir);
    }
    if (dirs.isEmpty())
        dirs << QStringLiteral("/usr/local/share") << QStringLiteral("/usr/share");
    return dirs;
}

QString DesktopEntryProgram(const QString& desktopEntry)
{
    bool inMainGroup = false;
    for (const QString& rawLine : desktopEntry.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inMainGroup && equals > 0 && line.left(equals).trimmed() == QLatin1String("Exec"))
            return FirstExecArgument(UnescapedValue(line.mid(equals + 1).trimmed()));
    }
    return QString();
}

XdgFileTypeRegistrar::XdgFileTypeRegistrar(QString dataHome, QStringList systemDataDirs)
    : refreshCache(RunUpdateTool)
    , m_dataHome(std::move(dataHome))
    , m_systemDataDirs(std::move(systemDataDirs))
{
}

QString XdgFileTypeRegistrar::desktopEntryText(const FileTypeEntry& entry)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Fretwerk Bass\n"
                          "GenericName=Bass Part Editor\n"
                          "Comment=Write, hear and print bass-guitar parts\n"
                          "Exec=%1 %f\n"
                          "Icon=fretwerk-bass\n"
                          "MimeType=%2;\n"
                          "Categories=AudioVideo;Audio;Music;\n"
                          "Keywords=bass;tablature;tab;chord;MIDI;\n"
                          "Terminal=false\n")
        .arg(DesktopExecArgument(entry.program), MimeType);
}

QString XdgFileTypeRegistrar::mimePackageText(const FileTypeEntry& entry)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                          "  <mime-type type=\"%1\">\n"
                          "    <comment>%2</comment>\n"
                          "    <icon name=\"application-x-fretwerk-bass\"/>\n"
                          "    <sub-class-of type=\"text/plain\"/>\n"
                          "    <glob pattern=\"*%3\"/>\n"
                          "  </mime-type>\n"
                          "</mime-info>\n")
        .arg(MimeType, XmlEscaped(entry.description), XmlEscaped(entry.extension));
}

bool XdgFileTypeRegistrar::startsProgram(const QString& desktopFile, const QString& program) const
{
    QString named = DesktopEntryProgram(ReadText(desktopFile));
    if (!named.isEmpty() && !QDir::isAbsolutePath(named))
        named = QStandardPaths::findExecutable(named, programSearchPaths);
    if (named.isEmpty())
        return false;
    // Links and "..", as in a program started through a symbolic link, name the same file.
    const QString namedFile = QFileInfo(named).canonicalFilePath();
    const QString programFile = QFileInfo(program).canonicalFilePath();
    if (!namedFile.isEmpty() && !programFile.isEmpty())
        return namedFile == programFile;
    return QDir::cleanPath(named) == QDir::cleanPath(program);
}

bool XdgFileTypeRegistrar::installedEntryStarts(const QString& program) const
{
    for (const QString& dir : m_systemDataDirs) {
        const QString desktop = dir + QStringLiteral("/applications/") + DesktopFileName;
        // The first entry found is the one the desktop uses; the ones after it are hidden.
        if (QFileInfo::exists(desktop))
            return startsProgram(desktop, program)
                && QFileInfo::exists(dir + QStringLiteral("/mime/packages/") + MimeFileName);
    }
    return false;
}

void XdgFileTypeRegistrar::registerFileType(const FileTypeEntry& entry)
{
    const QString applications = m_dataHome + QStringLiteral("/applications");
    const QString mime = m_dataHome + QStringLiteral("/mime");
    const QString desktopFile = applications + QLatin1Char('/') + DesktopFileName;
    const QString mimeFile = mime + QStringLiteral("/packages/") + MimeFileName;
    const bool desktopExists = QFileInfo::exists(desktopFile);
    const bool desktopCurrent = desktopExists && startsProgram(desktopFile, entry.program);
    bool desktopChanged = false;
    bool mimeChanged = false;
    if (installedEntryStarts(entry.program)) {
        if (desktopExists && !desktopCurrent) {
            desktopChanged = QFile::remove(desktopFile);
            mimeChanged = QFile::remove(mimeFile);
        }
    } else {
        desktopChanged = !desktopCurrent && WriteFile(desktopFile, desktopEntryText(entry));
        mimeChanged = (!desktopCurrent || !QFileInfo::exists(mimeFile)) && WriteFile(mimeFile, mimePackageText(entry));
    }
    if (refreshCache) {
        if (desktopChanged)
            refreshCache(applications);
        if (mimeChanged)
            refreshCache(mime);
    }
}

#ifdef Q_OS_WIN
void RegistryFileTypeRegistrar::registerFileType(const FileTypeEntry& entry)
{
    QSettings classes(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"), QSettings::NativeFormat);
    // "." names a key's default value; keys that cannot be written are skipped by QSettings itself.
    classes.setValue(entry.extension + QStringLiteral("/."), entry.typeName);
    classes.setValue(entry.typeName + QStringLiteral("/."), entry.description);
    if (!entry.icon.isEmpty())
        classes.setValue(entry.typeName + QStringLiteral("/DefaultIcon/."), entry.icon);
    classes.setValue(entry.typeName + QStringLiteral("/shell/open/command/."), entry.openCommand());
    classes.sync();
}
#endif

} // namespace fw
