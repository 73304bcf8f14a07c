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

// Renders the messages through the built-in synthesizer into a 44.1 kHz 16-bit stereo WAV file,
// without an audio device. Returns an error text, empty on success.
QString RenderMessagesToWav(const QList<TimedMessage>& messages, const QString& soundFontPath, const QString& wavPath);

} // namespace fw
