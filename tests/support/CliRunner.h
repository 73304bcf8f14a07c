#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace fw::test {

struct CliRun {
    bool finished = false;
    bool crashed = false;
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// Runs fretwerk-cli and kills it when it takes longer than the limit: a hang is a failure, not a stall.
inline CliRun RunCli(const QStringList& args, int limitMs = 60000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QStringLiteral(FW_CLI_PATH), args);
    CliRun run;
    if (!process.waitForStarted(10000)) {
        ADD_FAILURE() << "fretwerk-cli did not start";
        return run;
    }
    // Output is read while waiting so that a large listing cannot fill the pipe and stall the tool.
    QElapsedTimer timer;
    timer.start();
    while (process.state() != QProcess::NotRunning && timer.elapsed() < limitMs) {
        process.waitForFinished(200);
        run.out += process.readAllStandardOutput();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        ADD_FAILURE() << "fretwerk-cli " << args.join(u' ').left(200).toStdString() << " did not finish in " << limitMs
                      << " ms";
        return run;
    }
    run.finished = true;
    run.out += process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.exitCode = run.crashed ? -1 : process.exitCode();
    return run;
}

// Contents and modification time, to prove that a tool left a file alone.
struct FileState {
    bool exists = false;
    QByteArray bytes;
    QDateTime modified;

    static FileState Of(const QString& path)
    {
        FileState state;
        const QFileInfo info(path);
        state.exists = info.exists();
        state.modified = info.lastModified();
        // Only regular files are read: opening a pipe would wait for a writer.
        QFile file(path);
        if (info.isFile() && file.open(QIODevice::ReadOnly))
            state.bytes = file.readAll();
        return state;
    }
    friend bool operator==(const FileState&, const FileState&) = default;
};

} // namespace fw::test
