#include "CliCommand.h"
#include "ModelCommands.h"

#include <QCoreApplication>
#include <array>
#include <cstdio>

using namespace fw::cli;

namespace {

const std::array Commands {
    CliCommand { "check", "check FILE             print every line in error; exit 1 when there is one", RunCheck },
    CliCommand { "autoname", "autoname FILE          print every line as auto-correction names it", RunAutoname },
};

void PrintHelp(QTextStream& out)
{
    out << "Usage: fretwerk-cli COMMAND [ARGS]\n"
        << "Headless tools for Fretwerk Bass chord lists (.bss).\n\nCommands:\n";
    for (const CliCommand& command : Commands)
        out << "  " << command.synopsis << "\n";
    out << "\nOptions:\n  --help                 show this help\n  --version              show the version\n";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fretwerk-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FW_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliStreams streams { out, err };

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        PrintHelp(err);
        return ExitUnreadable;
    }
    const QString verb = args.takeFirst();
    if (verb == QLatin1String("--help") || verb == QLatin1String("-h") || verb == QLatin1String("help")) {
        PrintHelp(out);
        return ExitOk;
    }
    if (verb == QLatin1String("--version")) {
        out << "fretwerk-cli " << FW_VERSION << "\n";
        return ExitOk;
    }
    for (const CliCommand& command : Commands) {
        if (verb == QLatin1String(command.name)) {
            if (args.contains(QLatin1String("--help"))) {
                out << "usage: fretwerk-cli " << command.synopsis << "\n";
                return ExitOk;
            }
            return command.run(args, streams);
        }
    }
    err << "fretwerk-cli: unknown command \"" << verb << "\"; try --help\n";
    return ExitUnreadable;
}
