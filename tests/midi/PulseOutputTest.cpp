#include "PulseOutput.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>

using namespace fw;

namespace {

// A PulseAudio server of the test's own, with a null sink, in a folder of its own: nothing of the
// machine's sound is used. Started() is false where it cannot run (not installed, not allowed).
class PrivateSoundServer {
public:
    PrivateSoundServer()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program.isEmpty() || !m_dir.isValid())
            return;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.remove(QStringLiteral("PULSE_SERVER"));
        m_server.setProcessEnvironment(env);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start(program,
            { "-n", "--daemonize=no", "--exit-idle-time=-1", "-L",
                "module-null-sink sink_name=test rate=44100 channels=2", "-L", "module-native-protocol-unix" });
        const QString socket = m_dir.filePath(QStringLiteral("pulse/native"));
        QElapsedTimer timer;
        timer.start();
        while (m_server.state() != QProcess::NotRunning && !QFileInfo::exists(socket) && timer.elapsed() < 10000)
            m_server.waitForFinished(50);
        if (m_server.state() == QProcess::NotRunning || !QFileInfo::exists(socket))
            return;
        m_previous = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(socket));
        m_started = true;
    }
    ~PrivateSoundServer()
    {
        if (m_started && m_previous.isNull())
            qunsetenv("PULSE_SERVER");
        else if (m_started)
            qputenv("PULSE_SERVER", m_previous);
        m_server.kill();
        m_server.waitForFinished(5000);
    }
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;
    bool started() const { return m_started; }

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QByteArray m_previous;
    bool m_started = false;
};

} // namespace

// A render that comes 60 ms late makes the server run dry: the output counts the underrun and grows
// its buffer by three periods, but only once the growth gate lets it, and keeps the larger buffer.
// (The server's own start may cost an underrun or two; the stall comes after it has settled.)
TEST(PulseOutput, AnUnderrunGrowsTheBufferByThreePeriodsWhenTheGateLetsIt)
{
    if (!PulseOutput::Available())
        GTEST_SKIP() << "built without the PulseAudio client library";
    PrivateSoundServer server;
    if (!server.started())
        GTEST_SKIP() << "no private PulseAudio server could be started here";
    PulseOutput output(44100, 128, 3, 30);
    std::atomic_bool stall = false;
    std::atomic_int gateAsked = 0;
    std::atomic_int holdBack = 0;
    const bool started = output.start(
        [&stall](int, float*, float*) {
            if (stall.exchange(false))
                QThread::msleep(60);
        },
        [&](int, int) {
            ++gateAsked;
            // Held back twice after the stall, as while the player has not yet sent what the growth
            // would render.
            return holdBack.fetch_sub(1) <= 0;
        });
    ASSERT_TRUE(started) << output.errorText().toStdString();
    QThread::msleep(1200);
    const int before = output.bufferFrames();
    const size_t eventsBefore = output.events().size();
    const int askedBefore = gateAsked;
    holdBack = 2;
    stall = true;
    QElapsedTimer timer;
    timer.start();
    while (output.bufferFrames() == before && timer.elapsed() < 10000)
        QThread::msleep(10);
    const std::vector<PulseOutput::Event> events = output.events();
    ASSERT_GE(events.size(), eventsBefore + 2);
    EXPECT_TRUE(events[eventsBefore].underrun);
    EXPECT_EQ(events[eventsBefore].bufferFrames, before);
    const auto grown = std::find_if(events.begin() + static_cast<std::ptrdiff_t>(eventsBefore), events.end(),
        [](const auto& e) { return !e.underrun; });
    ASSERT_NE(grown, events.end());
    EXPECT_EQ(grown->bufferFrames, before + 3 * 128);
    EXPECT_GE(gateAsked - askedBefore, 3);
    QThread::msleep(200);
    EXPECT_GE(output.bufferFrames(), before + 3 * 128) << "kept";
}
