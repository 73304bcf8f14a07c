#include "ConvertCommand.h"

#include "Conversion.h"

#include <QDir>
#include <algorithm>
#include <cstring>
#include <optional>

namespace fw::cli {

namespace {

    struct ConvertArgs {
        QString input;
        QString output;
        ConvertOptions options;
        bool listTracks = false;
    };

    const QString ListTracks = QStringLiteral("--list-tracks");

    const FormatOption* FindOption(const QList<FormatOption>& options, const QString& name)
    {
        for (const FormatOption& option : options)
            if (option.name == name)
                return &option;
        return nullptr;
    }

    QString OptionList(const QList<FormatOption>& options)
    {
        QStringList names;
        for (const FormatOption& option : options)
            names << QStringLiteral("--") + option.name + (option.value.isEmpty() ? QString() : u' ' + option.value);
        return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
    }

    std::optional<ConvertArgs> ParseArgs(const FormatRegistry& formats, const QStringList& args, CliStreams& streams)
    {
        ConvertArgs parsed;
        QStringList pending;
        for (qsizetype i = 0; i < args.size(); ++i) {
            const QString& arg = args[i];
            if (arg == ListTracks)
                parsed.listTracks = true;
            else if (arg == QLatin1String("-o") && i + 1 < args.size() && parsed.output.isEmpty())
                parsed.output = args[++i];
            else if (arg.startsWith(QLatin1String("--")))
                pending << arg << (i + 1 < args.size() ? args[i + 1] : QString());
            else if (!arg.startsWith(u'-') && parsed.input.isEmpty())
                parsed.input = arg;
            else if (i > 0 && args[i - 1].startsWith(QLatin1String("--")))
                continue; // the value of an option, checked below
            else
                return std::nullopt;
        }
        if (parsed.input.isEmpty() || parsed.output.isEmpty() == !parsed.listTracks)
            return std::nullopt;
        const ReaderFormat* reader = formats.readerFor(parsed.input);
        const WriterFormat* writer = parsed.listTracks ? nullptr : formats.writerFor(parsed.output);
        const QList<FormatOption> known
            = (reader ? reader->options : QList<FormatOption>()) + (writer ? writer->options : QList<FormatOption>());
        for (qsizetype i = 0; i < pending.size(); i += 2) {
            const QString name = pending[i].mid(2);
            const FormatOption* option = FindOption(known, name);
            if (!option) {
                streams.err << "fretwerk-cli: unknown option " << pending[i] << " for these formats; they take "
                            << OptionList(known) << "\n";
                return std::nullopt;
            }
            parsed.options.insert(name, option->value.isEmpty() ? QString() : pending[i + 1]);
        }
        return parsed;
    }

    const char* const Usage = "convert IN -o OUT [options]; convert IN --list-tracks lists the parts of a file; "
                              "convert --formats lists formats and options";

    void PrintFormats(const FormatRegistry& formats, QTextStream& out)
    {
        auto print = [&out](const QString& direction, const QString& name, const QStringList& extensions,
                         const QList<FormatOption>& options) {
            out << direction << " ." << extensions.join(QStringLiteral(", .")) << "  (" << name << ")\n";
            for (const FormatOption& option : options)
                out << "    --" << option.name << (option.value.isEmpty() ? QString() : u' ' + option.value) << "  "
                    << option.help << "\n";
        };
        out << "Formats of fretwerk-cli convert IN -o OUT, chosen by extension:\n";
        for (const ReaderFormat& reader : formats.readers())
            print(QStringLiteral("reads "), reader.name, reader.extensions, reader.options);
        for (const WriterFormat& writer : formats.writers())
            print(QStringLiteral("writes"), writer.name, writer.extensions, writer.options);
        out << "convert IN --list-tracks prints the parts (tracks, voices) of a file; --track N and --voice N choose "
               "the one to read where its format takes them.\n";
    }

    // The parts as a table, the one the import takes without --track marked with "*".
    void PrintParts(const QString& input, const QList<ImportPart>& parts, QTextStream& out)
    {
        QList<QStringList> rows { QStringList { QString() } + PartColumnTitles() };
        for (const ImportPart& part : parts)
            rows << (QStringList { part.chosen ? QStringLiteral("*") : QString() } + PartColumns(part));
        QList<qsizetype> widths(rows.front().size(), 0);
        for (const QStringList& row : rows)
            for (qsizetype column = 0; column < row.size(); ++column)
                widths[column] = std::max(widths[column], row[column].size());
        out << QDir::toNativeSeparators(input) << " holds " << parts.size() << " parts:\n";
        for (const QStringList& row : rows) {
            QString line;
            for (qsizetype column = 0; column < row.size(); ++column)
                line += row[column].leftJustified(widths[column] + 2);
            while (line.endsWith(u' '))
                line.chop(1);
            out << line << "\n";
        }
        out << "* the part an import reads without --track\n";
    }

    int RunListTracks(const FormatRegistry& formats, const QString& input, CliStreams& streams)
    {
        const ReaderFormat* reader = formats.readerFor(input);
        if (!reader->listParts) {
            streams.out << QDir::toNativeSeparators(input) << " holds one part: " << reader->name
                        << " have no tracks to choose from.\n";
            return ExitOk;
        }
        QString error;
        const QList<ImportPart> parts = ListFileParts(formats, input, error);
        if (!error.isEmpty()) {
            streams.err << "fretwerk-cli: " << error << "\n";
            return ExitUnreadable;
        }
        PrintParts(input, parts, streams.out);
        return ExitOk;
    }

} // namespace

int RunConvert(const QStringList& args, CliStreams& streams) { return RunConvertWith(Formats(), args, streams); }

int RunConvertWith(const FormatRegistry& formats, const QStringList& args, CliStreams& streams)
{
    if (args == QStringList { QStringLiteral("--formats") }) {
        PrintFormats(formats, streams.out);
        return ExitOk;
    }
    const auto parsed = ParseArgs(formats, args, streams);
    if (!parsed) {
        streams.err << "usage: fretwerk-cli " << Usage << "\n";
        return ExitUnreadable;
    }
    if (!formats.readerFor(parsed->input)) {
        streams.err << "fretwerk-cli: cannot read " << parsed->input << ": files it reads end in "
                    << formats.readableExtensions() << "\n";
        return ExitUnreadable;
    }
    if (parsed->listTracks)
        return RunListTracks(formats, parsed->input, streams);
    const WriterFormat* writer = formats.writerFor(parsed->output);
    if (!writer) {
        streams.err << "fretwerk-cli: cannot write " << parsed->output << ": files it writes end in "
                    << formats.writableExtensions() << "\n";
        return ExitUnreadable;
    }
    const ReadResult read = ReadFileAs(formats, parsed->input, parsed->options);
    for (const QString& line : read.report)
        streams.err << line << "\n";
    if (!read.document) {
        streams.err << "fretwerk-cli: " << read.error << "\n";
        return ExitUnreadable;
    }
    const WriteResult written = WriteFileAs(*writer, *read.document, parsed->output, parsed->options);
    for (const QString& line : written.report)
        streams.err << line << "\n";
    if (!written.error.isEmpty()) {
        if (written.listErrors) {
            streams.err << written.error << "\n";
            return ExitFindings;
        }
        streams.err << "fretwerk-cli: " << written.error << "\n";
        return ExitUnreadable;
    }
    return ExitOk;
}

bool ConvertNeedsGui(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "convert") != 0)
        return false;
    for (int i = 2; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-o") == 0) {
            const WriterFormat* writer = Formats().writerFor(QString::fromLocal8Bit(argv[i + 1]));
            return writer && writer->needsGui;
        }
    return false;
}

} // namespace fw::cli
