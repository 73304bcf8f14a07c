#include "PlayCommands.h"

#include "CliDocument.h"
#include "HeadlessPlayback.h"
#include "MidiPort.h"
#include "PlayClock.h"
#include "Practice.h"
#include "RecordingBackend.h"
#include "SoundFont.h"
#include "SystemBackend.h"
#include "TextRules.h"
#include "TuningCommands.h"
#include "WavRender.h"

#ifdef FW_HAVE_FLUIDSYNTH
#include "SynthBackend.h"
#endif

#include <QThread>
#include <csignal>
#include <optional>

namespace fw::cli {

namespace {

    struct PlayOptions {
        QString file;
        QString output;
        QString soundFont;
        QString audioOut;
        std::optional<int> device;
        std::optional<int> tempo;
        std::optional<PracticePlan> trainer;
        bool metronome = false;
        std::optional<Tuning> tuning;
        bool events = false;
        bool list = false;
    };

    // Reads the options a verb allows; on a mistake writes the usage and returns nothing.
    std::optional<PlayOptions> ParseOptions(
        const QStringList& args, const QStringList& allowed, const char* usage, CliStreams& streams)
    {
        PlayOptions options;
        auto fail = [&](const QString& why) -> std::optional<PlayOptions> {
            streams.err << "fretwerk-cli: " << why << "\nusage: fretwerk-cli " << usage << "\n";
            return std::nullopt;
        };
        for (int i = 0; i < args.size(); ++i) {
            const QString& arg = args[i];
            if (arg.startsWith(QLatin1String("-")) && arg != QLatin1String("-") && !allowed.contains(arg))
                return fail(QStringLiteral("unknown option %1").arg(arg));
            if (arg == QLatin1String("--events")) {
                options.events = true;
            } else if (arg == QLatin1String("--metronome")) {
                options.metronome = true;
            } else if (arg == QLatin1String("--trainer")) {
                if (i + 1 >= args.size())
                    return fail(QStringLiteral("--trainer needs START:STEP:PASSES:TARGET"));
                options.trainer = ParsePracticePlan(args[++i]);
                if (!options.trainer)
                    return fail(QStringLiteral("--trainer needs START:STEP:PASSES:TARGET, four whole numbers"));
                if (const QString why = PracticePlanError(*options.trainer); !why.isEmpty())
                    return fail(QStringLiteral("--trainer: %1").arg(why));
            } else if (arg == QLatin1String("--list")) {
                options.list = true;
            } else if (arg == QLatin1String("--tuning")) {
                if (i + 1 >= args.size())
                    return fail(QStringLiteral("--tuning needs a value"));
                if (!ReadTuningOption(args[++i], options.tuning, streams))
                    return std::nullopt;
            } else if (arg == QLatin1String("--device") || arg == QLatin1String("--tempo") || arg == QLatin1String("-o")
                || arg == QLatin1String("--soundfont") || arg == QLatin1String("--audio-out")) {
                if (i + 1 >= args.size())
                    return fail(QStringLiteral("%1 needs a value").arg(arg));
                const QString value = args[++i];
                if (arg == QLatin1String("-o")) {
                    options.output = value;
                } else if (arg == QLatin1String("--soundfont")) {
                    options.soundFont = value;
                } else if (arg == QLatin1String("--audio-out")) {
                    options.audioOut = value;
                } else {
                    const std::optional<int> number = StrToIntRule(value);
                    if (!number)
                        return fail(QStringLiteral("%1 needs a number, not \"%2\"").arg(arg, value));
                    if (arg == QLatin1String("--tempo")) {
                        if (*number < MinTempo || *number > MaxTempo)
                            return fail(QStringLiteral("--tempo must be %1 to %2").arg(MinTempo).arg(MaxTempo));
                        options.tempo = number;
                    } else {
                        options.device = number;
                    }
                }
            } else if (options.file.isEmpty()) {
                options.file = arg;
            } else {
                return fail(QStringLiteral("more than one file given"));
            }
        }
        return options;
    }

    HeadlessPlayback* ActivePlayback = nullptr;

    void StopOnInterrupt(int)
    {
        if (ActivePlayback)
            ActivePlayback->requestStop();
    }

    // Ctrl+C stops the playback the way the Stop button does, so every sounding note is ended.
    class InterruptStops {
    public:
        explicit InterruptStops(HeadlessPlayback& playback)
        {
            ActivePlayback = &playback;
            m_previous = std::signal(SIGINT, StopOnInterrupt);
        }
        ~InterruptStops()
        {
            std::signal(SIGINT, m_previous);
            ActivePlayback = nullptr;
        }
        InterruptStops(const InterruptStops&) = delete;
        InterruptStops& operator=(const InterruptStops&) = delete;

    private:
        void (*m_previous)(int) = SIG_DFL;
    };

    int ReportBoxes(const HeadlessPlayback& playback, CliStreams& streams)
    {
        for (const QString& text : playback.notices)
            streams.err << "fretwerk-cli: " << QString(text).replace(QLatin1Char('\r'), QLatin1Char(' ')).trimmed()
                        << "\n";
        for (const QString& text : playback.errors)
            streams.err << "fretwerk-cli: " << text << "\n";
        return playback.errors.isEmpty() ? ExitOk : ExitFindings;
    }

    int ListDevices(const QString& soundFont, CliStreams& streams)
    {
        auto backend = CreateSystemBackend(soundFont);
        MidiPort port(*backend);
        const QStringList items = MidiDeviceListItems(port);
        for (int i = 0; i < items.size(); ++i)
            streams.out << (i - 1) << "  " << items[i] << "\n";
        return ExitOk;
    }

    const char* const PlayUsage
        = "play FILE [--device N] [--tempo N] [--events] [--soundfont SF2] [--tuning NAMES] [--audio-out LIVE.wav] "
          "[--trainer START:STEP:PASSES:TARGET [--metronome]] | play --list";
    const char* const WavUsage = "wav FILE -o OUT.wav [--tempo N] [--soundfont SF2] [--tuning NAMES]";

} // namespace

int RunPlay(const QStringList& args, CliStreams& streams)
{
    const auto options = ParseOptions(args,
        { "--device", "--tempo", "--events", "--list", "--soundfont", "--tuning", "--audio-out", "--trainer",
            "--metronome" },
        PlayUsage, streams);
    if (!options)
        return ExitUnreadable;
    if (options->list)
        return ListDevices(options->soundFont, streams);
    if (options->file.isEmpty()) {
        streams.err << "usage: fretwerk-cli " << PlayUsage << "\n";
        return ExitUnreadable;
    }
    const auto document = LoadDocumentFile(options->file, streams);
    if (!document)
        return ExitUnreadable;
    const int tempo = options->tempo.value_or(document->header.Tempo);
    const auto patch = static_cast<unsigned char>(document->header.Patch);

    SteadyPlayClock clock;
    std::unique_ptr<MidiBackend> backend;
    std::int64_t startUs = 0;
#ifdef FW_HAVE_FLUIDSYNTH
    SynthBackend* fileSynth = nullptr;
#endif
    if (!options->audioOut.isEmpty()) {
#ifdef FW_HAVE_FLUIDSYNTH
        if (FindSoundFont(options->soundFont).isEmpty()) {
            streams.err << "fretwerk-cli: no General MIDI SoundFont found; name one with --soundfont\n";
            return ExitUnreadable;
        }
        // The live path of the built-in synthesizer, with a file where the sound card would be.
        auto synth = std::make_unique<SynthBackend>(options->soundFont, options->audioOut);
        fileSynth = synth.get();
        backend = std::move(synth);
#else
        streams.err << "fretwerk-cli: this build has no built-in synthesizer\n";
        return ExitUnreadable;
#endif
    } else if (options->events) {
        auto recorder = std::make_unique<RecordingBackend>(clock);
        recorder->onMessage = [&streams, &startUs](const TimedMessage& m) {
            streams.out << QString::asprintf(
                "%.3f %02X %02X %02X\n", (m.timeUs - startUs) / 1000.0, m.status(), m.data1(), m.data2());
            streams.out.flush();
        };
        backend = std::move(recorder);
    } else {
        backend = CreateSystemBackend(options->soundFont);
    }
    MidiPort port(*backend);
    port.Device = options->audioOut.isEmpty() ? options->device.value_or(-1) : -1;
    // Held open for the whole command, as External MIDI does: one open, its failure told once.
    port.MidiHeldOpen = true;
    QString openError;
    port.OpenMidiOut(openError);
    if (!openError.isEmpty())
        streams.err << "fretwerk-cli: cannot open MIDI device " << port.Device << ": " << openError
                    << "; playing without sound\n";

    HeadlessPlayback playback(document->lines, tempo, patch, port, clock);
    playback.overrideTuning(options->tuning);
    InterruptStops interrupt(playback);
    startUs = clock.nowUs();
    if (options->trainer) {
        PracticePlan plan = *options->trainer;
        plan.metronome = options->metronome;
        playback.playPractice(plan);
    } else {
        playback.play();
    }
#ifdef FW_HAVE_FLUIDSYNTH
    if (fileSynth) {
        // The last notes ring out into the file as long as the WAV export lets them.
        QThread::msleep(RenderTailMs + 20);
        port.CloseMidiOut();
        const QString error = fileSynth->finishAudioFile();
        if (!error.isEmpty()) {
            streams.err << "fretwerk-cli: " << error << "\n";
            return ExitUnreadable;
        }
    }
#endif
    // The built-in synthesizer's sound ends with the command: let the last notes ring out first.
    if (options->audioOut.isEmpty() && !options->events && port.Device == -1 && port.MidiOpen()
        && playback.errors.isEmpty())
        QThread::msleep(RenderTailMs);
    port.CloseMidiOut();
    return ReportBoxes(playback, streams);
}

int RunWav(const QStringList& args, CliStreams& streams)
{
    const auto options = ParseOptions(args, { "-o", "--tempo", "--soundfont", "--tuning" }, WavUsage, streams);
    if (!options)
        return ExitUnreadable;
    if (options->file.isEmpty() || options->output.isEmpty()) {
        streams.err << "usage: fretwerk-cli " << WavUsage << "\n";
        return ExitUnreadable;
    }
    const auto document = LoadDocumentFile(options->file, streams);
    if (!document)
        return ExitUnreadable;
    const QString soundFont = FindSoundFont(options->soundFont);
    if (soundFont.isEmpty()) {
        streams.err << "fretwerk-cli: no General MIDI SoundFont found; install one (such as the fluid-soundfont-gm "
                       "package) or name it with --soundfont\n";
        return ExitUnreadable;
    }
    const int tempo = options->tempo.value_or(document->header.Tempo);
    const RecordedPlayback playback
        = RecordPlayback(document->lines, tempo, static_cast<unsigned char>(document->header.Patch), options->tuning);
    for (const QString& text : playback.errors)
        streams.err << "fretwerk-cli: " << text << "\n";
    if (!playback.errors.isEmpty())
        return ExitFindings;
    const QString error = RenderMessagesToWav(playback.messages, soundFont, options->output);
    if (!error.isEmpty()) {
        streams.err << "fretwerk-cli: " << error << "\n";
        return ExitUnreadable;
    }
    return ExitOk;
}

} // namespace fw::cli
