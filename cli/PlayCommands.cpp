#include "PlayCommands.h"

#include "CliDocument.h"
#include "HeadlessPlayback.h"
#include "MidiPort.h"
#include "PlayClock.h"
#include "Practice.h"
#include "RecordingBackend.h"
#include "SafeFileWrite.h"
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
        bool verbose = false;
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
            } else if (arg == QLatin1String("--verbose")) {
                options.verbose = true;
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

    // The SoundFont to play, or nothing when the one named cannot be played or none is installed
    // (said on stderr).
    std::optional<QString> PlayableSoundFont(const QString& named, CliStreams& streams)
    {
        const SoundFontChoice choice = ChooseSoundFont(named);
        if (choice.problem.isEmpty())
            return choice.path;
        streams.err << "fretwerk-cli: " << (named.isEmpty() ? NoSoundFontAdvice() : choice.problem) << "\n";
        return std::nullopt;
    }

    // Each line of a text that may hold several, as messages of the tool.
    void WriteLines(const QString& text, CliStreams& streams)
    {
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
            streams.err << "fretwerk-cli: " << line << "\n";
    }

    // What play --audio-out can tell before it plays: that the file can be written there, and that
    // the piece fits into a WAV file (the live file holds a little more than the export: the sound
    // before the first note).
    bool AudioOutFits(const PlayOptions& options, const LoadedDocument& document, int tempo, CliStreams& streams)
    {
        if (const QString problem = FileWriteProblem(options.audioOut); !problem.isEmpty()) {
            streams.err << "fretwerk-cli: " << problem << "\n";
            return false;
        }
        if (options.trainer)
            return true;
        const RecordedPlayback recorded
            = RecordPlayback(document.lines, tempo, static_cast<unsigned char>(document.header.Patch), options.tuning);
        const QString tooLong = WavLengthProblem(options.audioOut, WavFrames(recorded.messages) + WavSampleRate);
        if (!tooLong.isEmpty())
            streams.err << "fretwerk-cli: " << tooLong << "\n";
        return tooLong.isEmpty();
    }

    const char* const PlayUsage
        = "play FILE [--device N] [--tempo N] [--events] [--soundfont SF2] [--tuning NAMES] [--audio-out LIVE.wav] "
          "[--trainer START:STEP:PASSES:TARGET [--metronome]] [--verbose] | play --list";
    const char* const WavUsage = "wav FILE -o OUT.wav [--tempo N] [--soundfont SF2] [--tuning NAMES]";

} // namespace

int RunPlay(const QStringList& args, CliStreams& streams)
{
    const auto options = ParseOptions(args,
        { "--device", "--tempo", "--events", "--list", "--soundfont", "--tuning", "--audio-out", "--trainer",
            "--metronome", "--verbose" },
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
    const int device = options->audioOut.isEmpty() ? options->device.value_or(-1) : -1;
    // A SoundFont named is played or refused before anything sounds, never replaced by another.
    const bool synthesizer = !options->audioOut.isEmpty() || (!options->events && device == -1);
    if (synthesizer && (!options->soundFont.isEmpty() || !options->audioOut.isEmpty())
        && !PlayableSoundFont(options->soundFont, streams))
        return ExitUnreadable;
    if (!options->audioOut.isEmpty()) {
#ifdef FW_HAVE_FLUIDSYNTH
        if (!AudioOutFits(*options, *document, tempo, streams))
            return ExitUnreadable;
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
    port.Device = device;
    // Held open for the whole command, as External MIDI does: one open, its failure told once.
    port.MidiHeldOpen = true;
    QString openError;
    port.OpenMidiOut(openError);
    if (!openError.isEmpty() && !options->audioOut.isEmpty()) {
        // Nothing would reach the file: refused before playing, not after.
        WriteLines(openError, streams);
        return ExitUnreadable;
    }
    if (!openError.isEmpty() && device == -1)
        WriteLines(openError, streams);
    else if (!openError.isEmpty())
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
    if (options->verbose)
        WriteLines(backend->outputReport().join(u'\n'), streams);
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
    const std::optional<QString> soundFont = PlayableSoundFont(options->soundFont, streams);
    if (!soundFont)
        return ExitUnreadable;
    const int tempo = options->tempo.value_or(document->header.Tempo);
    const RecordedPlayback playback
        = RecordPlayback(document->lines, tempo, static_cast<unsigned char>(document->header.Patch), options->tuning);
    for (const QString& text : playback.errors)
        streams.err << "fretwerk-cli: " << text << "\n";
    if (!playback.errors.isEmpty())
        return ExitFindings;
    const QString error = RenderMessagesToWav(playback.messages, *soundFont, options->output);
    if (!error.isEmpty()) {
        streams.err << "fretwerk-cli: " << error << "\n";
        return ExitUnreadable;
    }
    return ExitOk;
}

} // namespace fw::cli
