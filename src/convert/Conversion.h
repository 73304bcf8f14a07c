#pragma once

#include "DocumentText.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace fw {

// A chord list on its way between formats: its lines without header lines, the header values,
// and the file name it is known by (titles and default names come from it).
struct ConvertDocument {
    QStringList lines;
    DocumentHeader header;
    QString fileName;
};

// Options by name without the dashes ("rhythm" -> "grid"); an option without a value maps to "".
using ConvertOptions = QMap<QString, QString>;

// An option a format understands, for the help text and the command line.
struct FormatOption {
    QString name; // "rhythm"
    QString value; // "uniform|grid|proportional|line", empty for a switch
    QString help;
};

struct ReadResult {
    std::optional<ConvertDocument> document;
    QStringList report; // what was dropped or guessed
    QString error; // why nothing was read
};

struct WriteResult {
    QStringList report; // warnings (a truncated bar)
    QString error; // why nothing was written; the previous file is left as it was
    // The chord list itself has errors (the refusal is the user's to mend, not the file system's).
    bool listErrors = false;
};

// One part of a file that holds several (a MIDI track, a MusicXML part, a Guitar Pro track), as
// --list-tracks prints it and the window's chooser shows it before an import.
struct ImportPart {
    int number = 0; // what --track takes: 1 the first
    QString name; // the part's own name, "" when it has none
    QString instrument; // "Electric Bass (finger)", "Percussion"
    int lowest = -1; // lowest and highest MIDI key of its notes, -1 without notes
    int highest = -1;
    int strings = 0; // strings of its tab staff or track, 0 when it has none
    int notes = 0;
    int voices = 1; // what --voice takes: 1 to voices
    bool chosen = false; // the part an import takes when no --track is given
};

// "E1-G3": a key range as the chooser and --list-tracks show it; "-" without notes.
QString KeyRangeText(int lowest, int highest);

// The columns of a part as --list-tracks and the chooser show them: track, name, instrument, range,
// strings, notes, voices ("-" for what the file does not say).
QStringList PartColumnTitles();
QStringList PartColumns(const ImportPart& part);

// The part and voice an import reads: the options --track N and --voice N, as the chooser sets them.
struct PartChoice {
    int track = 0;
    int voice = 0; // 0: the reader's own choice of voice
};
void SetPartOptions(ConvertOptions& options, const PartChoice& choice);

// Files larger than this are refused by a reader that names no limit of its own.
inline constexpr qint64 DefaultMaxImportBytes = qint64(256) << 20;

struct ReaderFormat {
    QString name; // "ASCII tab", as the open dialog's filter names it
    QStringList extensions; // lower case, without the dot: "tab", "txt"
    QList<FormatOption> options;
    // The file is text that the user checks and adjusts in the import dialog before importing.
    bool reviewedAsText = false;
    // Larger files are refused from their size, before anything is read: "The file is too large for
    // a tab: 80 MB (at most 64 MB)." names the file as fileKind does.
    qint64 maxBytes = DefaultMaxImportBytes;
    QString fileKind = QStringLiteral("an import");
    std::function<ReadResult(const QByteArray& bytes, const QString& fileName, const ConvertOptions& options)> read;
    // For files of several parts: every part, with the one read takes by default marked chosen; an
    // empty list with an error when the file cannot be read. Unset for single-part formats.
    std::function<QList<ImportPart>(const QByteArray& bytes, QString& error)> listParts;
};

struct WriterFormat {
    QString name;
    QStringList extensions;
    QList<FormatOption> options;
    bool needsGui = false; // draws with QPainter: needs a QGuiApplication
    std::function<WriteResult(const ConvertDocument& document, const QString& path, const ConvertOptions& options)>
        write;
};

// Readers and writers by file extension. A new format is one unit with a Register function that
// adds its reader and writer here, and one line in BuiltInFormats.
class FormatRegistry {
public:
    void addReader(ReaderFormat reader);
    void addWriter(WriterFormat writer);

    // The format for a file name's extension (any letter case); null when none is known.
    const ReaderFormat* readerFor(const QString& fileName) const;
    const WriterFormat* writerFor(const QString& fileName) const;
    const QList<ReaderFormat>& readers() const { return m_readers; }
    const QList<WriterFormat>& writers() const { return m_writers; }

    // "Tab files (*.tab *.txt);;...;;All Files (*)" for an open dialog.
    QString openFilter() const;
    // "bss, mid, tab, txt" for messages.
    QString readableExtensions() const;
    QString writableExtensions() const;

private:
    QList<ReaderFormat> m_readers;
    QList<WriterFormat> m_writers;
};

// Every format this program reads and writes.
const FormatRegistry& Formats();

// The bytes of a file to import through reader: a file larger than the reader's maxBytes is refused
// from its size, before anything is read. Errors name the file.
std::optional<QByteArray> ReadImportBytes(const ReaderFormat& reader, const QString& fileName, QString& error);

// Reads the file through its reader. Errors name the file; running out of memory is one of them.
ReadResult ReadFileAs(const FormatRegistry& registry, const QString& fileName, const ConvertOptions& options);

// The parts of a multi-part file as its reader lists them; nothing, without an error, for a format
// whose files hold one part. Errors name the file.
QList<ImportPart> ListFileParts(const FormatRegistry& registry, const QString& fileName, QString& error);

// Writes the document through the writer; running out of memory is an error like any other, and the
// file that was there stays as it was.
WriteResult WriteFileAs(
    const WriterFormat& writer, const ConvertDocument& document, const QString& path, const ConvertOptions& options);

// "There is not enough memory to import "song.mid"." and its counterpart for exports.
QString NotEnoughMemoryToImport(const QString& fileName);
QString NotEnoughMemoryToExport(const QString& fileName);

} // namespace fw
