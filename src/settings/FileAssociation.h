#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace fw {

// One file type as the association writes it: the extension with its dot (".bss"), the type's name
// ("bss_auto_file"), its description, an icon (may be empty) and the program path that opens it.
struct FileTypeEntry {
    QString extension;
    QString typeName;
    QString description;
    QString icon;
    QString program;
    // The open command in the classes root: the program, a blank and %1, without quotes.
    QString openCommand() const { return program + QStringLiteral(" %1"); }
};

// Where an association goes. Failures are skipped silently: the program must start all the same.
class FileTypeRegistrar {
public:
    virtual ~FileTypeRegistrar() = default;
    virtual void registerFileType(const FileTypeEntry& entry) = 0;
};

// Removes every "." from ext; does nothing when ext or command is empty; an empty type becomes the
// extension followed by "_auto_file". command is the program path.
void AssociateFileType(QString ext, QString type, const QString& description, const QString& icon,
    const QString& command, FileTypeRegistrar& registrar);
// The same through the platform's registrar.
void AssociateFileType(
    const QString& ext, const QString& type, const QString& description, const QString& icon, const QString& command);

// The user's shared data folder: $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
QString UserDataHome();
// The system's shared data folders, searched in this order: the absolute entries of
// $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
QStringList SystemDataDirs();

// The program a desktop entry starts: the first argument of the Exec key of its [Desktop Entry]
// group, unquoted and unescaped as desktop entries write it; empty when there is none.
QString DesktopEntryProgram(const QString& desktopEntry);

// Freedesktop mapping: a desktop entry in <dataHome>/applications and a shared-MIME package in
// <dataHome>/mime/packages. At every start both are written when the desktop entry is missing or
// starts another program than this one (the MIME package also when it alone is missing). When the
// first installed desktop entry in the system data folders starts this program and an installed
// MIME package is there too, nothing is written: a per-user entry of another program, which would
// hide the installed one, is removed with its MIME package instead.
class XdgFileTypeRegistrar : public FileTypeRegistrar {
public:
    explicit XdgFileTypeRegistrar(QString dataHome, QStringList systemDataDirs = SystemDataDirs());
    void registerFileType(const FileTypeEntry& entry) override;

    static inline const QString DesktopFileName = QStringLiteral("fretwerk-bass.desktop");
    static inline const QString MimeFileName = QStringLiteral("fretwerk-bass-mime.xml");
    static inline const QString MimeType = QStringLiteral("application/x-fretwerk-bass");

    // Runs after a file was written or removed, with the folder that needs its cache refreshed
    // ("applications" or "mime"); by default the desktop's update tools when they are installed.
    std::function<void(const QString& folder)> refreshCache;
    // Where a program named without a folder in an Exec key is looked for; empty: $PATH.
    QStringList programSearchPaths;

    // The texts written, exposed so that the packaging files and tests can be compared with them.
    static QString desktopEntryText(const FileTypeEntry& entry);
    static QString mimePackageText(const FileTypeEntry& entry);

private:
    bool startsProgram(const QString& desktopFile, const QString& program) const;
    bool installedEntryStarts(const QString& program) const;

    QString m_dataHome;
    QStringList m_systemDataDirs;
};

#ifdef Q_OS_WIN
// The entries under HKEY_CURRENT_USER\Software\Classes, so no administrator rights are needed.
class RegistryFileTypeRegistrar : public FileTypeRegistrar {
public:
    void registerFileType(const FileTypeEntry& entry) override;
};
#endif

} // namespace fw
