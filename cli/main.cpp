#include "CliCommand.h"
#include "ConvertCommand.h"
#include "ExportCommands.h"
#include "ModelCommands.h"
#include "MusicXmlCommand.h"
#include "PlayCommands.h"
#include "RefingerCommand.h"
#include "TransposeCommand.h"
#include "TuningCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

using namespace fw::cli;

namespace {

const std::array Commands {
    CliCommand { "check",
        "check FILE [--warnings]  print every line in error; exit 1 when there is one. --warnings: also bars "
        "that do not add up to their time and comments that look like a tuning, time or frets line",
        RunCheck },
    CliCommand { "autoname", "autoname FILE          print every line as auto-correction names it", RunAutoname },
    CliCommand { "play",
        "play FILE [--device N] [--tempo N] [--events] [--soundfont SF2] [--audio-out LIVE.wav] "
        "[--trainer START:STEP:PASSES:TARGET [--metronome]] [--verbose]  play it (--verbose: what the audio output "
        "did); play --list: devices",
        RunPlay },
    CliCommand { "wav",
        "wav FILE -o OUT.wav [--tempo N] [--soundfont SF2]  render it as a 44.1 kHz WAV file (up to "
        "6 h 45 min)",
        RunWav },
    CliCommand { "midi", "midi FILE -o OUT.mid [--tempo N]  write the chord list as a Standard MIDI file", RunMidi },
    CliCommand { "tab", "tab FILE -o OUT.tab [--rhythm-line]  write the ASCII tablature", RunTab },
    CliCommand { "pdf", "pdf FILE -o OUT.pdf [--page A4|Letter]  print the tablature to a PDF file", RunPdf },
    CliCommand { "retune", "retune FILE --tuning NAMES [--keep pitches|frets] -o OUT.bss  move it to another tuning",
        RunRetune },
    CliCommand { "convert",
        "convert IN -o OUT [--track N] [--voice N] [options]  convert by extension; convert IN --list-tracks lists "
        "the parts of a file; convert --formats lists formats and options",
        RunConvert },
    CliCommand { "refinger",
        "refinger FILE -o OUT.bss  choose easier strings and frets; print the cost before and after", RunRefinger },
    CliCommand { "transpose",
        "transpose FILE --semitones N [--lines A-B] -o OUT.bss  move the notes N semitones up (or down when N < 0)",
        RunTranspose },
    CliCommand {
        "musicxml", "musicxml FILE -o OUT.musicxml|.mxl  write a score; SCORE -o OUT.bss reads one", RunMusicXml },
};

void PrintHelp(QTextStream& out)
{
    out << "Usage: fretwerk-cli COMMAND [ARGS]\n"
        << "Headless tools for Fretwerk Bass chord lists (.bss).\n\nCommands:\n";
    for (const CliCommand& command : Commands)
        out << "  " << command.synopsis << "\n";
    out << "\nOptions:\n  --help                 show this help\n  --version              show the version\n";
}

// Only the pdf verb draws; the other verbs keep running where there is no display.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv)
{
    if ((argc > 1 && std::strcmp(argv[1], "pdf") == 0) || ConvertNeedsGui(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    const auto app = MakeApplication(argc, argv);
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
            try {
                return command.run(args, streams);
            } catch (const std::bad_alloc&) {
                // Files already written are whole: every writer saves through QSaveFile.
                err << "fretwerk-cli: there is not enough memory to finish \"" << verb << "\"\n";
                return ExitUnreadable;
            }
        }
    }
    err << "fretwerk-cli: unknown command \"" << verb << "\"; try --help\n";
    return ExitUnreadable;
}
