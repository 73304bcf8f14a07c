#include "ConvertCommand.h"

#include "Conversion.h"

#include <QDir>
#include <cstring>
#include <optional>

namespace fw::cli {

namespace {

    struct ConvertArgs {
        QString input;
        QString output;
        ConvertOptions options;
    };

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

    std::optional<ConvertArgs> ParseArgs(const QStringList& args, CliStreams& streams)
    {
        ConvertArgs parsed;
        QStringList pending;
        for (qsizetype i = 0; i < args.size(); ++i) {
            const QString& arg = args[i];
            if (arg == QLatin1String("-o") && i + 1 < args.size() && parsed.output.isEmpty())
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
        if (parsed.input.isEmpty() || parsed.output.isEmpty())
            return std::nullopt;
        const ReaderFormat* reader = Formats().readerFor(parsed.input);
        const WriterFormat* writer = Formats().writerFor(parsed.output);
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

    const char* const Usage = "convert IN -o OUT [options]; convert --formats lists formats and options";

    void PrintFormats(QTextStream& out)
    {
        const FormatRegistry& formats = Formats();
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
    }

} // namespace

int RunConvert(const QStringList& args, CliStreams& streams)
{
    if (args == QStringList { QStringLiteral("--formats") }) {
        PrintFormats(streams.out);
        return ExitOk;
    }
    const auto parsed = ParseArgs(args, streams);
    if (!parsed) {
        streams.err << "usage: fretwerk-cli " << Usage << "\n";
        return ExitUnreadable;
    }
    const FormatRegistry& formats = Formats();
    if (!formats.readerFor(parsed->input)) {
        streams.err << "fretwerk-cli: cannot read " << parsed->input << ": files it reads end in "
                    << formats.readableExtensions() << "\n";
        return ExitUnreadable;
    }
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
    const WriteResult written = writer->write(*read.document, parsed->output, parsed->options);
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
