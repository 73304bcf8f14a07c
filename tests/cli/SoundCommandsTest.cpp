#include "CliRunner.h"
#include "SoundFont.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using fw::test::CliRun;
using fw::test::RunCli;

class SoundCli : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // 110 whole notes: 7 h 20 min at tempo 1, 4.7 GB of WAV.
        QByteArray lines;
        for (int i = 0; i < 110; ++i)
            lines += "G, 3, x, x, x, W\n";
        ASSERT_TRUE(fw::test::WriteFileBytes(longPiece, lines));
        ASSERT_TRUE(fw::test::WriteFileBytes(notASoundFont, "RIFF\x10\0\0\0WAVEfmt "));
    }
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    const QString longPiece = Path("long.bss");
    const QString notASoundFont = Path("bass.sf2");
};

// What cannot work is refused with a clear message and status 2 before anything plays or is written:
// each of these runs would otherwise play or render for hours.
TEST_F(SoundCli, RefusesBeforePlayingWhatCannotWork)
{
    const bool installed = !fw::FindSoundFont().isEmpty();
    struct Case {
        QStringList args;
        QString message;
        bool needsSoundFont;
    };
    const QString tooLong = QStringLiteral("7 h 20 min of sound would make a WAV file of 4.7 GB, more than the 4 GB");
    const Case cases[] {
        { { "play", longPiece, "--tempo", "1", "--soundfont", "/nowhere/bass.sf2" },
            "The SoundFont \"/nowhere/bass.sf2\" cannot be read: No such file or directory.", false },
        { { "wav", longPiece, "--soundfont", "/nowhere/bass.sf2", "-o", Path("out.wav") },
            "The SoundFont \"/nowhere/bass.sf2\" cannot be read: No such file or directory.", false },
        { { "wav", longPiece, "--soundfont", notASoundFont, "-o", Path("out.wav") },
            "cannot be read: it is not a SoundFont (.sf2) file.", false },
        { { "play", longPiece, "--tempo", "1", "--audio-out", Path("missing/out.wav") },
            QStringLiteral("Cannot write \"%1\": No such file or directory").arg(Path("missing/out.wav")), true },
        { { "play", longPiece, "--tempo", "1", "--audio-out", Path("out.wav"), "--soundfont", notASoundFont },
            "it is not a SoundFont (.sf2) file.", false },
        { { "play", longPiece, "--tempo", "1", "--audio-out", Path("out.wav") }, tooLong, true },
        { { "wav", longPiece, "--tempo", "1", "-o", Path("out.wav") }, tooLong, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        if (c.needsSoundFont && !installed)
            continue;
        QElapsedTimer timer;
        timer.start();
        const CliRun run = RunCli(c.args, 20000);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_LT(timer.elapsed(), 10000);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({ "bass.sf2", "long.bss" }));
    }
}

// A socket that takes connections and never answers, as a hung sound server does.
class MuteServer {
public:
    explicit MuteServer(const QString& path)
    {
        m_fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        if (m_fd < 0 || name.size() >= static_cast<int>(sizeof(address.sun_path)))
            return;
        std::copy(name.begin(), name.end(), address.sun_path);
        // The kernel completes the connections in the queue; nobody ever reads them.
        m_listening = bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 && listen(m_fd, 16) == 0;
    }
    ~MuteServer()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    MuteServer(const MuteServer&) = delete;
    MuteServer& operator=(const MuteServer&) = delete;
    bool listening() const { return m_listening; }

private:
    int m_fd = -1;
    bool m_listening = false;
};

// Playing with a sound server that accepts and never answers gives it up after about 2 s, says so
// and that playback runs silently, and plays on with its timing (status 0).
TEST_F(SoundCli, ASoundServerThatNeverAnswersIsGivenUpWithinTwoSeconds)
{
    if (fw::FindSoundFont().isEmpty())
        GTEST_SKIP() << "no General MIDI SoundFont installed: the synthesizer stops before its audio output";
    if (!QDir(QStringLiteral("/dev/snd")).entryList({ QStringLiteral("pcmC*p") }, QDir::System).isEmpty())
        GTEST_SKIP() << "this machine has a sound card, which would play after the server is given up";
    const QString socketPath = Path("mute");
    MuteServer server(socketPath);
    ASSERT_TRUE(server.listening());
    const QString piece = Path("one.bss");
    ASSERT_TRUE(fw::test::WriteFileBytes(piece, "G, 3, x, x, x, Q\n"));
    const QByteArray previous = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(socketPath));
    QElapsedTimer timer;
    timer.start();
    const CliRun run = RunCli({ "play", piece, "--tempo", "500" }, 20000);
    const qint64 elapsed = timer.elapsed();
    if (previous.isNull())
        qunsetenv("PULSE_SERVER");
    else
        qputenv("PULSE_SERVER", previous);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err,
        QStringLiteral("fretwerk-cli: No audio output was found: playback runs silently. WAV export still works.\n"
                       "fretwerk-cli: The sound server (unix:%1) did not answer within 2 seconds.\n")
            .arg(socketPath));
    // The give-up, then a quarter at tempo 500 (120 ms), and the start of the program.
    EXPECT_GE(elapsed, 2000);
    EXPECT_LT(elapsed, 4500);
}

} // namespace
