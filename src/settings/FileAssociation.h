#pragma once

#include <QString>
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

// Freedesktop mapping: a desktop entry in <dataHome>/applications and a shared-MIME package in
// <dataHome>/mime/packages, each written only when missing. The names are the program's own; the
// entry only brings the extension's glob, its description and the program path.
class XdgFileTypeRegistrar : public FileTypeRegistrar {
public:
    explicit XdgFileTypeRegistrar(QString dataHome);
    void registerFileType(const FileTypeEntry& entry) override;

    static inline const QString DesktopFileName = QStringLiteral("fretwerk-bass.desktop");
    static inline const QString MimeFileName = QStringLiteral("fretwerk-bass-mime.xml");
    static inline const QString MimeType = QStringLiteral("application/x-fretwerk-bass");

    // Runs after a file was written, with the folder that needs its cache refreshed ("applications"
    // or "mime"); by default the desktop's update tools when they are installed.
    std::function<void(const QString& folder)> refreshCache;

    // The texts written, exposed so that the packaging files and tests can be compared with them.
    static QString desktopEntryText(const FileTypeEntry& entry);
    static QString mimePackageText(const FileTypeEntry& entry);

private:
    QString m_dataHome;
};

#ifdef Q_OS_WIN
// The entries under HKEY_CURRENT_USER\Software\Classes, so no administrator rights are needed.
class RegistryFileTypeRegistrar : public FileTypeRegistrar {
public:
    void registerFileType(const FileTypeEntry& entry) override;
};
#endif

} // namespace fw
