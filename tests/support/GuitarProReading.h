#pragma once

#include "GuitarProScore.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace fw::test {

// A track as our reader gives it, in the terms SecondReader.cjs prints alphaTab's reading in.
inline QStringList OurReading(const guitarpro::Track& track)
{
    using namespace guitarpro;
    QStringList lines;
    for (qsizetype m = 0; m < track.measures.size(); ++m) {
        long long onset = 0;
        for (const Beat& beat : track.measures[m].voices.value(0)) {
            const NoteValue& d = beat.duration;
            const long long length = 3840LL * d.times * ((2 << d.dots) - 1) / (d.value * d.enters * (1 << d.dots));
            QList<Note> notes = beat.notes;
            std::sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.string < b.string; });
            QStringList fields { QStringLiteral("%1:%2").arg(m).arg(onset) };
            for (const Note& n : notes) {
                QStringList marks;
                const auto mark = [&marks](bool on, const QString& name) {
                    if (on)
                        marks.append(name);
                };
                const int harmonic[] = { 0, 1, 2, 4, 3, 5 }; // alphaTab numbers pinch 3, tapped 4
                mark(n.hammer, QStringLiteral("hammer"));
                mark(n.slideIn != SlideIn::None, QStringLiteral("slideIn%1").arg(int(n.slideIn)));
                mark(n.slideOut != SlideOut::None,
                    QStringLiteral("slideOut%1")
                        .arg(n.slideOut == SlideOut::Down    ? 4
                                : n.slideOut == SlideOut::Up ? 3
                                                             : int(n.slideOut)));
                mark(n.ghost, QStringLiteral("ghost"));
                mark(n.dead, QStringLiteral("dead"));
                mark(n.tie, QStringLiteral("tied"));
                mark(n.harmonic != Harmonic::None, QStringLiteral("harmonic%1").arg(harmonic[int(n.harmonic)]));
                mark(n.bendCents > 0, QStringLiteral("bend%1").arg(n.bendCents / 50)); // in quarter tones
                mark(n.vibrato, QStringLiteral("vibrato"));
                mark(n.staccato, QStringLiteral("staccato"));
                mark(n.accent, QStringLiteral("accent"));
                mark(n.palmMute, QStringLiteral("palmMute"));
                mark(n.letRing, QStringLiteral("letRing"));
                fields.append(QStringLiteral("s%1f%2").arg(n.string).arg(n.tie ? QString() : QString::number(n.fret))
                    + (marks.isEmpty() ? QString() : u'[' + marks.join(u',') + u']'));
            }
            const char* attacks[] = { "", "SLAP", "POP", "TAP" };
            if (beat.attack != Attack::Normal)
                fields.append(QString::fromLatin1(attacks[int(beat.attack)]));
            if (!beat.rest && !beat.notes.isEmpty() && !beat.grace)
                lines.append(fields.join(u' '));
            onset += beat.grace ? 0 : length;
        }
    }
    return lines;
}

// Where the second reader is: alphaTab under Node, as the set-up script installs it into the build
// tree (or FW_ALPHATAB_DIR names a directory holding node_modules/@coderline/alphatab); "" when
// Node or the package is missing.
inline QString SecondReaderModules()
{
    QString modules = qEnvironmentVariable("FW_ALPHATAB_DIR");
    if (modules.isEmpty())
        modules = QStringLiteral(FW_BINARY_DIR "/alphatab");
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty()
        || !QDir(modules + QStringLiteral("/node_modules/@coderline/alphatab")).exists())
        return QString();
    return modules;
}

// The lines SecondReader.cjs prints for one track (0 the first) of the file at path, as alphaTab
// reads it; nothing, with error saying why, when it fails.
inline std::optional<QStringList> SecondReading(const QString& modules, const QString& path, int track, QString& error)
{
    QProcess second;
    second.start(QStandardPaths::findExecutable(QStringLiteral("node")),
        { QStringLiteral(FW_SOURCE_DIR "/tests/convert/SecondReader.cjs"), modules, path, QString::number(track) });
    if (!second.waitForFinished(60000) || second.exitCode() != 0) {
        error = QString::fromLocal8Bit(second.readAllStandardError());
        return std::nullopt;
    }
    return QString::fromUtf8(second.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace fw::test
