#pragma once

// The GP3/GP4/GP5 reader's working parts, shared by its two source files (the song and its tracks,
// the beats and their notes); nothing outside the reader uses them.

#include "BinaryStream.h"
#include "GuitarProScore.h"

#include <array>

namespace fw::guitarpro::detail {

class BinaryReader {
public:
    BinaryReader(const QByteArray& bytes, int version)
        : m_in(bytes)
        , m_version(version)
    {
    }

    // The whole file; false with error() set when it cannot be read.
    bool read();
    Score& score() { return m_score; }
    const QString& error() const { return m_in.error(); }

private:
    // GuitarProSong.cpp
    void readInfo();
    void readLyrics();
    void readPageSetup();
    void readChannels();
    void readMeasureHeader(int index);
    void readTrack(int index);
    bool checkCount(int count, int low, int high, qsizetype bytesEach, const QString& what);

    // GuitarProBeats.cpp
    void readMeasures();
    void readVoice(int measure, Track& track, QList<Beat>& beats);
    void readBeat(int measure, const Track& track, Beat& beat);
    void skipChord();
    void readBeatEffects(Beat& beat, Note& forEveryNote);
    void readMixTableChange(int measure);
    void readNote(Note& note);
    void readNoteEffects(Note& note);
    void readBend(Note* note);
    void skipGrace();

    BinaryStream m_in;
    int m_version;
    Score m_score;
    // The General MIDI program of each of the 64 channels (4 ports of 16).
    std::array<int, 64> m_programs {};
    // GP3 and GP4 number an alternate ending; the passes it takes are the ones no earlier ending of
    // the same repeat took.
    unsigned m_endingsSinceOpen = 0;
};

} // namespace fw::guitarpro::detail
