#pragma once

#include "RecordingBackend.h"
#include "Tuning.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace fw {

inline constexpr int WavSampleRate = 44100;
// Sound after the last note-off, so the final note's release is heard.
inline constexpr int RenderTailMs = 1000;

struct RecordedPlayback {
    QList<TimedMessage> messages;
    QStringList errors;
};

// Every message Play "All" sends for these lines (count-off included), with times from the start
// of the playback, computed in no time.
// tuning, when given, replaces the lines' own.
RecordedPlayback RecordPlayback(
    const QStringList& lines, int tempo, unsigned char patch, const std::optional<Tuning>& tuning = std::nullopt);

// The 44-byte header of a 44.1 kHz 16-bit stereo WAV file holding frames frames.
QByteArray WavHeader(qint64 frames);
// The most frames a WAV file holds: its sizes are 32-bit numbers, so a little under 4 GiB of sound
// (6 h 45 min).
inline constexpr qint64 MaxWavFrames = (0xFFFFFFFFLL - 36) / 4;
// The refusal of a WAV file too long for its header, naming the length; empty when it fits.
QString WavLengthProblem(const QString& wavPath, qint64 frames);
// The frames the WAV export of these messages holds: up to the last message and the tail.
qint64 WavFrames(const QList<TimedMessage>& messages);

// Renders the messages through the built-in synthesizer into a 44.1 kHz 16-bit stereo WAV file,
// without an audio device. Returns an error text, empty on success.
QString RenderMessagesToWav(const QList<TimedMessage>& messages, const QString& soundFontPath, const QString& wavPath);

} // namespace fw
