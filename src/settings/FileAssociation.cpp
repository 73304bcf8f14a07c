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
    bool WriteWhenMissing(const QString& path, const QString& text)
    {
        if (QFileInfo::exists(path))
            return false;
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return false;
        return WriteFileSafely(path, text.toUtf8()).isEmpty();
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

XdgFileTypeRegistrar::XdgFileTypeRegistrar(QString dataHome)
    : refreshCache(RunUpdateTool)
    , m_dataHome(std::move(dataHome))
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
                          "MimeType=%2;\n"
                          "Categories=AudioVideo;Audio;Music;\n"
                          "Terminal=false\n")
        .arg(DesktopExecArgument(entry.program), MimeType);
}

QString XdgFileTypeRegistrar::mimePackageText(const FileTypeEntry& entry)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                          "  <mime-type type=\"%1\">\n"
                          "    <comment>%2</comment>\n"
                          "    <sub-class-of type=\"text/plain\"/>\n"
                          "    <glob pattern=\"*%3\"/>\n"
                          "  </mime-type>\n"
                          "</mime-info>\n")
        .arg(MimeType, XmlEscaped(entry.description), XmlEscaped(entry.extension));
}

void XdgFileTypeRegistrar::registerFileType(const FileTypeEntry& entry)
{
    const QString applications = m_dataHome + QStringLiteral("/applications");
    const QString mime = m_dataHome + QStringLiteral("/mime");
    const bool wroteDesktop
        = WriteWhenMissing(applications + QLatin1Char('/') + DesktopFileName, desktopEntryText(entry));
    const bool wroteMime = WriteWhenMissing(mime + QStringLiteral("/packages/") + MimeFileName, mimePackageText(entry));
    if (refreshCache) {
        if (wroteDesktop)
            refreshCache(applications);
        if (wroteMime)
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
